#include "surface/twip_faces.h"

#include <cmath>

namespace quillet::surface {
namespace {

// The size every face's one engine is made at (Qt keeps it in its font
// cache for the thread): 12 points, whatever sizes are asked for.
constexpr double kFacePoints = 12;

// The pixel size of the engine Qt makes for `font` on a device of
// `deviceDpi` logical dots per inch: the exact size rounded to hundredths
// of a pixel, then to a whole pixel.
double enginePixelSize(const QFont& font, double deviceDpi)
{
    const double exact = font.pointSizeF() * deviceDpi / 72.0;
    return qRound(std::floor(exact * 100 + 0.5) / 100);
}

} // namespace

QRawFont twipFace(const QFont& font, double deviceDpi)
{
    // The same family, weight, slant and device: the same engine but for
    // its size.
    QFont face(font);
    face.setPointSizeF(kFacePoints);
    QRawFont raw = QRawFont::fromFont(face);
    if (raw.isValid())
        raw.setPixelSize(enginePixelSize(font, deviceDpi)); // a clone of the engine, unless it is that size already
    return raw;
}

} // namespace quillet::surface
