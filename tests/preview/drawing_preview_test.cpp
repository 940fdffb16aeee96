#include <gtest/gtest.h>

#include <QImage>
#include <memory>

#include "drawing_files.h"
#include "preview/dwg_preview.h"
#include "preview/dxf_preview.h"

namespace {

// The bytes of `file` as a source that counts what is read of it.
struct CountedSource {
    explicit CountedSource(const QByteArray& file) : bytes(file.toStdString()) {
        source.size = bytes.size();
        source.read = [this](std::uint64_t offset, std::size_t length) {
            const std::string part = offset < bytes.size() ? bytes.substr(offset, length) : std::string();
            read += part.size();
            return part;
        };
    }
    std::string bytes;
    std::uint64_t read = 0;
    ByteSource source;
};

QImage Decoded(const EmbeddedPreview& preview) {
    const char* format = preview.kind == EmbeddedPreview::Kind::Png ? "png" : "bmp";
    return QImage::fromData(QByteArray::fromStdString(preview.bytes), format)
        .convertToFormat(QImage::Format_RGB32);
}

}  // namespace

TEST(DwgPreview, readsOnlyTheBitmapTheImageSeekerPointsTo) {
    const QImage picture = FramedPicture(QColor(200, 30, 40));
    CountedSource dwg(DwgWithPreview(BareBitmap(picture), {}, 2 << 20));
    const std::optional<EmbeddedPreview> preview = DwgPreview(dwg.source);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->kind, EmbeddedPreview::Kind::Bmp);
    EXPECT_EQ(Decoded(*preview), picture);
    // The header, the list of pictures and the bitmap: none of the 2 MiB of drawing.
    EXPECT_LT(dwg.read, static_cast<std::uint64_t>(BareBitmap(picture).size()) + 256);
}

TEST(DwgPreview, takesThePngBeforeTheBitmap) {
    const QImage png = FramedPicture(QColor(20, 160, 60), 120, 80);
    CountedSource dwg(DwgWithPreview(BareBitmap(FramedPicture(Qt::blue)), PngBytes(png)));
    const std::optional<EmbeddedPreview> preview = DwgPreview(dwg.source);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->kind, EmbeddedPreview::Kind::Png);
    EXPECT_EQ(Decoded(*preview), png);
}

TEST(DwgPreview, givesNothingForFilesThatHoldNoPreviewItCanTrust) {
    const QByteArray good = DwgWithPreview(BareBitmap(FramedPicture(Qt::red)), {});
    ASSERT_TRUE(DwgPreview(CountedSource(good).source));
    QByteArray release12 = good;
    release12.replace(0, 6, "AC1009");  // before release 13 the header has no image seeker
    QByteArray sentinel = good;
    sentinel[0x80] = '\0';
    QByteArray seekerPastTheEnd = good;
    seekerPastTheEnd.replace(0x0D, 4, QByteArray("\xFF\xFF\xFF\x7F", 4));
    QByteArray bitmapPastTheEnd = good;
    bitmapPastTheEnd.replace(0x80 + 21 + 9 + 5, 4, QByteArray("\x00\x00\x00\x10", 4));  // 256 MiB long
    QByteArray tooManyEntries = good;
    tooManyEntries[0x80 + 20] = '\xC8';
    QByteArray bitmapHeaderDamaged = good;
    bitmapHeaderDamaged[0x80 + 21 + 18 + 80] = '\x07';  // an info header 7 bytes long
    for (const QByteArray& damaged : {release12, sentinel, seekerPastTheEnd, bitmapPastTheEnd, tooManyEntries,
                                      bitmapHeaderDamaged, good.left(0x90), good.left(6), QByteArray()}) {
        EXPECT_FALSE(DwgPreview(CountedSource(damaged).source));
    }
}

TEST(DxfPreview, readsTheThumbnailSectionFromTheEndOfTheFile) {
    const QImage picture = FramedPicture(QColor(250, 200, 0), 180, 120);
    CountedSource dxf(DxfWithThumbnail(BareBitmap(picture), 30000));
    ASSERT_GT(dxf.bytes.size(), 2u << 20);
    const std::optional<EmbeddedPreview> preview = DxfPreview(dxf.source);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->kind, EmbeddedPreview::Kind::Bmp);
    EXPECT_EQ(Decoded(*preview), picture);
    EXPECT_LT(dxf.read, 512u << 10);
}

TEST(DxfPreview, aFileWithoutThumbnailIsGivenUpAfterItsLastPiece) {
    CountedSource dxf(DxfWithThumbnail({}, 30000));
    EXPECT_FALSE(DxfPreview(dxf.source));
    EXPECT_EQ(dxf.read, 18u + (64u << 10));  // the first 18 bytes (binary or not) and the last 64 KiB
}

TEST(DxfPreview, givesNothingForASectionThatDoesNotAddUp) {
    const QByteArray bitmap = BareBitmap(FramedPicture(Qt::green));
    ASSERT_TRUE(DxfPreview(CountedSource(DxfWithThumbnail(bitmap)).source));
    QByteArray oddDigits = DxfWithThumbnail(bitmap);
    oddDigits.replace(oddDigits.indexOf("310\r\n") + 5, 1, "");
    QByteArray notHex = DxfWithThumbnail(bitmap);
    notHex.replace(notHex.indexOf("310\r\n") + 5, 2, "G0");
    QByteArray binary = DxfWithThumbnail(bitmap);
    binary.replace(0, 18, "AutoCAD Binary DXF");
    for (const QByteArray& damaged :
         {DxfWithThumbnail(bitmap, 50, bitmap.size() + 1), DxfWithThumbnail(bitmap, 50, bitmap.size() - 1),
          oddDigits, notHex, binary, DxfWithThumbnail(QByteArray(3, 'x'))}) {
        EXPECT_FALSE(DxfPreview(CountedSource(damaged).source));
    }
}
