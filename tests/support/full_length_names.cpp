#include "support/full_length_names.h"

#include "common/codepage.h"

std::string FullLengthName(const std::string& label, std::size_t bytes) {
    static const std::string kFill = Cp932("表ソ能 設計'図面 ");
    std::string name = label;
    // Whole characters only: a name cut inside a double-byte character would not be one.
    for (std::size_t next = 0; name.size() < bytes;) {
        const std::size_t length = IsLeadByte(static_cast<unsigned char>(kFill[next])) ? 2 : 1;
        if (name.size() + length > bytes) {
            name += '_';
            break;
        }
        name.append(kFill, next, length);
        next = (next + length) % kFill.size();
    }
    return name;
}

std::string FullLengthFolder(const std::string& label, std::size_t bytes) {
    return "/" + FullLengthName(label, bytes - 2) + "/";
}
