#include "preview/desktop_thumbnailers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/picture_isolation.h"

namespace {

constexpr qint64 kLargestOutput = qint64{16} << 20;

// Fills the placeholders of one word.
QString Filled(const QString& word, const QString& path, const QByteArray& uri, const QString& output,
               int size) {
    QString filled;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (word[i] != QLatin1Char('%') || i + 1 == word.size()) {
            filled += word[i];
            continue;
        }
        switch (word[++i].unicode()) {
            case 'i':
                filled += path;
                break;
            case 'u':
                filled += QString::fromLatin1(uri);
                break;
            case 'o':
                filled += output;
                break;
            case 's':
                filled += QString::number(size);
                break;
            case '%':
                filled += QLatin1Char('%');
                break;
            default:  // unknown codes are dropped, as desktop entries drop them
                break;
        }
    }
    return filled;
}

// The keys of a key file's [Thumbnailer Entry] group (desktop entry syntax: "#" comments, groups in
// brackets, key=value lines).
QHash<QString, QString> EntryKeys(const QString& path) {
    QHash<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text) || file.size() > (qint64{1} << 20)) {
        return keys;
    }
    bool inEntry = false;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inEntry = line == QLatin1String("[Thumbnailer Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inEntry && !line.startsWith(QLatin1Char('#')) && equals > 0) {
            keys.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
        }
    }
    return keys;
}

}  // namespace

bool FieldCodeInQuotes(const QString& exec) {
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted && c == QLatin1Char('\\')) {
            ++i;
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (quoted && c == QLatin1Char('%') && i + 1 < exec.size() &&
                   QStringView(u"iou").contains(exec[i + 1])) {
            return true;
        }
    }
    return false;
}

QStringList ExecWords(const QString& exec) {
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size()) {
                word += exec[++i];
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = inWord = true;
        } else if (c.isSpace()) {
            if (inWord) {
                words << word;
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words << word;
    }
    return words;
}

DesktopThumbnailers::DesktopThumbnailers(const QStringList& dataFolders) {
    QSet<QString> seen;
    for (const QString& folder : dataFolders) {
        const QDir thumbnailers(folder + QStringLiteral("/thumbnailers"));
        for (const QString& name : thumbnailers.entryList({QStringLiteral("*.thumbnailer")},
                                                          QDir::Files | QDir::Readable, QDir::Name)) {
            if (seen.contains(name)) {
                continue;
            }
            seen.insert(name);
            const QHash<QString, QString> keys = EntryKeys(thumbnailers.filePath(name));
            const QStringList mimeTypes =
                keys.value(QStringLiteral("MimeType")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
            const QString exec = keys.value(QStringLiteral("Exec"));
            const QStringList command = ExecWords(exec);
            const QString tryExec = keys.value(QStringLiteral("TryExec"));
            if (command.isEmpty() || mimeTypes.isEmpty() || FieldCodeInQuotes(exec) ||
                (!tryExec.isEmpty() && QStandardPaths::findExecutable(tryExec).isEmpty() &&
                 !QFile::exists(tryExec))) {
                continue;
            }
            entries_.push_back(Entry{command, mimeTypes});
        }
    }
}

QStringList DesktopThumbnailers::DataFoldersOfThisUser() {
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (home.isEmpty()) {
        home = QDir::homePath() + QStringLiteral("/.local/share");
    }
    QString others = qEnvironmentVariable("XDG_DATA_DIRS");
    if (others.isEmpty()) {
        others = QStringLiteral("/usr/local/share/:/usr/share/");
    }
    return QStringList{home} + others.split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

const DesktopThumbnailers::Entry* DesktopThumbnailers::For(const QString& mimeType) const {
    for (const Entry& entry : entries_) {
        if (entry.mimeTypes.contains(mimeType, Qt::CaseInsensitive)) {
            return &entry;
        }
    }
    return nullptr;
}

Drawing DesktopThumbnailers::Run(const Entry& entry, const QString& path, const QByteArray& uri, int size,
                                 std::chrono::milliseconds timeLimit) {
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        return Drawing{QImage(), true};
    }
    const QString output = scratch.filePath(QStringLiteral("thumbnail.png"));
    QStringList words;
    for (const QString& word : entry.command) {
        words << Filled(word, path, uri, output, size);
    }
    QProcess process;
    process.setProgram(words.takeFirst());
    process.setArguments(words);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    SetUpApartProcess(process);
    process.start();
    if (!process.waitForStarted(static_cast<int>(timeLimit.count()))) {
        return Drawing{QImage(), true};
    }
    const qint64 group = process.processId();
    const bool finished = process.waitForFinished(static_cast<int>(timeLimit.count()));
    EndProcessGroup(group);  // all of it when it took too long, else what it left behind
    if (!finished) {
        process.waitForFinished(-1);
        return Drawing{QImage(), true};
    }
    if (process.exitStatus() != QProcess::NormalExit) {
        return Drawing{QImage(), true};  // it crashed
    }
    if (process.exitCode() != 0 || QFileInfo(output).size() > kLargestOutput) {
        return Drawing{};
    }
    QImageReader reader(output);
    return Drawing{reader.read(), false};
}
