#include "surface/qt_text_measurer.h"

#include "common/stop_request.h"
#include "surface/font_resolver.h"

#include <QFontMetricsF>
#include <QImage>
#include <QString>

#include <algorithm>
#include <vector>

namespace quillet::surface {
namespace {

constexpr double kMeasureDpi = 1440.0;
// 1440 dpi expressed in dots per metre, which is how QImage stores it.
constexpr int kMeasureDotsPerMetre = 56693;
constexpr size_t kMaxCachedFonts = 64;

// Qt adds advances in 26.6 fixed point, which wraps past 2^25 device
// units: at 1440 dpi a line of a few hundred thousand characters would.
// Longer texts are measured in pieces that stay well below that (a
// quarter of it, counting every character as wide as the font's widest),
// and the pieces added in double precision.
constexpr double kSafePieceAdvance = double(1 << 23);

bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

double measureAtOnce(const QFontMetricsF& metrics, const FontStyle& font, TextView text)
{
    return metrics.horizontalAdvance(drawnText(font, text));
}

} // namespace

struct QtTextMeasurer::Cache {
    QImage device{1, 1, QImage::Format_ARGB32};
    // Few fonts are used per document: a short list beats hashing FontStyle.
    std::vector<std::pair<FontStyle, QFontMetricsF>> fonts;

    Cache()
    {
        device.setDotsPerMeterX(kMeasureDotsPerMetre);
        device.setDotsPerMeterY(kMeasureDotsPerMetre);
    }

    const QFontMetricsF& metricsFor(const FontStyle& style)
    {
        for (const auto& entry : fonts) {
            if (entry.first == style)
                return entry.second;
        }
        // A script stepping through sizes or names makes a new font each
        // time: the oldest goes, so the list stays short and quick.
        if (fonts.size() >= kMaxCachedFonts)
            fonts.erase(fonts.begin());
        fonts.emplace_back(style, QFontMetricsF(makeTwipFont(style, kMeasureDpi), &device));
        return fonts.back().second;
    }
};

QtTextMeasurer::QtTextMeasurer() : cache_(std::make_unique<Cache>()) {}
QtTextMeasurer::~QtTextMeasurer() = default;

double QtTextMeasurer::advance(const FontStyle& font, TextView text) const
{
    if (text.empty())
        return 0;
    const QFontMetricsF& metrics = cache_->metricsFor(font);
    const double widest = std::max(metrics.maxWidth(), 1.0);
    const size_t piece = std::max<size_t>(2, static_cast<size_t>(kSafePieceAdvance / widest));
    if (text.size() <= piece)
        return measureAtOnce(metrics, font, text);
    double total = 0;
    for (size_t start = 0; start < text.size();) {
        pollStop();
        size_t end = std::min(text.size(), start + piece);
        if (end < text.size() && isLowSurrogate(text[end]))
            --end; // a surrogate pair stays whole
        total += measureAtOnce(metrics, font, text.substr(start, end - start));
        start = end;
    }
    return total;
}

LineMetrics QtTextMeasurer::metrics(const FontStyle& font) const
{
    const QFontMetricsF& fm = cache_->metricsFor(font);
    return LineMetrics{fm.ascent(), fm.descent(), fm.leading()};
}

std::optional<Text> QtTextMeasurer::fallbackFor(const Text& fontName) const
{
    if (auto family = fontFallbackFor(fontName))
        return family->toStdU16String();
    return std::nullopt;
}

std::shared_ptr<const TextMeasurer> qtTextMeasurer()
{
    return std::make_shared<QtTextMeasurer>();
}

} // namespace quillet::surface
