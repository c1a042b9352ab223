// The content stream of one page of a PDF file.
#pragma once

#include "surface/document.h"
#include "surface/pdf_fonts.h"
#include "surface/pdf_images.h"

#include <QByteArray>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace quillet::surface::pdf {

// One page's content stream, in twips from the top-left corner (the page
// transform flips the axis once).  Colours, pen width and font are written
// only when they change.
class PageContent {
public:
    PageContent(FontSet& fonts, ImageSet& images) : fonts_(fonts), images_(images) {}

    // The content stream of `page`, whose paper is `heightPoints` high.
    QByteArray take(const Page& page, double heightPoints);

    // One drawing operation each (std::visit hands them over).
    void operator()(const TextOp& op);
    void operator()(const LineOp& op);
    void operator()(const RectOp& op);
    void operator()(const PictureOp& op);

private:
    struct State {
        std::optional<Rgb> fill;
        std::optional<Rgb> stroke;
        std::optional<double> lineWidth;
        int font = -1;  // FontSet's index
        double fontSize = -1;
    };

    // Width 0 is a hairline (PDF's thinnest line); any other width is never
    // thinner than the one-twip device pixel the painter keeps on PDF.
    static double penWidth(double width) { return width <= 0 ? 0.0 : std::max(width, 1.0); }

    void colour(Rgb rgb, std::optional<Rgb>& current, const char* op);

    void width(double w);

    void line(double x1, double y1, double x2, double y2);

    void writeGlyphs(const StyleFont& style);

    // Text of consecutive text operations shares one text object; anything
    // else ends it.
    void beginText();

    void endText();

    // Starts a line of text at (x, y): relative to the last one where
    // that is shorter and both are upright.  The line's place is kept as
    // the reader computes it from the written numbers, so that rounding
    // does not add up along a page.
    void moveTo(double x, double y, double slant);

    // A glyph id as the two bytes of a literal string.
    inline void appendCode(unsigned code);

    // The glyphs in runs of one PDF font: each run is placed once, and a
    // glyph that the font's advances would put elsewhere gets a TJ
    // adjustment.
    void writeRuns(double size, double shift, bool onlyEmboldened);

    // Positions closer than this (in twips) are one place.
    static constexpr double kSamePlace = 0.05;

    FontSet& fonts_;
    ImageSet& images_;
    ContentBuffer out_;
    State state_;
    std::vector<PlacedGlyph> glyphs_;
    bool inText_ = false;
    // The start of the current line of text (Td moves relative to it).
    bool lineSet_ = false;
    double lineX_ = 0, lineY_ = 0, lineSlant_ = 0;
};

} // namespace quillet::surface::pdf
