#include "surface/png_frame.h"

#include <cstring>

namespace quillet::surface {

namespace {

quint32 longAt(const QByteArray& data, qsizetype at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData() + at);
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}

bool isType(const QByteArray& data, qsizetype at, const char* type)
{
    return std::memcmp(data.constData() + at, type, 4) == 0;
}

// Critical chunks have an upper-case first letter: a reader that does not
// know one cannot show the picture.
bool isCritical(const QByteArray& data, qsizetype at)
{
    return (data[at] & 0x20) == 0;
}

constexpr char kSignature[] = "\x89PNG\r\n\x1A\n";
constexpr qsizetype kSignatureSize = 8;

} // namespace

std::optional<PngFrame> pdfReadyPngFrame(const QByteArray& data)
{
    if (data.size() < kSignatureSize || std::memcmp(data.constData(), kSignature, kSignatureSize) != 0)
        return std::nullopt;
    PngFrame frame;
    bool header = false, ended = false, imageDone = false;
    // Chunks: a length, a type, that many bytes, a CRC.
    for (qsizetype at = kSignatureSize; !ended;) {
        if (data.size() - at < 12)
            return std::nullopt;
        const quint32 length = longAt(data, at);
        const qsizetype type = at + 4, body = at + 8;
        if (length > quint32(data.size() - body - 4))
            return std::nullopt;
        if (!header) {
            // IHDR first: width, height, bit depth, colour type, compression,
            // filter and interlace methods.
            if (!isType(data, type, "IHDR") || length != 13)
                return std::nullopt;
            const quint32 width = longAt(data, body), height = longAt(data, body + 4);
            const int depth = data[body + 8], colour = data[body + 9];
            if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF || depth != 8 ||
                (colour != 0 && colour != 2) || data[body + 10] != 0 || data[body + 11] != 0 || data[body + 12] != 0)
                return std::nullopt;
            frame.width = int(width);
            frame.height = int(height);
            frame.components = colour == 0 ? 1 : 3;
            header = true;
        } else if (isType(data, type, "IDAT")) {
            // The image data is one run of IDAT chunks.
            if (imageDone)
                return std::nullopt;
            frame.samples.append(data.constData() + body, qsizetype(length));
        } else {
            if (!frame.samples.isEmpty())
                imageDone = true;
            if (isType(data, type, "IEND"))
                ended = true;
            else if (isType(data, type, "tRNS") || (isCritical(data, type) && !isType(data, type, "PLTE")))
                return std::nullopt;
        }
        at = body + qsizetype(length) + 4;
    }
    if (frame.samples.isEmpty())
        return std::nullopt;
    return frame;
}

} // namespace quillet::surface
