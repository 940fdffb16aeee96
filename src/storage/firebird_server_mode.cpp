#include "storage/firebird_server_mode.h"

#include <firebird/Interface.h>

#include <array>
#include <cctype>
#include <fstream>
#include <string>
#include <utility>

#include "common/trimmed.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kBlanks = " \t\r";

constexpr int kIncludeDepth = 16;

bool SameIgnoringCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(left[i])) !=
            std::tolower(static_cast<unsigned char>(right[i]))) {
            return false;
        }
    }
    return true;
}

// The line up to a "#" outside quotes.
std::string_view WithoutComment(std::string_view line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else if (line[i] == '#' && !quoted) {
            return line.substr(0, i);
        }
    }
    return line;
}

// The file an include line names, its macros replaced; empty when it cannot be followed.
fs::path Included(std::string_view named, const fs::path& including, const fs::path& root) {
    std::string path(Trimmed(named, kBlanks));
    for (const auto& [macro, value] : {std::pair<std::string, std::string>{"$(root)", root.string()},
                                       {"$(this)", including.parent_path().string()}}) {
        for (std::size_t at = path.find(macro); at != std::string::npos; at = path.find(macro)) {
            path.replace(at, macro.size(), value);
        }
    }
    if (path.empty() || path.find_first_of("*?$") != std::string::npos) {
        return {};
    }
    return fs::path(path).is_relative() ? including.parent_path() / path : fs::path(path);
}

// Finds the setting in `file`; false when it cannot be told.
bool FindSetting(const fs::path& file, const fs::path& root, int depth, std::optional<std::string>& setting) {
    std::ifstream in(file);
    std::string line;
    while (!setting && std::getline(in, line)) {
        const std::string_view text = Trimmed(WithoutComment(line), kBlanks);
        if (text.size() > 8 && SameIgnoringCase(text.substr(0, 7), "include") &&
            (text[7] == ' ' || text[7] == '\t')) {
            const fs::path included = Included(text.substr(8), file, root);
            if (included.empty() || depth == kIncludeDepth ||
                !FindSetting(included, root, depth + 1, setting)) {
                return false;
            }
            continue;
        }
        const std::size_t equals = text.find('=');
        if (equals != std::string_view::npos &&
            SameIgnoringCase(Trimmed(text.substr(0, equals), kBlanks), "ServerMode")) {
            std::string_view value = Trimmed(text.substr(equals + 1), kBlanks);
            while (!value.empty() && value.front() == '"') {
                value.remove_prefix(1);
            }
            while (!value.empty() && value.back() == '"') {
                value.remove_suffix(1);
            }
            setting = std::string(value);
        }
    }
    return true;
}

}  // namespace

ServerMode ServerModeNamed(std::string_view setting) {
    static constexpr std::array<std::pair<const char*, ServerMode>, 6> kNames{{
        {"Super", ServerMode::Super},
        {"ThreadedDedicated", ServerMode::Super},
        {"SuperClassic", ServerMode::SuperClassic},
        {"ThreadedShared", ServerMode::SuperClassic},
        {"Classic", ServerMode::Classic},
        {"MultiProcess", ServerMode::Classic},
    }};
    for (const auto& [name, mode] : kNames) {
        if (SameIgnoringCase(setting, name)) {
            return mode;
        }
    }
    return ServerMode::Super;
}

const char* ServerModeName(ServerMode mode) {
    switch (mode) {
        case ServerMode::Super:
            return "Super";
        case ServerMode::SuperClassic:
            return "SuperClassic";
        case ServerMode::Classic:
            return "Classic";
    }
    return "Super";
}

std::optional<ServerMode> ServerModeIn(const fs::path& file, const fs::path& root) {
    std::optional<std::string> setting;
    if (!FindSetting(file, root, 0, setting)) {
        return std::nullopt;
    }
    return ServerModeNamed(setting.value_or(""));
}

std::optional<ServerMode> EngineServerMode() {
    const fs::path root = Firebird::fb_get_master_interface()->getConfigManager()->getRootDirectory();
    return ServerModeIn(root / "firebird.conf", root);
}
