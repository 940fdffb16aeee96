#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How search text meets stored text (both code-page bytes): as a substring, whole characters only,
// ASCII letters without case, and the full-width letters and digits as their half-width forms.

// The text as character codes (a double-byte character as lead * 256 + trail), folded as above.
std::vector<std::uint16_t> FoldedCharacters(std::string_view cp932);

// A search text prepared once and matched against any number of stored texts.
class SearchNeedle {
public:
    explicit SearchNeedle(std::string_view cp932);

    bool Empty() const { return folded_.empty(); }
    // The folded text as code-page bytes.
    const std::string& FoldedText() const { return serverText_; }
    bool FoundIn(std::string_view cp932) const;
    // A condition on the given columns that holds for every row where FoundIn would hold for one of
    // them (and for some more): the server narrows, the program decides. The text goes in as a
    // literal with its quotes doubled.
    std::string ServerCondition(const std::vector<std::string>& columns) const;

private:
    std::vector<std::uint16_t> folded_;
    bool hasLetterOrDigit_ = false;
    std::string serverText_;  // the folded text as code-page bytes
};
