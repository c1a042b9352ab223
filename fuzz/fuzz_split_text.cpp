// The bracket-aware splitter.  Its parts and separators put back together
// must give the text again, and the count of separators must match.
#include "character/parser.h"
#include "common/vb_error.h"
#include "fuzz_text.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quillet;
    FuzzedDataProvider in(data, size);
    const int32_t options = in.ConsumeIntegral<int32_t>();
    const Text seps = fuzz::takeText(in, 8);
    const Text text = fuzz::restText(in);

    try {
        const int16_t count = CountSeparators(text, seps, options);
        SplitText(text, seps, options);
        const int16_t parts = SplitPartCount();
        if (parts < 1 || parts != count + 1)
            std::abort();
        Text joined;
        for (int16_t i = 1; i <= parts; ++i) {
            joined += SplitPart(i);
            joined += SplitSeparator(i);
        }
        if (joined != text || !SplitPart(parts + 1).empty() || !SplitSeparator(parts).empty())
            std::abort();
        (void)FindCloseParen(text);
    } catch (const VbError& e) {
        if (e.number() != vberr::Overflow || text.size() <= kMaxParserText - 1)
            std::abort();
    }
    return 0;
}
