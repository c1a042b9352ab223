#include "sheet/cls_print_wrapper.h"

#include "common/file_system.h"
#include "common/vb_error.h"
#include "sheet/portrait_image.h"
#include "sheet/print_class.h"
#include "sheet/print_surface.h"
#include "sheet/print_units.h"

#include <cmath>

namespace quillet {

using script::Value;

namespace {

constexpr int32_t kShadowOffset = 72; // a twentieth of an inch, in every scale mode
constexpr int32_t kGrey = 0xC8C8C8;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kBlack = 0;

Text textOf(const Value& v)
{
    return v.deref().toText();
}

int32_t roundedWidth(double twips)
{
    return toInt32(twips);
}

} // namespace

clsPrintWrapper::clsPrintWrapper(std::function<void(const Text&)> logLine, PortraitImage* portrait)
    : NativeObject(printWrapperClass()), logLine_(std::move(logLine)), portrait_(portrait)
{
}

void clsPrintWrapper::setScaleMode(int16_t mode)
{
    factor_ = unitFactorOf(mode);
    scaleMode_ = (mode == 1 || mode == 2) ? mode : 0;
}

PrintSurface& clsPrintWrapper::attachedSurface() const
{
    if (!surface_)
        throw VbError(vberr::ObjectNotSet);
    return *surface_;
}

double clsPrintWrapper::scaled(const Value& v) const
{
    return scaledProduct(v, factor_);
}

int32_t clsPrintWrapper::rounded(const Value& v) const
{
    return roundedTwips(scaled(v));
}

void clsPrintWrapper::PrintAtLeft(const Value& text, const Value& left)
{
    PrintSurface& s = attachedSurface();
    const Text t = textOf(text);
    s.setCurrentX(static_cast<float>(scaled(left)));
    s.text(t);
}

void clsPrintWrapper::PrintAtCenter(const Value& text, const Value& middle)
{
    PrintSurface& s = attachedSurface();
    const Text t = textOf(text);
    const int32_t w = roundedWidth(s.textWidth(t));
    s.setCurrentX(static_cast<float>(roundedTwips(scaled(middle) - w / 2.0)));
    s.text(t);
}

void clsPrintWrapper::PrintCentered(const Text& text, const Value& left, const Value& right)
{
    PrintSurface& s = attachedSurface();
    const int32_t w = roundedWidth(s.textWidth(text));
    const double l = scaled(left);
    const double r = scaled(right);
    s.setCurrentX(static_cast<float>(roundedTwips(l + ((r - l) - w) / 2.0)));
    s.text(text);
}

void clsPrintWrapper::PrintAtRight(const Value& text, const Value& right)
{
    PrintSurface& s = attachedSurface();
    const Text t = textOf(text);
    const int32_t w = roundedWidth(s.textWidth(t));
    s.setCurrentX(static_cast<float>(roundedTwips(scaled(right) - w)));
    s.text(t);
}

float clsPrintWrapper::ReturnCenterY(const Text& text, const Value& top, const Value& bottom)
{
    PrintSurface& s = attachedSurface();
    const int32_t h = roundedWidth(s.textHeight(text));
    const double t = scaled(top);
    const double b = scaled(bottom);
    const int32_t y = roundedTwips(t + ((b - t) - h) / 2.0);
    return static_cast<float>(static_cast<double>(y) / factor_);
}

float clsPrintWrapper::TextWidth(const Text& text)
{
    return static_cast<float>(attachedSurface().textWidth(text) / factor_);
}

float clsPrintWrapper::TextHeight(const Text& text)
{
    return static_cast<float>(attachedSurface().textHeight(text) / factor_);
}

void clsPrintWrapper::TextBox(const Value& text, const Value& left, const Value& top, const Value& width,
                              const Value& height, const Value& wrap, const Value& calc, const Value& shade)
{
    PrintSurface& s = attachedSurface();
    const Text t = textOf(text);
    const double l = scaled(left), tp = scaled(top), w = scaled(width), h = scaled(height);
    s.textBox(t, l, tp, w, h, wrap.deref(), calc.deref(), shade.deref());
}

void clsPrintWrapper::DrawBox(const Value& left, const Value& top, const Value& right, const Value& bottom,
                              const Value& shadow)
{
    PrintSurface& s = attachedSurface();
    const int32_t l = rounded(left), t = rounded(top), r = rounded(right), b = rounded(bottom);
    const Value& sh = shadow.deref();
    const bool withShadow = !sh.isNull() && sh.toBool();
    if (withShadow) {
        s.setBrushColor(kGrey);
        s.setPenColor(kGrey);
        s.drawRectangle(l + kShadowOffset, t + kShadowOffset, static_cast<double>(r) + kShadowOffset,
                        static_cast<double>(b) + kShadowOffset);
    }
    s.setBrushColor(kWhite);
    s.setPenColor(kBlack);
    s.drawRectangle(l, t, r, b);
}

void clsPrintWrapper::DrawLine(const Value& x1, const Value& y1, const Value& x2, const Value& y2)
{
    PrintSurface& s = attachedSurface();
    const double a = scaled(x1), b = scaled(y1), c = scaled(x2), d = scaled(y2);
    s.drawLine(a, b, c, d);
}

void clsPrintWrapper::AddTable(const Value& format, const Value& header, const Value& rowText,
                               const Value& headerColor, const Value& backColor, const Value& append)
{
    PrintSurface& s = attachedSurface();
    const Text f = convertTableFormat(textOf(format), factor_);
    const Text h = textOf(header);
    const Text body = textOf(rowText);
    s.addTable(f, h, body, headerColor.deref(), backColor.deref(), append.deref());
}

void clsPrintWrapper::Picture(const Value& name, const Value& x1, const Value& y1, const Value& width,
                              const Value& height, const Value& stretch)
{
    pictureName_ = trimSpaces(textOf(name));
    if (pictureName_.empty()) {
        DebugLog(u"No portrait; not printing");
        return;
    }
    if (!FileExists(pictureName_)) {
        DebugLog(u"Portrait file '" + pictureName_ + u"' not found; not printing");
        return;
    }
    PrintSurface& s = attachedSurface();
    const int32_t left = rounded(x1), top = rounded(y1), w = rounded(width), h = rounded(height);
    if (!portrait_)
        throw VbError(vberr::ObjectNotSet);
    portrait_->setFileName(pictureName_);
    // An omitted Stretch keeps the proportions, the safer reading.
    const bool stretched = flagValue(stretch).value_or(false);
    auto sum = [](int32_t a, int32_t b) {
        const int64_t r = static_cast<int64_t>(a) + b;
        if (r > INT32_MAX || r < INT32_MIN)
            throw VbError(vberr::Overflow);
        return static_cast<double>(r);
    };
    if (stretched) {
        s.setPictureRect(left, top, sum(left, w), sum(top, h));
    } else {
        const PictureSize fit = fitPicture(w, h, portrait_->pictureWidth(), portrait_->pictureHeight());
        s.setPictureRect(left, top, sum(left, fit.width), sum(top, fit.height));
    }
    s.placePicture(*portrait_);
    s.setCurrentY(static_cast<float>(s.pictureBottom()));
}

void clsPrintWrapper::DebugLog(const Text& text)
{
    if (logLine_)
        logLine_(u"  " + text);
}

} // namespace quillet
