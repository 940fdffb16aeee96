#include "common/startup_steps.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

// Opened at the first step, kept until the end of the run.
std::FILE* StepsFile() {
    static std::FILE* const file = [] {
        const char* name = std::getenv("QARTO_STARTUP_STEPS");
        return name != nullptr && *name != '\0' ? std::fopen(name, "a") : nullptr;
    }();
    return file;
}

}  // namespace

void NoteStartupStep(const char* step) {
    std::FILE* const file = StepsFile();
    if (file == nullptr) {
        return;
    }
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::fprintf(file, "%s %lld\n", step,
                 static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
    std::fflush(file);
}
