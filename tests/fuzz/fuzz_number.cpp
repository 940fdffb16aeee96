#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/number.h"

// Besides surviving any text, a plain decimal text must read as the standard library reads it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::int32_t value = ParseIntOrZero(text);
    const bool plainDecimal = !text.empty() && text.size() < 12 &&
                              text.find_first_not_of("0123456789") == std::string::npos;
    if (plainDecimal) {
        const long long expected = std::strtoll(text.c_str(), nullptr, 10);
        if (expected <= INT32_MAX && value != expected) {
            std::abort();
        }
        if (expected > INT32_MAX && value != 0) {
            std::abort();
        }
    }
    return 0;
}
