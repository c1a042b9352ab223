// Sheets run by the runner on the real surface: a stop reaches operations
// that take long, bad page sizes are errors, and pictures are charged to
// the run once however often they are placed.
#include "../../surface/qt_app.h"
#include "../sheet_folder.h"

#include "script/engine.h"
#include "sheet/mod_print_report.h"
#include "sheet/qt/offscreen_runner_host.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace quillet {
namespace {

class SurfaceHost : public OffscreenRunnerHost {
public:
    void messageBox(const Text& text) override { messages.push_back(text); }
    std::vector<Text> messages;
};

script::EngineLimits smallLimits()
{
    script::EngineLimits limits;
    limits.memoryLimit = size_t(96) << 20;
    return limits;
}

class RealSurfaceRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        surface::testing::ensureQtApplication();
        folder.state.Debug = kTrue; // errors are logged, not shown
    }

    ReportResult run(const std::string& body)
    {
        folder.writeMain(body);
        log.clear();
        ReportContext context{folder.state, engine, host, [this](const Text& line) {
                                  log.push_back(line);
                                  if (line == u"  go")
                                      engine.requestStop();
                              },
                              {}};
        return PrintReport(context, true);
    }
    Text errorLine() const { return log.size() >= 2 ? log[log.size() - 2] : Text(); }
    Text quotedLine() const { return log.empty() ? Text() : log.back(); }
    bool drew(const Text& text) const
    {
        for (const auto& page : host.window()->document().pages)
            for (const auto& op : page.ops)
                if (auto* t = std::get_if<surface::TextOp>(&op); t && t->text == text)
                    return true;
        return false;
    }

    testing::SheetFolder folder;
    const std::string& dir = folder.dir;
    script::Engine engine{smallLimits()};
    SurfaceHost host;
    std::vector<Text> log;
};

TEST_F(RealSurfaceRunTest, StopEndsALongOperationAndNothingResumesAfterIt)
{
    // The script logs "go" (which presses Stop) and then starts work that
    // would take long: the run ends in that statement with the stop error,
    // even under On Error Resume Next.
    for (const char* work : {"  TextBox s, 1, 1, 5, 5\r\n", "  PrintParagraph s\r\n",
                             "  AddTable \"2|2\", \"\", rows, \"\", \"\", False\r\n", "  w = TextWidth(s)\r\n"}) {
        EXPECT_EQ(run("  Dim s, rows, w\r\n  s = String(3000000, \"x \")\r\n"
                      "  rows = Replace(Space(200000), \" \", \"a|b;\")\r\n"
                      "  On Error Resume Next\r\n  DebugLog \"go\"\r\n" +
                      std::string(work) + "  PrintText \"after\"\r\n"),
                  ReportResult::ScriptFailed)
            << work;
        EXPECT_EQ(errorLine().substr(0, 9), u"Error 18:") << toUtf8(errorLine());
        EXPECT_EQ(quotedLine(), u"line is: " + fromUtf8(std::string(work).substr(0, std::string(work).size() - 2)));
        EXPECT_FALSE(drew(u"after"));
    }
}

TEST_F(RealSurfaceRunTest, AStopAskedForBeforeMainEndsTheRun)
{
    // The script's top-level code presses Stop as its last statement: main,
    // a call of its own, must not run (each call of a run used to clear
    // the request, so that it was lost between the code and main).
    EXPECT_EQ(run("  PrintText \"main ran\"\r\nEnd Sub\r\nDebugLog \"go\"\r\nSub unused\r\n"),
              ReportResult::ScriptFailed);
    EXPECT_EQ(errorLine().substr(0, 9), u"Error 18:") << toUtf8(errorLine());
    EXPECT_FALSE(drew(u"main ran"));
    // The next run starts afresh.
    EXPECT_EQ(run("  PrintText \"main ran\"\r\n"), ReportResult::Printed) << toUtf8(errorLine());
    EXPECT_TRUE(drew(u"main ran"));
}

