#include "surface/jpeg_frame.h"

namespace quillet::surface {

namespace {

int byteAt(const QByteArray& data, qsizetype at)
{
    return static_cast<unsigned char>(data[at]);
}

int wordAt(const QByteArray& data, qsizetype at)
{
    return byteAt(data, at) << 8 | byteAt(data, at + 1);
}

bool isFrameMarker(int marker)
{
    // SOF0 to SOF15, except DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

} // namespace

std::optional<JpegFrame> pdfReadyJpegFrame(const QByteArray& data)
{
    if (data.size() < 4 || byteAt(data, 0) != 0xFF || byteAt(data, 1) != 0xD8)
        return std::nullopt;
    // Marker segments up to the frame header: each is FF, the marker, and
    // a length that counts itself.
    qsizetype at = 2;
    while (at + 4 <= data.size()) {
        if (byteAt(data, at) != 0xFF)
            return std::nullopt;
        const int marker = byteAt(data, at + 1);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA)  // the image ended or began without a frame
            return std::nullopt;
        const int length = wordAt(data, at + 2);
        if (length < 2 || at + 2 + length > data.size())
            return std::nullopt;
        if (isFrameMarker(marker)) {
            // Baseline, extended sequential and progressive Huffman only.
            if (marker > 0xC2 || length < 8)
                return std::nullopt;
            JpegFrame frame;
            const int precision = byteAt(data, at + 4);
            frame.height = wordAt(data, at + 5);
            frame.width = wordAt(data, at + 7);
            frame.components = byteAt(data, at + 9);
            if (precision != 8 || frame.width == 0 || frame.height == 0 ||
                (frame.components != 1 && frame.components != 3))
                return std::nullopt;
            return frame;
        }
        at += 2 + length;
    }
    return std::nullopt;
}

} // namespace quillet::surface
