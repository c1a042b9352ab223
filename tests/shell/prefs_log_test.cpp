// The preferences dialog and the logging window as the user meets them.
#include "shell_fixture.h"

#include <QCheckBox>

namespace quillet::testing {

class PrefsTest : public ShellTest {
protected:
    FrmPrefs* openPrefs()
    {
        trigger("MenuFilePrefs");
        return shell->prefsDialogIfLoaded();
    }
    // Preferences with the boxes ticked or cleared as given, then OK.
    void setPrefs(std::initializer_list<std::pair<size_t, bool>> boxes)
    {
        FrmPrefs* dialog = openPrefs();
        ASSERT_NE(dialog, nullptr);
        for (const auto& [box, ticked] : boxes)
            dialog->checkBox(box)->setChecked(ticked);
        button(*dialog, "btnOkay")->click();
    }
};
using LogWindowTest = PrefsTest;

TEST_F(PrefsTest, OpensWithTheFlagsAndOkStoresTheTickedBoxes)
{
    writeFile("quillet32.ini", "[Options]\r\nNoLogo=1\r\nEchoToRun=-1\r\n");
    start();
    FrmPrefs* dialog = openPrefs();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->parentWidget(), &mainWindow()); // kept in front of it
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Preferences"));
    const char* names[4] = {"chkNoLogo", "chkLinesToLog", "chkEchoToRun", "chkDebug"};
    const char* captions[4] = {"No logo", "Echo script lines to logging window", "Echo lines to DEBUG.RUN file.",
                               "Debug/Logging"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(dialog->checkBox(i)->objectName(), QString::fromLatin1(names[i]));
        EXPECT_EQ(dialog->checkBox(i)->text(), QString::fromLatin1(captions[i]));
    }
    EXPECT_EQ(button(*dialog, "btnCancel")->text(), QStringLiteral("&Cancel"));
    EXPECT_EQ(button(*dialog, "btnOkay")->text(), QStringLiteral("&OK"));
    EXPECT_LT(button(*dialog, "btnCancel")->x(), button(*dialog, "btnOkay")->x()); // Cancel, then OK
    // A stored 1 ticks the box although it does not count as on.
    EXPECT_TRUE(dialog->checkBox(0)->isChecked());
    EXPECT_FALSE(dialog->checkBox(1)->isChecked());
    EXPECT_TRUE(dialog->checkBox(2)->isChecked());
    EXPECT_FALSE(dialog->checkBox(3)->isChecked());

    dialog->checkBox(2)->setChecked(false);
    dialog->checkBox(3)->setChecked(true);
    button(*dialog, "btnOkay")->click();
    EXPECT_EQ(shell->state.NoLogo, kTrue); // 1 became -1
    EXPECT_EQ(shell->state.EchoToRun, kFalse);
    EXPECT_EQ(shell->state.Debug, kTrue);
    EXPECT_EQ(shell->prefsDialogIfLoaded(), nullptr);
    EXPECT_EQ(readFile("quillet32.ini").find("Debug"), std::string::npos); // nothing written yet

    trigger("MenuFileExit"); // closing stores them
    EXPECT_NE(readFile("quillet32.ini").find("Debug=-1"), std::string::npos);
}

TEST_F(PrefsTest, CancelAndTheWindowFrameChangeNothing)
{
    start();
    FrmPrefs* dialog = openPrefs();
    ASSERT_NE(dialog, nullptr);
    dialog->checkBox(3)->setChecked(true);
    button(*dialog, "btnCancel")->click();
    EXPECT_EQ(shell->state.Debug, kFalse);

    dialog = openPrefs();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->checkBox(3)->isChecked()); // a fresh dialog
    dialog->checkBox(3)->setChecked(true);
    dialog->close();
    EXPECT_EQ(shell->state.Debug, kFalse);

    // A greyed box does not count as ticked.
    dialog = openPrefs();
    dialog->checkBox(3)->setTristate(true);
    dialog->checkBox(3)->setCheckState(Qt::PartiallyChecked);
    button(*dialog, "btnOkay")->click();
    EXPECT_EQ(shell->state.Debug, kFalse);
}

