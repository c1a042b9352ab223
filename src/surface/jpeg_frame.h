// What a JPEG file's frame header says, for putting the file into a PDF as
// it is: a PDF reader decodes baseline and progressive JPEG of 8-bit grey
// or colour samples itself, so such a file needs no decoding and
// re-compressing, and keeps its own (much smaller) size.
#pragma once

#include <QByteArray>

#include <optional>

namespace quillet::surface {

struct JpegFrame {
    int width = 0;
    int height = 0;
    int components = 0;  // 1 grey, 3 colour
};

// The frame of `data` when it is a JPEG a PDF can hold as it is (baseline
// or progressive Huffman coding, 8-bit samples, one or three components);
// nothing for anything else (arithmetic or lossless coding, CMYK, 12-bit,
// a damaged header).
std::optional<JpegFrame> pdfReadyJpegFrame(const QByteArray& data);

} // namespace quillet::surface
