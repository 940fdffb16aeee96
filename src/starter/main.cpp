// /usr/bin/qarto-groups: prepares a user's first start of the installed program, then becomes it.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "common/file_name_locale.h"
#include "common/settings_place.h"
#include "starter/first_start.h"
#include "starter/starter_problem.h"
#include "storage/firebird_lock_folder.h"

namespace fs = std::filesystem;

namespace {

// The installed program, found from this starter's own place so that the package may be unpacked
// under any prefix.
fs::path InstalledProgram(const char* invokedAs) {
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        self = fs::absolute(invokedAs, error);
    }
    return (self.parent_path() / QARTO_PROGRAM_FROM_STARTER).lexically_normal();
}

}  // namespace

int main(int, char** argv) {
    UseOwnFirebirdLockFolder();  // the program it becomes inherits the same folder
    UseUtf8FileNames();
    const fs::path program = InstalledProgram(argv[0]);
    // The program names its settings file after itself; it has no extension to replace.
    const fs::path settings =
        SettingsFilePlace(fs::path(program).replace_extension(".dat"), UserConfigFolder());
    const fs::path data = UserDataFolder();
    std::string reason;
    const FirstStart outcome = PrepareFirstStart(settings, data, &reason);
    const std::string problem = FirstStartProblem(outcome, reason);
    if (!problem.empty()) {
        std::cerr << "qarto-groups: " << settings << " " << data << ": " << problem << '\n';
        HandOverStarterProblem(problem);
    }
    execv(program.c_str(), argv);
    std::cerr << "qarto-groups: " << program.string() << ": " << std::strerror(errno) << '\n';
    return 127;
}
