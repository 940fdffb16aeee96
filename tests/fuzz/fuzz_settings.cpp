#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/settings_file.h"
#include "fuzz_support.h"

// Any settings file loads; what was loaded saves, and loading the saved file once more gives the
// same connection and numbers.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = ScratchFolder() + "/input.dat";
    const std::string saved = ScratchFolder() + "/saved.dat";
    WriteInput(input, data, size);
    SavedSettings first;
    LoadSettings(input, first);
    if (first.connection.userName.size() > 16) {
        std::abort();
    }
    if (!SaveSettings(saved, first)) {
        std::abort();
    }
    SavedSettings second;
    LoadSettings(saved, second);
    SavedSettings again;
    if (!SaveSettings(input, second) || !LoadSettings(input, again)) {
        std::abort();
    }
    if (again.connection.serverPrefix != second.connection.serverPrefix ||
        again.connection.userName != second.connection.userName ||
        again.mainWindow.width != second.mainWindow.width || again.viewStyle != second.viewStyle ||
        again.columnWidths != second.columnWidths) {
        std::abort();
    }
    return 0;
}
