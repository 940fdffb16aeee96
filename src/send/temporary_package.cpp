#include "send/temporary_package.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "send/error_words.h"

namespace fs = std::filesystem;

namespace {

std::string RandomEnding() {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::string ending;
    for (int i = 0; i < 6; ++i) {
        ending += kLetters[device() % (sizeof kLetters - 1)];
    }
    return ending;
}

bool Remove(const std::string& path) {
    std::error_code error;
    fs::remove_all(path, error);
    return !error;
}

std::string WithoutFinalSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

}  // namespace

bool IsTemporaryPackageName(const std::string& name) {
    const std::string stem = kTemporaryStem;
    if (!name.starts_with(stem) || name.size() < stem.size() + 6) {
        return false;
    }
    for (std::size_t i = stem.size(); i < stem.size() + 6; ++i) {
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) {
            return false;
        }
    }
    const std::string rest = name.substr(stem.size() + 6);
    return rest.empty() || rest == ".zip";
}

TemporaryPackage::TemporaryPackage(const std::string& notes, const std::string& folder, bool zip) {
    std::error_code error;
    fs::create_directories(notes, error);
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const std::string candidate =
            WithoutFinalSlash(folder) + "/" + kTemporaryStem + RandomEnding() + (zip ? ".zip" : "");
        // The note first: a hard end right after the making finds it.
        note_ = notes + "/" + std::to_string(::getpid()) + "." + RandomEnding();
        std::ofstream(note_) << candidate;
        const int made = zip ? ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666)
                             : ::mkdir(candidate.c_str(), 0777);
        if (made >= 0) {
            if (zip) {
                ::close(made);
            }
            path_ = candidate;
        } else {
            error_ = ErrorWords(errno);
            fs::remove(note_, error);
            note_.clear();
            if (errno != EEXIST) {
                return;
            }
        }
    }
}

TemporaryPackage::~TemporaryPackage() {
    if (!path_.empty() && !renamed_) {
        Remove(path_);
    }
    if (!note_.empty()) {
        std::error_code error;
        fs::remove(note_, error);
    }
}

bool TemporaryPackage::RenameTo(const std::string& target, bool replace) {
    if (::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        renamed_ = true;
        return true;
    }
    // A file system that cannot refuse a replacing rename (some shares) is asked first.
    const bool unsupported = errno == EINVAL || errno == ENOSYS;
    if (!replace && !(unsupported && ::access(target.c_str(), F_OK) != 0)) {
        error_ = ErrorWords(unsupported ? EEXIST : errno);
        return false;
    }
    struct stat existing {};
    const bool folder = ::lstat(target.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode);
    std::string aside;
    if (folder) {
        aside = WithoutFinalSlash(fs::path(target).parent_path().string()) + "/" + kTemporaryStem +
                RandomEnding();
        std::ofstream(note_, std::ios::app) << "\n" << aside;
        if (::rename(target.c_str(), aside.c_str()) != 0) {
            error_ = ErrorWords(errno);
            return false;
        }
    }
    if (::rename(path_.c_str(), target.c_str()) != 0) {
        error_ = ErrorWords(errno);
        if (folder) {
            ::rename(aside.c_str(), target.c_str());
        }
        return false;
    }
    renamed_ = true;
    if (folder) {
        Remove(aside);
    }
    return true;
}

void RemoveUnfinishedPackages(const std::string& notes) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(notes, error)) {
        const std::string noteName = entry.path().filename().string();
        const pid_t pid = static_cast<pid_t>(std::atol(noteName.c_str()));
        // A run still going on (another copy of the program) keeps its packages.
        if (pid <= 0 || (pid != ::getpid() && ::kill(pid, 0) == 0) || (pid != ::getpid() && errno == EPERM)) {
            continue;
        }
        if (pid == ::getpid()) {
            continue;
        }
        std::ifstream note(entry.path());
        bool removed = true;
        for (std::string path; std::getline(note, path);) {
            if (IsTemporaryPackageName(fs::path(path).filename().string())) {
                removed = Remove(path) && removed;
            }
        }
        // A share that does not answer now is tried again at the next start.
        if (removed) {
            fs::remove(entry.path(), error);
        }
    }
}
