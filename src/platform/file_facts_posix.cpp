#include <sys/stat.h>
#include <sys/statfs.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>

#include <QFile>

#include "common/codepage.h"
#include "common/path_on_disk.h"
#include "platform/file_facts.h"

namespace {

bool IsFile(const char* fileSystemPath) {
    struct stat facts;
    return ::stat(fileSystemPath, &facts) == 0 && S_ISREG(facts.st_mode);
}

}  // namespace

bool FileExists(const QString& path) {
    return IsFile(QFile::encodeName(path).constData());
}

// File names are UTF-8 here: one conversion, not two through the widgets' text.
bool StoredFileExists(std::string_view cp932Path) {
    return IsFile(PathAsOnDisk(Utf8FromCp932(cp932Path)).c_str());
}

QString StoredPathOnDisk(std::string_view cp932Path) {
    return QFile::decodeName(PathAsOnDisk(Utf8FromCp932(cp932Path)).c_str());
}

// One stat for all three facts: a list of thousands of files looks at each of them.
std::optional<FileFacts> FindFileFacts(const QString& path) {
    struct stat facts;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &facts) != 0) {
        return std::nullopt;
    }
    // The C library's local time: the same zone rules as Qt's, without its conversions per call.
    struct tm local {};
    const time_t written = facts.st_mtim.tv_sec;
    QString time;
    if (localtime_r(&written, &local) != nullptr) {
        time =
            FileTimeText(QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                         QTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59)));  // no leap second
    }
    return FileFacts{facts.st_size, time, S_ISREG(facts.st_mode)};
}

bool OnSharedFileSystem(const QString& path) {
    // The kinds statfs names for network file systems (linux/magic.h).
    constexpr unsigned long kShared[] = {0x6969 /* NFS */,      0x517B /* SMB */,      0xFF534D42 /* CIFS */,
                                         0xFE534D42 /* SMB2 */, 0x564C /* NCP */,      0x73757245 /* Coda */,
                                         0x5346414F /* AFS */,  0x6B414653 /* kAFS */, 0x01021997 /* 9P */};
    struct statfs facts;
    if (::statfs(QFile::encodeName(path).constData(), &facts) != 0) {
        return false;
    }
    const auto kind = static_cast<unsigned long>(static_cast<unsigned int>(facts.f_type));
    return std::find(std::begin(kShared), std::end(kShared), kind) != std::end(kShared);
}

namespace {

// The kernel's table writes a blank, a tab, a line break and a backslash in a name as \ooo.
std::string UnescapedMountField(const std::string& field) {
    std::string name;
    for (std::size_t at = 0; at < field.size(); ++at) {
        if (field[at] == '\\' && at + 3 < field.size()) {
            const std::string digits = field.substr(at + 1, 3);
            if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                name += static_cast<char>(std::stoi(digits, nullptr, 8));
                at += 3;
                continue;
            }
        }
        name += field[at];
    }
    return name;
}

}  // namespace

std::vector<std::string> MountedFolders() {
    std::vector<std::string> folders;
    std::ifstream table("/proc/self/mountinfo");
    std::string line;
    while (std::getline(table, line)) {
        // ID, parent ID, device, root within the file system, mount point, ...
        std::istringstream fields(line);
        std::string field;
        for (int i = 0; i < 5 && fields >> field; ++i) {
            if (i == 4) {
                folders.push_back(UnescapedMountField(field));
            }
        }
    }
    return folders;
}
