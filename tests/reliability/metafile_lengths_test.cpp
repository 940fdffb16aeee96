#include <gtest/gtest.h>

#include <QtEndian>

#include "picture_files.h"
#include "platform/picture_metafile.h"

namespace {

QByteArray WithField(QByteArray bytes, qsizetype offset, quint32 value) {
    qToLittleEndian<quint32>(value, bytes.data() + offset);
    return bytes;
}

}  // namespace

// Lengths the converter library would believe and read past the end of the file by: the file is
// refused before the library sees it.
TEST(EmfLengths, aFileWhoseLengthsReachPastItsEndIsRefusedBeforeConversion) {
    const QByteArray emf = EmfBytes(QSize(16, 16));
    ASSERT_TRUE(EmfToSvg(emf));
    const qsizetype firstRecord = 88;  // right after the header
    const std::vector<std::pair<const char*, QByteArray>> damaged{
        {"description beyond the header", WithField(WithField(emf, 60, 40), 64, firstRecord)},
        {"header longer than the file", WithField(emf, 4, emf.size() + 4)},
        {"record longer than the rest", WithField(emf, firstRecord + 4, 4096)},
        {"record that never advances", WithField(emf, firstRecord + 4, 0)},
        {"record length not a multiple of four", WithField(emf, firstRecord + 4, 26)},
        {"no end-of-file record", emf.left(emf.size() - 20)},
    };
    for (const auto& [what, bytes] : damaged) {
        EXPECT_FALSE(EmfToSvg(bytes)) << what;
    }
}

TEST(WmfLengths, aFileWhoseLengthsReachPastItsEndIsRefusedBeforeConversion) {
    const QByteArray wmf = WmfBytes(QSize(16, 16));
    ASSERT_TRUE(WmfToSvg(wmf));
    const qsizetype header = 22;                // after the placeable header
    const qsizetype firstRecord = header + 18;  // after the metafile's own header
    const std::vector<std::pair<const char*, QByteArray>> damaged{
        // The library would allocate some 3 GB for this one before reading a single record.
        {"longest record longer than the file", WithField(wmf, header + 12, 0x60000000)},
        {"record longer than the longest", WithField(wmf, firstRecord, 8)},
        {"record that never advances", WithField(wmf, firstRecord, 0)},
        {"no end-of-file record", wmf.left(wmf.size() - 6)},
    };
    for (const auto& [what, bytes] : damaged) {
        EXPECT_FALSE(WmfToSvg(bytes)) << what;
    }
}
