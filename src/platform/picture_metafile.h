#pragma once

#include <QByteArray>
#include <QSize>
#include <optional>

// A metafile converted to an SVG document, with the size the picture has on a 96 dpi screen.
struct MetafileSvg {
    QByteArray svg;
    QSize size;
};

// Nothing when the bytes are not a metafile the converter can read.
std::optional<MetafileSvg> EmfToSvg(const QByteArray& bytes);
std::optional<MetafileSvg> WmfToSvg(const QByteArray& bytes);
