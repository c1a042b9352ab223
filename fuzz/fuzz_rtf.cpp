// The RTF reader over arbitrary text: no error but the one for groups
// nested too deep, and every run it produces carries a usable font.
#include "common/vb_error.h"
#include "fuzz_text.h"
#include "surface/rtf_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quillet;
    using namespace quillet::surface;
    FuzzedDataProvider in(data, size);
    FontStyle base;
    base.size = in.ConsumeIntegralInRange(1, 200) / 4.0;
    const Rgb colour = in.ConsumeIntegral<uint32_t>() & 0xFFFFFF;
    const Text rtf = fuzz::restText(in);

    std::vector<StyledParagraph> paragraphs;
    try {
        paragraphs = readRtf(rtf, base, colour);
    } catch (const VbError& e) {
        const auto opened = static_cast<size_t>(std::count(rtf.begin(), rtf.end(), u'{'));
        if (e.number() != vberr::OutOfStack || opened <= kMaxRtfGroupDepth)
            std::abort();
        return 0;
    }
    size_t characters = 0;
    for (const StyledParagraph& p : paragraphs)
        for (const StyledRun& run : p.runs) {
            if (!std::isfinite(run.font.size) || run.font.size < 0 || run.colour > 0xFFFFFF)
                std::abort();
            characters += run.text.size();
        }
    // Text only ever comes from the input: no run can be longer than it
    // (an escape such as \'hh or \uN stands for one character).
    if (characters > rtf.size())
        std::abort();
    return 0;
}
