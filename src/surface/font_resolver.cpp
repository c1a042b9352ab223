#include "surface/font_resolver.h"

#include <QFontDatabase>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>

#include <algorithm>

namespace quillet::surface {
namespace {

constexpr double kTwipsPerPoint = 20.0;
constexpr double kMinimumPointSize = 0.05;  // Qt refuses sizes <= 0
// Measured at 1440 dpi, the font engine's line metrics overflow somewhere
// above 900 points (the line height turns negative) and beyond about 3276
// points it falls back to a default size.  800 points, 11 inches a line,
// is larger than any sheet needs.
constexpr double kMaximumPointSize = 800;

const QString kDefaultFamily = QStringLiteral("Liberation Sans");

QString mappedFamily(const QString& lowerName)
{
    static const QHash<QString, QString> map = {
        {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("helvetica"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("ms sans serif"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("times new roman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("times"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("ms serif"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("courier new"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("courier"), QStringLiteral("Liberation Mono")},
    };
    return map.value(lowerName);
}

QString installedFamily(const QString& name)
{
    static const QStringList families = QFontDatabase::families();
    for (const QString& family : families) {
        if (family.compare(name, Qt::CaseInsensitive) == 0)
            return family;
    }
    return {};
}

QString resolveUncached(const QString& requested)
{
    const QString trimmed = requested.trimmed();
    QString mapped = mappedFamily(trimmed.toLower());
    if (!mapped.isEmpty() && !installedFamily(mapped).isEmpty())
        return installedFamily(mapped);
    if (!trimmed.isEmpty()) {
        QString installed = installedFamily(trimmed);
        if (!installed.isEmpty())
            return installed;
    }
    QString fallback = installedFamily(kDefaultFamily);
    if (!fallback.isEmpty())
        return fallback;
    // Without the Liberation fonts, the system's own general font is still
    // a visible, real font.
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

} // namespace

QString resolveFontFamily(const Text& requestedName)
{
    // Layout may run on a worker thread while the interface thread paints.
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    static QHash<QString, QString> cache;
    const QString key = QString::fromStdU16String(requestedName);
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    QString family = resolveUncached(key);
    cache.insert(key, family);
    return family;
}

QFont makeTwipFont(const FontStyle& style, double deviceDpi)
{
    QFont font(resolveFontFamily(style.name));
    // Point size p on a device of D dpi is p * D / 72 logical units; we
    // want size * 20 of them.
    const double size = style.size > kMinimumPointSize ? std::min(style.size, kMaximumPointSize) : kMinimumPointSize;
    double points = size * kTwipsPerPoint * 72.0 / deviceDpi;
    font.setPointSizeF(points);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    font.setStrikeOut(style.strikeout);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

} // namespace quillet::surface
