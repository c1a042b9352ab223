// Rendered output with the real fonts: a document with every kind of output
// written to PDF and read back with poppler's tools, and rendered to PNG
// with ink where the model put it.
#include "poppler_tools.h"
#include "qt_app.h"

#include "surface/pdf_export.h"
#include "surface/png_export.h"
#include "surface/surface.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quillet::surface {
namespace {

QString run(const QString& program, const QStringList& arguments) { return testing::runTool(program, arguments).out; }

// Two portrait pages and a landscape one, with every kind of output.
Document sampleDocument()
{
    Surface s;
    s.startDoc();
    s.setHeader(u"Sheet header||Page %d");
    s.setFooter(u"|Footer text|");
    s.setPageBorder(4);
    s.setCurrentX(1440);
    s.setCurrentY(1440);
    s.text(u"PlainText ");
    s.setFontBold(true);
    s.text(u"BoldText");
    s.setFontBold(false);
    s.setCurrentY(1800);
    s.paragraph(u"Paragraph words flow along the line.");
    s.paragraph(u"{\\rtf1 {\\i RichItalic} and {\\b RichBold}\\par}");
    s.setBrushColor(0xE0E0E0);
    s.textBox(u"BoxedText inside", 6000, 4000, 3000, 600, ArgValue::omitted(), ArgValue::omitted(),
              ArgValue::boolean(true));
    s.setBrushColor(0x000000);
    s.drawRectangle(1440, 5000, 2880, 6000);  // solid black
    s.setPenColor(0x0000FF);  // red: red sits in the low byte
    s.drawLine(1440, 6500, 10800, 6500);
    s.setPenColor(0);
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(QColor(0, 0, 255));
    s.setPictureX1(7200);
    s.setPictureY1(5000);
    s.setPictureX2(8640);
    s.setPictureY2(6000);
    s.placePicture(picture);
    s.setCurrentY(7000);
    s.addTable(u"<2880|>1440", u"Skill|Level", u"Stealth|12;Climbing|11;", ArgValue::fromNumber(0xC0C0C0),
               ArgValue::omitted(), ArgValue::omitted());
    s.newPage();
    s.paragraph(u"SecondPageWord");
    s.setOrientation(kLandscape);
    s.newPage();
    s.paragraph(u"LandscapeWord");
    s.endDoc();
    return s.takeDocument();
}

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::ensureQtApplication();
        ASSERT_TRUE(dir_.isValid());
    }

    QString path(const QString& name) const { return dir_.filePath(name); }

    // The sample document written by our PDF writer to `name`.
    QString samplePdf(const QString& name)
    {
        QString error;
        EXPECT_TRUE(writePdf(sampleDocument(), path(name), &error)) << error.toStdString();
        return path(name);
    }

    QTemporaryDir dir_;
};

