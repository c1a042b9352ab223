// What the table-border and page-border codes draw.
#pragma once

#include <optional>

namespace quillet::surface {

// Lines of one table part: its outer edges, the line under the header rows,
// the lines between body rows and those between columns.
struct TableLineSet {
    bool outerTop = false;
    bool outerBottom = false;
    bool outerSides = false;
    bool underHeader = false;
    bool betweenRows = false;
    bool betweenColumns = false;
    friend bool operator==(const TableLineSet&, const TableLineSet&) = default;
};

inline constexpr int kDefaultTableBorder = 7;  // every line

// 0 none, 1 bottom, 2 top, 3 top and bottom, 4 box, 5 columns,
// 6 columns with top and bottom, 7 all, 8 box with rows, 9 box with
// columns, 10 under the header only, 11 rows.  Other codes draw nothing.
TableLineSet tableLinesFor(int code);

struct PageBorderLines {
    bool top = false;
    bool bottom = false;
    bool sides = false;
    bool columns = false;  // in the middle of each gap between columns
    friend bool operator==(const PageBorderLines&, const PageBorderLines&) = default;
};

// 0 none, 1 bottom, 2 top, 3 top and bottom, 4 box, 5 columns, 6 columns
// with top and bottom, 7 box and columns, 8 columns and top, 9 columns and
// bottom.  Codes outside 0..9 give nothing (the surface then keeps its
// previous code).
std::optional<PageBorderLines> pageBorderLinesFor(int code);

} // namespace quillet::surface