TEST_F(LogWindowTest, ListAndButtonFollowTheWindowAndItsPlaceIsKept)
{
    writeFile("quillet32.ini", "[Options]\r\nDebug=-1\r\n");
    start();
    FrmLog* log = shell->logWindowIfLoaded();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->frameGeometry().size(), QSize(499, 215)); // 7485 x 3225 twips, frame and all
    log->resize(400, 300);
    const int buttonHeight = log->exportButton()->height();
    EXPECT_EQ(log->exportButton()->y(), 300 - buttonHeight - 4);
    EXPECT_EQ(log->list()->geometry(), QRect(8, 8, 400 - 16, 300 - buttonHeight - 12));
    // The stored measures are the outer ones, frame included.
    EXPECT_FLOAT_EQ(shell->state.LogWidth, float(log->frameGeometry().width() * 15));
    EXPECT_FLOAT_EQ(shell->state.LogHeight, float(log->frameGeometry().height() * 15));

    // Minimised, it neither follows a new size nor stores it; restored, it
    // follows.
    const float storedWidth = shell->state.LogWidth;
    log->showMinimized();
    log->resize(300, 250);
    EXPECT_FLOAT_EQ(shell->state.LogWidth, storedWidth);
    EXPECT_EQ(log->list()->width(), 400 - 16);
    log->showNormal();
    EXPECT_EQ(log->list()->geometry(), QRect(8, 8, 300 - 16, 250 - buttonHeight - 12));
    EXPECT_FLOAT_EQ(shell->state.LogWidth, float(log->frameGeometry().width() * 15));

    log->move(30, 45);
    log->close();
    EXPECT_FLOAT_EQ(shell->state.LogLeft, 450);
    EXPECT_FLOAT_EQ(shell->state.LogTop, 675);
    EXPECT_EQ(shell->logWindowIfLoaded(), nullptr);

    // A later line makes a new window, hidden and with an empty list.
    shell->LogLine(u"after closing");
    log = shell->logWindowIfLoaded();
    ASSERT_NE(log, nullptr);
    EXPECT_FALSE(log->isVisible());
    ASSERT_EQ(log->list()->count(), 1);
    EXPECT_EQ(log->list()->currentRow(), 0);
}

TEST_F(LogWindowTest, StoredMeasuresNoScreenCouldShowAreFittedToTheScreen)
{
    // 2147483648 twips would be a window of 143 million pixels.
    writeFile("quillet32.ini", "[Options]\r\nDebug=-1\r\n[Windows]\r\nLogLeft=-90000\r\nLogTop=99999\r\n"
                               "LogWidth=2147483648\r\nLogHeight=1e8\r\n");
    start();
    FrmLog* log = shell->logWindowIfLoaded();
    ASSERT_NE(log, nullptr);
    const QRect screen = QGuiApplication::primaryScreen()->availableVirtualGeometry();
    EXPECT_TRUE(screen.contains(log->frameGeometry())) << "on a screen of " << screen.width() << " x "
                                                       << screen.height();
    // Closing stores the window as it was shown.
    log->close();
    EXPECT_LE(shell->state.LogWidth, float(screen.width() * 15));
    EXPECT_GE(shell->state.LogLeft, float(screen.x() * 15));
}

TEST(LogWindowFit, MovesAndShrinksOnlyAsMuchAsNeeded)
{
    const WindowMeasures screen{0, 0, 12000, 9000};
    auto fitted = [&](WindowMeasures w) {
        const WindowMeasures f = fitWindowToScreen(w, screen);
        return std::vector<float>{f.left, f.top, f.width, f.height};
    };
    EXPECT_EQ(fitted({960, 4515, 7485, 3225}), (std::vector<float>{960, 4515, 7485, 3225}));
    EXPECT_EQ(fitted({9000, 8000, 7485, 3225}), (std::vector<float>{4515, 5775, 7485, 3225}));
    EXPECT_EQ(fitted({-500, -20, 3e5f, 3e5f}), (std::vector<float>{0, 0, 12000, 9000}));
    EXPECT_EQ(fitted({100, 100, 0, 0}), (std::vector<float>{100, 100, 0, 0}));
}

