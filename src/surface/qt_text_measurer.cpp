#include "surface/qt_text_measurer.h"

#include "surface/font_resolver.h"

#include <QFontMetricsF>
#include <QImage>
#include <QString>

#include <vector>

namespace quillet::surface {
namespace {

constexpr double kMeasureDpi = 1440.0;
// 1440 dpi expressed in dots per metre, which is how QImage stores it.
constexpr int kMeasureDotsPerMetre = 56693;

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
    return cache_->metricsFor(font).horizontalAdvance(
        QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size())));
}

LineMetrics QtTextMeasurer::metrics(const FontStyle& font) const
{
    const QFontMetricsF& fm = cache_->metricsFor(font);
    return LineMetrics{fm.ascent(), fm.descent(), fm.leading()};
}

std::shared_ptr<const TextMeasurer> qtTextMeasurer()
{
    return std::make_shared<QtTextMeasurer>();
}

} // namespace quillet::surface
