// Reading a picture file for the portrait and for the print object's
// Picture.  Pictures are PNG, JPEG, BMP and GIF, told apart by their first
// bytes, never by the name: anything else (an SVG, whose links a reader
// would follow, or a format whose decoder may run for long) is refused
// before a decoder sees it.  Decoding is bounded: the size in the
// picture's header is checked against the limits below before anything
// is decoded, the decoded pixels are charged to the memory meter current
// on this thread (error 7 when a run's limit would be passed), and this
// thread's stop request (common/stop_request.h) ends a decode under way.
//
// The same file read again while its decoded pixels are still in use (on
// a page, in the portrait window) under the same meter shares them
// instead of decoding another copy; the charge lasts as long as any
// image showing them.
#pragma once

#include "common/text.h"

#include <QByteArray>
#include <QImage>

#include <string_view>

namespace quillet {

// Pictures larger than these are refused rather than decoded: a small
// hostile file must not exhaust memory.
inline constexpr int kMaxPictureSide = 12000;
inline constexpr qint64 kMaxPicturePixels = qint64(1) << 26; // 8192 x 8192

enum class PictureFormat { Unknown, Png, Jpeg, Bmp, Gif };

// The format the first bytes of a file announce.
PictureFormat sniffPictureFormat(std::string_view firstBytes);

// A picture as read: its pixels in a 32-bit format, and the file itself
// when it is a JPEG or PNG that a PDF can hold as it is and that shows
// exactly these pixels (not turned by an orientation tag; see
// surface/jpeg_frame.h and surface/png_frame.h), so that PDF output need
// not compress it again.
struct LoadedPicture {
    QImage image;
    QByteArray file;
};

// Error 481 "Invalid picture" for a file that cannot be read or is no
// picture of the four formats, and (saying so) for one that is too large;
// error 7 past the meter's limit; StopRequested when stopped.
LoadedPicture readPicture(const Text& path);

} // namespace quillet
