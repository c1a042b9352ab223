// Fonts as sheets name them: the families they resolve to and how wide
// they set against Arial, the picture fonts, and plain advances without
// kerning or ligatures.
#include "poppler_tools.h"
#include "qt_app.h"

#include "surface/font_resolver.h"
#include "surface/line_breaker.h"
#include "surface/pdf_export.h"
#include "surface/qt_text_measurer.h"
#include "surface/surface.h"
#include "surface/symbol_fonts.h"

#include <QFontMetricsF>
#include <QImage>
#include <QRawFont>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace quillet::surface {
namespace {

class FontTest : public ::testing::Test {
protected:
    void SetUp() override { testing::ensureQtApplication(); }
};

const Text kSample = u"The quick brown fox jumps over the lazy dog, 0123456789.";

double widthRatio(const Text& name)
{
    QtTextMeasurer measurer;
    return measurer.advance(FontStyle{name, 12}, kSample) / measurer.advance(FontStyle{u"Arial", 12}, kSample);
}

// What each name resolves to and the width of the sample against Arial's,
// as measured with the installed fonts.  For the metric-compatible ones
// that is the original's width as well.
struct Expected {
    const char16_t* name;
    const char* family;
    double ratio;
};

const Expected kExpected[] = {
    {u"arial", "Liberation Sans", 1.0},
    {u"helvetica", "Liberation Sans", 1.0},
    {u"arial narrow", "Liberation Sans Narrow", 0.820},
    {u"helvetica narrow", "Nimbus Sans Narrow", 0.820},
    {u"times new roman", "Liberation Serif", 0.918},
    {u"times", "Liberation Serif", 0.918},
    {u"courier new", "Liberation Mono", 1.284},
    {u"courier", "Liberation Mono", 1.284},
    {u"calibri", "Carlito", 0.914},
    {u"cambria", "Caladea", 0.901},
    {u"palatino linotype", "P052", 0.988},
    {u"palatino", "P052", 0.988},
    {u"book antiqua", "P052", 0.988},
    {u"bookman old style", "URW Bookman", 1.108},
    {u"bookman", "URW Bookman", 1.108},
    {u"century gothic", "URW Gothic", 1.065},
    {u"century schoolbook", "C059", 1.031},
    {u"new century schoolbook", "C059", 1.031},
    {u"georgia", "C059", 1.031},
    {u"garamond", "EB Garamond", 0.844},
    {u"comic sans ms", "Comic Neue", 0.955},
    {u"tahoma", "Tahoma", 1.005},
    {u"verdana", "DejaVu Sans", 1.140},
    {u"trebuchet ms", "DejaVu Sans Condensed", 1.026},
    {u"lucida console", "DejaVu Sans Mono", 1.288},
    {u"ms sans serif", "Liberation Sans", 1.0},
    {u"ms serif", "Liberation Serif", 0.918},
    {u"symbol", "DejaVu Sans", 0.0},
    {u"wingdings", "DejaVu Sans", 0.0},
    {u"wingdings 2", "DejaVu Sans", 0.0},
    {u"wingdings 3", "DejaVu Sans", 0.0},
    {u"webdings", "DejaVu Sans", 0.0},
};

TEST_F(FontTest, EveryMappedNameResolvesToItsFamilyAtTheMeasuredWidth)
{
    for (const FontMapping& mapping : fontMappings()) {
        const Text name = mapping.name;
        const Expected* expected = nullptr;
        for (const Expected& e : kExpected)
            if (name == e.name)
                expected = &e;
        ASSERT_NE(expected, nullptr) << "no expectation for " << toUtf8(name);
        // Sheets write names in any case and with stray blanks.
        const QString family = resolveFontFamily(u" " + upperCase(name) + u" ");
        EXPECT_EQ(family.section(QStringLiteral(" ["), 0, 0).toStdString(), expected->family);
        EXPECT_FALSE(fontFallbackFor(name).has_value()) << toUtf8(name);
        if (expected->ratio > 0) {
            EXPECT_NEAR(widthRatio(name), expected->ratio, 0.01) << toUtf8(name);
        }
    }
}

TEST_F(FontTest, NarrowFontsSetNarrowAndUnknownNamesFallBackToArialWidths)
{
    EXPECT_LT(widthRatio(u"Arial Narrow"), 0.85);
    EXPECT_DOUBLE_EQ(widthRatio(u"No Such Font At All"), 1.0);
    EXPECT_EQ(resolveFontFamily(u"No Such Font At All"), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(fontFallbackFor(u"No Such Font At All"), QStringLiteral("Liberation Sans"));
    // An installed family is used under its own name.
    EXPECT_EQ(resolveFontFamily(u"DejaVu Serif"), QStringLiteral("DejaVu Serif"));
    EXPECT_FALSE(fontFallbackFor(u"DejaVu Serif").has_value());
}

TEST_F(FontTest, ScriptsSteppingThroughManyFontsStillMeasureRight)
{
    QtTextMeasurer measurer;
    const double first = measurer.advance(FontStyle{u"Arial", 10}, u"Width");
    for (int size = 11; size < 211; ++size)
        measurer.advance(FontStyle{u"Arial", static_cast<double>(size)}, u"Width");
    for (int n = 0; n < 600; ++n)
        resolveFontFamily(u"Invented Font " + decimalText(n));
    EXPECT_DOUBLE_EQ(measurer.advance(FontStyle{u"Arial", 10}, u"Width"), first);
    EXPECT_NEAR(measurer.advance(FontStyle{u"Arial", 20}, u"Width"), 2 * first, 0.1);
    EXPECT_EQ(resolveFontFamily(u"Arial Narrow"), QStringLiteral("Liberation Sans Narrow"));
}

TEST_F(FontTest, AnUnknownFontIsReportedOnceNamingItsSubstitute)
{
    Surface s;
    std::vector<Text> lines;
    s.setDiagnosticSink([&](const Text& line) { lines.push_back(line); });
    s.setFontName(u"Papyrus Deluxe");
    s.setFontName(u"Arial Narrow");
    s.setHeaderFontName(u"papyrus deluxe");
    s.setFontName(u"Papyrus Deluxe");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(u"Papyrus Deluxe"), Text::npos);
    EXPECT_NE(lines[0].find(u"Liberation Sans"), Text::npos);
}

TEST_F(FontTest, TextIsMeasuredFromPlainAdvancesWithoutKerningOrLigatures)
{
    Surface s;
    s.startDoc();
    ASSERT_DOUBLE_EQ(s.fontSize(), 11.25);
    EXPECT_DOUBLE_EQ(s.textWidth(u"AVAV"), 2 * s.textWidth(u"A") + 2 * s.textWidth(u"V"));
    EXPECT_NEAR(s.textWidth(u"AVAV"), 600, 1);  // 1366/2048 em each at 225 twips
    EXPECT_DOUBLE_EQ(s.textWidth(u"office"), s.textWidth(u"o") + 2 * s.textWidth(u"f") + s.textWidth(u"ice"));
    s.setFontName(u"Times New Roman");
    EXPECT_DOUBLE_EQ(s.textWidth(u"To"), s.textWidth(u"T") + s.textWidth(u"o"));

    QtTextMeasurer measurer;
    const FontStyle mono{u"Courier New", 10};
    EXPECT_DOUBLE_EQ(measurer.advance(mono, u"iiii"), measurer.advance(mono, u"WWWW"));
    // Liberation Mono advances 1229/2048 em: 10 pt = 200 twips per em.
    EXPECT_NEAR(measurer.advance(mono, u"i"), 200.0 * 1229 / 2048, 0.1);
}

TEST_F(FontTest, SizesBeyondWhatTheFontEngineScalesAreClamped)
{
    QtTextMeasurer measurer;
    const FontStyle largest{u"Arial", 800};
    const FontStyle huge{u"Arial", 32767};
    EXPECT_DOUBLE_EQ(measurer.advance(huge, u"abc"), measurer.advance(largest, u"abc"));
    EXPECT_GT(measurer.metrics(huge).lineHeight(), 800 * 20);
    EXPECT_GT(measurer.metrics(FontStyle{u"Arial", 0}).lineHeight(), 0);
    EXPECT_GT(measurer.metrics(FontStyle{u"Arial", std::nan("")}).lineHeight(), 0);
}

// The measurer adds up the advances of single characters where it can,
// read from one engine per face cloned to each size; Qt laying out the
// whole text in the font of that size must agree to the last bit, in every
// font a sheet can name, in every style, at sizes of whole and of odd
// twips, for words, lines and odd characters, and so must the line metrics.
TEST_F(FontTest, TextsMeasureExactlyAsQtLaysThemOut)
{
    QImage device(1, 1, QImage::Format_ARGB32);
    device.setDotsPerMeterX(56693); // 1440 dpi, as the measurer's device
    device.setDotsPerMeterY(56693);
    const Text texts[] = {
        u"Broadsword",
        u"The quick brown fox jumps over the lazy dog, 0123456789.",
        u"AVAV To office fi ffl Wa",
        u"  trailing and leading blanks  ",
        u"\u00A0non-breaking\u00A0spaces \u00C6sir \u00FCber na\u00EFve \u00BD \u00D7 \u00A9 \u00FF",
        u"soft\u00ADhyphen",
        u"tab\tstop",
        u"a combining e\u0301 with \u201Cquotes\u201D \u2013 \u20AC",
        u"\U0001F600 outside the basic plane",
        Text(3000, u'm') + u" one long line",
    };
    QtTextMeasurer measurer;
    for (const FontMapping& mapping : fontMappings()) {
        for (int style = 0; style < 4; ++style) {
            // Odd sizes: Qt's engine takes the twips rounded (240.52 to
            // 241, 285.27 to 285).
            const double odd[] = {0, 0, 0.026, 0.0137};
            FontStyle font{mapping.name, 7.5 + 2.25 * style + odd[style], (style & 1) != 0, (style & 2) != 0};
            const QFontMetricsF metrics(makeTwipFont(font, 1440), &device);
            const LineMetrics line = measurer.metrics(font);
            EXPECT_EQ(line.ascent, metrics.ascent()) << toUtf8(mapping.name) << " style " << style;
            EXPECT_EQ(line.descent, metrics.descent()) << toUtf8(mapping.name) << " style " << style;
            EXPECT_EQ(line.leading, metrics.leading()) << toUtf8(mapping.name) << " style " << style;
            for (const Text& text : texts) {
                EXPECT_EQ(measurer.advance(font, text), metrics.horizontalAdvance(drawnText(font, text)))
                    << toUtf8(mapping.name) << " style " << style << ": " << toUtf8(text);
            }
        }
    }
}

// The line breaker adds a line's width up from its words where the
// measurer says their advances add up; every piece must still be exactly
// as wide as its own text measures, in Latin text and in text the measurer
// hands to Qt, with blanks dropped at the breaks, in a picture font too.
TEST_F(FontTest, LinePiecesAreAsWideAsTheirTextMeasures)
{
    QtTextMeasurer measurer;
    const Text text = u"Longsword +1 (versatile)   d8  \u00C6sir \u00FCber, na\u00EFve  fianc\u00E9e \u0175ord "
                      u"e\u0301clat \u201Cquoted\u201D words and more words to wrap    \r\nnext  line\tafter tab";
    for (const Text& name : {Text(u"Arial"), Text(u"Times New Roman"), Text(u"Wingdings")}) {
        for (const Align align : {Align::Left, Align::Center, Align::Right}) {
            for (const double width : {900.0, 2500.0, 100000.0}) {
                const FontStyle font{name, 10};
                BreakOptions options;
                options.width = width;
                options.align = align;
                const auto lines = breakLines({{text, font, kBlack}}, options, measurer, font);
                size_t pieces = 0;
                for (const LaidLine& line : lines) {
                    for (const LinePiece& piece : line.pieces) {
                        ++pieces;
                        EXPECT_EQ(piece.width, measurer.advance(font, piece.text))
                            << toUtf8(name) << " " << width << ": " << toUtf8(piece.text);
                    }
                }
                EXPECT_GT(pieces, width < 1000 ? 10u : 1u);
            }
        }
    }
}

TEST_F(FontTest, PictureFontCodesBecomeTheirPictures)
{
    auto drawn = [](const char16_t* font, const Text& text) { return drawnText(FontStyle{font, 10}, text).toStdU16String(); };
    // Check boxes and ticks as sheets write them.
    EXPECT_EQ(drawn(u"Wingdings", u"\u00A8\u00FE\u00FC\u00FD\u006F\u006C"), u"\u25FB\u2611\u2714\u2612\u25A1\u25CF");
    EXPECT_EQ(drawn(u"Wingdings 2", u"\u00A3RPTO"), u"\u2610\u2611\u2713\u2612\u2717");
    EXPECT_EQ(drawn(u"Wingdings 3", u"pu"), u"\u25B2\u25B6");
    EXPECT_EQ(drawn(u"Webdings", u"agcn"), u"\u2714\u25A0\u25A1\u25CF");
    EXPECT_EQ(drawn(u"Symbol", u"abg p \u00B3 \u00A5 2"), u"\u03B1\u03B2\u03B3 \u03C0 \u2265 \u221E 2");
    // Chr(149) arrives as U+2022, the Windows-1252 meaning of byte 0x95.
    EXPECT_EQ(drawn(u"Wingdings", u"\u2022"), u"\u277F");
    // Private-use codes, as Windows addresses picture fonts.
    EXPECT_EQ(drawn(u"wingdings", u"\uF0FC"), u"\u2714");
    // Names as sheets write them, in any case and with blanks around.
    EXPECT_EQ(drawn(u"  WINGDINGS 2 ", u"P"), u"\u2713");
    EXPECT_EQ(symbolFontNamed(u"SyMbOl"), SymbolFont::Symbol);
    EXPECT_EQ(symbolFontNamed(u"Wingdings 22"), SymbolFont::None);
    EXPECT_EQ(symbolFontNamed(u"   "), SymbolFont::None);
    // Other fonts are left alone.
    EXPECT_EQ(drawn(u"Arial", u"\u00FC"), u"\u00FC");
}

TEST_F(FontTest, TheDrawingFontHasEveryPictureOfTheBasicPlane)
{
    const struct {
        SymbolFont font;
        const char16_t* name;
    } fonts[] = {{SymbolFont::Symbol, u"Symbol"},
                 {SymbolFont::Wingdings, u"Wingdings"},
                 {SymbolFont::Wingdings2, u"Wingdings 2"},
                 {SymbolFont::Wingdings3, u"Wingdings 3"},
                 {SymbolFont::Webdings, u"Webdings"}};
    for (const auto& f : fonts) {
        EXPECT_EQ(symbolFontNamed(f.name), f.font);
        const QRawFont raw = QRawFont::fromFont(QFont(resolveFontFamily(f.name)));
        int pictures = 0;
        for (unsigned code = 0x20; code <= 0xFF; ++code) {
            const char32_t c = symbolFontCharacter(f.font, code);
            if (c == 0 || c >= 0x10000)
                continue;
            ++pictures;
            EXPECT_TRUE(raw.supportsCharacter(static_cast<uint>(c)))
                << toUtf8(f.name) << " code " << code << " U+" << std::hex << static_cast<unsigned>(c);
        }
        EXPECT_GT(pictures, 10) << toUtf8(f.name);
    }
}

TEST_F(FontTest, PicturesReachThePdfAsTheirCharacters)
{
    if (!testing::havePoppler())
        GTEST_SKIP() << "poppler-utils not installed";
    Surface s;
    s.startDoc();
    s.setFontName(u"Wingdings");
    s.setCurrentX(1440);
    s.text(u"\u00FE \u00A8");
    s.setFontName(u"Symbol");
    s.text(u" a");
    s.endDoc();
    QTemporaryDir dir;
    const QString pdf = dir.filePath("pictures.pdf");
    ASSERT_TRUE(writePdf(s.document(), pdf));
    const QString text = testing::runTool("pdftotext", {pdf, "-"}).out;
    for (const char16_t* picture : {u"\u2611", u"\u25FB", u"\u03B1"})
        EXPECT_TRUE(text.contains(QString::fromUtf16(picture))) << text.toStdString();
    EXPECT_FALSE(text.contains(QChar(0xFE))) << text.toStdString();
}

} // namespace
} // namespace quillet::surface
