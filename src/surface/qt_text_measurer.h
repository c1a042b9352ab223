// Text measurement through Qt's font engine at 1440 dots per inch, so that
// one unit is one twip and the result is what every renderer then draws.
#pragma once

#include "surface/text_measurer.h"

#include <memory>

namespace quillet::surface {

class QtTextMeasurer final : public TextMeasurer {
public:
    QtTextMeasurer();
    ~QtTextMeasurer() override;

    double advance(const FontStyle& font, TextView text) const override;
    double advanceOfCharacters(const FontStyle& font, TextView text, bool& sumOfCharacters) const override;
    LineMetrics metrics(const FontStyle& font) const override;
    std::optional<Text> fallbackFor(const Text& fontName) const override;

private:
    struct Cache;
    std::unique_ptr<Cache> cache_;
};

// The measurer a surface uses unless told otherwise (needs a QGuiApplication).
std::shared_ptr<const TextMeasurer> qtTextMeasurer();

} // namespace quillet::surface
