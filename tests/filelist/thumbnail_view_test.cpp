#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QSettings>
#include <QTest>
#include <QWheelEvent>

#include "common/folder_mapping.h"
#include "file_list_fixture.h"
#include "platform/codec.h"
#include "platform/preferences.h"
#include "preview/drawing_files.h"
#include "preview/quick_look_window.h"
#include "preview/thumbnails.h"

namespace {

// Colours that nothing else in the window has.
QColor ColourOf(int i) {
    return QColor(40 + i * 3, 220 - i * 2, 17);
}

// Files in a folder of 255 CP932 bytes, each named as long as the file system takes, a number first.
class ThumbnailView : public FileListTest {
protected:
    ThumbnailView() : longFolder(LongJapaneseFolder(files.path())) {
        context.settingsFileName = files.filePath(QStringLiteral("qarto-groups.dat"));
    }

    QString NameOf(int i, const QString& extension) const {
        QString name = QString::number(i) + LongJapaneseName(extension);
        while (name.toUtf8().size() > 255) {
            name.remove(QString::number(i).size(), 1);
        }
        return name;
    }
    // Registers a file of the folder in group 1 as number `number`.
    void Register(int number, const QString& name) {
        StoreRow(1, number, ToCp932(name).value(), ToCp932(longFolder).value());
    }
    QListView* Icons() const { return List()->IconsAndListView(); }
    Thumbnails* Workers() const { return form->findChild<Thumbnails*>(); }
    QuickLookWindow* QuickLook() const {
        return form->findChild<QuickLookWindow*>(QStringLiteral("QuickLook"));
    }

    // True when the row's picture shows on the screen: its colour stands inside the row's cell.
    bool Shows(int row, const QColor& colour) const {
        const QRect cell = Icons()->visualRect(Icons()->model()->index(row, 0));
        if (!Icons()->viewport()->rect().intersects(cell)) {
            return false;
        }
        const QImage screen = Icons()->viewport()->grab(cell).toImage();
        for (int y = 0; y < screen.height(); y += 2) {
            for (int x = 0; x < screen.width(); x += 2) {
                if (screen.pixelColor(x, y) == colour) {
                    return true;
                }
            }
        }
        return false;
    }

    QString longFolder;
};

}  // namespace

TEST_F(ThumbnailView, theIconViewFillsInWithThePicturesAsItScrolls) {
    constexpr int kFiles = 60;
    for (int i = 0; i < kFiles; ++i) {
        ASSERT_TRUE(FramedPicture(ColourOf(i)).save(longFolder + NameOf(i, QStringLiteral("png"))));
        Register(i + 1, NameOf(i, QStringLiteral("png")));
    }
    form->resize(700, 500);
    OpenGroup(1);
    ASSERT_EQ(List()->RowCount(), kFiles);
    EXPECT_EQ(Icons()->iconSize(), QSize(128, 128));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shows(0, ColourOf(0)) && Shows(1, ColourOf(1)); }, 20000));
    EXPECT_FALSE(Shows(kFiles - 1, ColourOf(kFiles - 1)));  // not in view
    Icons()->scrollToBottom();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shows(kFiles - 1, ColourOf(kFiles - 1)); }, 20000));
    // The list view keeps its plain icons.
    QTest::keyClick(form->findChild<QComboBox*>(QStringLiteral("ComboBox1")), Qt::Key_Down);
    ASSERT_EQ(form->ViewStyleIndex(), 1);
    EXPECT_EQ(Icons()->iconSize(), QSize(16, 16));
    EXPECT_FALSE(Shows(kFiles - 1, ColourOf(kFiles - 1)));
}

