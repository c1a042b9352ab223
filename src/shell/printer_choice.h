// The printer Print Setup chooses and Print prints on, as the user sees
// it: whether there is anything to print on, what to say about where the
// pages went, and a fresh printer for one a failed print left unusable.
#pragma once

#include "common/text.h"

#include <memory>
#include <optional>

class QPrinter;

namespace quillet {

// What to tell the user when `printer` can take no pages: no printer at
// all, or one that has gone; nothing when it can.
std::optional<Text> printerUnavailable(const QPrinter& printer);

// A new printer set up like `printer` (the printer or PDF file, paper,
// copies, colour, sides).  A print whose start failed leaves Qt's printer
// marked active for good, refusing every later change.
std::unique_ptr<QPrinter> printerLike(const QPrinter& printer);

// Where sheets go, after Print Setup: "Sheets print on Laser." or "Sheets
// are written to /x/sheet.pdf."
Text printerChoiceText(const QPrinter& printer);

// After printing: "3 pages printed on Laser." or "1 page written to
// /x/sheet.pdf."
Text printedText(int pages, const QPrinter& printer);
// After writing a file: "2 pages written to /x/sheet.pdf."
Text pagesWrittenText(int pages, const Text& file);

} // namespace quillet
