#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <fstream>

#include "common/codepage.h"
#include "drawing_files.h"
#include "platform/codec.h"
#include "send/list_pdf.h"
#include "send/package_check.h"
#include "send/send_job.h"
#include "send/sha256.h"
#include "send/temporary_package.h"
#include "send/zip_sink.h"
#include "send_files.h"

namespace {

constexpr std::int64_t kSentDay = 1796688000;  // 2026-12-08 00:00 UTC

// Each entry of a ZIP file as Python's zipfile reads it: the name (from the Unicode Path field when
// the language flag is not set), the flag, the method, the size, whether the CRC matches the data.
const char* kZipReport = R"(
import json, sys, zipfile, zlib, struct
entries = []
with zipfile.ZipFile(sys.argv[1]) as z:
    for i in z.infolist():
        name, unicode_path = i.filename, None
        extra = i.extra
        while len(extra) >= 4:
            tag, size = struct.unpack('<HH', extra[:4])
            if tag == 0x7075:
                raw = i.filename.encode('cp437')
                assert struct.unpack('<I', extra[5:9])[0] == zlib.crc32(raw)
                unicode_path = extra[9:4 + size].decode('utf-8')
                assert raw.decode('cp932') == unicode_path
            extra = extra[4 + size:]
        data = z.read(i)
        entries.append({'name': unicode_path or name, 'utf8': bool(i.flag_bits & 0x800),
                        'stored': i.compress_type == 0, 'size': i.file_size,
                        'crc': zlib.crc32(data) == i.CRC})
print(json.dumps(entries))
)";

struct Kind {
    const char* what;
    PackageKind kind;
    ZipNames names;
};

const std::vector<Kind> kKinds{{"folder", PackageKind::Folder, ZipNames::Utf8},
                               {"ZIP, UTF-8 names", PackageKind::Zip, ZipNames::Utf8},
                               {"ZIP, CP932 names", PackageKind::Zip, ZipNames::Cp932}};

class SendPackage : public ::testing::Test {
protected:
    SendPackage() {
        QDir().mkpath(sources());
        QDir().mkpath(target());
    }

    QString sources() const { return root.path() + QStringLiteral("/図面"); }
    QString target() const { return root.path() + QStringLiteral("/送付"); }
    std::string notes() const {
        return QFile::encodeName(root.path() + QStringLiteral("/notes")).toStdString();
    }

    // A registration of a file under the share \\FS01\図面\, which this desktop mounts at sources().
    StoredFile Registered(std::int64_t number, const QString& folder, const QString& name) const {
        return {number, *ToCp932(name), *ToCp932(QStringLiteral("\\\\FS01\\図面\\") + folder)};
    }

    SendJob Job(PackageKind kind, ZipNames names, const std::vector<StoredFile>& files) {
        SendChoices choices;
        choices.kind = kind;
        choices.zipNames = names;
        choices.where = QFile::encodeName(target()).toStdString();
        choices.name = Cp932("共有図面_20261208");
        const FolderMappings mappings{MappingOf(Cp932("\\\\FS01\\図面\\"), *ToCp932(sources() + "/"))};
        const std::atomic<bool> going{false};
        SendJob job{SurveyFiles(files, mappings, choices, going), choices, {}, false, notes(), {}};
        job.list.groupName = "共有図面";
        job.list.note = "至急ご確認下さい。";
        job.pdf = [](const DrawingList& list) { return PdfOfList(list, JapaneseFontFamily()).toStdString(); };
        return job;
    }

    SendOutcome Write(const SendJob& job, const std::function<void(const SendProgress&)>& tell = {}) {
        return WritePackage(job, cancel, [&](const SendProgress& progress) {
            if (tell) {
                tell(progress);
            }
        });
    }

    QTemporaryDir root;
    std::atomic<bool> cancel{false};
};

}  // namespace

