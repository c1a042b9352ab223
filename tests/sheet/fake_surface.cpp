#include "fake_surface.h"

#include <cstdio>

namespace quillet::testing {

namespace {

std::string num(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

// A pass-through value as the surface receives it: kind and content.
std::string arg(const script::Value& v)
{
    if (v.isMissing())
        return "omitted";
    if (v.isEmpty())
        return "empty";
    if (v.isNull())
        return "null";
    if (v.type() == script::Type::Boolean)
        return v.rawBoolean() ? "true" : "false";
    if (v.isString())
        return "'" + toUtf8(v.rawText()) + "'";
    return num(v.toDouble());
}

} // namespace

void FakeSurface::text(const Text& t)
{
    calls.push_back("text " + toUtf8(t) + " at " + num(currentX_) + "," + num(currentY_));
    currentX_ += static_cast<float>(textWidth(t));
}

void FakeSurface::textBox(const Text& t, double l, double top, double w, double h, const script::Value& wrap,
                          const script::Value& calc, const script::Value& shade)
{
    calls.push_back("textBox " + toUtf8(t) + " " + num(l) + "," + num(top) + " " + num(w) + "x" + num(h) + " " +
                    arg(wrap) + " " + arg(calc) + " " + arg(shade));
}

void FakeSurface::drawLine(double x1, double y1, double x2, double y2)
{
    calls.push_back("line " + num(x1) + "," + num(y1) + " " + num(x2) + "," + num(y2));
}

void FakeSurface::drawRectangle(double l, double t, double r, double b)
{
    calls.push_back("rect " + num(l) + "," + num(t) + " " + num(r) + "," + num(b) + " brush " + num(brushColor_) +
                    " pen " + num(penColor_));
}

void FakeSurface::addTable(const Text& format, const Text& header, const Text& body,
                           const script::Value& headerShade, const script::Value& bodyShade,
                           const script::Value& append)
{
    calls.push_back("table " + toUtf8(format) + " [" + toUtf8(header) + "] [" + toUtf8(body) + "] " +
                    arg(headerShade) + " " + arg(bodyShade) + " " + arg(append));
}

void FakeSurface::setPictureRect(double l, double t, double r, double b)
{
    calls.push_back("pictureRect " + num(l) + "," + num(t) + " " + num(r) + "," + num(b));
    pictureBottom_ = b;
}

void FakeSurface::placePicture(const PortraitImage& image)
{
    calls.push_back("placePicture " + toUtf8(image.fileName()));
}

} // namespace quillet::testing
