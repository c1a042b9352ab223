#include "surface/border_codes.h"

namespace quillet::surface {

TableLineSet tableLinesFor(int code)
{
    TableLineSet s;
    auto box = [&] { s.outerTop = s.outerBottom = s.outerSides = true; };
    switch (code) {
    case 1: s.underHeader = s.outerBottom = true; break;
    case 2: s.outerTop = s.underHeader = true; break;
    case 3: s.outerTop = s.underHeader = s.outerBottom = true; break;
    case 4: box(); break;
    case 5: s.betweenColumns = true; break;
    case 6: s.betweenColumns = s.outerTop = s.underHeader = s.outerBottom = true; break;
    case 7: box(); s.underHeader = s.betweenRows = s.betweenColumns = true; break;
    case 8: box(); s.underHeader = s.betweenRows = true; break;
    case 9: box(); s.underHeader = s.betweenColumns = true; break;
    case 10: s.underHeader = true; break;
    case 11: s.underHeader = s.betweenRows = true; break;
    default: break;
    }
    return s;
}

std::optional<PageBorderLines> pageBorderLinesFor(int code)
{
    PageBorderLines b;
    switch (code) {
    case 0: break;
    case 1: b.bottom = true; break;
    case 2: b.top = true; break;
    case 3: b.top = b.bottom = true; break;
    case 4: b.top = b.bottom = b.sides = true; break;
    case 5: b.columns = true; break;
    case 6: b.columns = b.top = b.bottom = true; break;
    case 7: b.top = b.bottom = b.sides = b.columns = true; break;
    case 8: b.columns = b.top = true; break;
    case 9: b.columns = b.bottom = true; break;
    default: return std::nullopt;
    }
    return b;
}

} // namespace quillet::surface
