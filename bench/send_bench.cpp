// The sending of a drawing set of 2,000 files, 2 GiB in all, as the program does it once its dialog is
// accepted: the look at every file, the copies streamed with their SHA-256 and flushed to the disk, the
// read-back, the rename and the record in the database, while the event loop turns (counter stall_ms:
// its longest wait). As a folder beside `cp -r` of the same files, as a ZIP file beside `zip` with the
// same files stored and deflated, each followed by a flush of the disk (`sync -f`), as the program's
// copies are; `cp -r` alone for comparison. Everything is made in a temporary folder and removed.
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstdint>
#include <memory>
#include <vector>

#include "bench_data.h"
#include "bench_program.h"
#include "bench_support.h"
#include "common/codepage.h"
#include "send/drawing_sender.h"
#include "send/send_dialog.h"

namespace {

constexpr int kFiles = 2000;
constexpr qint64 kFileBytes = 1 << 20;
constexpr int kGroup = 1;

// Drawings as offices send them: DWG files and PDF plots, which no deflate makes smaller, and some
// DXF files, text that deflates well.
const char* Kind(int file) {
    return file % 8 == 0 ? "dxf" : file % 8 == 1 ? "pdf" : "dwg";
}

QByteArray Contents(int file) {
    QByteArray bytes(kFileBytes, '\0');
    if (Kind(file)[1] == 'x') {
        for (qint64 at = 0; at + 32 < kFileBytes;) {
            at += std::snprintf(bytes.data() + at, 32, "  10\n%d.%04d\n 20\n",
                                file * 7 + static_cast<int>(at % 997), static_cast<int>(at % 10000));
        }
        return bytes;
    }
    std::uint64_t state = 0x9E3779B97F4A7C15ull * static_cast<std::uint64_t>(file + 1);
    for (qint64 at = 0; at < kFileBytes; at += 8) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        std::memcpy(bytes.data() + at, &state, 8);
    }
    return bytes;
}

// The group of 2,000 files and the folder the packages go to, made once per process.
struct SendData {
    SendData() {
        const std::string folder =
            LongFolder(data.FilePath(QStringLiteral("図面")) + QLatin1Char('/'), 200, "送付");
        sources = QString::fromStdString(Utf8FromCp932(folder));
        Require(QDir().mkpath(sources) && QDir().mkpath(target()), "making the folders");
        std::vector<std::pair<std::string, std::string>> rows;
        for (int file = 0; file < kFiles; ++file) {
            char ending[32];
            std::snprintf(ending, sizeof ending, "_%04d.%s", file, Kind(file));
            const std::string name = LongName(kNameOnDiskBytes, ending);
            QFile written(sources + QString::fromStdString(Utf8FromCp932(name)));
            Require(written.open(QIODevice::WriteOnly) && written.write(Contents(file)) == kFileBytes,
                    "writing a drawing");
            rows.emplace_back(folder, name);
        }
        AddGroups(data, 1);
        AddFileTable(data, kGroup, rows);
        data.WriteSettingsFile();
    }

    QString target() const { return data.FilePath(QStringLiteral("送付先")); }
    void EmptyTarget() const {
        Require(QDir(target()).removeRecursively() && QDir().mkpath(target()), "emptying the target");
    }

    BenchFolder data;
    QString sources;  // ends in "/"
};

const SendData& Data() {
    static const SendData data;
    return data;
}

void Run(const QString& program, const QStringList& arguments, const QString& folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    Require(process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
                process.exitCode() == 0,
            qPrintable(program));
}

double ChildrenPeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The program's sending of group 1 into the target, the dialog accepted with `kind` chosen.
void Send(benchmark::State& state, bool zip) {
    const SendData& data = Data();
    ProgramContext program(data.data.ExecutablePath());
    BenchWindows windows(program.context);
    windows.form1.show();
    Settle();
    DrawingSender& sender = *windows.send.sender;
    double stall = 0;
    TimeEach(
        state, [&] { data.EmptyTarget(); },
        [&] {
            const int said = program.prompts.expectedSeen;
            sender.SendGroup(kGroup);
            SendDialog& dialog = *sender.dialog;
            dialog.Edit1->setText(data.target());
            (zip ? dialog.RadioButton2 : dialog.RadioButton1)->setChecked(true);
            dialog.RadioButton3->setChecked(true);
            program.prompts.expectedMessage = QStringLiteral("送付用パッケージを作成しました。\n") +
                                              data.target() + "/" + dialog.Edit2->text() +
                                              (zip ? QStringLiteral(".zip") : QString());
            stall = std::max(stall, LongestStall([&] {
                                 dialog.OkButton->click();
                                 WaitWhile([&] { return program.prompts.expectedSeen == said; });
                             }));
        });
    state.counters["stall_ms"] = stall;
    Require(QDir(data.target()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size() == 1,
            "the package");
}

void SendFolder(benchmark::State& state) {
    Send(state, false);
}

void SendZip(benchmark::State& state) {
    Send(state, true);
}

// Each repetition runs `commands` (program and arguments) into the emptied target, in the sources'
// folder; the peak memory is the largest of theirs.
void TimeCommands(benchmark::State& state, const std::vector<QStringList>& commands) {
    const SendData& data = Data();
    TimeEach(
        state, [&] { data.EmptyTarget(); },
        [&] {
            for (const QStringList& command : commands) {
                Run(command.front(), command.mid(1), data.sources);
            }
        },
        ChildrenPeakMiB);
}

QStringList Flush() {
    return {QStringLiteral("sync"), QStringLiteral("-f"), Data().target()};
}

QStringList Copy() {
    return {QStringLiteral("cp"), QStringLiteral("-r"), Data().sources,
            Data().target() + QStringLiteral("/copy")};
}

void SendFolderFloor(benchmark::State& state) {
    TimeCommands(state, {Copy(), Flush()});
}

void SendFolderCp(benchmark::State& state) {
    TimeCommands(state, {Copy()});
}

// zip's own choice is to deflate everything; -n names what it stores, as the program does.
void SendZipFloor(benchmark::State& state) {
    TimeCommands(state, {{QStringLiteral("zip"), QStringLiteral("-q"), QStringLiteral("-r"),
                          QStringLiteral("-n"), QStringLiteral(".dwg:.pdf"),
                          Data().target() + QStringLiteral("/copy.zip"), QStringLiteral(".")},
                         Flush()});
}

const auto registered = {
    Register("SendFolder", SendFolder)->Arg(kFiles),
    Register("SendFolderFloor", SendFolderFloor)->Arg(kFiles),
    Register("SendFolderCp", SendFolderCp)->Arg(kFiles),
    Register("SendZip", SendZip)->Arg(kFiles),
    Register("SendZipFloor", SendZipFloor)->Arg(kFiles),
};

}  // namespace
