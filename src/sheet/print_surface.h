// What the print object needs of the print/preview surface.  Every length
// is in twips (1440 to the inch), every colour a 24-bit RGB number with red
// in the low byte.  The surface itself decides how output flows (wrapping,
// page breaks, table layout); the print object only converts the script's
// units and passes values on.
#pragma once

#include "common/text.h"
#include "script/value.h"

#include <cstdint>
#include <functional>

namespace quillet {

class PortraitImage;

class PrintSurface {
public:
    virtual ~PrintSurface() = default;

    // Where the surface reports what it did instead of what was asked (a
    // font it substituted, a code it ignored); an empty function reports
    // nowhere.
    virtual void setDiagnosticSink(std::function<void(const Text&)> sink) { (void)sink; }

    // Document.
    virtual void startDoc() = 0;
    virtual void endDoc() = 0;
    virtual void newPage() = 0;
    virtual void newColumn() = 0;

    // Page layout.
    virtual double pageWidth() const = 0;
    virtual void setPageWidth(double twips) = 0;
    virtual double pageHeight() const = 0;
    virtual void setPageHeight(double twips) = 0;
    virtual float marginLeft() const = 0;
    virtual void setMarginLeft(float twips) = 0;
    virtual float marginTop() const = 0;
    virtual void setMarginTop(float twips) = 0;
    virtual float marginRight() const = 0;
    virtual void setMarginRight(float twips) = 0;
    virtual float marginBottom() const = 0;
    virtual void setMarginBottom(float twips) = 0;
    virtual int32_t columns() const = 0;
    virtual void setColumns(int32_t count) = 0;
    virtual int32_t orientation() const = 0;
    virtual void setOrientation(int32_t code) = 0;
    virtual int32_t pageBorder() const = 0;
    virtual void setPageBorder(int32_t code) = 0;

    // Header and footer.
    virtual Text header() const = 0;
    virtual void setHeader(const Text& text) = 0;
    virtual Text footer() const = 0;
    virtual void setFooter(const Text& text) = 0;
    virtual Text headerFontName() const = 0;
    virtual void setHeaderFontName(const Text& name) = 0;
    virtual float headerFontSize() const = 0;
    virtual void setHeaderFontSize(float points) = 0;
    virtual bool headerFontBold() const = 0;
    virtual void setHeaderFontBold(bool on) = 0;
    virtual bool headerFontItalic() const = 0;
    virtual void setHeaderFontItalic(bool on) = 0;
    virtual bool headerFontUnderline() const = 0;
    virtual void setHeaderFontUnderline(bool on) = 0;
    virtual int32_t headerColor() const = 0;
    virtual void setHeaderColor(int32_t rgb) = 0;

    // Position: where text output begins (the top of the line box).
    virtual float currentX() const = 0;
    virtual void setCurrentX(float twips) = 0;
    virtual float currentY() const = 0;
    virtual void setCurrentY(float twips) = 0;

    // Text.
    virtual Text fontName() const = 0;
    virtual void setFontName(const Text& name) = 0;
    virtual float fontSize() const = 0;
    virtual void setFontSize(float points) = 0;
    virtual bool fontBold() const = 0;
    virtual void setFontBold(bool on) = 0;
    virtual bool fontItalic() const = 0;
    virtual void setFontItalic(bool on) = 0;
    virtual bool fontUnderline() const = 0;
    virtual void setFontUnderline(bool on) = 0;
    virtual int32_t textColor() const = 0;
    virtual void setTextColor(int32_t rgb) = 0;
    virtual void text(const Text& text) = 0;
    virtual void paragraph(const Text& text) = 0;
    virtual void textRtf(const Text& rtf) = 0;
    virtual double textWidth(const Text& text) = 0;
    virtual double textHeight(const Text& text) = 0;
    // The flags arrive exactly as the script gave them (an omitted one as
    // Value::missing()); the surface decides what each means.
    virtual void textBox(const Text& text, double left, double top, double width, double height,
                         const script::Value& wrap, const script::Value& calc, const script::Value& shade) = 0;

    // Drawing.
    virtual int32_t brushColor() const = 0;
    virtual void setBrushColor(int32_t rgb) = 0;
    virtual int32_t penColor() const = 0;
    virtual void setPenColor(int32_t rgb) = 0;
    virtual void drawLine(double x1, double y1, double x2, double y2) = 0;
    virtual void drawRectangle(double left, double top, double right, double bottom) = 0;

    // Tables.  The shades and the append flag arrive as the script gave them.
    virtual void addTable(const Text& format, const Text& header, const Text& body, const script::Value& headerShade,
                          const script::Value& bodyShade, const script::Value& append) = 0;
    virtual int32_t tableBorder() const = 0;
    virtual void setTableBorder(int32_t code) = 0;
    virtual Text tableSeparator() const = 0;
    virtual void setTableSeparator(const Text& separators) = 0;
    virtual int32_t tablePen() const = 0;
    virtual void setTablePen(int32_t twips) = 0;
    virtual int32_t tablePenTB() const = 0;
    virtual void setTablePenTB(int32_t twips) = 0;
    virtual int32_t tablePenLR() const = 0;
    virtual void setTablePenLR(int32_t twips) = 0;

    // Pictures: the rectangle the next placed picture fills.
    virtual void setPictureRect(double left, double top, double right, double bottom) = 0;
    virtual double pictureBottom() const = 0;
    virtual void placePicture(const PortraitImage& image) = 0;
};

} // namespace quillet
