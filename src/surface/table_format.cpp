#include "surface/table_format.h"

#include "common/stop_request.h"
#include "common/vb_error.h"
#include "common/vb_number.h"

#include <algorithm>

namespace quillet::surface {
namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool applyFlag(char16_t c, TableColumn& column)
{
    switch (c) {
    case u'<': column.align = Align::Left; return true;
    case u'^': column.align = Align::Center; return true;
    case u'>': column.align = Align::Right; return true;
    case u'=': column.align = Align::Justify; return true;
    case u'*': column.align = Align::Left; return true;  // TextAlign is fixed at left/top
    case u'+': column.valign = VAlign::Middle; return true;
    case u'_': column.valign = VAlign::Bottom; return true;
    case u'~': column.wrap = false; return true;
    case u'!': column.rightLine = true; return true;
    default: return false;
    }
}

double twipsPerUnit(const Text& unit, double pageWidth)
{
    const Text u = lowerCase(unit);
    if (u == u"in" || u == u"inch" || u == u"inches" || u == u"\"")
        return 1440;
    if (u == u"pt" || u == u"point" || u == u"points")
        return 20;
    if (u == u"cm")
        return 1440 / 2.54;
    if (u == u"mm")
        return 144 / 2.54;
    if (u == u"pix" || u == u"px" || u == u"pixel" || u == u"pixels")
        return 15;  // a pixel at 96 dots per inch
    if (u == u"%")
        return pageWidth / 100;
    return 1;  // twips, named or not
}

// Length of the number starting at `i`: sign, digits, one point, exponent.
size_t numberLength(TextView s, size_t i)
{
    size_t j = i;
    if (j < s.size() && s[j] == u'-')
        ++j;
    while (j < s.size() && isDigit(s[j]))
        ++j;
    if (j < s.size() && s[j] == u'.') {
        ++j;
        while (j < s.size() && isDigit(s[j]))
            ++j;
    }
    if (j + 1 < s.size() && (s[j] == u'e' || s[j] == u'E')) {
        size_t k = j + 1;
        if (k < s.size() && (s[k] == u'+' || s[k] == u'-'))
            ++k;
        if (k < s.size() && isDigit(s[k])) {
            while (k < s.size() && isDigit(s[k]))
                ++k;
            j = k;
        }
    }
    return j - i;
}

bool startsNumber(TextView s, size_t i)
{
    auto digitAt = [&](size_t k) { return k < s.size() && isDigit(s[k]); };
    if (digitAt(i))
        return true;
    if (s[i] == u'.')
        return digitAt(i + 1);
    if (s[i] == u'-')
        return digitAt(i + 1) || (i + 1 < s.size() && s[i + 1] == u'.' && digitAt(i + 2));
    return false;
}

TableColumn parseEntry(TextView entry, double pageWidth)
{
    TableColumn column;
    bool haveWidth = false;
    size_t i = 0;
    while (i < entry.size()) {
        if (applyFlag(entry[i], column)) {
            ++i;
        } else if (!haveWidth && startsNumber(entry, i)) {
            size_t len = numberLength(entry, i);
            double value = leadingNumber(entry.substr(i, len));
            i += len;
            while (i < entry.size() && entry[i] == u' ')
                ++i;
            size_t unitStart = i;
            if (i < entry.size() && (entry[i] == u'%' || entry[i] == u'"')) {
                ++i;
            } else {
                while (i < entry.size() && isAsciiLetter(entry[i]))
                    ++i;
            }
            Text unit(entry.substr(unitStart, i - unitStart));
            column.width = std::max(0.0, value * twipsPerUnit(unit, pageWidth));
            // A width no page can hold (infinite, even) is a number too large,
            // not a column that layout would have to survive.
            if (!(column.width <= kMaxColumnWidth))
                throw VbError(vberr::Overflow);
            haveWidth = true;
        } else {
            ++i;  // anything else carries no meaning
        }
    }
    return column;
}

std::vector<TextView> splitAt(TextView text, char16_t separator)
{
    std::vector<TextView> parts;
    size_t start = 0;
    while (true) {
        size_t at = text.find(separator, start);
        if (at == TextView::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}

} // namespace

TableSeparators separatorsFrom(TextView tableSeparator)
{
    TableSeparators separators;
    if (!tableSeparator.empty())
        separators.column = tableSeparator[0];
    if (tableSeparator.size() > 1)
        separators.row = tableSeparator[1];
    return separators;
}

std::vector<TableColumn> parseTableFormat(TextView format, TableSeparators separators, double pageWidth)
{
    if (!format.empty() && (format.back() == separators.column || format.back() == separators.row))
        format.remove_suffix(1);
    if (static_cast<size_t>(std::count(format.begin(), format.end(), separators.column)) >= kMaxTableColumns)
        throw VbError(vberr::InvalidCall);
    std::vector<TableColumn> columns;
    for (TextView entry : splitAt(format, separators.column))
        columns.push_back(parseEntry(entry, pageWidth));
    return columns;
}

std::vector<std::vector<Text>> splitTableRows(TextView text, TableSeparators separators, size_t columns)
{
    std::vector<std::vector<Text>> rows;
    if (text.empty())
        return rows;
    if (text.back() == separators.row)
        text.remove_suffix(1);
    for (TextView rowText : splitAt(text, separators.row)) {
        pollStop();
        // Cells past the last column are dropped unread: a row of millions
        // of separators costs no more than its columns.
        std::vector<Text> cells;
        cells.reserve(columns);
        size_t start = 0;
        while (cells.size() < columns && start <= rowText.size()) {
            const size_t at = std::min(rowText.find(separators.column, start), rowText.size());
            cells.emplace_back(rowText.substr(start, at - start));
            start = at + 1;
        }
        cells.resize(columns);
        rows.push_back(std::move(cells));
    }
    return rows;
}

} // namespace quillet::surface
