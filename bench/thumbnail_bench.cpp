// Thumbnails: the icon view of 2,000 files shown from a warm cache, thumbnails made cold for each
// kind of file, and the event loop's longest wait while the list's 2,000 thumbnails are made.

#include <QCryptographicHash>
#include <QDir>
#include <QImageReader>
#include <QListView>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfWriter>
#include <QSvgRenderer>
#include <QUrl>
#include <functional>
#include <map>
#include <memory>

#include "bare_file_list.h"
#include "bench_data.h"
#include "bench_support.h"
#include "direct_client.h"
#include "floor.h"
#include "preview/drawing_files.h"
#include "preview/dwg_preview.h"
#include "preview/dxf_preview.h"
#include "preview/thumbnail_maker.h"
#include "preview/thumbnails.h"
#include "program_file_list.h"

namespace {

constexpr int kListedFiles = 2000;
constexpr int kSide = 128;
enum Group { kWarm = 1, kMixed = 2 };

// The kinds of file, each with the files made of it for the cold runs.
const char* const kFormats[] = {"png", "jpg", "svg", "pdf", "dxf", "dwg"};
int FilesPerFormat(const std::string& format) {
    return format == "pdf" ? 40 : 100;
}

QColor ColourOf(int i) {
    return QColor::fromHsv(i * 37 % 360, 160, 200);
}

// A plan of `lines` lines and some text, as drawings exported to pictures look.
void DrawPlan(QPainter& painter, QSize size, int lines, int seed) {
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.setPen(QPen(ColourOf(seed), 2));
    for (int i = 0; i < lines; ++i) {
        const int x = (i * 7919 + seed * 31) % size.width();
        const int y = (i * 6271 + seed * 17) % size.height();
        painter.drawLine(x, y, (x + 200 + i) % size.width(), (y + 120) % size.height());
    }
    painter.drawText(QRect(20, 20, size.width() - 40, 60), QStringLiteral("平面詳細図 %1").arg(seed));
}

QImage Plan(QSize size, int seed) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    DrawPlan(painter, size, 300, seed);
    return image;
}

QByteArray SvgPlan(int seed) {
    QByteArray svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1189\" height=\"841\">"
        "<rect width=\"1189\" height=\"841\" fill=\"white\"/>";
    for (int i = 0; i < 400; ++i) {
        svg += "<line x1=\"" + QByteArray::number((i * 7919 + seed) % 1189) + "\" y1=\"" +
               QByteArray::number((i * 6271) % 841) + "\" x2=\"" + QByteArray::number((i * 13) % 1189) +
               "\" y2=\"" + QByteArray::number((i * 29) % 841) + "\" stroke=\"" +
               ColourOf(seed).name().toLatin1() + "\" stroke-width=\"2\"/>";
    }
    return svg + "</svg>";
}

void WritePdfPlan(const QString& path, int seed) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A3));
    writer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter(&writer);
    DrawPlan(painter, painter.viewport().size(), 300, seed);
}

// One file of the kind at `path`, drawn differently for each seed. `large` sources are the size real
// ones have; the others, for the 2,000 of the list, smaller.
void WriteKind(const std::string& format, const QString& path, int seed, bool large) {
    const QSize picture = large ? QSize(1600, 1131) : QSize(800, 566);
    bool written = true;
    if (format == "png" || format == "jpg") {
        written = Plan(format == "png" ? picture : picture * 1.25, seed).save(path, nullptr, 90);
    } else if (format == "svg") {
        written = WriteBytes(path, SvgPlan(seed));
    } else if (format == "pdf") {
        WritePdfPlan(path, seed);
    } else if (format == "dxf") {
        written =
            WriteBytes(path, DxfWithThumbnail(BareBitmap(Plan(QSize(256, 181), seed)), large ? 6000 : 1500));
    } else {
        written = WriteBytes(
            path, DwgWithPreview(BareBitmap(Plan(QSize(256, 181), seed)), {}, large ? 1 << 20 : 64 << 10));
    }
    Require(written, "writing a file to make a thumbnail of");
}

struct ThumbnailData {
    BenchFolder folder;
    std::vector<std::string> warm;  // code-page paths
    std::map<std::string, QStringList> cold;
};