// (PdfWriterTest.EachFaceIsEmbeddedOnceAsASubset checks the fonts.)
TEST_F(RenderTest, PdfHasOnePagePerPageAtItsSizeWithSelectableText)
{
    if (!testing::havePoppler())
        GTEST_SKIP() << "poppler-utils not installed";
    const QString pdf = samplePdf("sample.pdf");

    const QString info = run("pdfinfo", {"-f", "1", "-l", "3", pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\b")));
    EXPECT_TRUE(info.contains(QRegularExpression("Page\\s+1 size:\\s+612 x 792 pts")));
    EXPECT_TRUE(info.contains(QRegularExpression("Page\\s+3 size:\\s+792 x 612 pts")));

    auto pageText = [&](int page) {
        return run("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), "-layout", pdf, "-"});
    };
    const QString first = pageText(1);
    for (const char* word : {"PlainText", "BoldText", "Paragraph words flow", "RichItalic", "RichBold",
                             "BoxedText", "Skill", "Level", "Stealth", "Climbing", "Sheet header", "Page 1",
                             "Footer text"})
        EXPECT_TRUE(first.contains(QString::fromLatin1(word))) << word;
    EXPECT_FALSE(first.contains("SecondPageWord"));
    const QString second = pageText(2);
    EXPECT_TRUE(second.contains("SecondPageWord"));
    EXPECT_TRUE(second.contains("Page 2"));
    EXPECT_TRUE(pageText(3).contains("LandscapeWord"));
}

TEST_F(RenderTest, PrintedWordWidthsEqualMeasuredWidths)
{
    if (!testing::havePoppler())
        GTEST_SKIP() << "poppler-utils not installed";
    Surface s;
    s.startDoc();
    const Text words[] = {u"Wavering", u"Illumination", u"AVATAR", u"fifteen"};
    std::vector<std::pair<double, double>> expected;  // left and right in points
    double y = 1440;
    for (double size : {8.0, 11.25, 14.0, 20.0}) {
        for (const Text& word : words) {
            s.setFontSize(size);
            s.setCurrentX(1440);
            s.setCurrentY(y);
            double width = s.textWidth(word);
            s.text(word);
            EXPECT_DOUBLE_EQ(s.currentX(), 1440 + width);
            expected.emplace_back(1440 / 20.0, (1440 + width) / 20.0);
            y += 500;
        }
    }
    s.endDoc();
    const QString pdf = path("widths.pdf");
    ASSERT_TRUE(writePdf(s.document(), pdf));
    const QString html = run("pdftotext", {"-bbox", pdf, "-"});
    QRegularExpression wordBox("<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\"");
    auto it = wordBox.globalMatch(html);
    size_t i = 0;
    while (it.hasNext() && i < expected.size()) {
        auto m = it.next();
        EXPECT_NEAR(m.captured(1).toDouble(), expected[i].first, 0.6) << "word " << i;
        EXPECT_NEAR(m.captured(2).toDouble(), expected[i].second, 0.6) << "word " << i;
        ++i;
    }
    EXPECT_EQ(i, expected.size());
}

TEST_F(RenderTest, RightAlignedTextMeasuredWithRealFontsStaysOnItsLine)
{
    // As the print object right-aligns: x = right edge - measured width.
    Surface s;
    s.startDoc();
    const Text samples[] = {u"Total weight: 127 lbs", u"AVATAR WAVE Type", u"Points 1,250 / 2,000"};
    for (const Text& sample : samples) {
        for (double size : {8.0, 10.0, 11.25, 14.0}) {
            s.setFontSize(size);
            s.setCurrentY(2000);
            s.setCurrentX(10800 - s.textWidth(sample));
            const size_t before = s.document().pages[0].ops.size();
            s.text(sample);
            EXPECT_DOUBLE_EQ(s.currentY(), 2000) << "wrapped at size " << size;
            EXPECT_NEAR(s.currentX(), 10800, 0.01) << "size " << size;
            EXPECT_EQ(s.document().pages[0].ops.size(), before + 1);
        }
    }
}

// Darkness of a pixel: 0 white .. 765 black.
int ink(const QImage& image, double xTwips, double yTwips, double dpi)
{
    QColor c = image.pixelColor(static_cast<int>(xTwips * dpi / 1440), static_cast<int>(yTwips * dpi / 1440));
    return 765 - c.red() - c.green() - c.blue();
}

bool anyInkIn(const QImage& image, const TwipRect& r, double dpi)
{
    for (int y = static_cast<int>(r.top * dpi / 1440); y < static_cast<int>(r.bottom * dpi / 1440); ++y)
        for (int x = static_cast<int>(r.left * dpi / 1440); x < static_cast<int>(r.right * dpi / 1440); ++x)
            if (image.pixelColor(x, y).lightness() < 128)
                return true;
    return false;
}

TEST_F(RenderTest, PngHasInkWhereTheModelPutIt)
{
    const Document document = sampleDocument();
    const double dpi = 96;
    const QImage page = renderPageImage(document.pages[0], dpi);
    EXPECT_EQ(page.width(), 816);
    EXPECT_EQ(page.height(), 1056);
    EXPECT_GT(ink(page, 2160, 5500, dpi), 700);  // inside the black rectangle
    QColor blue = page.pixelColor(static_cast<int>(7920 * dpi / 1440), static_cast<int>(5500 * dpi / 1440));
    EXPECT_EQ(blue, QColor(0, 0, 255));  // the picture, stretched over its rectangle
    // The hairline is antialiased over the pixel rows around y = 6500.
    int reddest = 0;
    for (int dy = -1; dy <= 1; ++dy) {
        QColor c = page.pixelColor(static_cast<int>(5000 * dpi / 1440), static_cast<int>(6500 * dpi / 1440) + dy);
        reddest = std::max(reddest, c.red() - c.green());
    }
    EXPECT_GT(reddest, 100);
    EXPECT_EQ(ink(page, 4000, 5500, dpi), 0);  // empty space stays white
    // Every text run has ink inside its own box, and only there.
    for (const DrawOp& op : document.pages[0].ops) {
        if (const auto* t = std::get_if<TextOp>(&op)) {
            EXPECT_TRUE(anyInkIn(page, {t->x, t->top, t->x + t->width, t->baseline + 40}, dpi))
                << QString::fromStdU16String(t->text).toStdString();
        }
    }
    EXPECT_FALSE(anyInkIn(page, {3000, 3000, 5800, 3900}, dpi));
}

TEST_F(RenderTest, PdfPagesRasteriseLikeTheDirectRendering)
{
    if (!testing::havePoppler())
        GTEST_SKIP() << "poppler-utils not installed";
    const QString pdf = samplePdf("raster.pdf");
    run("pdftoppm", {"-png", "-r", "72", "-f", "1", "-l", "1", pdf, path("raster")});
    QDir dir(dir_.path());
    const QStringList pngs = dir.entryList({"raster*.png"});
    ASSERT_EQ(pngs.size(), 1);
    QImage fromPdf(dir.filePath(pngs.front()));
    ASSERT_FALSE(fromPdf.isNull());
    EXPECT_EQ(fromPdf.size(), QSize(612, 792));
    EXPECT_GT(ink(fromPdf, 2160, 5500, 72), 700);
    QColor blue = fromPdf.pixelColor(static_cast<int>(7920 / 20.0), static_cast<int>(5500 / 20.0));
    EXPECT_LT(blue.red() + blue.green(), 10);
    EXPECT_GT(blue.blue(), 245);
    EXPECT_EQ(ink(fromPdf, 4000, 5500, 72), 0);
    // The page border's left edge at the left margin.
    EXPECT_TRUE(anyInkIn(fromPdf, {1420, 8000, 1460, 8100}, 72));
}

TEST_F(RenderTest, WritersReportWhatTheyCannotDo)
{
    QString error;
    EXPECT_FALSE(writePdf(Document{}, path("empty.pdf"), &error));
    EXPECT_FALSE(error.isEmpty());
    Surface s;
    s.startDoc();
    s.paragraph(u"x");
    s.endDoc();
    EXPECT_FALSE(writePdf(s.document(), "/nonexistent-dir/x.pdf", &error));
    EXPECT_FALSE(writePngPages(s.document(), path("no-number.png"), 96, &error));
    EXPECT_FALSE(writePngPages(s.document(), path("p%1.png"), 5000, &error));
    Surface zero;
    zero.setPageWidth(0);
    zero.startDoc();
    zero.endDoc();
    EXPECT_TRUE(writePdf(zero.document(), path("zero.pdf"), &error)) << error.toStdString();
    ASSERT_TRUE(writePngPages(s.document(), path("p%1.png"), 50, &error)) << error.toStdString();
    EXPECT_TRUE(QFile::exists(path("p1.png")));
}

} // namespace
} // namespace quillet::surface
