#pragma once

#include <QByteArray>
#include <chrono>
#include <optional>

#include "platform/picture_metafile.h"

using MetafileConverter = std::optional<MetafileSvg> (*)(const QByteArray& bytes);

// How long one metafile conversion may take before it is given up.
inline constexpr std::chrono::milliseconds kConversionTimeLimit{5000};

// Runs a metafile converter so that a crash, a hang or a runaway allocation inside the converter
// library cannot take the program down: on POSIX in a short-lived child process that is killed when
// it outlives `timeLimit`, its SVG coming back through a pipe; on Windows in this process. Nothing
// when the conversion failed in any of these ways.
std::optional<MetafileSvg> ConvertApart(MetafileConverter convert, const QByteArray& bytes,
                                        std::chrono::milliseconds timeLimit = kConversionTimeLimit);
