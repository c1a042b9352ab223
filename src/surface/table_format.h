// The table syntax of add table: the format text (one entry per column:
// alignment and line flags plus a width with an optional unit) and the
// header and body texts (cells divided by the column separator, rows by the
// row separator).
#pragma once

#include "surface/styled_text.h"

#include <vector>

namespace quillet::surface {

enum class VAlign { Top, Middle, Bottom };

inline constexpr double kDefaultColumnWidth = 720;  // a column without a width: half an inch
inline constexpr size_t kMaxTableColumns = 1000;
inline constexpr double kMaxColumnWidth = 2147483647;  // twips: the 32-bit range

struct TableColumn {
    double width = kDefaultColumnWidth;
    Align align = Align::Left;
    VAlign valign = VAlign::Top;
    bool wrap = true;
    bool rightLine = false;  // "!": a line on the right whatever the border code says
};

struct TableSeparators {
    char16_t column = u'|';
    char16_t row = u';';
};

// The first character of the table separator text divides cells, the
// second rows; a missing one keeps its default.
TableSeparators separatorsFrom(TextView tableSeparator);

// Flag characters (< ^ > = + _ * ~ !) may stand anywhere in an entry; the
// first number is the width, in twips unless a unit follows (in, ", twip,
// pt, point, cm, mm, pix, px, and % of `pageWidth`).  A negative width
// counts as 0, one beyond kMaxColumnWidth is error 6.  One trailing column
// or row separator adds no column.  More than kMaxTableColumns columns is
// error 5.
std::vector<TableColumn> parseTableFormat(TextView format, TableSeparators separators, double pageWidth);

// Rows of exactly `columns` cells: missing cells are empty, extra cells
// dropped.  An empty text has no rows; one trailing row separator adds no
// row.
std::vector<std::vector<Text>> splitTableRows(TextView text, TableSeparators separators, size_t columns);

} // namespace quillet::surface
