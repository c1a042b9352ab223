// The surface's own PDF writer against Qt's: the same document written by
// both must parse, read back as the same text and render to the same
// pixels (within what antialiasing changes); and the font subsetter keeps
// every glyph a document needs, composites with their parts.
#include "poppler_tools.h"
#include "qt_app.h"
#include "qt_pdf_reference.h"

#include "surface/font_resolver.h"
#include "surface/font_subset.h"
#include "surface/jpeg_frame.h"
#include "surface/pdf_export.h"
#include "surface/pdf_syntax.h"
#include "surface/pdf_writer.h"
#include "surface/png_frame.h"
#include "surface/qt_text_measurer.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QRawFont>
#include <QRegularExpression>
#include <QtEndian>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <map>

namespace quillet::surface {
namespace {

using testing::runTool;
using testing::ToolResult;

TextOp text(double x, double baseline, const char16_t* words, FontStyle font = {}, Rgb colour = kBlack)
{
    TextOp op;
    op.x = x;
    op.baseline = baseline;
    op.top = baseline - font.size * 20;
    op.text = words;
    op.font = font;
    op.colour = colour;
    static const auto measurer = qtTextMeasurer();
    op.width = measurer->advance(font, op.text);
    return op;
}

// A picture whose pixel at (x, y) is colourAt(x, y).
template <class ColourAt>
QImage picture(int width, int height, QImage::Format format, ColourAt colourAt)
{
    QImage image(width, height, format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, colourAt(x, y));
    return image;
}

QImage halfTransparentPicture()
{
    return picture(40, 20, QImage::Format_ARGB32,
                   [](int x, int) { return x < 20 ? QColor(200, 0, 0) : QColor(0, 0, 0, 0); });
}

QImage checkerPicture()
{
    return picture(8, 8, QImage::Format_RGB32, [](int x, int y) { return (x + y) % 2 ? Qt::black : Qt::white; });
}

// Every kind of operation: text in several faces and sizes (Latin, other
// scripts, picture fonts, a face without TrueType outlines), decorations,
// clipping, hairlines and wide pens, fills, pictures with and without
// alpha, and a landscape page.
Document sampleDocument()
{
    Document document;
    Page first;
    first.ops.push_back(text(1440, 1440, u"Plain text at eleven points"));
    first.ops.push_back(text(1440, 2000, u"Bold and larger", FontStyle{u"Arial", 16, true}));
    first.ops.push_back(text(1440, 2500, u"Italic serif", FontStyle{u"Times New Roman", 12, false, true}));
    first.ops.push_back(text(1440, 2900, u"Small mono 8pt", FontStyle{u"Courier New", 8}));
    first.ops.push_back(text(1440, 3400, u"Größe, Ελληνικά, Кириллица, € – “quotes”", FontStyle{u"Arial", 12}));
    first.ops.push_back(text(1440, 3900, u"Arrows → ← and ☺ from a fallback", FontStyle{u"Arial", 12}));
    first.ops.push_back(text(1440, 4400, u"\u00FE\u00A8\u006C", FontStyle{u"Wingdings", 14}));
    first.ops.push_back(text(3000, 4400, u"abg", FontStyle{u"Symbol", 14}));
    first.ops.push_back(text(1440, 4900, u"Outline font face Palatino", FontStyle{u"Palatino", 13}));
    // No bold face is installed for these, nor an italic one for the
    // second: the font engine emboldens and slants the regular face.
    first.ops.push_back(text(6000, 4900, u"Garamond bold", FontStyle{u"Garamond", 13, true, true}));
    first.ops.push_back(text(9000, 4900, u"Math bold", FontStyle{u"DejaVu Math TeX Gyre", 13, true, true}));
    first.ops.push_back(text(1440, 5500, u"Underlined words", {.size = 14, .underline = true}));
    first.ops.push_back(text(5400, 5500, u"Struck out", {.size = 14, .strikeout = true}, 0x0000C0));
    TextOp clipped = text(1440, 6200, u"Clipped text that runs past its box", FontStyle{u"Arial", 14});
    clipped.clip = TwipRect{1440, 5800, 3400, 6400};
    first.ops.push_back(clipped);
    first.ops.push_back(LineOp{1440, 7000, 9000, 7000, kBlack, 0});
    first.ops.push_back(LineOp{1440, 7400, 9000, 7400, 0x008000, 60});
    first.ops.push_back(LineOp{1440, 7800, 9000, 9000, kBlack, 20});
    first.ops.push_back(RectOp{{1440, 9400, 4000, 10400}, 0xFF0000, std::nullopt, 0});
    first.ops.push_back(RectOp{{4400, 9400, 7000, 10400}, std::nullopt, kBlack, 0});
    first.ops.push_back(RectOp{{7400, 9400, 10000, 10400}, 0xC0C0C0, 0x800000, 80});
    first.ops.push_back(RectOp{{1440, 11000, 4400, 12400}, 0xFF8000, std::nullopt, 0});
    first.ops.push_back(PictureOp{{1440, 11000, 4400, 12400}, halfTransparentPicture(), {}});
    first.ops.push_back(PictureOp{{5000, 11000, 6600, 12600}, checkerPicture(), {}});
    first.ops.push_back(PictureOp{{7000, 11000, 8600, 12600}, checkerPicture(), {}});
    // A long run: the glyph positions must not drift along it.
    first.ops.push_back(text(720, 13400,
                             u"A broad-shouldered knight of the March, grey at the temples, with a scar across "
                             u"the left cheek from the siege of",
                             FontStyle{u"Arial", 10}));
    document.pages.push_back(first);

    Page landscape;
    landscape.width = 15840;
    landscape.height = 12240;
    landscape.orientation = kLandscape;
    landscape.ops.push_back(text(1440, 1440, u"Landscape page words", FontStyle{u"Arial", 20}));
    landscape.ops.push_back(text(1440, 2400, u"Landscape page words", FontStyle{u"Arial", 7}));
    // Characters not drawn as they are: a tab, soft hyphens, marks that
    // combine, right-to-left text.
    landscape.ops.push_back(text(1440, 3400, u"Tab\there, soft\u00ADhyphen", FontStyle{u"Arial", 12}));
    landscape.ops.push_back(text(1440, 4000, u"soft\u00ADhyphen, e\u0301 \u05E9\u05DC\u05D5\u05DD", FontStyle{u"Arial", 12}));
    landscape.ops.push_back(RectOp{{12000, 9000, 15000, 11500}, 0x404040, std::nullopt, 0});
    document.pages.push_back(landscape);
    return document;
}

// A page as 8-bit grey pixels, rendered by poppler at 72 dpi.
QImage rendered(const QString& pdf, int page, const QString& prefix)
{
    runTool("pdftoppm", {"-r", "72", "-gray", "-f", QString::number(page), "-l", QString::number(page),
                         "-singlefile", pdf, prefix});
    return QImage(prefix + ".pgm").convertToFormat(QImage::Format_Grayscale8);
}

class PdfWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::ensureQtApplication();
        ASSERT_TRUE(dir_.isValid());
        if (!testing::havePoppler())
            GTEST_SKIP() << "poppler-utils not installed";
    }

