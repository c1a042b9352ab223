// Fixed metrics for layout tests: every character is 100 twips wide (bold
// ones 120), every line 240 high with the baseline 190 below its top, so
// that positions can be asserted exactly.
#pragma once

#include "surface/surface.h"
#include "surface/text_measurer.h"
#include "common/vb_error.h"

#include <gtest/gtest.h>

#include <memory>

namespace quillet::surface::testing {

class FakeMeasurer final : public TextMeasurer {
public:
    double advance(const FontStyle& font, TextView text) const override
    {
        return static_cast<double>(text.size()) * (font.bold ? 120.0 : 100.0) * font.size / 11.25;
    }
    LineMetrics metrics(const FontStyle& font) const override
    {
        double scale = font.size / 11.25;
        return LineMetrics{190 * scale, 50 * scale, 0};
    }
};

inline constexpr double kLine = 240;

inline std::unique_ptr<Surface> fakeSurface()
{
    auto surface = std::make_unique<Surface>(std::make_shared<FakeMeasurer>());
    surface->startDoc();
    return surface;
}

template <class Op>
std::vector<Op> opsOf(const Page& page)
{
    std::vector<Op> result;
    for (const DrawOp& op : page.ops) {
        if (auto* p = std::get_if<Op>(&op))
            result.push_back(*p);
    }
    return result;
}

inline std::vector<TextOp> textsOf(const Page& page) { return opsOf<TextOp>(page); }

// Each test starts with `s`, a fake-metrics surface whose document is open.
class SurfaceTest : public ::testing::Test {
protected:
    std::vector<TextOp> textsOn(size_t page = 0) const { return textsOf(s->document().pages.at(page)); }

    std::unique_ptr<Surface> s = fakeSurface();
};

} // namespace quillet::surface::testing
