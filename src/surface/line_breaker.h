// Breaks styled text into lines.  Every flowing output of the surface
// (text, paragraphs, rich text, text boxes, table cells, headers) goes
// through here, so word wrap behaves the same everywhere.
//
// Positions are offsets from the left edge of the flow; the caller adds the
// absolute left edge (which may change when a line moves to another column).
#pragma once

#include "surface/styled_text.h"
#include "surface/text_measurer.h"

#include <vector>

namespace quillet::surface {

inline constexpr double kTabStep = 720;  // default tab stops, every half inch

struct BreakOptions {
    double width = 1;            // left edge to right edge, at least 1
    double firstLineOffset = 0;  // where the first line starts
    bool wrap = true;
    // Text output keeps the first word of the call where the script put it,
    // even when it crosses the right edge.
    bool keepFirstWord = false;
    // Overflow allowed before a word counts as crossing the edge.
    double tolerance = 0;
    Align align = Align::Left;
};

struct LinePiece {
    double x = 0;
    double width = 0;
    Text text;
    FontStyle font;
    Rgb colour = kBlack;
};

struct LaidLine {
    std::vector<LinePiece> pieces;
    LineMetrics metrics;       // largest ascent and descent+leading on the line
    double startX = 0;         // where the line starts (first line: the offset)
    double endX = 0;           // pen position after the line, trailing blanks included
    double contentWidth = 0;   // from startX to the end of the last visible glyph run
    bool endsWithBreak = false;
    double height() const { return metrics.lineHeight(); }
};

// An empty input still gives one empty line in the first run's font (or in
// `fallbackFont` when there are no runs).
std::vector<LaidLine> breakLines(const std::vector<StyledRun>& runs, const BreakOptions& options,
                                 const TextMeasurer& measurer, const FontStyle& fallbackFont);

} // namespace quillet::surface