    QString path(const QString& name) const { return dir_.filePath(name); }

    QByteArray contents(const QString& name) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        return file.readAll();
    }

    // Writes `document` with both writers, as ours.pdf and qt.pdf.
    void writeBoth(const Document& document)
    {
        QString error;
        ASSERT_TRUE(writePdf(document, path("ours.pdf"), &error, QStringLiteral("Sheet – Ωmega"))) << error.toStdString();
        ASSERT_TRUE(testing::writePdfWithQt(document, path("qt.pdf"), QStringLiteral("Sheet – Ωmega")));
    }

    void writeOurs(const Document& document, const QString& name)
    {
        QString error;
        ASSERT_TRUE(writePdf(document, path(name), &error)) << error.toStdString();
    }

    QTemporaryDir dir_;
};

TEST_F(PdfWriterTest, FileParsesWithPagesAtTheirSizesAndTheDocumentInformation)
{
    writeBoth(sampleDocument());
    const ToolResult info = runTool("pdfinfo", {"-f", "1", "-l", "2", path("ours.pdf")});
    EXPECT_TRUE(info.err.isEmpty()) << info.err.toStdString();
    EXPECT_TRUE(info.out.contains(QRegularExpression("Pages:\\s+2\\b")));
    EXPECT_TRUE(info.out.contains(QRegularExpression("Page\\s+1 size:\\s+612 x 792 pts")));
    EXPECT_TRUE(info.out.contains(QRegularExpression("Page\\s+2 size:\\s+792 x 612 pts")));
    EXPECT_TRUE(info.out.contains(QRegularExpression("Title:\\s+Sheet – Ωmega\n")));
    EXPECT_TRUE(info.out.contains(QRegularExpression("Creator:\\s+Quillet\n")));
    // Rendering reads every object, font and picture: poppler complains
    // on stderr about anything malformed.
    const ToolResult render = runTool("pdftoppm", {"-r", "20", path("ours.pdf"), path("check")});
    EXPECT_TRUE(render.err.isEmpty()) << render.err.toStdString();
}

TEST_F(PdfWriterTest, TextReadsBackAsFromQtsWriter)
{
    writeBoth(sampleDocument());
    for (int page : {1, 2}) {
        const QStringList range{"-f", QString::number(page), "-l", QString::number(page)};
        // In drawing order: both writers draw in the order of the page.
        // Line breaks and direction marks aside (Qt's writer breaks
        // right-to-left words into letters).
        auto read = [&](const char* file) {
            QString text = runTool("pdftotext", range + QStringList{"-raw", path(file), "-"}).out;
            return text.remove(QRegularExpression(QString::fromUtf8("[\n\u202A-\u202E]")));
        };
        const QString ours = read("ours.pdf");
        const QString qt = read("qt.pdf");
        EXPECT_FALSE(ours.trimmed().isEmpty());
        EXPECT_EQ(ours.toStdString(), qt.toStdString()) << "page " << page;
    }
    const QString all = runTool("pdftotext", {path("ours.pdf"), "-"}).out;
    // Right-to-left words read back whole (Qt's writer places each letter
    // on its own, which breaks them up).
    EXPECT_TRUE(all.contains(QString::fromUtf8("\u202B\u05E9\u05DC\u05D5\u05DD\u202C")))
        << all.toStdString();
    for (const char* words : {"Größe, Ελληνικά, Кириллица, € – “quotes”", "Outline font face Palatino",
                              "Landscape page words", "Underlined words", "→ ←", "softhyphen, e\xCC\x81"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(words))) << words;
}

