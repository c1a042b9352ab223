// The print object a sheet script reaches as "Preview": a thin layer over
// the print surface that converts the script's inches, centimetres or
// twips into twips, places aligned text, draws boxes, lines, tables and the
// portrait, and writes the script's own log lines.
#pragma once

#include "common/text.h"
#include "script/host_object.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace quillet {

class PrintSurface;
class PortraitImage;

class clsPrintWrapper : public script::NativeObject {
public:
    // `logLine` receives the script's log lines (already prefixed);
    // `portrait` is the image control that loads pictures for Picture.
    clsPrintWrapper(std::function<void(const Text&)> logLine, PortraitImage* portrait);

    void SetPrintPreviewObject(PrintSurface* surface) { surface_ = surface; }
    PrintSurface* surface() const { return surface_; }

    int16_t scaleMode() const { return scaleMode_; }
    void setScaleMode(int16_t mode);
    int16_t unitFactor() const { return factor_; }
    const Text& pictureName() const { return pictureName_; }

    // The members, with the script's values as they come.
    void PrintAtLeft(const script::Value& text, const script::Value& left);
    void PrintAtCenter(const script::Value& text, const script::Value& middle);
    void PrintCentered(const Text& text, const script::Value& left, const script::Value& right);
    void PrintAtRight(const script::Value& text, const script::Value& right);
    float ReturnCenterY(const Text& text, const script::Value& top, const script::Value& bottom);
    float TextWidth(const Text& text);
    float TextHeight(const Text& text);
    void TextBox(const script::Value& text, const script::Value& left, const script::Value& top,
                 const script::Value& width, const script::Value& height, const script::Value& wrap,
                 const script::Value& calc, const script::Value& shade);
    void DrawBox(const script::Value& left, const script::Value& top, const script::Value& right,
                 const script::Value& bottom, const script::Value& shadow);
    void DrawLine(const script::Value& x1, const script::Value& y1, const script::Value& x2,
                  const script::Value& y2);
    void AddTable(const script::Value& format, const script::Value& header, const script::Value& rowText,
                  const script::Value& headerColor, const script::Value& backColor, const script::Value& append);
    void Picture(const script::Value& name, const script::Value& x1, const script::Value& y1,
                 const script::Value& width, const script::Value& height, const script::Value& stretch);
    void DebugLog(const Text& text);

    // The surface, or error 91 "Object variable not set" before
    // SetPrintPreviewObject.
    PrintSurface& attachedSurface() const;

private:
    double scaled(const script::Value& v) const;
    int32_t rounded(const script::Value& v) const;

    PrintSurface* surface_ = nullptr;
    int16_t scaleMode_ = 0;
    int16_t factor_ = 1440;
    Text pictureName_;
    std::function<void(const Text&)> logLine_;
    PortraitImage* portrait_;
};

} // namespace quillet
