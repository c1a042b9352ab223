// Operations whose cost grows with their input give up once their run is
// asked to stop: whether the request came before they started or while
// they were under way, they end with the stop error and leave the page
// as it was.  Nothing here measures time: an operation that ignored the
// request would run to its end and return normally.
#include "fake_measurer.h"
#include "qt_app.h"

#include "common/stop_request.h"
#include "surface/pdf_export.h"
#include "surface/png_export.h"
#include "surface/qt_text_measurer.h"
#include "surface/rtf_reader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <limits>

namespace quillet::surface {
namespace {

using testing::FakeMeasurer;

// Fixed metrics that raise the stop flag after `callsBeforeStop`
// measurements: a stop that arrives while the operation is under way.
class StoppingMeasurer final : public TextMeasurer {
public:
    StoppingMeasurer(std::atomic<bool>& flag, int callsBeforeStop) : flag_(flag), left_(callsBeforeStop) {}
    double advance(const FontStyle& font, TextView text) const override
    {
        tick();
        return inner_.advance(font, text);
    }
    LineMetrics metrics(const FontStyle& font) const override
    {
        tick();
        return inner_.metrics(font);
    }

private:
    void tick() const
    {
        if (--left_ == 0)
            flag_.store(true);
    }
    FakeMeasurer inner_;
    std::atomic<bool>& flag_;
    mutable int left_;
};

Text repeated(const Text& piece, size_t count)
{
    Text text;
    for (size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}

Text words(size_t count) { return repeated(u"word ", count); }
Text tableRows(size_t count) { return repeated(u"cell|cell;", count); }

// Every long operation of the surface, on a fresh document.
const std::vector<std::pair<const char*, std::function<void(Surface&)>>>& longOperations()
{
    static const Text text = words(200000);
    static const Text lines = repeated(u"line\r\n", 100000);
    static const Text oneWord(3000000, u'W');
    static const Text rtf = u"{\\rtf1 " + words(200000) + u"}";
    static const Text rows = tableRows(100000);
    static const std::vector<std::pair<const char*, std::function<void(Surface&)>>> operations = {
        {"text", [](Surface& s) { s.text(text); }},
        {"paragraph", [](Surface& s) { s.paragraph(text); }},
        {"one long word", [](Surface& s) { s.paragraph(oneWord); }},
        {"rich text", [](Surface& s) { s.textRtf(rtf); }},
        {"text box", [](Surface& s) { s.textBox(text, 1440, 1440, 4000, 0); }},
        {"table", [](Surface& s) { s.addTable(u"2000|2000", u"", rows, {}, {}, {}); }},
        {"header", [](Surface& s) {
             s.setHeader(lines);
             s.newPage();
         }},
    };
    return operations;
}

TEST(StopRequest, EndsLongOperationsThatSeeItFromTheStart)
{
    std::atomic<bool> stop{true};
    StopScope stopping(&stop);
    for (const auto& [name, operation] : longOperations()) {
        Surface s(std::make_shared<FakeMeasurer>());
        s.startDoc();
        EXPECT_THROW(operation(s), StopRequested) << name;
        EXPECT_EQ(s.pageCount(), 1) << name;
        EXPECT_TRUE(s.document().pages[0].ops.empty()) << name;
    }
    Surface s(std::make_shared<FakeMeasurer>());
    EXPECT_THROW((void)s.textWidth(words(200000)), StopRequested);
    testing::ensureQtApplication();
    EXPECT_THROW((void)QtTextMeasurer().advance(FontStyle{u"Arial", 11.25}, Text(1000000, u'W')), StopRequested);
}

TEST(StopRequest, EndsLongOperationsWhenItArrivesUnderWay)
{
    for (const auto& [name, operation] : longOperations()) {
        std::atomic<bool> stop{false};
        StopScope stopping(&stop);
        Surface s(std::make_shared<StoppingMeasurer>(stop, 50));
        s.startDoc();
        try {
            operation(s);
            ADD_FAILURE() << name << " ran to its end";
        } catch (const StopRequested& e) {
            EXPECT_EQ(e.number(), 18) << name;
        }
        EXPECT_TRUE(stop.load()) << name << " never measured enough to be stopped";
    }
}

TEST(StopRequest, WithoutAFlagOrWithItClearNothingStops)
{
    Surface s(std::make_shared<FakeMeasurer>());
    s.startDoc();
    s.paragraph(u"plain");
    std::atomic<bool> stop{false};
    StopScope stopping(&stop);
    s.addTable(u"1000", u"", tableRows(3), {}, {}, {});
    EXPECT_FALSE(s.document().pages[0].ops.empty());
}

// What the pages hold is told to the growth sink as they grow, so that a
// run's drawing counts towards its memory limit.
TEST(GrowthSink, HearsThePagesGrowAndTheirEnd)
{
    Surface s(std::make_shared<FakeMeasurer>());
    std::vector<size_t> told;
    s.setGrowthSink([&](size_t bytes) { told.push_back(bytes); });
    s.startDoc();
    s.addTable(u"2000|2000", u"", tableRows(20000), {}, {}, {});
    size_t ops = 0;
    for (const Page& page : s.document().pages)
        ops += page.ops.size();
    ASSERT_GE(told.size(), 2u);
    for (size_t i = 1; i < told.size(); ++i)
        EXPECT_GE(told[i], told[i - 1] + kGrowthReportStep) << i;
    // Within a report step of every operation at its size.
    EXPECT_GE(told.back() + kGrowthReportStep, ops * sizeof(DrawOp));

    // Drawing that adds a little more is told once it adds up.
    const size_t before = told.size();
    for (int i = 0; i < 20000; ++i)
        s.drawLine(0, 0, 100, 100);
    EXPECT_GT(told.size(), before);

    (void)s.takeDocument();
    EXPECT_EQ(told.back(), 0u);
    s.startDoc();
    s.paragraph(u"small");
    EXPECT_EQ(told.back(), 0u) << "a small document is not told";
}

TEST(GrowthSink, ASinkThatRefusesEndsTheOperationAndAnyMoreDrawing)
{
    Surface s(std::make_shared<FakeMeasurer>());
    const size_t limit = 4 * kGrowthReportStep;
    s.setGrowthSink([&](size_t bytes) {
        if (bytes > limit)
            throw VbError(7);
    });
    s.startDoc();
    const Text rows = tableRows(100000);
    EXPECT_THROW(s.addTable(u"2000|2000", u"", rows, {}, {}, {}), VbError);
    size_t ops = 0;
    for (const Page& page : s.document().pages)
        ops += page.ops.size();
    EXPECT_LT(ops * sizeof(DrawOp), 2 * limit) << "the table went on past the refusal";
    EXPECT_THROW(s.drawLine(0, 0, 100, 100), VbError);
    EXPECT_THROW(s.paragraph(u"more"), VbError);

    // A new document starts from nothing.
    s.startDoc();
    EXPECT_NO_THROW(s.paragraph(u"fresh"));
    EXPECT_EQ(s.document().pages.size(), 1u);
}

TEST(RichText, GroupsNestedTooDeepAreOutOfStackSpace)
{
    const FontStyle font{u"Arial", 11.25};
    EXPECT_NO_THROW(readRtf(Text(kMaxRtfGroupDepth, u'{') + u"deep", font, kBlack));
    try {
        readRtf(Text(kMaxRtfGroupDepth + 1, u'{'), font, kBlack);
        ADD_FAILURE() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 28);
        EXPECT_NE(e.description().find(u"nests groups more than 1000 deep"), Text::npos);
    }
    // Deep nesting that closes again before the limit is fine, however long.
    EXPECT_EQ(readRtf(repeated(u"{\\b x}", 10000), font, kBlack).size(), 1u);
}

TEST(PageSize, SidesBeyondWhatAPdfPageHoldsAreRefused)
{
    Surface s(std::make_shared<FakeMeasurer>());
    s.startDoc();
    for (double bad : {288001.0, 3e38 * 1440, -1.0, std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_THROW(s.setPageHeight(bad), VbError) << bad;
        EXPECT_THROW(s.setPageWidth(bad), VbError) << bad;
    }
    EXPECT_EQ(s.pageHeight(), kLetterHeight);
    EXPECT_EQ(s.pageWidth(), kLetterWidth);
    s.setPageHeight(kMaxPageSide);
    s.setPageWidth(kMaxPageSide);
    EXPECT_EQ(s.document().pages[0].height, 288000);
    try {
        s.setPageHeight(1e40);
        ADD_FAILURE() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 5);
        EXPECT_NE(e.description().find(u"200 inches"), Text::npos);
    }
}

TEST(Measuring, VeryLongLinesMeasureAsTheSumOfTheirCharacters)
{
    testing::ensureQtApplication();
    QtTextMeasurer measurer;
    const FontStyle font{u"Arial", 11.25};
    const double one = measurer.advance(font, u"W");
    ASSERT_GT(one, 0);
    // Far past the point where Qt's fixed-point sum wraps (about 2^25
    // twips), and an odd count so the pieces do not divide it evenly.
    for (size_t count : {size_t(1001), size_t(300007)}) {
        const double width = measurer.advance(font, Text(count, u'W'));
        EXPECT_NEAR(width / (one * static_cast<double>(count)), 1.0, 1e-6) << count;
    }
    // A surrogate pair is never cut between two pieces.
    const Text pair = u"\U0001D400";
    EXPECT_NEAR(measurer.advance(font, repeated(pair, 200001)) / (measurer.advance(font, pair) * 200001), 1.0, 1e-6);
}

// Both writers; the PDF file replaces one that was there.
TEST(StoppedWriting, LeavesTheFilesThatWereThere)
{
    testing::ensureQtApplication();
    Surface s;
    s.startDoc();
    s.paragraph(u"page one");
    s.newPage();
    s.paragraph(u"page two");
    s.endDoc();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath("out.pdf"), pngs = dir.filePath("page-%1.png");
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("earlier");
    old.close();

    std::atomic<bool> stop{true};
    StopScope stopping(&stop);
    QString error;
    EXPECT_FALSE(writePdf(s.document(), pdf, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("stopped"))) << error.toStdString();
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("earlier"));
    EXPECT_FALSE(writePngPages(s.document(), pngs, 96, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("stopped"))) << error.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.pdf")});

    stop.store(false);
    EXPECT_TRUE(writePdf(s.document(), pdf, &error)) << error.toStdString();
    EXPECT_TRUE(writePngPages(s.document(), pngs, 96, &error)) << error.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);
}

TEST(PageImages, HugePagesAreRenderedWithinThePixelBudget)
{
    Page page;
    page.width = kMaxPageSide;
    page.height = kMaxPageSide;
    const double dpi = pageImageDpi(page, 150);
    const double pixels = (200 * dpi) * (200 * dpi);
    EXPECT_LE(pixels, kMaxImagePixels);
    EXPECT_GT(pixels, kMaxImagePixels * 0.99);
    EXPECT_EQ(pageImageDpi(Page{}, 600), 600); // a letter page keeps what was asked
    EXPECT_LT(pageImageDpi(Page{}, 5000), kMaxImageDpi);
}

} // namespace
} // namespace quillet::surface
