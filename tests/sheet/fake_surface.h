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

    double pageWidth() const override { return pageWidth_; }
    void setPageWidth(double v) override { pageWidth_ = v; }
    double pageHeight() const override { return pageHeight_; }
    void setPageHeight(double v) override { pageHeight_ = v; }
    float marginLeft() const override { return margins_[0]; }
    void setMarginLeft(float v) override { margins_[0] = v; }
    float marginTop() const override { return margins_[1]; }
    void setMarginTop(float v) override { margins_[1] = v; }
    float marginRight() const override { return margins_[2]; }
    void setMarginRight(float v) override { margins_[2] = v; }
    float marginBottom() const override { return margins_[3]; }
    void setMarginBottom(float v) override { margins_[3] = v; }
    int32_t columns() const override { return columns_; }
    void setColumns(int32_t v) override { columns_ = v; }
    int32_t orientation() const override { return orientation_; }
    void setOrientation(int32_t v) override { orientation_ = v; }
    int32_t pageBorder() const override { return pageBorder_; }
    void setPageBorder(int32_t v) override { pageBorder_ = v; }

    Text header() const override { return header_; }
    void setHeader(const Text& v) override { header_ = v; }
    Text footer() const override { return footer_; }
    void setFooter(const Text& v) override { footer_ = v; }
    Text headerFontName() const override { return headerFont_; }
    void setHeaderFontName(const Text& v) override { headerFont_ = v; }
    float headerFontSize() const override { return headerFontSize_; }
    void setHeaderFontSize(float v) override { headerFontSize_ = v; }
    bool headerFontBold() const override { return headerBold_; }
    void setHeaderFontBold(bool v) override { headerBold_ = v; }
    bool headerFontItalic() const override { return headerItalic_; }
    void setHeaderFontItalic(bool v) override { headerItalic_ = v; }
    bool headerFontUnderline() const override { return headerUnderline_; }
    void setHeaderFontUnderline(bool v) override { headerUnderline_ = v; }
    int32_t headerColor() const override { return headerColor_; }
    void setHeaderColor(int32_t v) override { headerColor_ = v; }

    float currentX() const override { return x_; }
    void setCurrentX(float v) override { x_ = v; }
    float currentY() const override { return y_; }
    void setCurrentY(float v) override { y_ = v; }

    Text fontName() const override { return fontName_; }
    void setFontName(const Text& v) override { fontName_ = v; }
    float fontSize() const override { return fontSize_; }
    void setFontSize(float v) override { fontSize_ = v; }
    bool fontBold() const override { return bold_; }
    void setFontBold(bool v) override { bold_ = v; }
    bool fontItalic() const override { return italic_; }
    void setFontItalic(bool v) override { italic_ = v; }
    bool fontUnderline() const override { return underline_; }
    void setFontUnderline(bool v) override { underline_ = v; }
    int32_t textColor() const override { return textColor_; }
    void setTextColor(int32_t v) override { textColor_ = v; }
    void text(const Text& t) override;
    void paragraph(const Text& t) override { calls.push_back("paragraph " + toUtf8(t)); }
    void textRtf(const Text& t) override { calls.push_back("rtf " + toUtf8(t)); }
    double textWidth(const Text& t) override { return static_cast<double>(t.size()) * charWidth; }
    double textHeight(const Text&) override { return lineHeight; }
    void textBox(const Text& t, double l, double top, double w, double h, const script::Value& wrap,
                 const script::Value& calc, const script::Value& shade) override;

    int32_t brushColor() const override { return brush_; }
    void setBrushColor(int32_t v) override { brush_ = v; }
    int32_t penColor() const override { return pen_; }
    void setPenColor(int32_t v) override { pen_ = v; }
    void drawLine(double x1, double y1, double x2, double y2) override;
    void drawRectangle(double l, double t, double r, double b) override;

    void addTable(const Text& format, const Text& header, const Text& body, const script::Value& headerShade,
                  const script::Value& bodyShade, const script::Value& append) override;
    int32_t tableBorder() const override { return tableBorder_; }
    void setTableBorder(int32_t v) override { tableBorder_ = v; }
    Text tableSeparator() const override { return tableSep_; }
    void setTableSeparator(const Text& v) override { tableSep_ = v; }
    int32_t tablePen() const override { return pens_[0]; }
    void setTablePen(int32_t v) override { pens_[0] = v; }
    int32_t tablePenTB() const override { return pens_[1]; }
    void setTablePenTB(int32_t v) override { pens_[1] = v; }
    int32_t tablePenLR() const override { return pens_[2]; }
    void setTablePenLR(int32_t v) override { pens_[2] = v; }

    void setPictureRect(double l, double t, double r, double b) override;
    double pictureBottom() const override { return pictureBottom_; }
    void placePicture(const PortraitImage& image) override;

private:
    double pageWidth_ = 12240, pageHeight_ = 15840;
    float margins_[4] = {1440, 1440, 1440, 1440};
    int32_t columns_ = 1, orientation_ = 0, pageBorder_ = 0;
    Text header_, footer_, headerFont_ = u"Arial";
    float headerFontSize_ = 14.25f;
    bool headerBold_ = false, headerItalic_ = false, headerUnderline_ = false;
    int32_t headerColor_ = 0;
    float x_ = 1440, y_ = 1440;
    Text fontName_ = u"Arial";
    float fontSize_ = 11.25f;
    bool bold_ = false, italic_ = false, underline_ = false;
    int32_t textColor_ = 0, brush_ = 0, pen_ = 0, tableBorder_ = 7;
    Text tableSep_ = u"|;";
    int32_t pens_[3] = {0, 0, 0};
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
