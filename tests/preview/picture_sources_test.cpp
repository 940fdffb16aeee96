#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>

#include "drawing_files.h"
#include "preview/desktop_thumbnailers.h"
#include "preview/desktop_thumbnails.h"
#include "preview/thumbnail_maker.h"
#include "preview/thumbnails.h"

namespace {

QColor Centre(const QImage& image) {
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

bool Near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 &&
           std::abs(a.blue() - b.blue()) < 24;
}

class PictureSources : public ::testing::Test {
protected:
    PictureSources()
        : cache(place.filePath(QStringLiteral("thumbnails")), QStringLiteral("qarto-groups-test")),
          folder(LongJapaneseFolder(place.filePath(QStringLiteral("files")))) {}

    QString File(const QString& extension, const QByteArray& bytes) {
        const QString path = folder + LongJapaneseName(extension);
        EXPECT_TRUE(WriteBytes(path, bytes));
        return path;
    }
    // An entry in a data folder of its own for a thumbnail program.
    QString DataFolderWith(const QString& name, const QString& entry) {
        const QString data = place.filePath(QStringLiteral("data-") + name);
        QDir().mkpath(data + QStringLiteral("/thumbnailers"));
        EXPECT_TRUE(WriteBytes(
            data + QStringLiteral("/thumbnailers/") + name + QStringLiteral(".thumbnailer"), entry.toUtf8()));
        return data;
    }

    QTemporaryDir place;
    DesktopThumbnails cache;
    QString folder;
};

}  // namespace

TEST_F(PictureSources, everyKindOfFileGivesItsOwnPicture) {
    const ThumbnailMaker maker(cache, DesktopThumbnailers({}));
    const QImage red = FramedPicture(QColor(220, 20, 20), 300, 200);
    QByteArray jpeg;
    {
        const QString path = place.filePath(QStringLiteral("a.jpg"));
        ASSERT_TRUE(FramedPicture(QColor(20, 20, 220), 640, 480).save(path, "jpg", 95));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        jpeg = file.readAll();
    }
    const QString pdf = folder + LongJapaneseName(QStringLiteral("pdf"));
    WritePdf(pdf, QColor(0, 160, 0));
    const struct {
        QString path;
        QColor colour;
    } files[] = {
        {File(QStringLiteral("png"), PngBytes(red)), QColor(220, 20, 20)},
        {File(QStringLiteral("jpg"), jpeg), QColor(20, 20, 220)},
        {File(QStringLiteral("svg"), SvgOf(QColor(255, 128, 0))), QColor(255, 128, 0)},
        {pdf, QColor(0, 160, 0)},
        {File(QStringLiteral("dxf"), DxfWithThumbnail(BareBitmap(FramedPicture(QColor(0, 200, 200))), 2000)),
         QColor(0, 200, 200)},
        {File(QStringLiteral("dwg"), DwgWithPreview(BareBitmap(FramedPicture(QColor(200, 0, 200))), {})),
         QColor(200, 0, 200)},
        {File(QStringLiteral("DWG"), DwgWithPreview({}, PngBytes(FramedPicture(QColor(90, 60, 30))))),
         QColor(90, 60, 30)},
    };
    for (const auto& file : files) {
        const QImage made = maker.Make(file.path, 128).picture;
        ASSERT_FALSE(made.isNull()) << file.path.toStdString();
        EXPECT_LE(std::max(made.width(), made.height()), 128);
        EXPECT_TRUE(Near(Centre(made), file.colour))
            << file.path.right(8).toStdString() << " " << Centre(made).name().toStdString();
    }
}

TEST_F(PictureSources, aBitmapFileIsReadByTheProgramsOwnReader) {
    const ThumbnailMaker maker(cache, DesktopThumbnailers({}));
    const QString path = folder + QStringLiteral("表.bmp");
    ASSERT_TRUE(FramedPicture(Qt::yellow).save(path, "bmp"));
    EXPECT_EQ(Centre(maker.Make(path, 128).picture), QColor(Qt::yellow));
}