TEST_F(ThumbnailView, aFileStoredOnAWindowsShareShowsItsPictureFromTheMappedFolder) {
    // \\FS01\図面\ as a Windows desktop stored it, mounted at the long folder here; 表 ends in 0x5C.
    const std::string share = "\\\\FS01\\\x90\x7d\x96\xca\\";
    context.folderMappings = {MappingOf(share, ToCp932(longFolder).value())};
    ASSERT_TRUE(QDir().mkpath(longFolder + QStringLiteral("表")));
    ASSERT_TRUE(FramedPicture(ColourOf(7)).save(longFolder + QStringLiteral("表/ソ能.png")));
    StoreRow(1, 1, "\x83\x5c\x94\x5c.png", share + "\x95\x5c\\");
    form->resize(700, 500);
    OpenGroup(1);
    ASSERT_EQ(List()->RowCount(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shows(0, ColourOf(7)); }, 20000));
}

TEST_F(ThumbnailView, spaceOpensTheQuickLookAndTheArrowsGoThroughTheFiles) {
    ASSERT_TRUE(FramedPicture(ColourOf(1), 400, 300).save(longFolder + NameOf(1, QStringLiteral("png"))));
    ASSERT_TRUE(WriteBytes(longFolder + NameOf(2, QStringLiteral("dxf")),
                           DxfWithThumbnail(BareBitmap(FramedPicture(ColourOf(2), 160, 120)), 500)));
    Register(1, NameOf(1, QStringLiteral("png")));
    Register(2, NameOf(2, QStringLiteral("dxf")));
    Register(3, NameOf(3, QStringLiteral("dwg")));  // not there
    form->resize(900, 500);
    OpenGroup(1);
    // The file not there shows its marked picture, and where it was looked for.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shows(2, QColor(204, 32, 32)); }));
    EXPECT_EQ(Icons()->model()->index(2, 0).data(Qt::ToolTipRole).toString(),
              QStringLiteral("ファイルが見つかりません: ") + longFolder + NameOf(3, QStringLiteral("dwg")));
    // The keyboard is on the rows as the list opens.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QuickLookWindow* look = QuickLook();
    ASSERT_NE(look, nullptr);
    ASSERT_TRUE(look->isVisible());
    const auto picture = [&] {
        return look->findChild<QLabel*>(QStringLiteral("QuickLookPicture"))->pixmap().toImage();
    };
    const auto name = [&] { return look->findChild<QLabel*>(QStringLiteral("QuickLookName"))->text(); };
    EXPECT_EQ(name(), NameOf(1, QStringLiteral("png")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return look->ShowsPicture(); }, 20000));
    // As large as the window allows: wider than any thumbnail of the list.
    EXPECT_GT(picture().width(), 256);
    EXPECT_EQ(picture().pixelColor(picture().rect().center()), ColourOf(1));

    QTest::keyClick(look, Qt::Key_Right);
    EXPECT_EQ(name(), NameOf(2, QStringLiteral("dxf")));
    EXPECT_TRUE(List()->IsSelected(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return look->ShowsPicture(); }, 20000));
    EXPECT_EQ(picture().pixelColor(picture().rect().center()), ColourOf(2));

    QTest::keyClick(look, Qt::Key_Right);  // a file that is not there: its name and facts
    EXPECT_EQ(name(), NameOf(3, QStringLiteral("dwg")));
    EXPECT_FALSE(look->ShowsPicture());
    EXPECT_TRUE(look->findChild<QLabel*>(QStringLiteral("QuickLookFacts"))
                    ->text()
                    .contains(QStringLiteral("<No File>")));
    QTest::keyClick(look, Qt::Key_Right);  // the last stays
    EXPECT_EQ(name(), NameOf(3, QStringLiteral("dwg")));
    QTest::keyClick(look, Qt::Key_Left);
    EXPECT_EQ(name(), NameOf(2, QStringLiteral("dxf")));

    QTest::keyClick(look, Qt::Key_Space);
    EXPECT_FALSE(look->isVisible());
    EXPECT_TRUE(shell.opened.isEmpty());  // never opened in another program
}