// Every word where Qt's writer puts it along its line, to a small fraction
// of a point.
TEST_F(PdfWriterTest, WordsSitWhereQtsWriterPutsThem)
{
    writeBoth(sampleDocument());
    auto words = [&](const char* file) {
        const QString html = runTool("pdftotext", {"-bbox", path(file), "-"}).out;
        static const QRegularExpression word(
            "xMin=\"([-\\d.]+)\" yMin=\"([-\\d.]+)\" xMax=\"([-\\d.]+)\" yMax=\"[-\\d.]+\">([^<]*)</word>");
        std::map<QString, std::vector<QRectF>> found;
        for (auto it = word.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            found[m.captured(4)].push_back(QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                                  QPointF(m.captured(3).toDouble(), m.captured(2).toDouble())));
        }
        return found;
    };
    const auto ours = words("ours.pdf");
    const auto qt = words("qt.pdf");
    ASSERT_GT(qt.size(), 40u);
    for (const auto& [text, places] : qt) {
        // Right-to-left words come out whole from ours only.
        if (text.contains(QRegularExpression("[\\x{0590}-\\x{05FF}]")))
            continue;
        ASSERT_TRUE(ours.count(text)) << text.toStdString();
        const std::vector<QRectF>& mine = ours.at(text);
        ASSERT_EQ(mine.size(), places.size()) << text.toStdString();
        for (size_t i = 0; i < places.size(); ++i) {
            EXPECT_NEAR(mine[i].left(), places[i].left(), 0.02) << text.toStdString();
            EXPECT_NEAR(mine[i].right(), places[i].right(), 0.02) << text.toStdString();
            // (Tops come from each font's ascent, which the writers give
            // differently for faces made from outlines; the rendered pages
            // are compared below.)
            EXPECT_NEAR(mine[i].top(), places[i].top(), 6) << text.toStdString();
        }
    }
}

TEST_F(PdfWriterTest, EachFaceIsEmbeddedOnceAsASubset)
{
    writeBoth(sampleDocument());
    const QString fonts = runTool("pdffonts", {path("ours.pdf")}).out;
    QStringList names;
    for (const QString& line : fonts.split('\n').mid(2)) {
        if (line.trimmed().isEmpty())
            continue;
        // Columns: name type encoding emb sub uni object ID
        const QStringList cols = line.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        ASSERT_EQ(cols.size(), 9) << line.toStdString();
        EXPECT_EQ(cols[1] + " " + cols[2], "CID TrueType") << line.toStdString();
        EXPECT_EQ(cols[4], "yes") << line.toStdString();  // embedded
        EXPECT_EQ(cols[5], "yes") << line.toStdString();  // subset
        EXPECT_EQ(cols[6], "yes") << line.toStdString();  // ToUnicode
        EXPECT_TRUE(cols[0].contains(QRegularExpression("^[A-Z]{6}\\+"))) << line.toStdString();
        names << cols[0].mid(7);
    }
    // Liberation Sans regular is drawn at 7, 11, 12, 14 and 20 points: one font.
    EXPECT_EQ(names.count("LiberationSans-Regular"), 1) << fonts.toStdString();
    EXPECT_EQ(names.removeDuplicates(), 0) << fonts.toStdString();
    // Faces without TrueType outlines, made from their outlines.
    EXPECT_EQ(names.filter(QRegularExpression("^P052")).size(), 1) << fonts.toStdString();
    EXPECT_EQ(names.filter(QRegularExpression("^EBGaramond")).size(), 1) << fonts.toStdString();
    // Far smaller than whole fonts.
    EXPECT_LT(QFile(path("ours.pdf")).size(), 200 * 1024);
}

