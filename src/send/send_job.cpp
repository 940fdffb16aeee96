#include "send/send_job.h"

#include <ctime>
#include <memory>

#include "common/codepage.h"
#include "send/folder_sink.h"
#include "send/package_feed.h"
#include "send/source_path.h"
#include "send/temporary_package.h"
#include "send/zip_sink.h"

namespace {

SendOutcome Ended(SendResult result, std::string words = {}) {
    SendOutcome outcome;
    outcome.result = result;
    outcome.words = std::move(words);
    return outcome;
}

// The list of what was sent: a row per registration, those copied with their copy's name, size, time
// and SHA-256 (the `copied` so far, in the order of the files present), the others as missing.
DrawingList ListOfSent(const SendJob& job, const std::vector<PackedFile>& copied) {
    DrawingList list = job.list;
    std::size_t next = 0;
    for (const SurveyedFile& file : job.survey.files) {
        DrawingListRow row;
        row.number = file.stored.number;
        row.name = Utf8FromCp932(file.stored.fileName);
        row.folder = Utf8FromCp932(file.stored.folder);
        row.missing = !file.present || next >= copied.size();
        if (!row.missing) {
            const PackedFile& copy = copied[next++];
            row.name = Utf8FromCp932(copy.name);
            row.size = copy.size;
            row.modified = LocalTimeText(file.stamp.seconds);
            row.sha256 = copy.sha256;
        }
        list.rows.push_back(row);
    }
    return list;
}

// A drawing list of the files `copied`, as CSV or as PDF.
std::optional<std::string> ListFile(const SendJob& job, const std::vector<PackedFile>& copied, bool csv,
                                    std::string& error) {
    const DrawingList list = ListOfSent(job, copied);
    if (csv) {
        std::optional<std::string> bytes = CsvOfList(list, job.choices.csvEncoding);
        if (!bytes) {
            error = "図面リストにShift_JISで書けない文字があります。";
        }
        return bytes;
    }
    std::string pdf = job.pdf ? job.pdf(list) : std::string();
    if (pdf.empty()) {
        error = "日本語のフォントが見つからないため、PDFの図面リストを作成できません。";
        return std::nullopt;
    }
    return pdf;
}

// Reads the ZIP file back, telling how much of it was read.
std::string CheckZip(const std::string& path, ZipNames names, const std::vector<PackedFile>& packed,
                     const std::atomic<bool>& cancel, SendProgress& progress,
                     const std::function<void(const SendProgress&)>& tell) {
    progress.checking = true;
    progress.bytesDone = 0;
    progress.bytes = 0;
    for (const PackedFile& file : packed) {
        progress.bytes += file.size;
    }
    progress.current.clear();
    tell(progress);
    return CheckZipPackage(path, names, packed, cancel, [&](std::int64_t bytes) {
        progress.bytesDone += bytes;
        tell(progress);
    });
}

}  // namespace

FileStamp StampOf(const struct stat& facts) {
    return {facts.st_size, facts.st_mtim.tv_sec, facts.st_mtim.tv_nsec};
}

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
        SurveyedFile surveyed{file, SourcePathOf(mappings, file.folder, file.fileName), false, {}};
        struct stat facts {};
        surveyed.present =
            !file.fileName.empty() && ::stat(surveyed.source.c_str(), &facts) == 0 && S_ISREG(facts.st_mode);
        if (surveyed.present) {
            surveyed.stamp = StampOf(facts);
        }
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
    std::vector<SurveyedFile> present;
    std::vector<StoredFile> stored;
    SendProgress progress;
    for (const SurveyedFile& file : job.survey.files) {
        if (file.present) {
            present.push_back(file);
            stored.push_back(file.stored);
            progress.bytes += file.stamp.size;
        }
    }
    progress.files = static_cast<int>(present.size());
    const std::vector<std::string> listNames = ListFileNames(choices);
    std::vector<std::string> names = PackageNames(stored, choices.layout, listNames);
    std::vector<PackageEntry> entries;
    for (std::size_t i = 0; i < present.size(); ++i) {
        entries.push_back({names[i], present[i].stamp.seconds});
    }
    const std::int64_t now = std::time(nullptr);
    for (const std::string& name : listNames) {
        names.push_back(name);
        entries.push_back({name, now});
    }

    // What needs CP932 names reads no ZIP64, and minizip writes no ZIP64 count.
    if (zip && choices.zipNames == ZipNames::Cp932 && entries.size() > kMostCp932ZipEntries) {
        return Ended(SendResult::Failed,
                     "Shift_JISの名前で格納するZIPファイルに入れられるファイルは " +
                         GroupedNumber(kMostCp932ZipEntries) +
                         " 件までです（古い解凍ソフトは、それより多いファイルを読めません）。"
                         "名前をUTF-8で格納するか、フォルダで送付して下さい。");
    }
    TemporaryPackage temporary(job.notes, choices.where, zip);
    if (temporary.path().empty()) {
        return Ended(SendResult::Failed, temporary.error());
    }
    const std::unique_ptr<PackageSink> sink =
        zip ? MakeZipSink(temporary.path(), choices.zipNames) : MakeFolderSink(temporary.path());
    const std::size_t firstList = present.size();
    PackageFeed feed(
        present, names,
        [&](std::size_t list, const std::vector<PackedFile>& files, std::string& error) {
            return ListFile(job, files, choices.csv && list == 0, error);
        },
        cancel, progress, tell);
    // A folder's files are read back as soon as each is written, beside the copying.
    std::optional<FolderCheckAlong> along;
    if (!zip) {
        along.emplace(temporary.path(), cancel);
        feed.onWhole = [&along](const PackedFile& file) { along->Add(file); };
    }
    const bool written = sink->Write(entries, feed, cancel);
    if (cancel) {
        return Ended(SendResult::Cancelled);
    }
    if (!written) {
        return Ended(SendResult::Failed, !feed.Error().empty() ? feed.Error() : sink->Error());
    }
    const std::vector<PackedFile>& packed = feed.packed();
    const std::string problem =
        zip ? CheckZip(temporary.path(), choices.zipNames, packed, cancel, progress, tell) : along->Finish();
    if (cancel) {
        return Ended(SendResult::Cancelled);
    }
    if (!problem.empty()) {
        return Ended(SendResult::Failed, problem);
    }
    if (!temporary.RenameTo(TargetPath(choices), job.replace)) {
        return Ended(SendResult::Failed, temporary.error());
    }
    SendOutcome outcome = Ended(SendResult::Made);
    const std::vector<PackedFile> copied(packed.begin(),
                                         packed.begin() + static_cast<std::ptrdiff_t>(firstList));
    outcome.list = ListOfSent(job, copied);
    outcome.listSha256 = listNames.empty() ? std::string() : packed[firstList].sha256;
    outcome.packageName = choices.name + (zip ? ".zip" : "");
    return outcome;
}
