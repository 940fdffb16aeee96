#pragma once

#include <optional>

#include "preview/byte_source.h"
#include "preview/embedded_preview.h"

// The preview picture a DWG file (release 13 and later) keeps of itself: the header's image seeker
// (at 0x0D) points to the image data, which begins with a sentinel and lists its entries (header
// data, a bitmap, a Windows metafile, a PNG) by type, start and size. A PNG is taken before a bitmap,
// a bitmap before a metafile. Only the header, the list and the chosen picture are read. Nothing
// when the file has no preview or is not a DWG file of those releases.
std::optional<EmbeddedPreview> DwgPreview(const ByteSource& file);
