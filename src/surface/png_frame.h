// What a PNG file holds, for putting its compressed samples into a PDF as
// they are: a PDF reader undoes the deflate and the PNG row filters itself
// (FlateDecode with PNG predictors), so an 8-bit grey or colour picture
// without transparency needs no decoding and re-compressing, and keeps its
// own (usually smaller) size.
#pragma once

#include <QByteArray>

#include <optional>

namespace quillet::surface {

struct PngFrame {
    int width = 0;
    int height = 0;
    int components = 0;  // 1 grey, 3 colour
    // The image data: every IDAT chunk's contents in order, one zlib
    // stream of filtered rows.
    QByteArray samples;
};

// The frame of `data` when it is a PNG a PDF can hold as it is (8-bit grey
// or RGB, not interlaced, no transparency chunk, chunks whole and in
// order); nothing for anything else (palette, alpha, 16-bit, interlaced, a
// critical chunk it does not know, a damaged or cut file).
std::optional<PngFrame> pdfReadyPngFrame(const QByteArray& data);

} // namespace quillet::surface
