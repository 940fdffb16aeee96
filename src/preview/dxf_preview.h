#pragma once

#include <optional>

#include "preview/byte_source.h"
#include "preview/embedded_preview.h"

// The preview picture an ASCII DXF file keeps in its THUMBNAILIMAGE section: group 90 gives the
// picture's size in bytes, groups 310 its bytes in hexadecimal, a bitmap (or a PNG). That section is
// the last of the file, so the file is read from its end: a file whose last section does not end in
// picture data is given up after its last 64 KiB, else pieces grow until the section's start is in
// view. Binary DXF files are not read.
std::optional<EmbeddedPreview> DxfPreview(const ByteSource& file);
