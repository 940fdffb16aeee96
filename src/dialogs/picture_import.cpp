#include "dialogs/picture_import.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/codepage.h"
#include "platform/codec.h"

namespace {

bool SameBytes(const QString& path1, const QString& path2) {
    QFile file1(path1);
    QFile file2(path2);
    if (!file1.open(QIODevice::ReadOnly) || !file2.open(QIODevice::ReadOnly) ||
        file1.size() != file2.size()) {
        return false;
    }
    constexpr qint64 kChunk = 1 << 16;
    while (!file1.atEnd()) {
        if (file1.read(kChunk) != file2.read(kChunk)) {
            return false;
        }
    }
    return true;
}

// `stem` cut so that it, `number` ("_2") and `suffix` (".ico") fit `maxBytes` code-page bytes.
QString NameWithin(const QString& stem, const QString& number, const QString& suffix, int maxBytes) {
    const int room = maxBytes - Cp932Length(number + suffix);
    return FromCp932(CutToBytes(ToCp932(stem).value_or(std::string()), room > 0 ? room : 0)) + number +
           suffix;
}

}  // namespace

ImportedPicture ImportPicture(const QString& chosen, const QString& imgFolder, int maxBytes) {
    const QFileInfo picture(chosen);
    const QString name = picture.fileName();
    if (QFileInfo(imgFolder).canonicalFilePath() == picture.canonicalPath() ||
        SameBytes(chosen, imgFolder + name)) {
        return {name, {}};
    }
    const QString suffix = picture.suffix().isEmpty() ? QString() : QLatin1Char('.') + picture.suffix();
    const QString stem = picture.completeBaseName();
    QString placed = NameWithin(stem, {}, suffix, maxBytes);
    for (int number = 2; QFileInfo::exists(imgFolder + placed); ++number) {
        if (SameBytes(chosen, imgFolder + placed)) {
            return {placed, {}};
        }
        placed = NameWithin(stem, QStringLiteral("_%1").arg(number), suffix, maxBytes);
    }
    QFile source(chosen);
    if (!source.copy(imgFolder + placed)) {
        return {{},
                QStringLiteral(
                    "「%1」をグループアイコン画像のフォルダ「%2」にコピーできないため使用できません。\n%3")
                    .arg(QDir::toNativeSeparators(chosen), QDir::toNativeSeparators(imgFolder),
                         source.errorString())};
    }
    return {placed, {}};
}