TEST_F(ThumbnailView, aReloadShowsTheNewPictureOfAFileThatChangedInTheListAndTheQuickLook) {
    const QString path = longFolder + NameOf(1, QStringLiteral("png"));
    ASSERT_TRUE(FramedPicture(ColourOf(1), 400, 300).save(path));
    Register(1, NameOf(1, QStringLiteral("png")));
    form->resize(700, 500);
    OpenGroup(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Shows(0, ColourOf(1)); }, 20000));
    QTest::mouseClick(Icons()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      Icons()->visualRect(Icons()->model()->index(0, 0)).center());
    QTest::keyClick(Icons(), Qt::Key_Space);
    const auto lookShows = [&](const QColor& colour) {
        const QImage picture =
            QuickLook()->findChild<QLabel*>(QStringLiteral("QuickLookPicture"))->pixmap().toImage();
        return picture.pixelColor(picture.rect().center()) == colour;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return lookShows(ColourOf(1)); }, 20000));

    // Saved anew elsewhere: another picture, a later time.
    ASSERT_TRUE(FramedPicture(ColourOf(2), 400, 300).save(path));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        saved.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    saved.close();
    form->Reload();
    EXPECT_TRUE(QTest::qWaitFor([&] { return lookShows(ColourOf(2)); }, 20000));
    Icons()->clearSelection();  // a selected row's picture is tinted
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shows(0, ColourOf(2)); }, 20000));
}

TEST_F(ThumbnailView, theSideChangesWithCtrlAndIsKeptInThePreferences) {
    Register(1, NameOf(1, QStringLiteral("png")));
    OpenGroup(1);
    EXPECT_EQ(Icons()->iconSize(), QSize(128, 128));
    QTest::keyClick(Icons(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(Icons()->iconSize(), QSize(160, 160));
    QTest::keyClick(Icons(), Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(Icons(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(Icons()->iconSize(), QSize(96, 96));
    QWheelEvent up(QPointF(10, 10), Icons()->viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                   QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Icons()->viewport(), &up);
    EXPECT_EQ(Icons()->iconSize(), QSize(128, 128));
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(Icons(), Qt::Key_Minus, Qt::ControlModifier);
    }
    // The smallest is the list's own look: plain 16-pixel icons on the 80 x 52 grid.
    EXPECT_EQ(Icons()->iconSize(), QSize(16, 16));
    EXPECT_EQ(Icons()->gridSize(), QSize(80, 52));
    QTest::keyClick(Icons(), Qt::Key_Plus, Qt::ControlModifier);

    // Kept in the program's own preferences, and read at the next showing.
    EXPECT_EQ(OpenPreferences(context)->value(QStringLiteral("FileList/ThumbnailSize")).toInt(), 32);
    OpenPreferences(context)->setValue(QStringLiteral("FileList/ThumbnailSize"), 256);
    OpenGroup(1);
    EXPECT_EQ(Icons()->iconSize(), QSize(256, 256));
    EXPECT_FALSE(
        QFile::exists(files.filePath(QStringLiteral("qarto-groups.dat"))));  // the 24 lines untouched
}

TEST_F(ThumbnailView, closingTheListOrLeavingTheDatabaseDropsWhatIsQueued) {
    const QImage large = FramedPicture(Qt::gray, 1400, 1000);
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(large.save(longFolder + NameOf(i, QStringLiteral("png"))));
        Register(i + 1, NameOf(i, QStringLiteral("png")));
    }
    OpenGroup(1);
    ASSERT_GT(Workers()->Waiting(), 10);
    form->close();
    EXPECT_LE(Workers()->Waiting(), QThread::idealThreadCount() + 2);  // the jobs under way, no more
    EXPECT_TRUE(QTest::qWaitFor([&] { return Workers()->Waiting() == 0; }, 20000));

    OpenGroup(1);
    ASSERT_GT(Workers()->Waiting(), 10);
    db.DisconnectDatabase();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return Workers()->Waiting() == 0; }, 20000));
}