const ThumbnailData& Data() {
    static const std::unique_ptr<ThumbnailData> data = [] {
        auto made = std::make_unique<ThumbnailData>();
        AddGroups(made->folder, kMixed);
        const QString warm = made->folder.FilePath(QStringLiteral("warm"));
        const QString mixed = made->folder.FilePath(QStringLiteral("mixed"));
        QDir().mkpath(warm);
        QDir().mkpath(mixed);
        QStringEncoder encode = Cp932Encoder();
        std::vector<std::string> mixedPaths;
        // The warm list's thumbnails are made once, into the cache the program reads.
        const ThumbnailMaker maker(DesktopThumbnails::ForThisUser(), DesktopThumbnailers({}));
        for (int i = 0; i < kListedFiles; ++i) {
            const QString png = QDir(warm).filePath(QStringLiteral("平面詳細図%1.png").arg(i));
            Require(Plan(QSize(320, 226), i).save(png), "writing a picture");
            Require(!maker.Make(png, kSide).picture.isNull(), "making the warm cache");
            made->warm.push_back(QByteArray(encode(png)).toStdString());
            const std::string format = kFormats[i % 6];
            const QString file =
                QDir(mixed).filePath(QStringLiteral("平面詳細図%1.").arg(i) + QString::fromStdString(format));
            WriteKind(format, file, i, false);
            mixedPaths.push_back(QByteArray(encode(file)).toStdString());
        }
        AddFileTable(made->folder, kWarm, made->warm);
        AddFileTable(made->folder, kMixed, mixedPaths);
        for (const char* format : kFormats) {
            const QString folder = made->folder.FilePath(QStringLiteral("cold-") + QLatin1String(format));
            QDir().mkpath(folder);
            for (int i = 0; i < FilesPerFormat(format); ++i) {
                const QString file =
                    QDir(folder).filePath(QStringLiteral("図面%1.").arg(i) + QLatin1String(format));
                WriteKind(format, file, i, true);
                made->cold[format] << file;
            }
        }
        return made;
    }();
    return *data;
}

// True once every row in view has its thumbnail (or is known to have none).
bool FirstScreenShown(ProgramFileList& list) {
    FileListView& view = list.View();
    QListView* icons = view.IconsAndListView();
    const Thumbnails* thumbnails = list.form.findChild<Thumbnails*>();
    int inView = 0;
    for (int row = 0; row < view.RowCount(); ++row) {
        if (!icons->visualRect(icons->model()->index(row, 0)).intersects(icons->viewport()->rect())) {
            continue;
        }
        ++inView;
        if (!thumbnails->Known(view.LocalPath(row), view.ThumbnailSide())) {
            return false;
        }
    }
    return inView > 0;
}

void IconViewWarm(benchmark::State& state) {
    Data();
    ProgramFileList list(Data().folder);
    TimeEach(
        state, [&] { list.form.close(); },
        [&] {
            list.Open(kWarm);
            WaitWhile([&] { return !FirstScreenShown(list); });
            Settle();
        });
    Require(list.RowCount() == kListedFiles && list.View().ThumbnailSide() == kSide,
            "the list is not the icon view");
}

