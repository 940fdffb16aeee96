#include "preview/picture_reader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cstring>

#include "platform/apart_worker.h"
#include "preview/picture_sources.h"

namespace {

// A request: the source's letter, the side (4 bytes, little-endian), the path in the file system's
// encoding. An answer: 'P', the width and height (4 bytes each) and the pixels, ARGB32 row by row;
// 'N' for a file that gives no picture; 'E' for one that could not be read through.
constexpr qsizetype kRequestHead = 5;
constexpr qsizetype kPictureHead = 9;
constexpr int kLargestSide = 1024;

const QString kReaderName = QStringLiteral("qarto-groups-picture-reader");

// Beside the program, as installed and in the build folder; the test programs, which run from a
// folder of their own in the build folder, find it where the build puts it.
QString ReaderProgram() {
    const QString beside = QCoreApplication::applicationDirPath() + QLatin1Char('/') + kReaderName;
    if (QFileInfo(beside).isExecutable()) {
        return beside;
    }
    return QStringLiteral(QARTO_RUNTIME_DIR) + QLatin1Char('/') + kReaderName;
}

// Kept to the end of the process, never destroyed: a worker left behind at exit (stuck in a read of
// a share that does not answer) may still be asking. The readers end as the program's ends close.
ApartWorker& Readers() {
    static ApartWorker* const readers = new ApartWorker(
        ReaderProgram(), &AnswerPictureRequest, kPictureHead + qsizetype{kLargestSide} * kLargestSide * 4);
    return *readers;
}

// True when every byte of the file can be read: a reader that found no picture in a file that
// cannot be read through was stopped by the disk or the share, not by the file.
bool ReadsThrough(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    char buffer[1 << 16];
    for (;;) {
        const qint64 read = file.read(buffer, sizeof buffer);
        if (read <= 0) {
            return read == 0;
        }
    }
}

QByteArray PictureAnswer(const QImage& picture) {
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32);
    QByteArray answer(kPictureHead, 'P');
    qToLittleEndian<qint32>(pixels.width(), answer.data() + 1);
    qToLittleEndian<qint32>(pixels.height(), answer.data() + 5);
    for (int y = 0; y < pixels.height(); ++y) {
        answer.append(reinterpret_cast<const char*>(pixels.constScanLine(y)), qsizetype{pixels.width()} * 4);
    }
    return answer;
}

QImage PictureOf(const QByteArray& answer) {
    if (answer.size() < kPictureHead) {
        return QImage();
    }
    const qint32 width = qFromLittleEndian<qint32>(answer.constData() + 1);
    const qint32 height = qFromLittleEndian<qint32>(answer.constData() + 5);
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide ||
        answer.size() != kPictureHead + qsizetype{width} * height * 4) {
        return QImage();
    }
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        std::memcpy(picture.scanLine(y), answer.constData() + kPictureHead + qsizetype{y} * width * 4,
                    static_cast<std::size_t>(width) * 4);
    }
    return picture;
}

}  // namespace

Drawing DrawApart(const PictureSource& source, const QString& path, int side,
                  std::chrono::milliseconds timeLimit) {
    QByteArray request(kRequestHead, source.letter);
    qToLittleEndian<qint32>(std::min(side, kLargestSide), request.data() + 1);
    const std::optional<QByteArray> answer = Readers().Run(request + QFile::encodeName(path), timeLimit);
    if (!answer || answer->isEmpty() || answer->front() == 'E') {
        return Drawing{QImage(), true};
    }
    return Drawing{answer->front() == 'P' ? PictureOf(*answer) : QImage(), false};
}

std::optional<QByteArray> AnswerPictureRequest(const QByteArray& request) {
    const PictureSource* source = request.isEmpty() ? nullptr : SourceOfLetter(request.front());
    if (source == nullptr || request.size() <= kRequestHead) {
        return std::nullopt;
    }
    const int side = std::clamp(qFromLittleEndian<qint32>(request.constData() + 1), 1, kLargestSide);
    const QString path = QFile::decodeName(request.mid(kRequestHead));
    const QImage picture = Fitted(source->draw(path, side), side);
    if (!picture.isNull()) {
        return PictureAnswer(picture);
    }
    return QByteArray(1, ReadsThrough(path) ? 'N' : 'E');
}