TEST_F(PdfWriterTest, PagesRenderLikeQtsWriter)
{
    writeBoth(sampleDocument());
    for (int page : {1, 2}) {
        const QImage ours = rendered(path("ours.pdf"), page, path("ours-%1").arg(page));
        const QImage qt = rendered(path("qt.pdf"), page, path("qt-%1").arg(page));
        ASSERT_FALSE(ours.isNull());
        ASSERT_EQ(ours.size(), qt.size());
        // Antialiasing and hinting move edges by a pixel: count pixels
        // that differ clearly, and require nearly none.
        qint64 differing = 0;
        qint64 inked = 0;
        for (int y = 0; y < ours.height(); ++y) {
            const uchar* a = ours.constScanLine(y);
            const uchar* b = qt.constScanLine(y);
            for (int x = 0; x < ours.width(); ++x) {
                if (std::abs(int(a[x]) - int(b[x])) > 96)
                    ++differing;
                if (b[x] < 128)
                    ++inked;
            }
        }
        EXPECT_GT(inked, 1000) << "page " << page;
        EXPECT_LT(differing, inked / 50 + 20) << "page " << page << ": " << differing << " of " << inked;

        // Each text as heavy as Qt draws it: the right face, weight and
        // glyphs, whatever antialiasing does to the edges.  (A face drawn
        // without the emboldening it needs loses about 30%.)
        auto ink = [](const QImage& image, const TextOp& op) {
            qint64 sum = 0;
            const double bottom = op.baseline + op.font.size * 6;
            for (int y = std::max(0, int(op.top / 20)); y < std::min(image.height(), int(bottom / 20) + 1); ++y) {
                for (int x = std::max(0, int(op.x / 20)); x < std::min(image.width(), int((op.x + op.width) / 20) + 1); ++x)
                    sum += 255 - image.constScanLine(y)[x];
            }
            return sum;
        };
        const Document document = sampleDocument();
        for (const DrawOp& op : document.pages[size_t(page - 1)].ops) {
            if (const auto* t = std::get_if<TextOp>(&op)) {
                const double expected = double(ink(qt, *t));
                EXPECT_NEAR(double(ink(ours, *t)), expected, expected * 0.12 + 200)
                    << QString::fromStdU16String(t->text).toStdString();
            }
        }
    }
}

TEST_F(PdfWriterTest, ClipAlphaAndHairlinesLandWhereTheyShould)
{
    writeBoth(sampleDocument());
    const QImage page = rendered(path("ours.pdf"), 1, path("place"));
    ASSERT_EQ(page.size(), QSize(612, 792));
    auto grey = [&](double twipX, double twipY) { return int(page.pixelColor(int(twipX / 20), int(twipY / 20)).red()); };
    auto inkIn = [&](double left, double top, double right, double bottom) {
        for (int y = int(top / 20); y < int(bottom / 20); ++y) {
            for (int x = int(left / 20); x < int(right / 20); ++x) {
                if (page.pixelColor(x, y).red() < 128)
                    return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(inkIn(1440, 5900, 3400, 6300));
    EXPECT_FALSE(inkIn(3450, 5800, 8000, 6400)) << "text past its clip";
    EXPECT_TRUE(inkIn(1440, 6980, 9000, 7040)) << "hairline";
    // The transparent half of the picture shows the orange fill beneath,
    // the opaque half its own dark red.
    EXPECT_GT(grey(4000, 11700), grey(2000, 11700) + 30);
    // Outlined rectangle: ink on its edge, none inside.
    EXPECT_TRUE(inkIn(4380, 9700, 4460, 10000));
    EXPECT_FALSE(inkIn(4600, 9600, 6800, 10200));
}

// A photograph as a JPEG file, and the pixels it decodes to.
struct JpegPicture {
    QByteArray file;
    QImage image;
};

JpegPicture jpegPicture(QImage::Format format, bool progressive = false)
{
    const QImage photo =
        picture(96, 64, format, [](int x, int y) { return QColor(x * 2, 200 - y * 3, (x * y) % 256); });
    JpegPicture jpeg;
    QBuffer buffer(&jpeg.file);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(photo)) << writer.errorString().toStdString();
    jpeg.image = QImage::fromData(jpeg.file, "jpeg");
    return jpeg;
}

// The byte after the frame marker (FF C0 or FF C2) plus `offset`.
qsizetype frameByte(const QByteArray& file, int offset)
{
    qsizetype at = file.indexOf(QByteArray("\xFF\xC0", 2));
    if (at < 0)
        at = file.indexOf(QByteArray("\xFF\xC2", 2));
    return at < 0 ? -1 : at + 2 + offset;
}

// Numbers are written from whole thousandths; the text must be what a
// correctly rounded three-decimal rendering of the same value gives, with
// trailing zeros, a bare point and a negative zero dropped.
TEST(PdfNumbers, ThousandthsAreWrittenAsACorrectlyRoundedDecimalWould)
{
    const auto reference = [](double value) {
        char buffer[64];
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, quillet::surface::pdf::asWritten(value),
                                       std::chars_format::fixed, 3);
        std::string text(buffer, end);
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
        return text == "-0" ? std::string("0") : text;
    };
    const auto written = [](double value) {
        std::string out;
        quillet::surface::pdf::appendNumber(out, value);
        return out;
    };
    EXPECT_EQ(written(0.0), "0");
    EXPECT_EQ(written(-0.0004), "0");
    EXPECT_EQ(written(-0.5), "-0.5");
    EXPECT_EQ(written(12.3456), "12.346");
    EXPECT_EQ(written(1e12), "1000000000");
    EXPECT_EQ(written(std::nan("")), "0");
    EXPECT_EQ(written(-std::numeric_limits<double>::infinity()), "0");
    QRandomGenerator random(20261208);
    for (int i = 0; i < 200000; ++i) {
        // Halves of a thousandth, whole numbers, twips and wild magnitudes.
        const double magnitude = std::pow(10.0, random.bounded(14.0) - 4.0);
        double value = (random.bounded(2.0) - 1.0) * magnitude;
        if (i % 4 == 1)
            value = std::round(value * 2000.0) / 2000.0;
        else if (i % 4 == 2)
            value = std::round(value);
        ASSERT_EQ(written(value), reference(value)) << value;
    }
    using quillet::surface::pdf::operator<<;
    QByteArray bytes;
    quillet::surface::pdf::appendNumber(bytes, -1234.5);
    bytes << 2.25;
    EXPECT_EQ(bytes, "-1234.52.25 ");
}

// Page content is written into room made ahead; what is written must come
// out whole and in order however often the buffer grows under it.
TEST(PdfContentBuffer, KeepsEveryPieceAcrossGrowth)
{
    using namespace quillet::surface::pdf;
    ContentBuffer buffer;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        const double value = i * 1.0625 - 17;
        buffer << value << "Td ";
        buffer += '(';
        buffer.append("xy", 1);
        buffer << QByteArray("Q\n");
        std::string number;
        appendNumber(number, value);
        expected += number + " Td (xQ\n";
    }
    ASSERT_EQ(buffer.size(), expected.size());
    EXPECT_EQ(std::string(buffer.data(), buffer.size()), expected);
    buffer.clear();
    appendNumber(buffer, 0.5);
    EXPECT_EQ(std::string(buffer.data(), buffer.size()), "0.5");
}

