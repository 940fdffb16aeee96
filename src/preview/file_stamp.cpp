#include "preview/file_stamp.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

bool KeptAsIs(unsigned char byte, bool slashToo) {
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')) {
        return true;
    }
    static constexpr QByteArrayView kMarks("-_.!~*'():@&=+$,");
    return kMarks.contains(static_cast<char>(byte)) || (slashToo && byte == '/');
}

QByteArray Escaped(const QByteArray& bytes, bool slashToo) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    QByteArray escaped;
    escaped.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (KeptAsIs(byte, slashToo)) {
            escaped.append(c);
        } else {
            escaped.append('%').append(kHex[byte >> 4]).append(kHex[byte & 0xF]);
        }
    }
    return escaped;
}

}  // namespace

std::optional<FileStamp> StampOf(const QString& path) {
    const QFileInfo facts(path);  // one stat, kept by the object
    if (!facts.isFile()) {
        return std::nullopt;
    }
    return FileStamp{path, CanonicalFileUri(path), facts.lastModified().toSecsSinceEpoch(), facts.size()};
}

QByteArray CanonicalFileUri(const QString& path) {
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return "file://" + Escaped(QFile::encodeName(absolute), true);
}

QByteArray EscapedUriSegment(const QString& fileName) {
    return Escaped(QFile::encodeName(fileName), false);
}

QString ThumbnailFileName(const QByteArray& uri) {
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}
