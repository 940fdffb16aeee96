#include "relink/relink_plan.h"

#include <array>
#include <optional>

#include "common/codepage.h"
#include "common/sql_literal.h"
#include "storage/database.h"
#include "storage/registration.h"
#include "storage/schema.h"

std::set<std::string> WantedNames(const std::vector<MissingFile>& files) {
    std::set<std::string> names;
    for (const MissingFile& file : files) {
        if (!file.fileName.empty()) {
            names.insert(Utf8FromCp932(file.fileName));
        }
    }
    return names;
}

std::vector<RelinkProposal> ProposeRelinks(const std::vector<MissingFile>& files,
                                           const TreeSearchResult& walk, const FolderMappings& mappings) {
    const FoldersByName& found = walk.found;
    std::vector<RelinkProposal> proposals;
    for (const MissingFile& file : files) {
        if (file.fileName.empty()) {
            continue;
        }
        const auto folders = found.find(Utf8FromCp932(file.fileName));
        if (folders == found.end()) {
            continue;
        }
        std::vector<std::string> storable;
        std::vector<std::string> storableBytes;
        for (const std::string& folder : folders->second) {
            // A folder the code page cannot hold could not be stored; one a Windows desktop could
            // not open the file in, under its stored form, is not offered.
            const std::optional<std::string> bytes = Cp932FromUtf8(folder);
            if (bytes && WindowsCanHold(mappings, *bytes + file.fileName)) {
                storable.push_back(folder);
                storableBytes.push_back(StoredPathOf(mappings, *bytes).folder);
            }
        }
        const int best = BestCandidate(Utf8FromCp932(file.folder), storable);
        if (best >= 0) {
            proposals.push_back(
                {file, storableBytes[best], static_cast<int>(storable.size()), walk.Complete(), {}});
        }
    }
    return proposals;
}

RelinkOutcome StoreRelink(Database& database, const RelinkProposal& proposal) {
    const MissingFile& file = proposal.file;
    const std::array<std::string, 2> columns{"PATH_NAME", "FILE_NAME"};
    const std::array<std::string, 2> values{SqlText(proposal.newFolder), SqlText(proposal.newFileName)};
    const std::size_t count = proposal.newFileName.empty() ? 1 : 2;
    const long long changed = database.UpdateColumnsChanged(
        FileTableName(file.group), std::span(columns).first(count), std::span(values).first(count),
        SameRegistration(file.number, file.fileName, file.folder));
    return changed < 0    ? RelinkOutcome::Failed
           : changed == 0 ? RelinkOutcome::ChangedElsewhere
                          : RelinkOutcome::Relinked;
}