TEST_F(PictureSources, aDrawingWithoutPreviewGoesOnToTheDesktopsPrograms) {
    const QString png = place.filePath(QStringLiteral("made.png"));
    ASSERT_TRUE(FramedPicture(QColor(10, 120, 240)).save(png));
    // A program for the DWG type that copies a picture to the output.
    const QString data =
        DataFolderWith(QStringLiteral("copy"), QStringLiteral("[Thumbnailer Entry]\nTryExec=cp\n"
                                                              "Exec=/bin/cp \"") +
                                                   png + QStringLiteral("\" %o\nMimeType=image/vnd.dwg;\n"));
    const ThumbnailMaker maker(cache, DesktopThumbnailers({data}));
    const QString dwg = File(QStringLiteral("dwg"), DwgWithPreview({}, {}));
    EXPECT_EQ(Centre(maker.Make(dwg, 128).picture), QColor(10, 120, 240));
}

// A PDF that keeps its reader busy for ever is given up after the time limit, and for the moment
// only: it is not noted as one that cannot be drawn. The other PDFs are drawn all the same.
TEST_F(PictureSources, aPdfThatNeverEndsIsGivenUpForNowAndTheOthersAreDrawn) {
    Thumbnails thumbnails(
        std::make_shared<ThumbnailMaker>(cache, DesktopThumbnailers({}), std::chrono::seconds(2)));
    const QString endless = folder + QStringLiteral("表.pdf");
    ASSERT_TRUE(WriteBytes(endless, PdfThatNeverEnds()));
    QStringList others;
    for (int i = 0; i < 3; ++i) {
        others << folder + QStringLiteral("ソ%1.pdf").arg(i);
        WritePdf(others.back(), QColor(0, 60 * i, 200));
    }
    QSignalSpy arrived(&thumbnails, &Thumbnails::Arrived);
    thumbnails.Get(endless, 128, true);  // under way first
    thumbnails.AskForAll(others, 128);
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrived.size() == 4; }, 30000));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Near(Centre(thumbnails.Get(others[i], 128, true).toImage()), QColor(0, 60 * i, 200)));
    }
    EXPECT_TRUE(thumbnails.Known(endless, 128));
    EXPECT_TRUE(thumbnails.Get(endless, 128, true).isNull());
    EXPECT_FALSE(QDir(place.filePath(QStringLiteral("thumbnails/fail"))).exists());
}

TEST(DesktopThumbnailerEntries, wordsPlaceholdersAndPrecedence) {
    EXPECT_EQ(ExecWords(QStringLiteral("  thumb -s %s \"a b\\\" c\" %u  %o")),
              (QStringList{"thumb", "-s", "%s", "a b\" c", "%u", "%o"}));
    QTemporaryDir place;
    const auto entry = [&](const QString& folder, const QString& name, const QString& text) {
        QDir().mkpath(place.filePath(folder + QStringLiteral("/thumbnailers")));
        WriteBytes(place.filePath(folder + QStringLiteral("/thumbnailers/") + name), text.toUtf8());
        return place.filePath(folder);
    };
    const QString home =
        entry(QStringLiteral("home"), QStringLiteral("t.thumbnailer"),
              QStringLiteral("# mine\n[Thumbnailer Entry]\nExec=/bin/true %i\nMimeType=text/x-a;\n"));
    const QString system =
        entry(QStringLiteral("system"), QStringLiteral("t.thumbnailer"),
              QStringLiteral("[Thumbnailer Entry]\nExec=/bin/false\nMimeType=text/x-b;\n"));
    entry(
        QStringLiteral("system"), QStringLiteral("missing.thumbnailer"),
        QStringLiteral(
            "[Thumbnailer Entry]\nTryExec=/no/such/program\nExec=/no/such/program %o\nMimeType=text/x-c\n"));
    entry(QStringLiteral("system"), QStringLiteral("other.thumbnailer"),
          QStringLiteral("[Desktop Entry]\nExec=/bin/true\nMimeType=text/x-d\n[Thumbnailer Entry]\n"
                         "Exec=/bin/echo %%u\nMimeType=text/x-e;text/x-f\n"));
    // A shell would take a file named `a"; rm -r ~; "` there for a command.
    entry(QStringLiteral("system"), QStringLiteral("quoted.thumbnailer"),
          QStringLiteral("[Thumbnailer Entry]\nExec=/bin/sh -c \"convert %i png:%o\"\nMimeType=text/x-g\n"));
    const DesktopThumbnailers thumbnailers({home, system});
    ASSERT_NE(thumbnailers.For(QStringLiteral("text/x-a")), nullptr);
    EXPECT_EQ(thumbnailers.For(QStringLiteral("text/x-a"))->command, (QStringList{"/bin/true", "%i"}));
    EXPECT_EQ(thumbnailers.For(QStringLiteral("text/x-b")), nullptr);  // hidden by the one of the same name
    EXPECT_EQ(thumbnailers.For(QStringLiteral("text/x-c")), nullptr);  // its program is not there
    EXPECT_EQ(thumbnailers.For(QStringLiteral("text/x-d")), nullptr);  // not of the thumbnailer's group
    ASSERT_NE(thumbnailers.For(QStringLiteral("text/x-f")), nullptr);
    EXPECT_EQ(thumbnailers.For(QStringLiteral("text/x-g")), nullptr);  // a field code inside quotes
}

