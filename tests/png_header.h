// The start of a PNG file that announces a size without holding the
// pixels: enough for a reader to learn the size, for tests of pictures
// too large to decode.
#pragma once

#include <cstdint>
#include <string>

namespace quillet::testing {

inline uint32_t pngCrc32(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return ~crc;
}

inline std::string bigEndian32(uint32_t v)
{
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

// The signature and header of a PNG of width x height pixels, then an
// empty image-data chunk.
inline std::string pngHeader(uint32_t width, uint32_t height)
{
    const std::string ihdr = "IHDR" + bigEndian32(width) + bigEndian32(height) + std::string("\x08\x02\0\0\0", 5);
    return std::string("\x89PNG\r\n\x1a\n", 8) + bigEndian32(13) + ihdr + bigEndian32(pngCrc32(ihdr)) +
           bigEndian32(0) + "IDAT" + bigEndian32(pngCrc32("IDAT"));
}

} // namespace quillet::testing
