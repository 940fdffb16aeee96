#include "support/full_length_names.h"

#include "common/codepage.h"

std::string FullLengthText(const std::string& start, std::size_t bytes, const std::string& end, bool quotes) {
    static const std::string kFill = Cp932("表ソ能 設計'図面\" ");
    static const std::string kFillWithoutQuotes = Cp932("表ソ能 設計図面 ");
    const std::string& fill = quotes ? kFill : kFillWithoutQuotes;
    std::string text = start;
    const std::size_t room = bytes - end.size();
    // Whole characters only: a text cut inside a double-byte character would not be one.
    for (std::size_t next = 0; text.size() < room;) {
        const std::size_t length = IsLeadByte(static_cast<unsigned char>(fill[next])) ? 2 : 1;
        if (text.size() + length > room) {
            text += '_';
            break;
        }
        text.append(fill, next, length);
        next = (next + length) % fill.size();
    }
    return text + end;
}

std::string FullLengthName(const std::string& label, std::size_t bytes) {
    return FullLengthText(label, bytes, "", true);
}

std::string FullLengthFolder(const std::string& label, std::size_t bytes) {
    return "/" + FullLengthName(label, bytes - 2) + "/";
}