TEST_F(SendPackage, everyCopyKeepsItsTimeAndOtherProgramsReadThePackageAndItsLists) {
    const QString longName = LongJapaneseName(QStringLiteral("dwg"));
    WriteDated(sources() + QStringLiteral("/A棟/") + longName, QByteArray(300000, 'a'), kSentDay);
    WriteDated(sources() + QStringLiteral("/B棟/") + longName, "B", kSentDay + 2);
    WriteDated(sources() + QStringLiteral("/表紙.png"), QByteArray(5000, 'p'), kSentDay + 4);
    // Typed with the wave dash outside Windows; the code page keeps it as the fullwidth tilde.
    WriteDated(sources() + QStringLiteral("/仕様_A\u301CB.txt"), QByteArray(5000, 't'), kSentDay + 5);
    const std::vector<StoredFile> files{
        Registered(1, QStringLiteral("A棟\\"), longName), Registered(2, QStringLiteral("B棟\\"), longName),
        Registered(3, QStringLiteral(""), QStringLiteral("表紙.png")),
        Registered(4, QStringLiteral(""), QStringLiteral("仕様_A\u301CB.txt")),
        Registered(9, QStringLiteral("ソ\\"), QStringLiteral("ない.dwg"))};
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.what);
        QDir(target()).removeRecursively();
        QDir().mkpath(target());
        const SendJob job = Job(kind.kind, kind.names, files);
        ASSERT_EQ(job.survey.missing, 1);
        const SendOutcome outcome = Write(job);
        ASSERT_EQ(outcome.result, SendResult::Made) << outcome.words;
        EXPECT_EQ(outcome.list.Sent(), 4);
        EXPECT_EQ(outcome.list.Missing(), 1);

        const QString second = QString::fromStdString(outcome.list.rows[1].name);
        ASSERT_TRUE(second.endsWith(QStringLiteral(" (2).dwg")));
        const QStringList names{longName,
                                second,
                                QStringLiteral("表紙.png"),
                                QStringLiteral("仕様_A\uFF5EB.txt"),
                                QStringLiteral("図面リスト.csv"),
                                QStringLiteral("図面リスト.pdf")};
        const QString package = target() + QStringLiteral("/共有図面_20261208");
        QString csvPath = package + QStringLiteral("/図面リスト.csv");
        QString pdfPath = package + QStringLiteral("/図面リスト.pdf");
        if (kind.kind == PackageKind::Folder) {
            EXPECT_EQ(FolderNames(target()), QStringList{QStringLiteral("共有図面_20261208")});
            EXPECT_EQ(ReadAll(package + "/" + longName), QByteArray(300000, 'a'));
            EXPECT_EQ(ModifiedTime(package + "/" + longName), kSentDay);
            EXPECT_EQ(ModifiedTime(package + "/" + second), kSentDay + 2);
        } else {
            EXPECT_EQ(FolderNames(target()), QStringList{QStringLiteral("共有図面_20261208.zip")});
            const QString zip = package + QStringLiteral(".zip");
            const QJsonArray entries =
                QJsonDocument::fromJson(
                    ToolOutput(QStringLiteral("python3"),
                               {QStringLiteral("-c"), QString::fromLatin1(kZipReport), zip}))
                    .array();
            ASSERT_EQ(entries.size(), names.size());
            for (int i = 0; i < names.size(); ++i) {
                const QJsonObject entry = entries[i].toObject();
                EXPECT_EQ(entry[QStringLiteral("name")].toString(), names[i]);
                EXPECT_EQ(entry[QStringLiteral("utf8")].toBool(), kind.names == ZipNames::Utf8);
                EXPECT_EQ(entry[QStringLiteral("stored")].toBool(),
                          names[i].endsWith(QStringLiteral(".png")) ||
                              names[i].endsWith(QStringLiteral(".dwg")) ||
                              names[i].endsWith(QStringLiteral(".pdf")));
                EXPECT_TRUE(entry[QStringLiteral("crc")].toBool());
            }
            EXPECT_EQ(entries[0].toObject()[QStringLiteral("size")].toInt(), 300000);
            // Info-ZIP's and libarchive's readers: the names (from the Unicode Path field for CP932) and
            // every CRC.
            const QString listed =
                QString::fromUtf8(ToolOutput(QStringLiteral("unzip"), {QStringLiteral("-Z1"), zip}));
            EXPECT_EQ(listed.split(QLatin1Char('\n'), Qt::SkipEmptyParts), names);
            ToolOutput(QStringLiteral("unzip"), {QStringLiteral("-tq"), zip});
            const QString tarListed =
                QString::fromUtf8(ToolOutput(QStringLiteral("bsdtar"), {QStringLiteral("-tf"), zip}));
            EXPECT_EQ(tarListed.split(QLatin1Char('\n'), Qt::SkipEmptyParts), names);
            const QString unpacked = root.path() + QStringLiteral("/unpacked");
            QDir(unpacked).removeRecursively();
            ToolOutput(QStringLiteral("unzip"), {QStringLiteral("-q"), zip, QStringLiteral("-d"), unpacked});
            EXPECT_EQ(ModifiedTime(unpacked + "/" + longName), kSentDay);
            csvPath = unpacked + QStringLiteral("/図面リスト.csv");
            pdfPath = unpacked + QStringLiteral("/図面リスト.pdf");
        }
        const QByteArray csv = ReadAll(csvPath);
        EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
        EXPECT_TRUE(csv.contains(("9,ない.dwg,\\\\FS01\\図面\\ソ\\,,<No File>,\r\n")));
        const QString time =
            QDateTime::fromSecsSinceEpoch(kSentDay).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
        EXPECT_TRUE(csv.contains(("1," + longName + ",\\\\FS01\\図面\\A棟\\,300000," + time + ",").toUtf8()));
        const QString text =
            QString::fromUtf8(ToolOutput(QStringLiteral("pdftotext"), {pdfPath, QStringLiteral("-")}));
        for (const QString& shown : {QStringLiteral("図面送付リスト"), QStringLiteral("共有図面"),
                                     QStringLiteral("至急ご確認下さい。"), QStringLiteral("<No File>"),
                                     QStringLiteral("合計 4 件"), QStringLiteral("1 / 1")}) {
            EXPECT_TRUE(text.contains(shown)) << shown.toStdString();
        }
    }
    // The originals are only read.
    EXPECT_EQ(ModifiedTime(sources() + QStringLiteral("/A棟/") + longName), kSentDay);
    EXPECT_EQ(FolderNames(sources() + QStringLiteral("/A棟")), QStringList{longName});
}

