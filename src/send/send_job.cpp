#include "send/send_job.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <memory>

#include "common/codepage.h"
#include "send/error_words.h"
#include "send/folder_sink.h"
#include "send/package_check.h"
#include "send/sha256.h"
#include "send/source_path.h"
#include "send/temporary_package.h"
#include "send/zip_sink.h"

namespace {

// Tells the progress when a file begins and after every piece.
class Teller {
public:
    Teller(const std::function<void(const SendProgress&)>& tell, SendProgress& progress)
        : tell_(tell), progress_(progress) {}

    void Now() { tell_(progress_); }
    void Bytes(std::int64_t bytes) {
        progress_.bytesDone += bytes;
        Now();
    }

private:
    const std::function<void(const SendProgress&)>& tell_;
    SendProgress& progress_;
};

SendOutcome Ended(SendResult result, std::string words = {}) {
    SendOutcome outcome;
    outcome.result = result;
    outcome.words = std::move(words);
    return outcome;
}

struct Copied {
    bool gone = false;  // the file was not there any more
    std::string problem;
    PackedFile packed;
    std::int64_t modified = 0;
};

// Streams one file into the package, hashing what it reads.
Copied CopyFile(const SurveyedFile& file, const std::string& name, PackageSink& sink,
                std::vector<char>& piece, const std::atomic<bool>& cancel, Teller& teller) {
    Copied copied;
    copied.packed.name = name;
    const int source = ::open(file.source.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat facts {};
    if (source < 0 || ::fstat(source, &facts) != 0 || !S_ISREG(facts.st_mode)) {
        copied.gone = source < 0 ? errno == ENOENT : true;
        copied.problem = ErrorWords(errno) + " " + file.source;
        if (source >= 0) {
            ::close(source);
        }
        return copied;
    }
    ::posix_fadvise(source, 0, 0, POSIX_FADV_SEQUENTIAL);
    copied.modified = facts.st_mtim.tv_sec;
    Sha256 sha;
    bool written = sink.BeginEntry(name, facts.st_size, copied.modified);
    ssize_t got = 0;
    while (written && !cancel && (got = ::read(source, piece.data(), piece.size())) > 0) {
        sha.Add(piece.data(), static_cast<std::size_t>(got));
        written = sink.Write(piece.data(), static_cast<std::size_t>(got));
        copied.packed.size += got;
        teller.Bytes(got);
    }
    const int readError = got < 0 ? errno : 0;
    ::close(source);
    if (readError != 0) {
        copied.problem = ErrorWords(readError) + " " + file.source;
    } else if (!written || !sink.EndEntry()) {
        copied.problem = sink.Error();
    }
    copied.packed.sha256 = sha.HexDigest();
    return copied;
}

bool AddBytes(PackageSink& sink, const std::string& name, const std::string& bytes, std::int64_t now,
              std::vector<PackedFile>& packed) {
    if (!sink.BeginEntry(name, static_cast<std::int64_t>(bytes.size()), now) ||
        !sink.Write(bytes.data(), bytes.size()) || !sink.EndEntry()) {
        return false;
    }
    packed.push_back({name, static_cast<std::int64_t>(bytes.size()), Sha256Of(bytes)});
    return true;
}

}  // namespace

std::string TargetPath(const SendChoices& choices) {
    std::string folder = choices.where;
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder + Utf8FromCp932(choices.name) + (choices.kind == PackageKind::Zip ? ".zip" : "");
}

std::vector<std::string> ListFileNames(const SendChoices& choices) {
    std::vector<std::string> names;
    if (choices.csv) {
        names.push_back(Cp932("図面リスト.csv"));
    }
    if (choices.pdf) {
        names.push_back(Cp932("図面リスト.pdf"));
    }
    return names;
}

Survey SurveyFiles(const std::vector<StoredFile>& files, const FolderMappings& mappings,
                   const SendChoices& choices, const std::atomic<bool>& cancel) {
    Survey survey;
    for (const StoredFile& file : files) {
        if (cancel) {
            break;
        }
        SurveyedFile surveyed{file, SourcePathOf(mappings, file.folder, file.fileName)};
        struct stat facts {};
        surveyed.present =
            !file.fileName.empty() && ::stat(surveyed.source.c_str(), &facts) == 0 && S_ISREG(facts.st_mode);
        surveyed.size = surveyed.present ? facts.st_size : 0;
        survey.missing += surveyed.present ? 0 : 1;
        survey.files.push_back(std::move(surveyed));
    }
    struct stat target {};
    survey.targetExists = ::lstat(TargetPath(choices).c_str(), &target) == 0;
    return survey;
}

SendOutcome WritePackage(const SendJob& job, const std::atomic<bool>& cancel,
                         const std::function<void(const SendProgress&)>& tell) {
    const SendChoices& choices = job.choices;
    const bool zip = choices.kind == PackageKind::Zip;
    std::vector<StoredFile> present;
    SendProgress progress;
    for (const SurveyedFile& file : job.survey.files) {
        if (file.present) {
            present.push_back(file.stored);
            progress.bytes += file.size;
        }
    }
    progress.files = static_cast<int>(present.size());
    const std::vector<std::string> listNames = ListFileNames(choices);
    const std::vector<std::string> names = PackageNames(present, choices.layout, listNames);

    // zlib's minizip writes no ZIP64 end record for more entries than the first format counts.
    if (zip && present.size() + listNames.size() > kMostZipEntries) {
        return Ended(SendResult::Failed, "ZIPファイルに入れられるファイルは " +
                                             GroupedNumber(kMostZipEntries) +
                                             " 件までです。フォルダで送付して下さい。");
    }
    TemporaryPackage temporary(job.notes, choices.where, zip);
    if (temporary.path().empty()) {
        return Ended(SendResult::Failed, temporary.error());
    }
    const std::unique_ptr<PackageSink> sink =
        zip ? MakeZipSink(temporary.path(), choices.zipNames) : MakeFolderSink(temporary.path());
    Teller teller(tell, progress);
    std::vector<char> piece(kStreamPiece);
    std::vector<PackedFile> packed;
    DrawingList list = job.list;
    std::size_t next = 0;
    for (const SurveyedFile& file : job.survey.files) {
        DrawingListRow row;
        row.number = file.stored.number;
        row.name = Utf8FromCp932(file.stored.fileName);
        row.folder = Utf8FromCp932(file.stored.folder);
        row.missing = !file.present;
        if (file.present) {
            const std::string& name = names[next++];
            progress.current = Utf8FromCp932(name);
            teller.Now();
            const Copied copied = CopyFile(file, name, *sink, piece, cancel, teller);
            if (cancel) {
                return Ended(SendResult::Cancelled);
            }
            // A file gone since it was looked at is listed as missing like the others.
            if (copied.gone) {
                row.missing = true;
            } else if (!copied.problem.empty()) {
                return Ended(SendResult::Failed, copied.problem);
            } else {
                row.name = progress.current;
                row.size = copied.packed.size;
                row.modified = LocalTimeText(copied.modified);
                row.sha256 = copied.packed.sha256;
                packed.push_back(copied.packed);
            }
            ++progress.filesDone;
        }
        list.rows.push_back(row);
    }

    SendOutcome outcome = Ended(SendResult::Made);
    const std::int64_t now = std::time(nullptr);
    if (choices.csv) {
        const std::optional<std::string> csv = CsvOfList(list, choices.csvEncoding);
        if (!csv) {
            return Ended(SendResult::Failed, "図面リストにShift_JISで書けない文字があります。");
        }
        if (!AddBytes(*sink, listNames.front(), *csv, now, packed)) {
            return Ended(SendResult::Failed, sink->Error());
        }
    }
    if (choices.pdf) {
        const std::string pdf = job.pdf ? job.pdf(list) : std::string();
        if (pdf.empty()) {
            return Ended(SendResult::Failed,
                         "日本語のフォントが見つからないため、PDFの図面リストを作成できません。");
        }
        if (!AddBytes(*sink, listNames.back(), pdf, now, packed)) {
            return Ended(SendResult::Failed, sink->Error());
        }
    }
    if (!sink->Finish()) {
        return Ended(SendResult::Failed, sink->Error());
    }

    progress.checking = true;
    progress.bytesDone = 0;
    progress.bytes = 0;
    for (const PackedFile& file : packed) {
        progress.bytes += file.size;
    }
    progress.current.clear();
    teller.Now();
    const auto readBytes = [&teller](std::int64_t bytes) { teller.Bytes(bytes); };
    const std::string problem =
        zip ? CheckZipPackage(temporary.path(), choices.zipNames, packed, cancel, readBytes)
            : CheckFolderPackage(temporary.path(), packed, cancel, readBytes);
    if (cancel) {
        return Ended(SendResult::Cancelled);
    }
    if (!problem.empty()) {
        return Ended(SendResult::Failed, problem);
    }
    if (!temporary.RenameTo(TargetPath(choices), job.replace)) {
        return Ended(SendResult::Failed, temporary.error());
    }
    outcome.list = std::move(list);
    outcome.listSha256 = listNames.empty() ? std::string() : packed[packed.size() - listNames.size()].sha256;
    outcome.packageName = choices.name + (zip ? ".zip" : "");
    return outcome;
}