QString CachedThumbnail(const QString& path) {
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded();
    return DesktopThumbnails::ForThisUser().Root() + QStringLiteral("/normal/") +
           QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

void IconViewWarmFloor(benchmark::State& state) {
    Data();
    DirectDatabase database(Data().folder.DatabasePath(), DirectDatabase::Open::Attach);
    BareFileList list(kSide);
    list.Window().resize(654, 317);
    const std::string table = "GRP_" + std::to_string(kWarm);
    QStringList paths;
    TimeEach(
        state,
        [&] {
            list.Window().hide();
            list.Clear();
            paths.clear();
        },
        [&] {
            list.Window().show();
            database.Query("SELECT * FROM " + table);
            QStringDecoder decode = Cp932Decoder();
            database.Query("SELECT * FROM " + table + " ORDER BY N", [&](const DirectDatabase::Row& row) {
                paths << decode(Bytes(std::string(row.Text(2)) + std::string(row.Text(1))));
                list.AppendRow(paths.back(), row.Int(0));
            });
            Settle();
            for (const int row : list.RowsInView()) {
                list.SetPicture(row, QPixmap::fromImage(QImage(CachedThumbnail(paths[row]), "png")));
            }
            Settle();
        });
    Require(list.RowCount() == kListedFiles && !list.RowsInView().isEmpty(),
            "the list does not show every file");
}

void ThumbnailsCold(benchmark::State& state, const std::string& format) {
    const QStringList& files = Data().cold.at(format);
    BenchFolder cacheFolder;
    const QString root = cacheFolder.FilePath(QStringLiteral("thumbnails"));
    const ThumbnailMaker maker(DesktopThumbnails(root, QStringLiteral("qarto-groups-bench")),
                               DesktopThumbnailers(DesktopThumbnailers::DataFoldersOfThisUser()));
    TimeEach(
        state, [&] { QDir(root).removeRecursively(); },
        [&] {
            for (const QString& file : files) {
                Require(!maker.Make(file, kSide).picture.isNull(), "a thumbnail was not made");
            }
        });
}

// The same decoding in a bare loop: what each kind of file needs read and drawn at the size.
QImage BareDecode(const std::string& format, const QString& path) {
    if (format == "png" || format == "jpg") {
        QImageReader reader(path);
        reader.setScaledSize(reader.size().scaled(kSide, kSide, Qt::KeepAspectRatio));
        return reader.read();
    }
    if (format == "svg") {
        QSvgRenderer renderer(path);
        QImage image(renderer.defaultSize().scaled(kSide, kSide, Qt::KeepAspectRatio),
                     QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        return image;
    }
    if (format == "pdf") {
        QPdfDocument document;
        document.load(path);
        return document.render(0,
                               document.pagePointSize(0).scaled(kSide, kSide, Qt::KeepAspectRatio).toSize());
    }
    const ByteSource file = FileSource(QFile::encodeName(path).toStdString());
    const std::optional<EmbeddedPreview> preview = format == "dxf" ? DxfPreview(file) : DwgPreview(file);
    if (!preview) {
        return QImage();
    }
    return QImage::fromData(QByteArray::fromStdString(preview->bytes), "bmp")
        .scaled(kSide, kSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// The standard asks for each thumbnail made to be written as a PNG file with 8-bit alpha: the floor
// writes one too.
void ThumbnailsColdFloor(benchmark::State& state, const std::string& format) {
    const QStringList& files = Data().cold.at(format);
    BenchFolder output;
    const QString folder = output.FilePath(QStringLiteral("thumbnails"));
    TimeEach(
        state,
        [&] {
            QDir(folder).removeRecursively();
            QDir().mkpath(folder);
        },
        [&] {
            for (qsizetype i = 0; i < files.size(); ++i) {
                const QImage thumbnail = BareDecode(format, files[i]);
                Require(thumbnail.convertToFormat(QImage::Format_ARGB32)
                            .save(folder + QLatin1Char('/') + QString::number(i) + QStringLiteral(".png")),
                        "a thumbnail was not written");
            }
        });
}

// The list of 2,000 files of every kind opened on an empty cache: its thumbnails made while the
// event loop turns (counter stall_ms: its longest wait).
void IconViewMaking(benchmark::State& state) {
    Data();
    ProgramFileList list(Data().folder);
    Thumbnails* thumbnails = list.form.findChild<Thumbnails*>();
    double stall = 0;
    TimeEach(
        state,
        [&] {
            list.form.close();
            WaitWhile([&] { return thumbnails->Waiting() > 0; });
            QDir(DesktopThumbnails::ForThisUser().Root()).removeRecursively();
        },
        [&] {
            // The list itself is read and shown at once, as it always was; the wait that counts is
            // the event loop's while the thumbnails are made.
            list.Open(kMixed);
            stall = LongestStall([&] { WaitWhile([&] { return thumbnails->Waiting() > 0; }); });
        });
    state.counters["stall_ms"] = stall;
    int made = 0;
    for (int row = 0; row < list.RowCount(); ++row) {
        made += thumbnails->Known(list.View().LocalPath(row), kSide) ? 1 : 0;
    }
    Require(list.RowCount() == kListedFiles, "the list does not show every file");
    state.counters["known_in_memory"] = made;
}

[[maybe_unused]] benchmark::internal::Benchmark* const registered[] = {
    Register("IconViewWarm", IconViewWarm)->Arg(kListedFiles),
    Register("IconViewWarmFloor", IconViewWarmFloor)->Arg(kListedFiles),
    Register("ThumbnailsCold/png", [](benchmark::State& s) { ThumbnailsCold(s, "png"); }),
    Register("ThumbnailsColdFloor/png", [](benchmark::State& s) { ThumbnailsColdFloor(s, "png"); }),
    Register("ThumbnailsCold/jpg", [](benchmark::State& s) { ThumbnailsCold(s, "jpg"); }),
    Register("ThumbnailsColdFloor/jpg", [](benchmark::State& s) { ThumbnailsColdFloor(s, "jpg"); }),
    Register("ThumbnailsCold/svg", [](benchmark::State& s) { ThumbnailsCold(s, "svg"); }),
    Register("ThumbnailsColdFloor/svg", [](benchmark::State& s) { ThumbnailsColdFloor(s, "svg"); }),
    Register("ThumbnailsCold/pdf", [](benchmark::State& s) { ThumbnailsCold(s, "pdf"); }),
    Register("ThumbnailsColdFloor/pdf", [](benchmark::State& s) { ThumbnailsColdFloor(s, "pdf"); }),
    Register("ThumbnailsCold/dxf", [](benchmark::State& s) { ThumbnailsCold(s, "dxf"); }),
    Register("ThumbnailsColdFloor/dxf", [](benchmark::State& s) { ThumbnailsColdFloor(s, "dxf"); }),
    Register("ThumbnailsCold/dwg", [](benchmark::State& s) { ThumbnailsCold(s, "dwg"); }),
    Register("ThumbnailsColdFloor/dwg", [](benchmark::State& s) { ThumbnailsColdFloor(s, "dwg"); }),
    Register("IconViewMaking", IconViewMaking)->Arg(kListedFiles),
};

}  // namespace
