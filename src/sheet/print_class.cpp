// Every member of the print object in the order of its interface, with the
// kinds its arguments are converted to.  Plain properties pass values to
// and from the surface; lengths go through the unit factor.
#include "sheet/print_class.h"

#include "common/vb_number.h"
#include "sheet/cls_print_wrapper.h"
#include "sheet/print_surface.h"

#include <cmath>

namespace quillet {

using script::ArgKind;
using script::NativeMember;
using script::NativeObject;
using script::Value;

namespace {

clsPrintWrapper& self(NativeObject& o) { return static_cast<clsPrintWrapper&>(o); }
PrintSurface& surf(NativeObject& o) { return self(o).attachedSurface(); }

NativeMember method(const char16_t* name, std::vector<ArgKind> params, int required, NativeMember::Getter fn)
{
    NativeMember m;
    m.name = name;
    m.params = std::move(params);
    m.requiredArgs = required;
    m.get = std::move(fn);
    return m;
}

NativeMember property(const char16_t* name, NativeMember::Getter get, NativeMember::Setter let)
{
    NativeMember m;
    m.name = name;
    m.get = std::move(get);
    m.let = std::move(let);
    return m;
}

// A length property: written as unit factor x value (single precision),
// read back divided by the unit factor.
NativeMember lengthProperty(const char16_t* name, float (PrintSurface::*get)() const,
                            void (PrintSurface::*set)(float))
{
    return property(
        name,
        [get](NativeObject& o, std::span<Value>) {
            return Value::single(static_cast<float>((surf(o).*get)() / static_cast<double>(self(o).unitFactor())));
        },
        [set](NativeObject& o, std::span<Value>, const Value& v) {
            // Single arithmetic, as the lengths are kept: a length past the
            // largest Single overflows rather than becoming infinite.
            const float twips = v.toSingle() * static_cast<float>(self(o).unitFactor());
            if (!std::isfinite(twips))
                throw VbError(vberr::Overflow);
            (surf(o).*set)(twips);
        });
}

NativeMember pageProperty(const char16_t* name, double (PrintSurface::*get)() const,
                          void (PrintSurface::*set)(double))
{
    return property(
        name,
        [get](NativeObject& o, std::span<Value>) {
            return Value::single(static_cast<float>((surf(o).*get)() / self(o).unitFactor()));
        },
        [set](NativeObject& o, std::span<Value>, const Value& v) {
            // In double precision: a Single times the factor may pass the
            // largest Single, and the surface refuses such a page rather
            // than taking an infinite one.
            (surf(o).*set)(static_cast<double>(v.toSingle()) * self(o).unitFactor());
        });
}

NativeMember int16Property(const char16_t* name, int32_t (PrintSurface::*get)() const,
                           void (PrintSurface::*set)(int32_t))
{
    return property(
        name, [get](NativeObject& o, std::span<Value>) { return Value::integer(toInt16((surf(o).*get)())); },
        [set](NativeObject& o, std::span<Value>, const Value& v) { (surf(o).*set)(v.toInt16()); });
}

NativeMember colorProperty(const char16_t* name, int32_t (PrintSurface::*get)() const,
                           void (PrintSurface::*set)(int32_t))
{
    return property(
        name, [get](NativeObject& o, std::span<Value>) { return Value::longInt((surf(o).*get)()); },
        [set](NativeObject& o, std::span<Value>, const Value& v) { (surf(o).*set)(v.toInt32()); });
}

NativeMember boolProperty(const char16_t* name, bool (PrintSurface::*get)() const, void (PrintSurface::*set)(bool))
{
    return property(
        name, [get](NativeObject& o, std::span<Value>) { return Value::boolean((surf(o).*get)()); },
        [set](NativeObject& o, std::span<Value>, const Value& v) { (surf(o).*set)(v.toBool()); });
}

NativeMember textProperty(const char16_t* name, Text (PrintSurface::*get)() const,
                          void (PrintSurface::*set)(const Text&))
{
    return property(
        name, [get](NativeObject& o, std::span<Value>) { return Value::string((surf(o).*get)()); },
        [set](NativeObject& o, std::span<Value>, const Value& v) { (surf(o).*set)(v.toText()); });
}

// Text, TextRTF and Paragraph: writing prints, reading gives "".
NativeMember outputProperty(const char16_t* name, void (PrintSurface::*output)(const Text&))
{
    return property(
        name, [](NativeObject&, std::span<Value>) { return Value::string(Text()); },
        [output](NativeObject& o, std::span<Value>, const Value& v) {
            const Text text = v.toText();
            (surf(o).*output)(text);
        });
}

NativeMember outputMethod(const char16_t* name, ArgKind kind, void (PrintSurface::*output)(const Text&))
{
    return method(name, {kind}, 1, [output](NativeObject& o, std::span<Value> a) {
        PrintSurface& s = surf(o);
        const Text text = a[0].deref().toText();
        (s.*output)(text);
        return Value();
    });
}

// A text parameter the script left out (`PrintCentered , 1, 2`) arrives
// as a missing value, which no member can print or measure.
const Text& requiredText(const Value& v)
{
    if (v.isMissing())
        throw VbError(vberr::ArgumentNotOptional);
    return v.rawText();
}

// Font sizes are read back as whole points, halves to even.
Value wholePoints(float size) { return Value::integer(toInt16(size)); }

script::NativeClass buildClass()
{
    script::NativeClass c(u"clsPrintWrapper");
    const ArgKind Any = ArgKind::Any, TextKind = ArgKind::Text;

    c.add(method(u"PrintAtLeft", {Any, Any}, 2, [](NativeObject& o, std::span<Value> a) {
        self(o).PrintAtLeft(a[0], a[1]);
        return Value();
    }));
    c.add(method(u"SetPrintPreviewObject", {Any}, 1, [](NativeObject& o, std::span<Value> a) {
        // Only the program attaches a surface; a script can only detach it.
        if (!a[0].deref().isNothing())
            throw VbError(vberr::TypeMismatch);
        self(o).SetPrintPreviewObject(nullptr);
        return Value();
    }));
    c.add(method(u"PrintAtCenter", {Any, Any}, 2, [](NativeObject& o, std::span<Value> a) {
        self(o).PrintAtCenter(a[0], a[1]);
        return Value();
    }));
    c.add(method(u"PrintCentered", {TextKind, Any, Any}, 3, [](NativeObject& o, std::span<Value> a) {
        self(o).PrintCentered(requiredText(a[0]), a[1], a[2]);
        return Value();
    }));
    c.add(method(u"PrintAtRight", {Any, Any}, 2, [](NativeObject& o, std::span<Value> a) {
        self(o).PrintAtRight(a[0], a[1]);
        return Value();
    }));
    c.add(method(u"DrawBox", {Any, Any, Any, Any, Any}, 5, [](NativeObject& o, std::span<Value> a) {
        self(o).DrawBox(a[0], a[1], a[2], a[3], a[4]);
        return Value();
    }));
    c.add(method(u"DrawLine", {Any, Any, Any, Any}, 4, [](NativeObject& o, std::span<Value> a) {
        self(o).DrawLine(a[0], a[1], a[2], a[3]);
        return Value();
    }));
    c.add(method(u"ReturnCenterY", {TextKind, Any, Any}, 3, [](NativeObject& o, std::span<Value> a) {
        return Value::single(self(o).ReturnCenterY(requiredText(a[0]), a[1], a[2]));
    }));
    c.add(lengthProperty(u"MarginLeft", &PrintSurface::marginLeft, &PrintSurface::setMarginLeft));
    c.add(lengthProperty(u"MarginRight", &PrintSurface::marginRight, &PrintSurface::setMarginRight));
    c.add(lengthProperty(u"MarginTop", &PrintSurface::marginTop, &PrintSurface::setMarginTop));
    c.add(lengthProperty(u"MarginBottom", &PrintSurface::marginBottom, &PrintSurface::setMarginBottom));
    c.add(int16Property(u"PageBorder", &PrintSurface::pageBorder, &PrintSurface::setPageBorder));
    c.add(property(
        u"FontSize", [](NativeObject& o, std::span<Value>) { return wholePoints(surf(o).fontSize()); },
        [](NativeObject& o, std::span<Value>, const Value& v) {
            const int16_t size = v.toInt16();
            surf(o).setFontSize(size < 1 ? 1.0f : static_cast<float>(size));
        }));
    c.add(textProperty(u"FontName", &PrintSurface::fontName, &PrintSurface::setFontName));
    c.add(int16Property(u"Columns", &PrintSurface::columns, &PrintSurface::setColumns));
    c.add(lengthProperty(u"CurrentX", &PrintSurface::currentX, &PrintSurface::setCurrentX));
    c.add(lengthProperty(u"CurrentY", &PrintSurface::currentY, &PrintSurface::setCurrentY));
    c.add(textProperty(u"Header", &PrintSurface::header, &PrintSurface::setHeader));
    c.add(textProperty(u"Footer", &PrintSurface::footer, &PrintSurface::setFooter));
    c.add(pageProperty(u"PageHeight", &PrintSurface::pageHeight, &PrintSurface::setPageHeight));
    c.add(pageProperty(u"PageWidth", &PrintSurface::pageWidth, &PrintSurface::setPageWidth));
    c.add(method(u"NewColumn", {}, 0, [](NativeObject& o, std::span<Value>) {
        surf(o).newColumn();
        return Value();
    }));
    c.add(method(u"NewPage", {}, 0, [](NativeObject& o, std::span<Value>) {
        surf(o).newPage();
        return Value();
    }));
    c.add(int16Property(u"Orientation", &PrintSurface::orientation, &PrintSurface::setOrientation));
    c.add(colorProperty(u"BrushColor", &PrintSurface::brushColor, &PrintSurface::setBrushColor));
    c.add(colorProperty(u"PenColor", &PrintSurface::penColor, &PrintSurface::setPenColor));
    c.add(outputMethod(u"PrintText", Any, &PrintSurface::text));
    c.add(outputMethod(u"PrintTextRTF", Any, &PrintSurface::textRtf));
    c.add(boolProperty(u"FontBold", &PrintSurface::fontBold, &PrintSurface::setFontBold));
    c.add(boolProperty(u"FontItalic", &PrintSurface::fontItalic, &PrintSurface::setFontItalic));
    c.add(boolProperty(u"FontUnderline", &PrintSurface::fontUnderline, &PrintSurface::setFontUnderline));
    c.add(property(
        u"ScaleMode", [](NativeObject& o, std::span<Value>) { return Value::integer(self(o).scaleMode()); },
        [](NativeObject& o, std::span<Value>, const Value& v) { self(o).setScaleMode(v.toInt16()); }));
    c.add(method(u"AddTable", {Any, Any, Any, Any, Any, Any}, 6, [](NativeObject& o, std::span<Value> a) {
        self(o).AddTable(a[0], a[1], a[2], a[3], a[4], a[5]);
        return Value();
    }));
    c.add(outputProperty(u"Text", &PrintSurface::text));
    c.add(method(u"TextHeight", {TextKind}, 1, [](NativeObject& o, std::span<Value> a) {
        return Value::single(self(o).TextHeight(requiredText(a[0])));
    }));
    c.add(method(u"TextWidth", {TextKind}, 1, [](NativeObject& o, std::span<Value> a) {
        return Value::single(self(o).TextWidth(requiredText(a[0])));
    }));
    c.add(method(u"TextBox", {Any, Any, Any, Any, Any, Any, Any, Any}, 5, [](NativeObject& o, std::span<Value> a) {
        const Value missing = Value::missing();
        auto arg = [&](size_t i) -> const Value& { return i < a.size() ? a[i] : missing; };
        self(o).TextBox(a[0], a[1], a[2], a[3], a[4], arg(5), arg(6), arg(7));
        return Value();
    }));
    c.add(outputProperty(u"TextRTF", &PrintSurface::textRtf));
    c.add(int16Property(u"TableBorder", &PrintSurface::tableBorder, &PrintSurface::setTableBorder));
    c.add(int16Property(u"TablePen", &PrintSurface::tablePen, &PrintSurface::setTablePen));
    c.add(int16Property(u"TablePenTB", &PrintSurface::tablePenTB, &PrintSurface::setTablePenTB));
    c.add(int16Property(u"TablePenLR", &PrintSurface::tablePenLR, &PrintSurface::setTablePenLR));
    c.add(colorProperty(u"TextColor", &PrintSurface::textColor, &PrintSurface::setTextColor));
    c.add(colorProperty(u"HeaderColor", &PrintSurface::headerColor, &PrintSurface::setHeaderColor));
    c.add(textProperty(u"HeaderFont", &PrintSurface::headerFontName, &PrintSurface::setHeaderFontName));
    c.add(property(
        u"HeaderFontSize", [](NativeObject& o, std::span<Value>) { return wholePoints(surf(o).headerFontSize()); },
        [](NativeObject& o, std::span<Value>, const Value& v) {
            surf(o).setHeaderFontSize(static_cast<float>(v.toInt16()));
        }));
    c.add(boolProperty(u"HeaderFontBold", &PrintSurface::headerFontBold, &PrintSurface::setHeaderFontBold));
    c.add(boolProperty(u"HeaderFontUnderline", &PrintSurface::headerFontUnderline,
                       &PrintSurface::setHeaderFontUnderline));
    c.add(boolProperty(u"HeaderFontItalic", &PrintSurface::headerFontItalic, &PrintSurface::setHeaderFontItalic));
    c.add(outputProperty(u"Paragraph", &PrintSurface::paragraph));
    c.add(method(u"DebugLog", {TextKind}, 1, [](NativeObject& o, std::span<Value> a) {
        self(o).DebugLog(requiredText(a[0]));
        return Value();
    }));
    c.add(method(u"Picture", {Any, Any, Any, Any, Any, Any}, 5, [](NativeObject& o, std::span<Value> a) {
        const Value missing = Value::missing();
        self(o).Picture(a[0], a[1], a[2], a[3], a[4], a.size() > 5 ? a[5] : missing);
        return Value();
    }));
    c.add(outputMethod(u"PrintParagraph", TextKind, &PrintSurface::paragraph));
    c.add(textProperty(u"TableSeparator", &PrintSurface::tableSeparator, &PrintSurface::setTableSeparator));
    return c;
}

} // namespace

const script::NativeClass& printWrapperClass()
{
    static const script::NativeClass cls = buildClass();
    return cls;
}

} // namespace quillet
