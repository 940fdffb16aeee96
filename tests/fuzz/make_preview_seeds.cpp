// Writes the seed corpora of the drawing preview fuzz targets: DWG files whose image data holds a
// bitmap, a PNG, both, or a metafile, and ASCII DXF files with and without a thumbnail section, with
// CR LF and LF line ends. Run once by hand; its output is kept in tests/fuzz/corpus/{dwg,dxf}_preview/.
//   make_preview_seeds <corpus folder>
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "preview/drawing_files.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_preview_seeds <corpus folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QDir corpus(QString::fromLocal8Bit(argv[1]));
    corpus.mkpath(QStringLiteral("dwg_preview"));
    corpus.mkpath(QStringLiteral("dxf_preview"));
    const auto write = [&](const char* target, const char* name, const QByteArray& bytes) {
        WriteBytes(
            corpus.filePath(QString::fromLatin1(target) + QLatin1Char('/') + QString::fromLatin1(name)),
            bytes);
    };
    const QImage small = FramedPicture(Qt::red, 16, 12);
    const QImage palette = FramedPicture(Qt::blue, 20, 10).convertToFormat(QImage::Format_Indexed8);
    write("dwg_preview", "bitmap", DwgWithPreview(BareBitmap(small), {}, 64));
    write("dwg_preview", "palette_bitmap", DwgWithPreview(BareBitmap(palette), {}, 64));
    write("dwg_preview", "png", DwgWithPreview({}, PngBytes(small), 64));
    write("dwg_preview", "bitmap_and_png", DwgWithPreview(BareBitmap(small), PngBytes(small), 64));
    QByteArray metafile = DwgWithPreview(QByteArray(40, '\x01'), {}, 64);
    metafile[0x80 + 21 + 9] = 3;  // the second entry a metafile
    write("dwg_preview", "metafile", metafile);
    write("dwg_preview", "no_preview", DwgWithPreview({}, {}, 64));

    write("dxf_preview", "thumbnail_crlf", DxfWithThumbnail(BareBitmap(small), 3));
    write("dxf_preview", "thumbnail_png", DxfWithThumbnail(PngBytes(small), 1));
    write("dxf_preview", "thumbnail_lf", DxfWithThumbnail(BareBitmap(palette), 2).replace("\r\n", "\n"));
    write("dxf_preview", "no_thumbnail", DxfWithThumbnail({}, 3));
    return 0;
}
