#include "send/disk_flush.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "send/error_words.h"

std::string FlushToDisk(const std::string& path) {
    const int handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat facts {};
    const bool flushed = handle >= 0 && ::fstat(handle, &facts) == 0 &&
                         (S_ISDIR(facts.st_mode) ? ::syncfs(handle) : ::fsync(handle)) == 0;
    const int error = errno;
    if (handle >= 0) {
        ::close(handle);
    }
    return flushed ? std::string() : ErrorWords(error);
}