namespace {

// A small file system of its own at `folder` (root only): full at `size`, or read-only.
class OwnMount {
public:
    OwnMount(const QString& folder, const char* options, unsigned long flags)
        : folder_(QFile::encodeName(folder).toStdString()) {
        mounted_ = ::geteuid() == 0 && ::mount("tmpfs", folder_.c_str(), "tmpfs", flags, options) == 0;
    }
    ~OwnMount() {
        if (mounted_) {
            ::umount2(folder_.c_str(), MNT_DETACH);
        }
    }
    bool mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

}  // namespace

TEST_F(SendPackage, nothingIsLeftUnderTheTargetsNameWhenTheDiskIsFullOrReadOnlyOrTheTargetExists) {
    // Bytes no deflate makes smaller.
    QByteArray noise(3 << 20, '\0');
    std::uint32_t state = 1;
    for (char& byte : noise) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    WriteDated(sources() + QStringLiteral("/大.dxf"), noise, kSentDay);
    const std::vector<StoredFile> files{Registered(1, QString(), QStringLiteral("大.dxf"))};
    struct Case {
        const char* what;
        const char* options;
        unsigned long flags;
        const char* words;
    };
    for (const Case& failing :
         {Case{"a full disk", "size=1m", 0, "ディスクの空き容量が足りません。"},
          Case{"a read-only disk", "size=1m", MS_RDONLY, "書き込みが許可されていません。"}}) {
        const OwnMount mount(target(), failing.options, failing.flags);
        if (!mount.mounted()) {
            GTEST_SKIP() << "a file system of the test's own cannot be mounted here (not root)";
        }
        for (const Kind& kind : kKinds) {
            SCOPED_TRACE(std::string(failing.what) + ", " + kind.what);
            const SendJob job = Job(kind.kind, kind.names, files);
            ASSERT_EQ(job.survey.missing, 0);
            const SendOutcome outcome = Write(job);
            EXPECT_EQ(outcome.result, SendResult::Failed);
            EXPECT_EQ(outcome.words, failing.words);
            EXPECT_EQ(FolderNames(target()), QStringList());
            EXPECT_EQ(FolderNames(QString::fromStdString(notes())), QStringList());
        }
    }
    // A target that is there is replaced only when the user said so.
    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(kind.what);
        const QString existing =
            target() + QStringLiteral("/共有図面_20261208") + (kind.kind == PackageKind::Zip ? ".zip" : "");
        WriteDated(kind.kind == PackageKind::Zip ? existing : existing + "/old.dwg", "old", kSentDay);
        SendJob job = Job(kind.kind, kind.names, files);
        EXPECT_TRUE(job.survey.targetExists);
        EXPECT_EQ(Write(job).result, SendResult::Failed);
        EXPECT_EQ(FolderNames(target()).size(), 1);
        job.replace = true;
        ASSERT_EQ(Write(job).result, SendResult::Made);
        EXPECT_EQ(FolderNames(target()).size(), 1);
        EXPECT_FALSE(QFile::exists(existing + "/old.dwg"));
        QDir(target()).removeRecursively();
        QDir().mkpath(target());
    }
}

