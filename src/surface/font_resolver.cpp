#include "surface/font_resolver.h"

#include "surface/symbol_fonts.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QRawFont>
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
constexpr qsizetype kMaxCachedNames = 512;

// Where Debian's fonts-wine keeps its fonts, outside the folders fontconfig
// searches; its Tahoma is made to the widths of the one sheets name.
const char* const kWineFontFolder = "/usr/share/wine/fonts";
const char* const kWineFonts[] = {"tahoma.ttf", "tahomabd.ttf"};

// The fonts of the platform sheets were written on, with what draws them
// here (the metric-compatible Liberation, Carlito, Caladea and URW fonts
// where one exists, otherwise the nearest design Debian ships).  The
// widths these give, against Arial's, are checked by the render tests.
constexpr FontMapping kMappings[] = {
    {u"arial", {"Liberation Sans", nullptr}, true},
    {u"helvetica", {"Liberation Sans", nullptr}, true},
    {u"arial narrow", {"Liberation Sans Narrow", "Nimbus Sans Narrow"}, true},
    {u"helvetica narrow", {"Nimbus Sans Narrow", "Liberation Sans Narrow"}, true},
    {u"times new roman", {"Liberation Serif", nullptr}, true},
    {u"times", {"Liberation Serif", nullptr}, true},
    {u"courier new", {"Liberation Mono", nullptr}, true},
    {u"courier", {"Liberation Mono", nullptr}, true},
    {u"calibri", {"Carlito", nullptr}, true},
    {u"cambria", {"Caladea", nullptr}, true},
    {u"palatino linotype", {"P052", nullptr}, true},
    {u"palatino", {"P052", nullptr}, true},
    {u"book antiqua", {"P052", nullptr}, false},
    {u"bookman old style", {"URW Bookman", nullptr}, false},
    {u"bookman", {"URW Bookman", nullptr}, true},
    {u"century gothic", {"URW Gothic", nullptr}, true},
    {u"century schoolbook", {"C059", nullptr}, true},
    {u"new century schoolbook", {"C059", nullptr}, true},
    {u"georgia", {"C059", "DejaVu Serif"}, false},
    {u"garamond", {"EB Garamond", "P052"}, false},
    {u"comic sans ms", {"Comic Neue", nullptr}, false},
    {u"tahoma", {"Tahoma", "DejaVu Sans Condensed"}, false},
    {u"verdana", {"DejaVu Sans", nullptr}, false},
    {u"trebuchet ms", {"DejaVu Sans Condensed", "DejaVu Sans"}, false},
    {u"lucida console", {"DejaVu Sans Mono", "Liberation Mono"}, false},
    {u"ms sans serif", {"Liberation Sans", nullptr}, false},
    {u"ms serif", {"Liberation Serif", nullptr}, false},
    // Picture fonts: their codes are turned into Unicode (symbol_fonts.h)
    // and drawn with a font that has those characters.
    {u"symbol", {"DejaVu Sans", nullptr}, false},
    {u"wingdings", {"DejaVu Sans", nullptr}, false},
    {u"wingdings 2", {"DejaVu Sans", nullptr}, false},
    {u"wingdings 3", {"DejaVu Sans", nullptr}, false},
    {u"webdings", {"DejaVu Sans", nullptr}, false},
};

const QStringList& installedFamilies()
{
    static const QStringList families = [] {
        for (const char* file : kWineFonts) {
            const QString path = QDir(QString::fromLatin1(kWineFontFolder)).filePath(QString::fromLatin1(file));
            if (QFile::exists(path))
                QFontDatabase::addApplicationFont(path);
        }
        return QFontDatabase::families();
    }();
    return families;
}

// A family installed by several foundries is listed once per foundry as
// "Name [foundry]".  The URW fonts come both as Type 1 and as OpenType;
// the OpenType ones (whole font files with SFNT tables) are what the PDF
// writer embeds as they are, so they are preferred.
QString installedFamily(const QString& name)
{
    QString found;
    for (const QString& family : installedFamilies()) {
        const qsizetype bracket = family.indexOf(QStringLiteral(" ["));
        const QString plain = bracket < 0 ? family : family.left(bracket);
        if (plain.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (bracket < 0 || !QRawFont::fromFont(QFont(family)).fontTable("head").isEmpty())
            return family;
        if (found.isEmpty())
            found = family;
    }
    return found;
}

const FontMapping* mappingFor(const QString& lowerName)
{
    for (const FontMapping& m : kMappings) {
        if (lowerName == QString::fromUtf16(m.name))
            return &m;
    }
    return nullptr;
}

struct Resolution {
    QString family;
    bool fellBack = false;
};

Resolution resolveUncached(const QString& requested)
{
    const QString trimmed = requested.trimmed();
    if (const FontMapping* mapping = mappingFor(trimmed.toLower())) {
        for (const char* candidate : mapping->families) {
            if (!candidate)
                continue;
            QString installed = installedFamily(QString::fromLatin1(candidate));
            if (!installed.isEmpty())
                return {installed, false};
        }
    }
    if (!trimmed.isEmpty()) {
        QString installed = installedFamily(trimmed);
        if (!installed.isEmpty())
            return {installed, false};
    }
    QString fallback = installedFamily(kDefaultFamily);
    if (fallback.isEmpty()) {
        // Without the Liberation fonts, the system's own general font is
        // still a visible, real font.
        fallback = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }
    return {fallback, true};
}

Resolution resolve(const Text& requestedName)
{
    // Layout may run on a worker thread while the interface thread paints.
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    static QHash<QString, Resolution> cache;
    const QString key = QString::fromStdU16String(requestedName);
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    Resolution resolution = resolveUncached(key);
    // Names come from scripts: a script inventing them cannot grow the
    // cache without end.
    if (cache.size() >= kMaxCachedNames)
        cache.clear();
    cache.insert(key, resolution);
    return resolution;
}

} // namespace

std::span<const FontMapping> fontMappings()
{
    return kMappings;
}

QString resolveFontFamily(const Text& requestedName)
{
    return resolve(requestedName).family;
}

std::optional<QString> fontFallbackFor(const Text& requestedName)
{
    Resolution resolution = resolve(requestedName);
    if (!resolution.fellBack)
        return std::nullopt;
    return resolution.family;
}

QString drawnText(const FontStyle& style, TextView text)
{
    const SymbolFont symbols = symbolFontNamed(style.name);
    if (symbols == SymbolFont::None)
        return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
    return QString::fromStdU16String(symbolFontText(symbols, text));
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
    // Text is measured and drawn from the plain advance widths, without
    // kerning pairs or ligatures, as the platform the sheets were written
    // for measured it: right-aligned and centred text then lands where its
    // author placed it.
    font.setKerning(false);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::PreferNoShaping));
    return font;
}

} // namespace quillet::surface
