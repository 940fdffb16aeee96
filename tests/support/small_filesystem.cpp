#include "support/small_filesystem.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

#include <fstream>
#include <string>

SmallFilesystem::SmallFilesystem(const std::filesystem::path& where, const char* size, bool readOnly)
    : where_(where) {
    std::filesystem::create_directories(where);
    const std::string options = std::string("size=") + size;
    mounted_ = mount("tmpfs", where.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0, options.c_str()) == 0;
}

SmallFilesystem::~SmallFilesystem() {
    if (mounted_) {
        umount2(where_.c_str(), MNT_DETACH);
    }
}

void SmallFilesystem::Fill() const {
    struct statvfs room {};
    ASSERT_EQ(statvfs(where_.c_str(), &room), 0);
    const std::size_t left = room.f_bavail * room.f_frsize;
    ASSERT_GT(left, 8192u);
    std::ofstream(where_ / "filler", std::ios::binary) << std::string(left - 4096, 'x');
}
