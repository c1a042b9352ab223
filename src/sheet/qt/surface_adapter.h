// The print object's view of the real print surface.
#pragma once

#include "script/metered.h"
#include "sheet/print_surface.h"
#include "surface/surface.h"

#include <optional>

namespace quillet {

class SurfaceAdapter : public PrintSurface {
public:
    // The pages the surface holds are charged to the memory meter current
    // while they grow (the run's), so that a run's drawing counts towards
    // its memory limit like its values do.
    explicit SurfaceAdapter(surface::Surface& surface);
    SurfaceAdapter(const SurfaceAdapter&) = delete;
    SurfaceAdapter& operator=(const SurfaceAdapter&) = delete;
    surface::Surface& surface() { return s_; }

    void setDiagnosticSink(std::function<void(const Text&)> sink) override { s_.setDiagnosticSink(std::move(sink)); }
    void startDoc() override { s_.startDoc(); }
    void endDoc() override { s_.endDoc(); }
    void newPage() override { s_.newPage(); }
    void newColumn() override { s_.newColumn(); }

    double pageWidth() const override { return s_.pageWidth(); }
    void setPageWidth(double v) override { s_.setPageWidth(v); }
    double pageHeight() const override { return s_.pageHeight(); }
    void setPageHeight(double v) override { s_.setPageHeight(v); }
    float marginLeft() const override { return static_cast<float>(s_.marginLeft()); }
    void setMarginLeft(float v) override { s_.setMarginLeft(v); }
    float marginTop() const override { return static_cast<float>(s_.marginTop()); }
    void setMarginTop(float v) override { s_.setMarginTop(v); }
    float marginRight() const override { return static_cast<float>(s_.marginRight()); }
    void setMarginRight(float v) override { s_.setMarginRight(v); }
    float marginBottom() const override { return static_cast<float>(s_.marginBottom()); }
    void setMarginBottom(float v) override { s_.setMarginBottom(v); }
    int32_t columns() const override { return s_.columns(); }
    void setColumns(int32_t v) override { s_.setColumns(v); }
    int32_t orientation() const override { return s_.orientation(); }
    void setOrientation(int32_t v) override { s_.setOrientation(v); }
    int32_t pageBorder() const override { return s_.pageBorder(); }
    void setPageBorder(int32_t v) override { s_.setPageBorder(v); }

    Text header() const override { return s_.header(); }
    void setHeader(const Text& v) override { s_.setHeader(v); }
    Text footer() const override { return s_.footer(); }
    void setFooter(const Text& v) override { s_.setFooter(v); }
    Text headerFontName() const override { return s_.headerFontName(); }
    void setHeaderFontName(const Text& v) override { s_.setHeaderFontName(v); }
    float headerFontSize() const override { return static_cast<float>(s_.headerFontSize()); }
    void setHeaderFontSize(float v) override { s_.setHeaderFontSize(v); }
    bool headerFontBold() const override { return s_.headerFontBold(); }
    void setHeaderFontBold(bool v) override { s_.setHeaderFontBold(v); }
    bool headerFontItalic() const override { return s_.headerFontItalic(); }
    void setHeaderFontItalic(bool v) override { s_.setHeaderFontItalic(v); }
    bool headerFontUnderline() const override { return s_.headerFontUnderline(); }
    void setHeaderFontUnderline(bool v) override { s_.setHeaderFontUnderline(v); }
    int32_t headerColor() const override { return static_cast<int32_t>(s_.headerColor()); }
    void setHeaderColor(int32_t v) override { s_.setHeaderColor(surface::rgbFromNumber(v)); }

    float currentX() const override { return static_cast<float>(s_.currentX()); }
    void setCurrentX(float v) override { s_.setCurrentX(v); }
    float currentY() const override { return static_cast<float>(s_.currentY()); }
    void setCurrentY(float v) override { s_.setCurrentY(v); }

    Text fontName() const override { return s_.fontName(); }
    void setFontName(const Text& v) override { s_.setFontName(v); }
    float fontSize() const override { return static_cast<float>(s_.fontSize()); }
    void setFontSize(float v) override { s_.setFontSize(v); }
    bool fontBold() const override { return s_.fontBold(); }
    void setFontBold(bool v) override { s_.setFontBold(v); }
    bool fontItalic() const override { return s_.fontItalic(); }
    void setFontItalic(bool v) override { s_.setFontItalic(v); }
    bool fontUnderline() const override { return s_.fontUnderline(); }
    void setFontUnderline(bool v) override { s_.setFontUnderline(v); }
    int32_t textColor() const override { return static_cast<int32_t>(s_.textColor()); }
    void setTextColor(int32_t v) override { s_.setTextColor(surface::rgbFromNumber(v)); }
    void text(const Text& t) override { s_.text(t); }
    void paragraph(const Text& t) override { s_.paragraph(t); }
    void textRtf(const Text& t) override { s_.textRtf(t); }
    double textWidth(const Text& t) override { return s_.textWidth(t); }
    double textHeight(const Text& t) override { return s_.textHeight(t); }
    void textBox(const Text& t, double l, double top, double w, double h, const script::Value& wrap,
                 const script::Value& calc, const script::Value& shade) override;

    int32_t brushColor() const override { return static_cast<int32_t>(s_.brushColor()); }
    void setBrushColor(int32_t v) override { s_.setBrushColor(surface::rgbFromNumber(v)); }
    int32_t penColor() const override { return static_cast<int32_t>(s_.penColor()); }
    void setPenColor(int32_t v) override { s_.setPenColor(surface::rgbFromNumber(v)); }
    void drawLine(double x1, double y1, double x2, double y2) override { s_.drawLine(x1, y1, x2, y2); }
    void drawRectangle(double l, double t, double r, double b) override { s_.drawRectangle(l, t, r, b); }

    void addTable(const Text& format, const Text& header, const Text& body, const script::Value& headerShade,
                  const script::Value& bodyShade, const script::Value& append) override;
    int32_t tableBorder() const override { return s_.tableBorder(); }
    void setTableBorder(int32_t v) override { s_.setTableBorder(v); }
    Text tableSeparator() const override { return s_.tableSeparator(); }
    void setTableSeparator(const Text& v) override { s_.setTableSeparator(v); }
    int32_t tablePen() const override { return s_.tablePen(); }
    void setTablePen(int32_t v) override { s_.setTablePen(v); }
    int32_t tablePenTB() const override { return s_.tablePenTB(); }
    void setTablePenTB(int32_t v) override { s_.setTablePenTB(v); }
    int32_t tablePenLR() const override { return s_.tablePenLR(); }
    void setTablePenLR(int32_t v) override { s_.setTablePenLR(v); }

    void setPictureRect(double l, double t, double r, double b) override;
    double pictureBottom() const override { return s_.pictureY2(); }
    void placePicture(const PortraitImage& image) override;

private:
    void chargePages(size_t bytes);

    surface::Surface& s_;
    std::optional<script::MemoryCharge> pagesCharge_;
};

// A script value as the surface takes a pass-through argument.
surface::ArgValue toArgValue(const script::Value& value);

} // namespace quillet
