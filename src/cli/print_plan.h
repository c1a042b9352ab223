// Where quillet-print puts the pages of each character: worked out from
// the options before anything runs, so that a conflict (two characters
// whose PDFs would have the same name) is found before anything is written.
#pragma once

#include "common/text.h"

#include <optional>
#include <vector>

namespace quillet {

struct PrintOptions;

struct PrintTarget {
    Text character;
    Text pdf;        // empty when the pages go into the combined PDF
    Text pngPattern; // with %1 for the page number; empty for none
};

struct PrintPlan {
    std::vector<PrintTarget> targets; // in the order given
    // Several characters in one PDF, and its pages as PNG files.
    std::optional<Text> combinedPdf;
    Text combinedPngPattern;
};

// The plan, or nullopt with the reason in `problem`.
std::optional<PrintPlan> planPrinting(const PrintOptions& options, Text& problem);

// The file name of `path` with ".pdf" for its extension.
Text pdfNameOf(const Text& path);

} // namespace quillet