TEST_F(RealSurfaceRunTest, PageSidesPastTwoHundredInchesAreErrors)
{
    EXPECT_EQ(run("  On Error Resume Next\r\n  PageHeight = 3E+38\r\n  e = Err.Number\r\n  Err.Clear\r\n"
                  "  PrintText e & \" \" & PageHeight\r\n  PageWidth = 201\r\n  PrintText Err.Number & \" \" & PageWidth\r\n"),
              ReportResult::Printed);
    EXPECT_TRUE(drew(u"5 11"));
    EXPECT_TRUE(drew(u"5 8.5"));
    const surface::Page& page = host.window()->document().pages.at(0);
    EXPECT_EQ(page.width, 12240);
    EXPECT_EQ(page.height, 15840);

    EXPECT_EQ(run("  PageWidth = 200\r\n  PageHeight = 200\r\n  PrintText PageWidth\r\n"), ReportResult::Printed);
    EXPECT_EQ(host.window()->document().pages.at(0).width, 288000);
}

TEST_F(RealSurfaceRunTest, LengthsPastTheLargestSingleOverflowAndKeepTheirValue)
{
    EXPECT_EQ(run("  On Error Resume Next\r\n  MarginLeft = 1\r\n  MarginLeft = 3E+38\r\n  e = Err.Number\r\n"
                  "  Err.Clear\r\n  CurrentY = -3E+38\r\n  PrintText e & \" \" & Err.Number & \" \" & MarginLeft\r\n"),
              ReportResult::Printed);
    EXPECT_TRUE(drew(u"6 6 1"));
}

TEST_F(RealSurfaceRunTest, APicturePlacedAgainAndAgainIsChargedOnce)
{
    // 16 MB decoded: sixty copies would be far past the run's 96 MB.
    QImage image(2000, 2000, QImage::Format_RGB32);
    image.fill(Qt::darkRed);
    const std::string file = dir + "/big.png";
    ASSERT_TRUE(image.save(QString::fromStdString(file), "PNG"));
    EXPECT_EQ(run("  Dim i\r\n  For i = 1 To 60\r\n    Picture \"" + file + "\", 1, 1, 2, 2\r\n  Next\r\n"),
              ReportResult::Printed)
        << toUtf8(errorLine());
    size_t pictures = 0;
    for (const auto& op : host.window()->document().pages.at(0).ops)
        pictures += std::holds_alternative<surface::PictureOp>(op) ? 1 : 0;
    EXPECT_EQ(pictures, 60u);
    EXPECT_GE(engine.memoryInUse(), size_t(2000) * 2000 * 4);
    EXPECT_LT(engine.memoryInUse(), size_t(2) * 2000 * 2000 * 4);

    // Pictures that do not fit are refused with error 7, in their line.
    EXPECT_EQ(run("  Dim a\r\n  a = Space(45000000)\r\n  Picture \"" + file + "\", 1, 1, 2, 2\r\n"),
              ReportResult::ScriptFailed);
    EXPECT_EQ(errorLine().substr(0, 8), u"Error 7:") << toUtf8(errorLine());
}

TEST_F(RealSurfaceRunTest, PagesCountTowardsTheRunsMemory)
{
    // Hundreds of thousands of one-point rows on a few tall pages: far
    // below the page limit, far past the run's 96 MB once drawn.
    const std::string table = "  AddTable \"1|1\", \"\", rows, \"\", \"\", False";
    EXPECT_EQ(run("  Dim rows\r\n  rows = Replace(Space(600000), \" \", \"a|b;\")\r\n"
                  "  PageHeight = 200\r\n  FontSize = 1\r\n" + table + "\r\n"),
              ReportResult::ScriptFailed);
    EXPECT_EQ(errorLine().substr(0, 8), u"Error 7:") << toUtf8(errorLine());
    EXPECT_EQ(quotedLine(), u"line is: " + fromUtf8(table));

    // The next run starts from nothing: its pages are its own.
    EXPECT_EQ(run("  PrintText \"small\"\r\n"), ReportResult::Printed) << toUtf8(errorLine());
    EXPECT_TRUE(drew(u"small"));
}

} // namespace
} // namespace quillet