TEST_F(SendPackage, aCancelOrAChangeOfTheFileInTheMiddleOfItLeavesNothing) {
    const QString path = sources() + QStringLiteral("/大きい.dwg");
    QFile large(path);
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    ASSERT_TRUE(large.resize(48 << 20));
    large.close();
    const std::vector<StoredFile> files{Registered(1, QString(), QStringLiteral("大きい.dwg"))};
    struct Case {
        const char* what;
        bool change;  // else a cancel
        SendResult result;
    };
    for (const Case& midway : {Case{"a cancel", false, SendResult::Cancelled},
                               Case{"another program writing the file", true, SendResult::Failed}}) {
        for (const Kind& kind : kKinds) {
            SCOPED_TRACE(std::string(midway.what) + ", " + kind.what);
            cancel = false;
            std::int64_t stoppedAt = 0;
            const SendJob job = Job(kind.kind, kind.names, files);
            const SendOutcome outcome = Write(job, [&](const SendProgress& progress) {
                if (progress.bytesDone > 0 && stoppedAt == 0) {
                    stoppedAt = progress.bytesDone;
                    if (midway.change) {
                        QFile writer(path);
                        ASSERT_TRUE(writer.open(QIODevice::ReadWrite));
                        writer.seek(40 << 20);
                        writer.write("changed");
                    } else {
                        cancel = true;
                    }
                }
            });
            EXPECT_EQ(outcome.result, midway.result) << outcome.words;
            EXPECT_GT(stoppedAt, 0);
            EXPECT_LT(stoppedAt, 48 << 20);
            EXPECT_EQ(FolderNames(target()), QStringList());
            EXPECT_EQ(FolderNames(QString::fromStdString(notes())), QStringList());
        }
    }
}

TEST_F(SendPackage, theLeftoversOfAHardEndAreRemovedAtTheNextStartAndNothingElse) {
    const pid_t ended = ::fork();
    if (ended == 0) {
        ::_exit(0);
    }
    ASSERT_GT(ended, 0);
    ::waitpid(ended, nullptr, 0);
    WriteDated(target() + QStringLiteral("/.qarto-send-abc123/a.dwg"), "a", kSentDay);
    WriteDated(target() + QStringLiteral("/.qarto-send-def456.zip"), "z", kSentDay);
    WriteDated(target() + QStringLiteral("/.qarto-send-zzz999.zip"), "still being made", kSentDay);
    WriteDated(target() + QStringLiteral("/報告書/a.dwg"), "theirs", kSentDay);
    const std::string folder = QFile::encodeName(target()).toStdString();
    QDir().mkpath(QString::fromStdString(notes()));
    std::ofstream(notes() + "/" + std::to_string(ended) + ".aaaaaa") << folder << "/.qarto-send-abc123\n"
                                                                     << folder << "/.qarto-send-def456.zip\n"
                                                                     << folder << "/報告書\n";
    std::ofstream(notes() + "/" + std::to_string(::getppid()) + ".bbbbbb")
        << folder << "/.qarto-send-zzz999.zip";
    RemoveUnfinishedPackages(notes());
    EXPECT_EQ(FolderNames(target()),
              (QStringList{QStringLiteral(".qarto-send-zzz999.zip"), QStringLiteral("報告書")}));
    EXPECT_EQ(FolderNames(QString::fromStdString(notes())),
              QStringList{QString::number(::getppid()) + QStringLiteral(".bbbbbb")});
}

namespace {

// Entries made in memory: each holds its own name.
class NamesFeed : public EntryFeed {
public:
    explicit NamesFeed(const std::vector<PackageEntry>& entries) : entries_(entries) {}
    bool Open(std::size_t entry) override {
        entry_ = entry;
        given_ = false;
        return true;
    }
    std::int64_t Size() const override { return static_cast<std::int64_t>(entries_[entry_].name.size()); }
    std::int64_t Read(const char*& bytes) override {
        bytes = entries_[entry_].name.data();
        return std::exchange(given_, true) ? 0 : Size();
    }
    void Close() override {}
    std::string Error() const override { return {}; }

private:
    const std::vector<PackageEntry>& entries_;
    std::size_t entry_ = 0;
    bool given_ = false;
};

}  // namespace