TEST(JpegFrame, BaselineAndProgressiveGreyAndColourAreReadyOthersAreNot)
{
    const JpegPicture colour = jpegPicture(QImage::Format_RGB32);
    const auto frame = pdfReadyJpegFrame(colour.file);
    ASSERT_TRUE(frame);
    EXPECT_EQ(QSize(frame->width, frame->height), QSize(96, 64));
    EXPECT_EQ(frame->components, 3);
    EXPECT_EQ(pdfReadyJpegFrame(jpegPicture(QImage::Format_Grayscale8).file)->components, 1);
    EXPECT_EQ(pdfReadyJpegFrame(jpegPicture(QImage::Format_RGB32, true).file)->components, 3);

    // Frame header: length (2), precision, height (2), width (2), components.
    auto patched = [&](int offset, char value) {
        QByteArray file = colour.file;
        const qsizetype at = frameByte(file, offset);
        EXPECT_GT(at, 0);
        file[at] = value;
        return file;
    };
    EXPECT_FALSE(pdfReadyJpegFrame(patched(2, 12))) << "12-bit samples";
    EXPECT_FALSE(pdfReadyJpegFrame(patched(7, 4))) << "four components (CMYK)";
    EXPECT_FALSE(pdfReadyJpegFrame(patched(-1, char(0xC3)))) << "lossless coding";
    EXPECT_FALSE(pdfReadyJpegFrame(patched(-1, char(0xC9)))) << "arithmetic coding";
    EXPECT_FALSE(pdfReadyJpegFrame(colour.file.left(frameByte(colour.file, 3)))) << "cut in the frame header";
    EXPECT_FALSE(pdfReadyJpegFrame(colour.file.left(20)));
    EXPECT_FALSE(pdfReadyJpegFrame(QByteArray("\x89PNG\r\n\x1A\n and more")));
    EXPECT_FALSE(pdfReadyJpegFrame(QByteArray()));
}

// One page with `image` drawn 96 by 64 pixels at an inch from the corner,
// `file` being the file it was read from (empty: none).
Document pictureDocument(const QImage& image, const QByteArray& file)
{
    Document document;
    document.pages.emplace_back();
    document.pages[0].ops.push_back(PictureOp{{1440, 1440, 1440 + 96 * 40, 1440 + 64 * 40}, image, file});
    return document;
}

TEST_F(PdfWriterTest, AJpegPictureGoesInAsItsOwnFileAndLooksTheSame)
{
    const JpegPicture photo = jpegPicture(QImage::Format_RGB32);
    writeOurs(pictureDocument(photo.image, photo.file), "jpeg.pdf");
    writeOurs(pictureDocument(photo.image, {}), "flate.pdf");
    const QByteArray written = contents("jpeg.pdf");
    EXPECT_TRUE(written.contains("/Filter/DCTDecode")) << "the picture was not passed through";
    EXPECT_TRUE(written.contains(photo.file)) << "the file is not in the PDF as it is";
    EXPECT_FALSE(written.contains("/FlateDecode/Length " + QByteArray::number(photo.file.size())));

    const QImage viaJpeg = rendered(path("jpeg.pdf"), 1, path("jpeg"));
    const QImage viaPixels = rendered(path("flate.pdf"), 1, path("flate"));
    ASSERT_EQ(viaJpeg.size(), viaPixels.size());
    int worst = 0;
    for (int y = 72; y < 72 + 128; ++y)
        for (int x = 72; x < 72 + 192; ++x)
            worst = std::max(worst, std::abs(viaJpeg.pixelColor(x, y).red() - viaPixels.pixelColor(x, y).red()));
    EXPECT_LE(worst, 12);
    EXPECT_LT(viaJpeg.pixelColor(100, 100).red(), 250) << "nothing drawn";

    // A file that does not match the pixels is not used.
    QByteArray other = jpegPicture(QImage::Format_Grayscale8).file;
    other[frameByte(other, 5)] = char(0x7F);  // another width
    writeOurs(pictureDocument(photo.image, other), "mismatch.pdf");
    EXPECT_FALSE(contents("mismatch.pdf").contains("/DCTDecode"));
}

