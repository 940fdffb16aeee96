#include "common/settings_file.h"

#include <filesystem>
#include <fstream>
#include <optional>

#include "common/codepage.h"
#include "common/durable_file.h"
#include "common/number.h"

namespace {

constexpr std::size_t kUserNameLine = 3;  // zero-based: the fourth line
constexpr std::size_t kUserNameBytes = 16;

// The four text lines in file order; the twenty numeric lines follow them. Lines after these are
// never read.
template <typename Settings>
auto TextLines(Settings& s) {
    return std::array{&s.connection.serverPrefix, &s.connection.dataFolder, &s.connection.databaseName,
                      &s.connection.userName};
}

template <typename Settings>
auto NumericLines(Settings& s) {
    return std::array{
        &s.mainWindow.left,     &s.mainWindow.top,     &s.mainWindow.width,  &s.mainWindow.height,
        &s.databaseDialog.left, &s.databaseDialog.top, &s.fileList.left,     &s.fileList.top,
        &s.fileList.width,      &s.fileList.height,    &s.createDialog.left, &s.createDialog.top,
        &s.editDialog.left,     &s.editDialog.top,     &s.columnWidths[0],   &s.columnWidths[1],
        &s.columnWidths[2],     &s.columnWidths[3],    &s.columnWidths[4],   &s.viewStyle};
}

// The next line without its line end; empty past the end of the file, nothing on a read error.
std::optional<std::string> ReadLine(std::istream& in) {
    std::string line;
    if (!std::getline(in, line)) {
        if (in.bad()) {
            return std::nullopt;
        }
        return std::string();
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

std::string FileText(const SavedSettings& settings) {
    std::string text;
    for (const std::string* line : TextLines(settings)) {
        text += *line + "\r\n";
    }
    for (const int* number : NumericLines(settings)) {
        text += std::to_string(*number) + "\r\n";
    }
    return text;
}

}  // namespace

bool LoadSettings(const std::string& path, SavedSettings& settings) {
    settings.connection = ConnectionSettings::Defaults();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    const auto texts = TextLines(settings);
    const auto numbers = NumericLines(settings);
    for (std::size_t index = 0; index < texts.size() + numbers.size(); ++index) {
        std::optional<std::string> line = ReadLine(in);
        if (!line) {
            break;
        }
        if (index < texts.size()) {
            *texts[index] = index == kUserNameLine ? CutToBytes(*line, kUserNameBytes) : std::move(*line);
        } else {
            *numbers[index - texts.size()] = ParseIntOrZero(*line);
        }
    }
    return true;
}

bool SaveSettings(const std::string& path, const SavedSettings& settings) {
    DurableFile file(path, path + ".tmp");
    return file.Opened() && file.Append(FileText(settings)) && file.Commit();
}