TEST_F(SendPackage, aUtf8ZipOfMoreFilesThanTheFirstFormatCountsIsWholeForEveryReader) {
    std::vector<PackageEntry> entries;
    std::vector<PackedFile> expected;
    QStringList names;
    for (int i = 0; i <= 65536; ++i) {
        const QString name =
            QStringLiteral("表ソ能/%1.%2").arg(i, 5, 10, QLatin1Char('0')).arg(i % 2 ? "dwg" : "txt");
        entries.push_back({*ToCp932(name), kSentDay});
        expected.push_back({entries.back().name, static_cast<std::int64_t>(entries.back().name.size()),
                            Sha256Of(entries.back().name)});
        names << name;
    }
    const QString zip = target() + QStringLiteral("/多い.zip");
    WriteDated(zip, QByteArray(), kSentDay);
    NamesFeed feed(entries);
    const std::unique_ptr<PackageSink> sink =
        MakeZipSink(QFile::encodeName(zip).toStdString(), ZipNames::Utf8);
    ASSERT_TRUE(sink->Write(entries, feed, cancel)) << sink->Error();

    EXPECT_EQ(CheckZipPackage(QFile::encodeName(zip).toStdString(), ZipNames::Utf8, expected, cancel,
                              [](std::int64_t) {}),
              "");
    const QString listed =
        QString::fromUtf8(ToolOutput(QStringLiteral("unzip"), {QStringLiteral("-Z1"), zip}));
    EXPECT_EQ(listed.split(QLatin1Char('\n'), Qt::SkipEmptyParts), names);
    ToolOutput(QStringLiteral("unzip"), {QStringLiteral("-tq"), zip});  // every CRC
}

TEST_F(SendPackage, aZipOfCp932NamesOfMoreFilesThanOldArchiversCountIsRefusedBeforeAnythingIsWritten) {
    SendJob job = Job(PackageKind::Zip, ZipNames::Cp932, {});
    for (int i = 0; i < 65534; ++i) {
        job.survey.files.push_back(
            {{i, std::to_string(i) + ".dwg", "/x/"}, "/x/" + std::to_string(i), true, {1, kSentDay, 0}});
    }
    const SendOutcome outcome = Write(job);  // with the two lists, 65,536
    EXPECT_EQ(outcome.result, SendResult::Failed);
    EXPECT_NE(outcome.words.find("65,535"), std::string::npos) << outcome.words;
    EXPECT_EQ(FolderNames(target()), QStringList());
}

TEST_F(SendPackage, theReadBackFindsAFileThatIsNotWhatWasWrittenOrOneTooMany) {
    const std::vector<PackageEntry> entries{{Cp932("表/ソ.dwg"), kSentDay}, {Cp932("能.txt"), kSentDay}};
    std::vector<PackedFile> written;
    for (const PackageEntry& entry : entries) {
        written.push_back({entry.name, static_cast<std::int64_t>(entry.name.size()), Sha256Of(entry.name)});
    }
    std::vector<PackedFile> otherBytes = written;
    otherBytes[1].sha256 = Sha256Of("other");
    const std::vector<PackedFile> fewer{written[0]};
    struct Case {
        const char* what;
        const std::vector<PackedFile>& expected;
        const char* words;
    };
    for (const Case& check : {Case{"as written", written, ""},
                              Case{"other bytes", otherBytes, "読み直した内容が一致しません: 能.txt"},
                              Case{"a file more", fewer, "作成したパッケージのファイル数が一致しません。"}}) {
        for (const Kind& kind : kKinds) {
            SCOPED_TRACE(std::string(check.what) + ", " + kind.what);
            const QString package = target() + (kind.kind == PackageKind::Zip ? ".zip" : "");
            std::string problem;
            if (kind.kind == PackageKind::Folder) {
                for (const PackageEntry& entry : entries) {
                    WriteDated(package + "/" + FromCp932(entry.name), QByteArray::fromStdString(entry.name),
                               kSentDay);
                }
                FolderCheckAlong along(QFile::encodeName(package).toStdString(), cancel);
                for (const PackedFile& file : check.expected) {
                    along.Add(file);
                }
                problem = along.Finish();
            } else {
                WriteDated(package, QByteArray(), kSentDay);
                NamesFeed feed(entries);
                ASSERT_TRUE(MakeZipSink(QFile::encodeName(package).toStdString(), kind.names)
                                ->Write(entries, feed, cancel));
                problem = CheckZipPackage(QFile::encodeName(package).toStdString(), kind.names,
                                          check.expected, cancel, [](std::int64_t) {});
            }
            EXPECT_EQ(problem, check.words);
        }
    }
}
