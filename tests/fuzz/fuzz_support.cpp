#include "fuzz_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

// Gone again when the run ends normally; a crashed run leaves it for a look.
struct Scratch {
    Scratch() : path((std::filesystem::temp_directory_path() / "qarto-fuzz-XXXXXX").string()) {
        if (mkdtemp(path.data()) == nullptr) {
            std::abort();
        }
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

}  // namespace

std::string ScratchFolder() {
    static const Scratch scratch;
    return scratch.path;
}

void WriteInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!file.flush()) {
        std::abort();  // an input that never reached the reader would pass for a good one
    }
}
