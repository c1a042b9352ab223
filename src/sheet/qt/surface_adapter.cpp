#include "sheet/qt/surface_adapter.h"

#include "common/vb_error.h"
#include "sheet/qt/qt_portrait_image.h"

namespace quillet {

using script::Type;

SurfaceAdapter::SurfaceAdapter(surface::Surface& surface) : s_(surface)
{
    s_.setGrowthSink([this](size_t bytes) { chargePages(bytes); });
}

void SurfaceAdapter::chargePages(size_t bytes)
{
    if (bytes == 0) {
        pagesCharge_.reset();
        return;
    }
    // Made at the first growth of a document, under the meter of the run
    // drawing it; error 7 from the meter leaves the charge as it was.
    if (!pagesCharge_)
        pagesCharge_.emplace(0);
    if (bytes > pagesCharge_->bytes())
        pagesCharge_->grow(bytes - pagesCharge_->bytes());
    else
        pagesCharge_->settle(bytes);
}

surface::ArgValue toArgValue(const script::Value& value)
{
    const script::Value v = value.deref().withoutObject();
    if (v.isMissing())
        return surface::ArgValue::omitted();
    switch (v.type()) {
    case Type::Empty: return surface::ArgValue::empty();
    case Type::Null: return surface::ArgValue::null();
    case Type::Boolean: return surface::ArgValue::boolean(v.rawBoolean());
    case Type::String: return surface::ArgValue::string(v.rawText());
    case Type::Integer:
    case Type::Long:
    case Type::Single:
    case Type::Double:
    case Type::Currency:
    case Type::Date:
    case Type::Byte: return surface::ArgValue::fromNumber(v.toDouble());
    default: throw VbError(vberr::TypeMismatch);
    }
}

void SurfaceAdapter::textBox(const Text& t, double l, double top, double w, double h, const script::Value& wrap,
                             const script::Value& calc, const script::Value& shade)
{
    s_.textBox(t, l, top, w, h, toArgValue(wrap), toArgValue(calc), toArgValue(shade));
}

void SurfaceAdapter::addTable(const Text& format, const Text& header, const Text& body,
                              const script::Value& headerShade, const script::Value& bodyShade,
                              const script::Value& append)
{
    s_.addTable(format, header, body, toArgValue(headerShade), toArgValue(bodyShade), toArgValue(append));
}

void SurfaceAdapter::setPictureRect(double l, double t, double r, double b)
{
    s_.setPictureX1(l);
    s_.setPictureX2(r);
    s_.setPictureY1(t);
    s_.setPictureY2(b);
}

void SurfaceAdapter::placePicture(const PortraitImage& image)
{
    const auto* qtImage = dynamic_cast<const QtPortraitImage*>(&image);
    if (!qtImage || qtImage->image().isNull())
        throw VbError(481); // Invalid picture
    s_.placePicture(qtImage->image(), qtImage->file());
}

} // namespace quillet
