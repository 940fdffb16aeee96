#include "common/unique_file.h"

#include <fcntl.h>

#include <cerrno>
#include <random>
#include <string_view>

namespace {

constexpr int kTries = 100;
constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

std::string RandomSuffix(std::mt19937& random) {
    std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
    std::string suffix = ".";
    for (int i = 0; i < 6; ++i) {
        suffix += kLetters[pick(random)];
    }
    return suffix;
}

}  // namespace

UniqueFile CreateUniqueFile(const std::string& stem, int mode) {
    std::mt19937 random{std::random_device{}()};
    for (int tries = 0; tries < kTries; ++tries) {
        UniqueFile file{-1, stem + RandomSuffix(random)};
        file.handle = open(file.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (file.handle >= 0) {
            return file;
        }
        if (errno != EEXIST) {
            break;  // only a name in use is worth another try
        }
    }
    return UniqueFile{};
}