TEST_F(PictureSources, aDesktopProgramGetsTheFileAndIsStoppedWhenItTakesTooLong) {
    const QString script = place.filePath(QStringLiteral("thumb.sh"));
    const QString png = place.filePath(QStringLiteral("made.png"));
    ASSERT_TRUE(FramedPicture(Qt::darkGreen).save(png));
    // Copies the picture only when given the file by path and by URI, at the size asked for.
    ASSERT_TRUE(WriteBytes(script, QStringLiteral("#!/bin/sh\n[ -f \"$1\" ] && [ \"$2\" = 256 ] && "
                                                  "case \"$3\" in file:///*) cp \"%1\" \"$4\";; esac\n")
                                       .arg(png)
                                       .toUtf8()));
    QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString path = File(QStringLiteral("txt"), "a text");
    const DesktopThumbnailers::Entry entry{
        {script, QStringLiteral("%i"), QStringLiteral("%s"), QStringLiteral("%u"), QStringLiteral("%o")},
        {QStringLiteral("text/plain")}};
    EXPECT_EQ(
        Centre(DesktopThumbnailers::Run(entry, path, "file://" + path.toUtf8(), 256, std::chrono::seconds(5))
                   .picture),
        QColor(Qt::darkGreen));

    // One that starts another program and waits for it: both are ended.
    const QString started = place.filePath(QStringLiteral("started"));
    const DesktopThumbnailers::Entry sleeper{{QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                                              QStringLiteral("sleep 30 & echo $! > '%1'; wait").arg(started)},
                                             {}};
    const auto began = std::chrono::steady_clock::now();
    const Drawing stopped = DesktopThumbnailers::Run(sleeper, path, "", 128, std::chrono::milliseconds(300));
    EXPECT_TRUE(stopped.picture.isNull());
    EXPECT_TRUE(stopped.forNow);
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(20));  // not the 30 s
    QFile pid(started);
    ASSERT_TRUE(pid.open(QIODevice::ReadOnly));
    const QString stat = QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid.readAll().trimmed()));
    // Gone, or dead and not yet collected by whoever took it over.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QFile process(stat);
            return !process.open(QIODevice::ReadOnly) || process.readAll().contains(") Z ");
        },
        10000));
}