TEST_F(LogWindowTest, ExportWritesTheListToDebugLog)
{
    writeFile("quillet32.ini", "[Options]\r\nDebug=-1\r\nEchoToRun=-1\r\n");
    writeFile("debug.run", "from an earlier run\r\n");
    start();
    shell->LogLine(u"third line");
    FrmLog* log = shell->logWindowIfLoaded();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->exportButton()->text(), QStringLiteral("Export Log"));
    log->exportButton()->click();
    const std::string expected = toUtf8(programCaption()) + "\r\nHomePath = " + toUtf8(home()) + "\r\nthird line\r\n";
    EXPECT_EQ(readFile("debug.log"), expected);
    EXPECT_EQ(readFile("debug.run"), expected); // the earlier one was deleted at start-up
    // The user is told where it went ...
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, u"The log was written to " + path("debug.log") + u".");

    // ... or that it could not be written.
    dialogs.messages.clear();
    shell->state.SettingsFolder = path("debug.log/");
    log->exportButton()->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, u"The log could not be written to " + path("debug.log/debug.log") + u".");
    EXPECT_EQ(readFile("debug.log"), expected);
}

TEST_F(LogWindowTest, SwitchingLoggingOnShowsTheWindowAtOnce)
{
    writeFile("debug.run", "from an earlier run\r\n");
    start();
    EXPECT_EQ(shell->logWindowIfLoaded(), nullptr);
    setPrefs({{2, true}, {3, true}}); // echo to debug.run, Debug/Logging

    FrmLog* log = shell->logWindowIfLoaded();
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->isVisible());
    shell->LogLine(u"after switching on");
    EXPECT_EQ(log->list()->count(), 1);
    EXPECT_EQ(readFile("debug.run"), "after switching on\r\n") << "a fresh debug.run, as at start-up";

    // Switched off and on again: the window shows again, debug.run goes on.
    setPrefs({{3, false}});
    log->close();
    setPrefs({{3, true}});
    ASSERT_NE(shell->logWindowIfLoaded(), nullptr);
    EXPECT_TRUE(shell->logWindowIfLoaded()->isVisible());
    shell->LogLine(u"again");
    EXPECT_EQ(readFile("debug.run"), "after switching on\r\nagain\r\n");
}

TEST_F(LogWindowTest, AClosedLoggingWindowComesBackFromTheFileMenu)
{
    start();
    auto* fileMenu = mainWindow().findChild<QMenu*>(QStringLiteral("MenuFile"));
    QAction* reopen = mainWindow().action("MenuFileLogWindow");
    ASSERT_NE(reopen, nullptr);
    emit fileMenu->aboutToShow();
    EXPECT_FALSE(reopen->isEnabled()) << "logging is off";

    shell->state.Debug = kTrue;
    emit fileMenu->aboutToShow();
    EXPECT_TRUE(reopen->isEnabled());
    reopen->trigger();
    ASSERT_NE(shell->logWindowIfLoaded(), nullptr);
    EXPECT_TRUE(shell->logWindowIfLoaded()->isVisible());

    // Closed, then lines logged: they go to a hidden window, which the
    // menu brings back with them.
    shell->logWindowIfLoaded()->close();
    shell->LogLine(u"while hidden");
    ASSERT_NE(shell->logWindowIfLoaded(), nullptr);
    EXPECT_FALSE(shell->logWindowIfLoaded()->isVisible());
    reopen->trigger();
    EXPECT_TRUE(shell->logWindowIfLoaded()->isVisible());
    EXPECT_EQ(shell->logWindowIfLoaded()->list()->item(0)->text(), QStringLiteral("while hidden"));
}

} // namespace quillet::testing
