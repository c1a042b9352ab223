// The table syntax: column formats and cell texts, with the separators a
// script may choose.  A format is either read or refused with an error.
#include "common/vb_error.h"
#include "fuzz_text.h"
#include "surface/table_format.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quillet;
    using namespace quillet::surface;
    FuzzedDataProvider in(data, size);
    const TableSeparators separators = separatorsFrom(fuzz::takeText(in, 4));
    const double pageWidth = in.ConsumeIntegralInRange(0, 40000);
    const Text format = fuzz::takeText(in, 512);
    const Text body = fuzz::restText(in);

    std::vector<TableColumn> columns;
    try {
        columns = parseTableFormat(format, separators, pageWidth);
    } catch (const VbError&) {
        return 0; // too many columns, or a width no number can hold
    }
    if (columns.size() > kMaxTableColumns)
        std::abort();
    for (const TableColumn& c : columns)
        if (!std::isfinite(c.width) || c.width < 0)
            std::abort();
    const auto rows = splitTableRows(body, separators, columns.size());
    for (const auto& row : rows)
        if (row.size() != columns.size())
            std::abort();
    return 0;
}