// A PNG file as Qt writes it for `photo`, with its chunks reachable.
QByteArray pngFile(const QImage& photo)
{
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(photo.save(&buffer, "png"));
    return file;
}

QImage gradient(QImage::Format format)
{
    return picture(96, 64, format, [](int x, int y) { return QColor(x * 2, 200 - y * 3, (x * y) % 256, 255 - x); });
}

// `file` with a chunk of `type` and `body` put in before its first IDAT
// (CRC included, so that decoders take it).
QByteArray withChunk(const QByteArray& file, const char* type, const QByteArray& body)
{
    QByteArray chunk(4, '\0');
    qToBigEndian(quint32(body.size()), chunk.data());
    const QByteArray typed = QByteArray(type, 4) + body;
    quint32 crc = 0xFFFFFFFF;
    for (const char c : typed) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
    }
    chunk += typed;
    chunk.resize(chunk.size() + 4);
    qToBigEndian(crc ^ 0xFFFFFFFF, chunk.data() + chunk.size() - 4);
    const qsizetype idat = file.indexOf("IDAT") - 4;
    return file.left(idat) + chunk + file.mid(idat);
}

TEST(PngFrame, EightBitGreyOrColourWithoutTransparencyIsHeldAsItIs)
{
    const QByteArray colour = pngFile(gradient(QImage::Format_RGB32));
    const auto frame = pdfReadyPngFrame(colour);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width, 96);
    EXPECT_EQ(frame->height, 64);
    EXPECT_EQ(frame->components, 3);
    const qsizetype idat = colour.indexOf("IDAT");
    EXPECT_EQ(frame->samples, colour.mid(idat + 4, qFromBigEndian<quint32>(colour.constData() + idat - 4)));
    EXPECT_EQ(pdfReadyPngFrame(pngFile(gradient(QImage::Format_Grayscale8)))->components, 1);
    EXPECT_TRUE(pdfReadyPngFrame(withChunk(colour, "gAMA", QByteArray("\0\0\xB1\x8F", 4))));

    // The image data split over several IDAT chunks is one stream.
    const qsizetype length = qFromBigEndian<quint32>(colour.constData() + idat - 4);
    QByteArray split = colour.left(idat - 4);
    for (const QByteArray& part : {frame->samples.left(10), frame->samples.mid(10)}) {
        QByteArray header(4, '\0');
        qToBigEndian(quint32(part.size()), header.data());
        split += header + "IDAT" + part + QByteArray(4, '\0');
    }
    split += colour.mid(idat + 4 + length + 4);
    ASSERT_TRUE(pdfReadyPngFrame(split));
    EXPECT_EQ(pdfReadyPngFrame(split)->samples, frame->samples);

    EXPECT_FALSE(pdfReadyPngFrame(pngFile(gradient(QImage::Format_ARGB32)))) << "alpha";
    EXPECT_FALSE(pdfReadyPngFrame(pngFile(gradient(QImage::Format_Grayscale16)))) << "16-bit";
    EXPECT_FALSE(pdfReadyPngFrame(pngFile(gradient(QImage::Format_RGB32).convertToFormat(QImage::Format_Indexed8))))
        << "palette";
    EXPECT_FALSE(pdfReadyPngFrame(withChunk(colour, "tRNS", QByteArray("\0\1\0\2\0\3", 6)))) << "transparency";
    EXPECT_FALSE(pdfReadyPngFrame(withChunk(colour, "QUIT", QByteArray("?")))) << "an unknown critical chunk";
    QByteArray interlaced = colour;
    interlaced[8 + 8 + 12] = 1;
    EXPECT_FALSE(pdfReadyPngFrame(interlaced)) << "interlaced";
    EXPECT_FALSE(pdfReadyPngFrame(split.left(split.size() - 12))) << "cut before its end";
    EXPECT_FALSE(pdfReadyPngFrame(colour.left(40)));
    EXPECT_FALSE(pdfReadyPngFrame(jpegPicture(QImage::Format_RGB32).file));
    EXPECT_FALSE(pdfReadyPngFrame(QByteArray()));
}

