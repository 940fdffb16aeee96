#include "send/zip_fields.h"

#include <array>

namespace {

void PutLittleEndian(std::string& bytes, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) {
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

}  // namespace

std::string ExtendedTimestamp(std::int64_t modified) {
    std::string data(1, '\x01');  // the modification time alone
    PutLittleEndian(data, static_cast<std::uint32_t>(modified), 4);
    return data;
}

std::string ExtraField(std::uint16_t id, const std::string& data) {
    std::string field;
    PutLittleEndian(field, id, 2);
    PutLittleEndian(field, data.size(), 2);
    return field + data;
}

bool IsStoredKind(const std::string& name) {
    static const std::array<const char*, 20> kCompressed{"png", "jpg",  "jpeg", "jpe",  "gif",  "pdf", "dwg",
                                                         "dwf", "dwfx", "zip",  "7z",   "rar",  "lzh", "gz",
                                                         "bz2", "xz",   "zst",  "docx", "xlsx", "pptx"};
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.find('/', dot) != std::string::npos) {
        return false;
    }
    std::string extension = name.substr(dot + 1);
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    for (const char* kind : kCompressed) {
        if (extension == kind) {
            return true;
        }
    }
    return false;
}
