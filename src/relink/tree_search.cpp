#include "relink/tree_search.h"

#include <string_view>
#include <system_error>

#include "common/codepage.h"

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// The folder's names from the last to the first.
std::vector<std::string_view> NamesFromEnd(std::string_view folder) {
    std::vector<std::string_view> names;
    std::size_t end = folder.size();
    while (end > 0) {
        while (end > 0 && IsSeparator(folder[end - 1])) {
            --end;
        }
        std::size_t begin = end;
        while (begin > 0 && !IsSeparator(folder[begin - 1])) {
            --begin;
        }
        if (begin < end) {
            names.push_back(folder.substr(begin, end - begin));
        }
        end = begin;
    }
    return names;
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

TreeSearchResult FindNamesInTree(const std::filesystem::path& root, const std::set<std::string>& wanted,
                                 const std::atomic<bool>& cancelled, std::atomic<long long>& visited) {
    namespace fs = std::filesystem;
    TreeSearchResult result;
    std::vector<fs::path> pending{root};
    while (!pending.empty() && !cancelled.load(std::memory_order_relaxed)) {
        const fs::path folder = std::move(pending.back());
        pending.pop_back();
        std::error_code error;
        fs::directory_iterator entry(folder, error);
        for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
            if (cancelled.load(std::memory_order_relaxed)) {
                break;
            }
            visited.fetch_add(1, std::memory_order_relaxed);
            std::error_code typeError;
            if (entry->is_directory(typeError) && !entry->is_symlink(typeError)) {
                pending.push_back(entry->path());
                continue;
            }
            // Named here with 〜 and the like, a file is wanted under the form the code page keeps.
            const std::string name = UnifyJisVariants(Utf8(entry->path().filename()));
            // A link to a file stands for the file; one that leads nowhere is passed over.
            if (wanted.count(name) != 0 && entry->is_regular_file(typeError)) {
                result.found[name].push_back(Utf8(entry->path().parent_path()) +
                                             static_cast<char>(fs::path::preferred_separator));
            }
        }
        result.unreadableFolders += error ? 1 : 0;
    }
    return result;
}

int SharedTailLength(const std::string& folder1, const std::string& folder2) {
    const std::vector<std::string_view> names1 = NamesFromEnd(folder1);
    const std::vector<std::string_view> names2 = NamesFromEnd(folder2);
    int shared = 0;
    while (shared < static_cast<int>(names1.size()) && shared < static_cast<int>(names2.size()) &&
           names1[shared] == names2[shared]) {
        ++shared;
    }
    return shared;
}

int BestCandidate(const std::string& oldFolder, const std::vector<std::string>& candidates) {
    int best = -1;
    int bestShared = -1;
    for (int i = 0; i < static_cast<int>(candidates.size()); ++i) {
        const int shared = SharedTailLength(oldFolder, candidates[i]);
        if (shared > bestShared || (shared == bestShared && candidates[i] < candidates[best])) {
            best = i;
            bestShared = shared;
        }
    }
    return best;
}
