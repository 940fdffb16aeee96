#pragma once

#include <optional>

#include "preview/byte_source.h"
#include "preview/embedded_preview.h"

// The preview picture an ASCII DXF file keeps in its THUMBNAILIMAGE section: group 90 gives the
// picture's size in bytes, groups 310 its bytes in hexadecimal, a bitmap (or a PNG). That section is
// the last of the file, so the file is read from its end, in growing pieces, until the start of its
// last section is in view; a file whose last section is another one gives nothing. Binary DXF files
// are not read.
std::optional<EmbeddedPreview> DxfPreview(const ByteSource& file);