// A PNG's samples go into the PDF as they are compressed in the file, and
// the page shows exactly the pixels Qt decoded from it, colour or grey,
// whatever row filters the file used and whatever gamma it names.
TEST_F(PdfWriterTest, APngPictureGoesInAsItsCompressedSamplesAndLooksExactlyTheSame)
{
    const QByteArray files[] = {
        pngFile(gradient(QImage::Format_RGB32)),
        pngFile(gradient(QImage::Format_Grayscale8)),
        withChunk(pngFile(gradient(QImage::Format_RGB32)), "gAMA", QByteArray("\0\0\xB1\x8F", 4)),
    };
    for (const QByteArray& file : files) {
        const QImage image = QImage::fromData(file, "png").convertToFormat(QImage::Format_RGB32);
        writeOurs(pictureDocument(image, file), "png.pdf");
        writeOurs(pictureDocument(image, {}), "pixels.pdf");
        const QByteArray pdf = contents("png.pdf");
        EXPECT_TRUE(pdf.contains("/DecodeParms<</Predictor 15")) << "the picture was not passed through";
        EXPECT_TRUE(pdf.contains(pdfReadyPngFrame(file)->samples)) << "the samples are not in the PDF as they are";

        runTool("pdftoppm", {"-r", "72", "-singlefile", path("png.pdf"), path("png")});
        runTool("pdftoppm", {"-r", "72", "-singlefile", path("pixels.pdf"), path("pixels")});
        const QImage viaPng(path("png.ppm")), viaPixels(path("pixels.ppm"));
        ASSERT_FALSE(viaPng.isNull());
        EXPECT_EQ(viaPng, viaPixels);
        EXPECT_NE(viaPng.pixelColor(100, 100), QColor(Qt::white)) << "nothing drawn";
    }
}

TEST_F(PdfWriterTest, RandomOperationsStillMakeAReadableFile)
{
    QRandomGenerator random(16);
    const char16_t* faces[] = {u"Arial", u"Wingdings", u"Palatino", u"No Such Face", u"Courier New"};
    for (int round = 0; round < 4; ++round) {
        Document document;
        Page page;
        page.width = random.bounded(1, 30000);
        page.height = random.bounded(1, 30000);
        for (int i = 0; i < 60; ++i) {
            const double a = random.bounded(-2000, 20000), b = random.bounded(-2000, 20000);
            switch (random.bounded(4)) {
            case 0: {
                Text words;
                // Controls, Latin, Greek, symbols, lone surrogates, private use.
                const char16_t starts[] = {0x01, 0x20, 0x390, 0x2190, 0x25A0, 0xD800, 0xDC00, 0xF020};
                for (int n = random.bounded(12); n > 0; --n)
                    words.push_back(char16_t(starts[random.bounded(8)] + random.bounded(0x60)));
                FontStyle style{faces[random.bounded(5)], random.bounded(-10, 200) / 2.0};
                style.underline = random.bounded(2);
                TextOp op = text(a, b, words.c_str(), style, random.generate() & 0xFFFFFF);
                if (random.bounded(3) == 0)
                    op.clip = TwipRect{a, b, a - 100, b + random.bounded(4000)};
                page.ops.push_back(op);
                break;
            }
            case 1:
                page.ops.emplace_back(std::in_place_type<LineOp>,
                                      LineOp{a, b, b, a, random.generate() & 0xFFFFFF, random.bounded(-5, 200) * 1.0});
                break;
            case 2:
                page.ops.push_back(RectOp{{a, b, b, a}, 0x123456, kBlack, std::nan("")});
                break;
            default:
                page.ops.push_back(PictureOp{{a, b, a + 300, b - 300},
                                             random.bounded(2) ? QImage() : halfTransparentPicture(), {}});
            }
        }
        document.pages.push_back(page);
        QString error;
        const QString pdf = path("random-%1.pdf").arg(round);
        ASSERT_TRUE(writePdf(document, pdf, &error)) << error.toStdString();
        const ToolResult render = runTool("pdftoppm", {"-r", "10", pdf, path("random")});
        EXPECT_TRUE(render.err.isEmpty()) << render.err.toStdString();
        EXPECT_TRUE(runTool("pdfinfo", {pdf}).out.contains(QRegularExpression("Pages:\\s+1\\b")));
    }
}

// A device that takes so many bytes and refuses the rest, as a full disk.
class SmallDisk : public QBuffer {
public:
    explicit SmallDisk(qint64 room) : room_(room) {}

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        if (size() + length > room_)
            return -1;
        return QBuffer::writeData(data, length);
    }

private:
    qint64 room_;
};

TEST(PdfWriterDevice, ARefusedWriteEndsTheFileUnfinished)
{
    testing::ensureQtApplication();
    // Enough pages that the file goes out in several pieces.
    Document document;
    for (int i = 0; i < 400; ++i) {
        Page page;
        for (int line = 0; line < 60; ++line)
            page.ops.push_back(text(720, 720 + line * 240, u"Line of text that fills the page", FontStyle{u"Arial", 10}));
        document.pages.push_back(page);
    }
    SmallDisk disk(100000);
    ASSERT_TRUE(disk.open(QIODevice::WriteOnly));
    EXPECT_FALSE(writePdfTo(disk, document, QString()));
    EXPECT_LE(disk.size(), 100000);

    QBuffer whole;
    ASSERT_TRUE(whole.open(QIODevice::WriteOnly));
    EXPECT_TRUE(writePdfTo(whole, document, QString()));
    EXPECT_TRUE(whole.data().endsWith("%%EOF\n"));
    EXPECT_GT(whole.size(), 100000);
}

