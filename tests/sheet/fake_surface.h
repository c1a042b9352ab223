// A print surface with fixed metrics (a character is `charWidth` twips
// wide, a line `lineHeight` high) that records every drawing call, so the
// print object's arithmetic can be checked to the twip.
#pragma once

#include "sheet/portrait_image.h"
#include "sheet/print_surface.h"

#include <string>
#include <vector>

namespace quillet::testing {

class FakeSurface : public PrintSurface {
public:
    double charWidth = 100;
    double lineHeight = 240;
    std::vector<std::string> calls;

    void startDoc() override { calls.push_back("startDoc"); }
    void endDoc() override { calls.push_back("endDoc"); }
    void newPage() override { calls.push_back("newPage"); }
    void newColumn() override { calls.push_back("newColumn"); }

// A property kept as it was set: `name()` reads the member `name_`, which
// starts at `initial`, and `setName(v)` writes it.
#define QUILLET_FAKE_PROPERTY(Type, Arg, name, Name, initial)                                                        \
    Type name() const override { return name##_; }                                                                   \
    void set##Name(Arg v) override { name##_ = v; }                                                                  \
    Type name##_ = initial

    QUILLET_FAKE_PROPERTY(double, double, pageWidth, PageWidth, 12240);
    QUILLET_FAKE_PROPERTY(double, double, pageHeight, PageHeight, 15840);
    QUILLET_FAKE_PROPERTY(float, float, marginLeft, MarginLeft, 1440);
    QUILLET_FAKE_PROPERTY(float, float, marginTop, MarginTop, 1440);
    QUILLET_FAKE_PROPERTY(float, float, marginRight, MarginRight, 1440);
    QUILLET_FAKE_PROPERTY(float, float, marginBottom, MarginBottom, 1440);
    QUILLET_FAKE_PROPERTY(int32_t, int32_t, columns, Columns, 1);
    QUILLET_FAKE_PROPERTY(int32_t, int32_t, orientation, Orientation, 0);
    QUILLET_FAKE_PROPERTY(int32_t, int32_t, pageBorder, PageBorder, 0);

    QUILLET_FAKE_PROPERTY(Text, const Text&, header, Header, u"");
    QUILLET_FAKE_PROPERTY(Text, const Text&, footer, Footer, u"");
    QUILLET_FAKE_PROPERTY(Text, const Text&, headerFontName, HeaderFontName, u"Arial");
    QUILLET_FAKE_PROPERTY(float, float, headerFontSize, HeaderFontSize, 14.25f);
    QUILLET_FAKE_PROPERTY(bool, bool, headerFontBold, HeaderFontBold, false);
    QUILLET_FAKE_PROPERTY(bool, bool, headerFontItalic, HeaderFontItalic, false);
    QUILLET_FAKE_PROPERTY(bool, bool, headerFontUnderline, HeaderFontUnderline, false);
    QUILLET_FAKE_PROPERTY(int32_t, int32_t, headerColor, HeaderColor, 0);

    QUILLET_FAKE_PROPERTY(float, float, currentX, CurrentX, 1440);
    QUILLET_FAKE_PROPERTY(float, float, currentY, CurrentY, 1440);

    QUILLET_FAKE_PROPERTY(Text, const Text&, fontName, FontName, u"Arial");
    QUILLET_FAKE_PROPERTY(float, float, fontSize, FontSize, 11.25f);
    QUILLET_FAKE_PROPERTY(bool, bool, fontBold, FontBold, false);
    QUILLET_FAKE_PROPERTY(bool, bool, fontItalic, FontItalic, false);
    QUILLET_FAKE_PROPERTY(bool, bool, fontUnderline, FontUnderline, false);
    QUILLET_FAKE_PROPERTY(int32_t, int32_t, textColor, TextColor, 0);
    void text(const Text& t) override;
    void paragraph(const Text& t) override { calls.push_back("paragraph " + toUtf8(t)); }
    void textRtf(const Text& t) override { calls.push_back("rtf " + toUtf8(t)); }
    double textWidth(const Text& t) override { return static_cast<double>(t.size()) * charWidth; }
    double textHeight(const Text&) override { return lineHeight; }
    void textBox(const Text& t, double l, double top, double w, double h, const script::Value& wrap,
                 const script::Value& calc, const script::Value& shade) override;

    QUILLET_FAKE_PROPERTY(int32_t, int32_t, brushColor, BrushColor, 0);
    QUILLET_FAKE_PROPERTY(int32_t, int32_t, penColor, PenColor, 0);
    void drawLine(double x1, double y1, double x2, double y2) override;
    void drawRectangle(double l, double t, double r, double b) override;

    void addTable(const Text& format, const Text& header, const Text& body, const script::Value& headerShade,
                  const script::Value& bodyShade, const script::Value& append) override;
    QUILLET_FAKE_PROPERTY(int32_t, int32_t, tableBorder, TableBorder, 7);
    QUILLET_FAKE_PROPERTY(Text, const Text&, tableSeparator, TableSeparator, u"|;");
    QUILLET_FAKE_PROPERTY(int32_t, int32_t, tablePen, TablePen, 0);
    QUILLET_FAKE_PROPERTY(int32_t, int32_t, tablePenTB, TablePenTB, 0);
    QUILLET_FAKE_PROPERTY(int32_t, int32_t, tablePenLR, TablePenLR, 0);
#undef QUILLET_FAKE_PROPERTY

    void setPictureRect(double l, double t, double r, double b) override;
    double pictureBottom() const override { return pictureBottom_; }
    void placePicture(const PortraitImage& image) override;

private:
    double pictureBottom_ = 0;
};

// An image control that "loads" any file and reports a fixed size.
class FakePortrait : public PortraitImage {
public:
    int32_t width = 200, height = 300;
    void setFileName(const Text& name) override { name_ = name; }
    const Text& fileName() const override { return name_; }
    int32_t pictureWidth() const override { return width; }
    int32_t pictureHeight() const override { return height; }

private:
    Text name_;
};

} // namespace quillet::testing
