// Live refresh of the open preview: real saves of the sheet script and the
// character file while the window is shown, the pages shown again in place,
// and failures told in the error bar with the old pages kept.
#include "shell_fixture.h"

#include "shell/live_error_bar.h"
#include "shell/live_refresh.h"

#include <QDeadlineTimer>

namespace quillet::testing {

namespace {

// Lets the event loop run until `done` holds; false after a generous
// while (a watcher that never reports must fail the test, not hang it).
bool waitFor(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(15000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

// A sheet of `pages` pages, each saying which it is.
std::string sheetOfPages(int pages)
{
    std::string script = "'VBScript\r\nSub main()\r\n";
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            script += "  Preview.NewPage\r\n";
        script += "  Preview.Text = \"page " + std::to_string(page) + "\"\r\n";
    }
    return script + "End Sub\r\n";
}

} // namespace

class LiveRefreshTest : public StartedShellTest {
protected:
    void SetUp() override
    {
        StartedShellTest::SetUp();
        load("aldric.kvr");
        useSheet("live.tsx", sheetOfPages(3));
    }
    static int pages(FormReport& report) { return report.previewWidget()->pageCount(); }
    static bool barShown(FormReport& report) { return !report.errorBar()->isHidden(); }
};

TEST_F(LiveRefreshTest, SavingTheSheetShowsTheNewPagesAtTheSamePageAndZoom)
{
    withPreview([&](FormReport& report) {
        surface::PreviewWidget& preview = *report.previewWidget();
        preview.setZoomPercent(150);
        preview.setCurrentPage(3);
        writeFile("live.tsx", sheetOfPages(5));
        ASSERT_TRUE(waitFor([&] { return pages(report) == 5; }));
        EXPECT_EQ(preview.currentPage(), 3);
        EXPECT_EQ(preview.zoomMode(), surface::ZoomMode::Percent);
        EXPECT_EQ(preview.zoomPercent(), 150);
        EXPECT_EQ(report.controls()->pageLabel()->text(), QStringLiteral("Page 3 of 5"));
        EXPECT_FALSE(barShown(report));

        // Fewer pages now: the last one is shown.
        writeFile("live.tsx", sheetOfPages(2));
        ASSERT_TRUE(waitFor([&] { return pages(report) == 2; }));
        EXPECT_EQ(preview.currentPage(), 2);
        EXPECT_EQ(preview.zoomPercent(), 150);
    });
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(shell->state.Busy, kFalse);
}

TEST_F(LiveRefreshTest, AScriptErrorShowsInTheBarOverTheOldPagesUntilItIsFixed)
{
    withPreview([&](FormReport& report) {
        LiveErrorBar& bar = *report.errorBar();
        writeFile("live.tsx", mainSub({"Preview.Text = \"half\"", "x = 1 / 0"}));
        ASSERT_TRUE(waitFor([&] { return barShown(report); }));
        EXPECT_EQ(bar.headline()->text(), QStringLiteral("Error 11: Division by zero in line 4"));
        EXPECT_EQ(bar.lineLabel()->text(), QStringLiteral("line 4: x = 1 / 0"));
        EXPECT_EQ(pages(report), 3) << "the pages of the last good run stay";
        EXPECT_GT(report.errorBar()->height(), 0);
        EXPECT_EQ(report.previewWidget()->y(), report.errorBar()->geometry().bottom() + 1);

        // A compile error is told the same way.
        writeFile("live.tsx", mainSub({"If True Then"}));
        ASSERT_TRUE(waitFor([&] { return bar.headline()->text().startsWith(QStringLiteral("Error 1")) &&
                                         !bar.headline()->text().startsWith(QStringLiteral("Error 11")); }));
        EXPECT_TRUE(bar.headline()->text().contains(QStringLiteral(" in line ")));

        writeFile("live.tsx", sheetOfPages(2));
        ASSERT_TRUE(waitFor([&] { return !barShown(report); }));
        EXPECT_EQ(pages(report), 2);
        EXPECT_EQ(report.previewWidget()->y(), report.controls()->toolBar()->geometry().bottom() + 1);
    });
    EXPECT_TRUE(dialogs.messages.empty()) << "no message box during a refresh";
}

TEST_F(LiveRefreshTest, ASheetThatGoesAwayKeepsThePagesAndComesBackWhenSaved)
{
    withPreview([&](FormReport& report) {
        const QString sheet = QString::fromStdU16String(path("live.tsx"));
        ASSERT_TRUE(QFile::rename(sheet, sheet + QStringLiteral(".moved")));
        ASSERT_TRUE(waitFor([&] { return barShown(report); }));
        EXPECT_TRUE(report.errorBar()->headline()->text().contains(QStringLiteral("does not exist")));
        EXPECT_EQ(pages(report), 3);

        writeFile("live.tsx", sheetOfPages(1));
        ASSERT_TRUE(waitFor([&] { return !barShown(report); }));
        EXPECT_EQ(pages(report), 1);
    });
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LiveRefreshTest, SavingTheCharacterReadsItAgainAndABadOneKeepsTheOldCharacter)
{
    // Two pages for Sir Aldric, one for anybody else.
    writeFile("live.tsx",
              mainSub({"Preview.Text = Char.Name", "If Char.Name = \"Sir Aldric Venn\" Then Preview.NewPage"}));
    const std::string original = readFile("characters/aldric.kvr");
    withPreview([&](FormReport& report) {
        ASSERT_EQ(pages(report), 2);
        writeFile("characters/aldric.kvr", "[system]\r\n[race]\r\nst(99999)\r\n");
        ASSERT_TRUE(waitFor([&] { return barShown(report); }));
        const QString told = report.errorBar()->headline()->text();
        EXPECT_TRUE(told.contains(QString::fromStdU16String(path("characters/aldric.kvr")))) << told.toStdString();
        EXPECT_TRUE(told.contains(QStringLiteral("Reading stopped at line 3: Overflow (error 6)."))) << told.toStdString();
        EXPECT_EQ(pages(report), 2);
        EXPECT_EQ(characterName(), u"Sir Aldric Venn");
        EXPECT_EQ(shell->state.CurrentCharFile, path("characters/aldric.kvr"));

        std::string renamed = original;
        renamed.replace(renamed.find("Sir Aldric Venn"), 15, "Sir Aldric Vane");
        writeFile("characters/aldric.kvr", renamed);
        ASSERT_TRUE(waitFor([&] { return !barShown(report) && pages(report) == 1; }));
        EXPECT_EQ(characterName(), u"Sir Aldric Vane");
    });
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LiveRefreshTest, ARunawayRefreshIsEndedByTheStopDialog)
{
    withPreview([&](FormReport& report) {
        bool stopOffered = false;
        whenShown("dlgStopScript", [&](QWidget* window) {
            stopOffered = true;
            button(*window, "btnStop")->click();
        });
        writeFile("live.tsx", mainSub({"Do", "Loop"}));
        ASSERT_TRUE(waitFor([&] { return barShown(report); }));
        EXPECT_TRUE(stopOffered);
        EXPECT_TRUE(report.errorBar()->headline()->text().startsWith(QStringLiteral("Error 18:")));
        EXPECT_EQ(pages(report), 3);
        EXPECT_FALSE(report.liveRefresh()->isRunning());
    });
    EXPECT_EQ(shell->state.Busy, kFalse);
}

TEST_F(LiveRefreshTest, SwitchedOffASaveChangesNothingUntilSwitchedOnAgain)
{
    withPreview([&](FormReport& report) {
        QAction* toggle = report.controls()->action(QStringLiteral("actLiveRefresh"));
        ASSERT_TRUE(toggle->isChecked());
        toggle->trigger();
        EXPECT_EQ(shell->state.LiveRefresh, kFalse);

        writeFile("live.tsx", sheetOfPages(1));
        ASSERT_TRUE(waitFor([&] { return report.liveRefresh()->hasMissedChange(); }));
        EXPECT_EQ(pages(report), 3);

        // On again, the preview catches up with the save it missed.
        toggle->trigger();
        EXPECT_EQ(pages(report), 1);
        toggle->trigger();
    });
    // The choice is kept with the options, and the next preview starts so.
    shell->settings.WriteWindowSettings();
    EXPECT_NE(readFile("quillet32.ini").find("PreviewLiveRefresh=0"), std::string::npos);
    withPreview([&](FormReport& report) {
        EXPECT_FALSE(report.controls()->action(QStringLiteral("actLiveRefresh"))->isChecked());
        EXPECT_FALSE(report.liveRefresh()->isEnabled());
    });
}

} // namespace quillet::testing
