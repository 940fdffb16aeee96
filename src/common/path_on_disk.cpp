#include "common/path_on_disk.h"

#include <filesystem>
#include <optional>

#include "common/codepage.h"

namespace fs = std::filesystem;

namespace {

// Both forms of every character the code page keeps once (see UnifyJisVariants).
constexpr std::string_view kEitherForm[] = {
    "\u301C", "\uFF5E", "\u2016", "\u2225", "\u2212", "\uFF0D", "\u00A2",
    "\uFFE0", "\u00A3", "\uFFE1", "\u00AC", "\uFFE2", "\u2014", "\u2015",
};

bool HoldsEitherForm(std::string_view text) {
    for (const std::string_view form : kEitherForm) {
        if (text.find(form) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

fs::path PathOf(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const fs::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

// The entry of `folder` whose name is `name` once both take the code page's forms.
std::optional<fs::path> EntryOfSameName(const fs::path& folder, std::string_view name) {
    const std::string wanted = UnifyJisVariants(name);
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const fs::path entryName = entry->path().filename();
        if (UnifyJisVariants(Utf8Of(entryName)) == wanted) {
            return entryName;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string PathAsOnDisk(std::string_view path) {
    if (!HoldsEitherForm(path)) {
        return std::string(path);
    }
    const fs::path given = PathOf(path);
    if (Exists(given)) {
        return std::string(path);
    }
    fs::path found;
    for (const fs::path& part : given) {
        fs::path next = found / part;
        if (HoldsEitherForm(Utf8Of(part)) && !Exists(next)) {
            const std::optional<fs::path> entry =
                EntryOfSameName(found.empty() ? fs::path(".") : found, Utf8Of(part));
            if (!entry) {
                return std::string(path);
            }
            next = found / *entry;
        }
        found = std::move(next);
    }
    return Utf8Of(found);
}
