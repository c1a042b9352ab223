// The document model: pages of drawing operations in twips, measured from
// the top-left corner of the paper.  Layout writes it once; every renderer
// (PDF, PNG, screen, printer) replays the same operations, so what the
// preview shows is what is printed.
#pragma once

#include "surface/font_style.h"
#include "surface/rgb_colour.h"

#include <QImage>

#include <optional>
#include <variant>
#include <vector>

namespace quillet::surface {

struct TwipRect {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    double width() const { return right - left; }
    double height() const { return bottom - top; }
    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

// One run of text in one font.  `top` is the top of its line box, the
// glyphs sit on `baseline`; `width` is the advance measured at layout time,
// the same advance the renderers produce.
struct TextOp {
    double x = 0;
    double top = 0;
    double baseline = 0;
    double width = 0;
    Text text;
    FontStyle font;
    Rgb colour = kBlack;
    std::optional<TwipRect> clip;  // text boxes and no-wrap cells clip
};

// A pen width of 0 is a hairline: one device pixel wherever it is drawn.
struct LineOp {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    Rgb colour = kBlack;
    double width = 0;
};

struct RectOp {
    TwipRect rect;
    std::optional<Rgb> fill;
    std::optional<Rgb> outline;
    double penWidth = 0;
};

// The image is stretched into `rect` when drawn.  `file` is the JPEG or
// PNG file it was decoded from, when that file shows exactly these pixels
// and a PDF can hold it as it is (jpeg_frame.h, png_frame.h); empty
// otherwise.
struct PictureOp {
    TwipRect rect;
    QImage image;
    QByteArray file;
};

using DrawOp = std::variant<TextOp, LineOp, RectOp, PictureOp>;

// Orientation codes: 0 portrait, 1 landscape.
inline constexpr int kPortrait = 0;
inline constexpr int kLandscape = 1;

struct Page {
    double width = 12240;
    double height = 15840;
    int orientation = kPortrait;
    std::vector<DrawOp> ops;
};

struct Document {
    std::vector<Page> pages;
};

} // namespace quillet::surface