// The subsetter alone, on the font most sheets use.
TEST(FontSubset, KeptGlyphsKeepTheirOutlinesAndIdsOthersAreEmpty)
{
    testing::ensureQtApplication();
    QFont qfont(resolveFontFamily(u"Arial"));
    QRawFont raw = QRawFont::fromFont(qfont);
    raw.setPixelSize(1000);
    auto font = TrueTypeFont::read([&](const char* tag) { return raw.fontTable(tag); });
    ASSERT_TRUE(font.has_value());
    const QList<quint32> glyphs = raw.glyphIndexesForString(QStringLiteral("BÅé"));
    ASSERT_EQ(glyphs.size(), 3);
    // Keep only the accented letters: they are built from other glyphs in
    // many fonts, and those parts must come along.
    const QByteArray program = font->subset({glyphs[1], glyphs[2]});
    QRawFont subset(program, 1000);
    ASSERT_TRUE(subset.isValid());
    for (int i : {1, 2}) {
        const QPainterPath original = raw.pathForGlyph(glyphs[i]);
        const QPainterPath kept = subset.pathForGlyph(glyphs[i]);
        EXPECT_FALSE(kept.isEmpty());
        EXPECT_EQ(kept.boundingRect(), original.boundingRect());
        EXPECT_EQ(kept.elementCount(), original.elementCount());
    }
    const quint32 highest = std::max(glyphs[1], glyphs[2]);
    if (glyphs[0] < highest) {
        EXPECT_TRUE(subset.pathForGlyph(glyphs[0]).isEmpty()) << "a glyph not asked for";
    }
    EXPECT_NEAR(font->advance(glyphs[2]) * 1000.0 / font->facts().unitsPerEm,
                raw.advancesForGlyphIndexes({glyphs[2]}, QRawFont::UseDesignMetrics)[0].x(), 0.5);
    EXPECT_LT(program.size(), raw.fontTable("glyf").size() / 4);

    EXPECT_FALSE(TrueTypeFont::read([](const char*) { return QByteArray(); }).has_value());
    EXPECT_FALSE(TrueTypeFont::read([&](const char* tag) { return raw.fontTable(tag).left(20); }).has_value());
}

// Faces with cubic outlines become TrueType fonts of quadratic ones.
TEST(FontSubset, OutlinesBecomeAFontThatDrawsTheSameShapes)
{
    testing::ensureQtApplication();
    QRawFont raw = QRawFont::fromFont(QFont(resolveFontFamily(u"Palatino")));
    raw.setPixelSize(1000);
    const QList<quint32> glyphs = raw.glyphIndexesForString(QStringLiteral("S@ o"));
    ASSERT_EQ(glyphs.size(), 4);
    std::vector<OutlineGlyph> outlines;
    for (quint32 glyph : glyphs)
        outlines.push_back({raw.pathForGlyph(glyph), raw.advancesForGlyphIndexes({glyph})[0].x()});
    const QByteArray program = trueTypeFromOutlines(outlines, 1000, 900, -300);
    QRawFont made(program, 1000);
    ASSERT_TRUE(made.isValid());
    for (size_t i = 0; i < outlines.size(); ++i) {
        const QPainterPath drawn = made.pathForGlyph(quint32(i + 1));
        const QRectF expected = outlines[i].path.boundingRect(), actual = drawn.boundingRect();
        EXPECT_NEAR(actual.left(), expected.left(), 1.5) << i;
        EXPECT_NEAR(actual.right(), expected.right(), 1.5) << i;
        EXPECT_NEAR(actual.top(), expected.top(), 1.5) << i;
        EXPECT_NEAR(actual.bottom(), expected.bottom(), 1.5) << i;
        // Same ink: the shapes, not just their boxes.  (Off the integer
        // grid the outlines' points lie on.)
        for (double y = expected.top() + 5.37; y < expected.bottom(); y += 37) {
            for (double x = expected.left() + 3.41; x < expected.right(); x += 29) {
                const QPointF p(x, y);
                const bool inside = outlines[i].path.contains(QRectF(p - QPointF(3, 3), QSizeF(6, 6)));
                const bool outside = !outlines[i].path.intersects(QRectF(p - QPointF(3, 3), QSizeF(6, 6)));
                if (inside || outside) {
                    EXPECT_EQ(drawn.contains(p), inside) << i << " at " << x << "," << y;
                }
            }
        }
        EXPECT_NEAR(made.advancesForGlyphIndexes({quint32(i + 1)})[0].x(), outlines[i].advance, 0.6) << i;
    }
    EXPECT_TRUE(made.pathForGlyph(3).isEmpty()) << "the space";
    EXPECT_TRUE(made.pathForGlyph(0).isEmpty());
}

} // namespace
} // namespace quillet::surface
