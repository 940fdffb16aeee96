#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "common/codepage.h"

// Any bytes decode; what encodes from valid UTF-8 into the code page comes back unchanged (up to
// the Windows forms of JIS characters); a cut
// never splits a character and never exceeds its limit.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string shown = Utf8FromCp932(bytes);
    const std::optional<std::string> back = Cp932FromUtf8(bytes);
    if (back && Utf8FromCp932(*back) != UnifyJisVariants(bytes)) {
        std::abort();
    }
    const std::size_t limit = size == 0 ? 0 : data[0] % 40;
    const std::string cut = CutToBytes(bytes, limit);
    if (cut.size() > limit || bytes.compare(0, cut.size(), cut) != 0) {
        std::abort();
    }
    (void)shown;
    return 0;
}
