#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// A picture that a drawing file carries of itself, as the bytes of a picture file of its kind.
struct EmbeddedPreview {
    enum class Kind { Bmp, Png, Wmf };
    Kind kind = Kind::Bmp;
    std::string bytes;  // a whole .bmp, .png or .wmf file
};

// The largest preview taken from a drawing: real ones are a few hundred kilobytes at the most.
inline constexpr std::size_t kLargestPreview = std::size_t{8} << 20;

// A device-independent bitmap as drawings keep it (an info header, colours, pixels, without the
// file header a .bmp file begins with) made into a .bmp file; nothing when the info header cannot be
// one. The pixels themselves are left to the picture reader.
std::optional<std::string> BmpFileOfBitmap(std::string_view bitmap);

// The kind of preview `bytes` are, by their first bytes: a PNG by its signature, else a bitmap, bare
// or in a .bmp file ("BM"), made a .bmp file with a file header of its own. Nothing for a bitmap
// whose header is not one.
std::optional<EmbeddedPreview> PreviewOfPictureBytes(std::string bytes);