TEST_F(PictureSources, theWorkersMakeEveryFileAskedFor) {
    Thumbnails thumbnails(std::make_shared<ThumbnailMaker>(cache, DesktopThumbnailers({})));
    QStringList paths;
    for (int i = 0; i < 40; ++i) {
        const QString path = folder + QStringLiteral("表%1.png").arg(i);
        ASSERT_TRUE(FramedPicture(QColor(i * 6, 100, 200)).save(path));
        paths << path;
    }
    QSignalSpy arrived(&thumbnails, &Thumbnails::Arrived);
    thumbnails.AskForAll(paths, 64);
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrived.size() == 40; }, 20000));
    for (int i = 0; i < 40; ++i) {
        EXPECT_TRUE(thumbnails.Known(paths[i], 64));
        EXPECT_TRUE(Near(Centre(thumbnails.Get(paths[i], 64, true).toImage()), QColor(i * 6, 100, 200)));
    }
    EXPECT_EQ(thumbnails.Waiting(), 0);

    EXPECT_FALSE(thumbnails.Known(paths[0], 32));
}

TEST_F(PictureSources, cancellingDropsWhatIsQueuedAndTheAnswersOfJobsUnderWay) {
    Thumbnails thumbnails(std::make_shared<ThumbnailMaker>(cache, DesktopThumbnailers({})));
    QStringList paths;
    const QImage large = FramedPicture(Qt::gray, 1600, 1200);
    for (int i = 0; i < 40; ++i) {
        paths << folder + QStringLiteral("ソ%1.png").arg(i);
        ASSERT_TRUE(large.save(paths.back()));
    }
    QSignalSpy arrived(&thumbnails, &Thumbnails::Arrived);
    thumbnails.AskForAll(paths, 128);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !arrived.isEmpty(); }, 20000));
    thumbnails.Cancel();
    const qsizetype before = arrived.size();
    ASSERT_LT(before, 40);
    ASSERT_TRUE(QTest::qWaitFor([&] { return thumbnails.Waiting() == 0; }, 20000));
    QTest::qWait(100);
    EXPECT_EQ(arrived.size(), before);  // the jobs under way finished unheard
    // Nothing queued was started: made are those heard of and those under way, one a worker.
    const qsizetype made =
        QDir(place.filePath(QStringLiteral("thumbnails/normal"))).entryList(QDir::Files).size();
    EXPECT_LE(made, before + std::max(2, QThread::idealThreadCount()));
    EXPECT_FALSE(thumbnails.Known(paths[0], 128));  // what was kept is forgotten too
}

TEST_F(PictureSources, aFileAskedForAgainAfterACancelWhileItWasMadeArrives) {
    Thumbnails thumbnails(std::make_shared<ThumbnailMaker>(cache, DesktopThumbnailers({})));
    const QString path = folder + QStringLiteral("ソ.png");
    ASSERT_TRUE(FramedPicture(Qt::gray, 5000, 3750).save(path));
    QSignalSpy arrived(&thumbnails, &Thumbnails::Arrived);
    thumbnails.Get(path, 128, true);
    QTest::qWait(30);
    thumbnails.Cancel();  // the list closed, or its side changed and back
    ASSERT_EQ(thumbnails.Waiting(), 1) << "the job was not under way";
    thumbnails.Get(path, 128, true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return arrived.size() == 1; }, 20000));
    EXPECT_TRUE(thumbnails.Known(path, 128));
}

TEST_F(PictureSources, aFileAskedForInViewGoesBeforeTheRest) {
    Thumbnails thumbnails(std::make_shared<ThumbnailMaker>(cache, DesktopThumbnailers({})));
    QStringList paths;
    const QImage large = FramedPicture(Qt::gray, 1600, 1200);
    for (int i = 0; i < 60; ++i) {
        const QString path = folder + QStringLiteral("能%1.png").arg(i);
        ASSERT_TRUE(large.save(path));
        paths << path;
    }
    QList<QString> order;
    QObject::connect(&thumbnails, &Thumbnails::Arrived, [&](const QString& path, int) { order << path; });
    thumbnails.AskForAll(paths.mid(0, 59), 128);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !order.isEmpty(); }, 20000));  // the workers are busy
    QCoreApplication::processEvents();
    const qsizetype asked = order.size();
    EXPECT_TRUE(thumbnails.Get(paths[59], 128, true).isNull());
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 60; }, 60000));
    // Only the jobs the workers had under way (or had just finished) can come before it.
    EXPECT_LE(order.indexOf(paths[59]) - asked, 2 * std::max(2, QThread::idealThreadCount()));
}
