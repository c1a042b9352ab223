// Start-up with and without a settings file, and the closing sequence
// that unloads every window and then writes the settings.
#include "shell_fixture.h"

#include "shell/mru_list.h"

namespace quillet::testing {

using StartUpTest = ShellTest;

TEST_F(StartUpTest, WithoutSettingsFileUsesDefaultsAndShowsMainWindow)
{
    start();
    const AppState& state = shell->state;
    EXPECT_EQ(state.HomePath, home());
    EXPECT_EQ(QDir::currentPath().toStdU16String() + u"/", home());
    EXPECT_EQ(state.TesseraFile, home() + u"chrsht.tsx");
    EXPECT_EQ(state.CharDir, home());
    EXPECT_EQ(state.PrinterFont, u"Arial");
    EXPECT_EQ(state.Debug, kFalse);
    EXPECT_EQ(state.Busy, kFalse);
    EXPECT_EQ(state.Characters.Count(), 1);

    FormMain& window = mainWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(caption(), programCaption());
    EXPECT_EQ(statusLine().toStdU16String(), Text(kNoticeLine));
    EXPECT_EQ(label(window, "lblTesseraFile")->text().toStdU16String(), state.TesseraFile);
    EXPECT_EQ(label(window, "Label2")->text(), QStringLiteral("Current Tessera file:"));

    // The recent-file list is empty: one disabled placeholder entry.
    ASSERT_EQ(window.recentFileEntries().size(), 1u);
    EXPECT_EQ(window.recentFileEntries()[0]->text().toStdU16String(), Text(kMRUPlaceholder));
    EXPECT_FALSE(window.recentFileEntries()[0]->isEnabled());
    // Logging is off: no logging window.
    EXPECT_EQ(shell->logWindowIfLoaded(), nullptr);
}

TEST_F(StartUpTest, SettingsFileFillsRecentFilesOptionsAndOpensLogging)
{
    writeFile("quillet32.ini", "[MRUFileList]\r\nMRUFile1=/chars/one.kvr\r\nMRUFile2=/chars/R&D.kvr\r\n"
                               "[Options]\r\nDebug=-1\r\nNoLogo=-1\r\nTesseraFile=/sheets/mine.tsx\r\n"
                               "[Paths]\r\nCharDir=/chars/\r\n"
                               "[Windows]\r\nLogLeft=1500\r\nLogTop=1200\r\nLogWidth=6000\r\nLogHeight=3000\r\n");
    start();
    const AppState& state = shell->state;
    EXPECT_EQ(state.MRUFiles[1], u"/chars/one.kvr");
    EXPECT_EQ(state.TesseraFile, u"/sheets/mine.tsx");
    EXPECT_EQ(state.CharDir, u"/chars/");
    EXPECT_EQ(state.TesseraDir, home()); // absent: the default stays

    FormMain& window = mainWindow();
    ASSERT_EQ(window.recentFileEntries().size(), 2u);
    EXPECT_EQ(window.recentFileEntries()[0]->text(), QStringLiteral("&1 /chars/one.kvr"));
    // An ampersand of the path is shown, not taken as an access key.
    EXPECT_EQ(window.recentFileEntries()[1]->text(), QStringLiteral("&2 /chars/R&&D.kvr"));
    EXPECT_TRUE(window.recentFileEntries()[1]->isEnabled());
    EXPECT_EQ(label(window, "lblTesseraFile")->text(), QStringLiteral("/sheets/mine.tsx"));
    EXPECT_FALSE(label(window, "picLogo")->isVisible()); // NoLogo

    // Debug on: the logging window is shown where the settings place it,
    // with the two start-up lines.
    FrmLog* log = shell->logWindowIfLoaded();
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->isVisible());
    EXPECT_EQ(log->windowTitle(), QStringLiteral("Logging"));
    EXPECT_EQ(log->frameGeometry(), QRect(100, 80, 400, 200));
    ASSERT_EQ(log->list()->count(), 2);
    EXPECT_EQ(log->list()->item(0)->text().toStdU16String(), programCaption());
    EXPECT_EQ(log->list()->item(1)->text().toStdU16String(), u"HomePath = " + home());
}

TEST_F(StartUpTest, AnEmptyRecentFilePositionGetsNoMenuEntry)
{
    // Edited by hand: position 1 empty, position 3 filled.  A stored 1 is
    // not "on", so logging stays off.
    writeFile("quillet32.ini", "[MRUFileList]\r\nMRUFile1=\r\nMRUFile3=/chars/three.kvr\r\n"
                               "[Options]\r\nDebug=1\r\n");
    start();
    FormMain& window = mainWindow();
    EXPECT_EQ(window.recentFileEntry(0)->text().toStdU16String(), Text(kMRUPlaceholder));
    EXPECT_FALSE(window.recentFileEntry(0)->isEnabled());
    EXPECT_EQ(window.recentFileEntry(1), nullptr);
    ASSERT_NE(window.recentFileEntry(2), nullptr);
    EXPECT_EQ(window.recentFileEntry(2)->text(), QStringLiteral("&3 /chars/three.kvr"));
    EXPECT_EQ(window.recentFileEntries().size(), 2u);
    EXPECT_EQ(shell->logWindowIfLoaded(), nullptr);

    // Filling position 2 later puts its entry between the two, where the
    // menu shows it.
    shell->state.MRUFiles[2] = u"/chars/two.kvr";
    window.BuildMRUMenu();
    const QList<QAction*> menu = window.findChild<QMenu*>(QStringLiteral("MenuFile"))->actions();
    const qsizetype first = menu.indexOf(window.recentFileEntry(0));
    ASSERT_GE(first, 0);
    EXPECT_EQ(menu.indexOf(window.recentFileEntry(1)), first + 1);
    EXPECT_EQ(menu.indexOf(window.recentFileEntry(2)), first + 2);
    EXPECT_EQ(menu.at(first + 3)->objectName(), QStringLiteral("MRUFileSpacer"));
}

TEST_F(StartUpTest, ClosingUnloadsEveryWindowThenWritesTheSettings)
{
    writeFile("quillet32.ini", "[Options]\r\nDebug=-1\r\n");
    start();
    FrmLog* log = shell->logWindowIfLoaded();
    ASSERT_NE(log, nullptr);
    log->move(150, 90); // the user moves and sizes it
    log->resize(420 - (log->frameGeometry().width() - log->width()),
                210 - (log->frameGeometry().height() - log->height()));
    shell->prefsDialog().show();
    shell->state.MRUFiles[1] = u"/chars/last.kvr";

    EXPECT_TRUE(mainWindow().close());
    EXPECT_EQ(shell->logWindowIfLoaded(), nullptr);
    EXPECT_EQ(shell->prefsDialogIfLoaded(), nullptr);
    EXPECT_EQ(shell->mainWindowIfLoaded(), nullptr);
    EXPECT_TRUE(shell->loadedWindows().empty());

    const std::string ini = readFile("quillet32.ini");
    for (const char* expected :
         {"[Options]", "Debug=-1", "EchoToRun=0", "LinesToLog=0", "NoLogo=0", "PrinterFont=Arial", "[Paths]",
          "[MRUFileList]", "MRUFile1=/chars/last.kvr", "MRUFile4=", "[Windows]", "LogLeft=2250", "LogTop=1350",
          "LogWidth=6300", "LogHeight=3150"})
        EXPECT_NE(ini.find(expected), std::string::npos) << expected << " in\n" << ini;
}

TEST_F(StartUpTest, SettingsAndTraceFilesLiveInTheSettingsFolder)
{
    // The program folder as installed: settings that came with it are
    // read, everything the program writes goes to the user's folder.
    QTemporaryDir userFolder;
    const Text own = (userFolder.path() + u'/').toStdU16String();
    writeFile("quillet32.ini", "[Options]\r\nDebug=-1\r\nEchoToRun=-1\r\n");
    shell->state.SettingsFolder = own;
    start();
    EXPECT_EQ(shell->state.Debug, kTrue);
    EXPECT_EQ(shell->logging.RunFile, own + u"debug.run");
    EXPECT_TRUE(QFile::exists(QString::fromStdU16String(own + u"debug.run")));
    trigger("MenuFileExit");
    EXPECT_TRUE(QFile::exists(QString::fromStdU16String(own + u"quillet32.ini")));
    EXPECT_EQ(readFile("quillet32.ini"), "[Options]\r\nDebug=-1\r\nEchoToRun=-1\r\n");
    EXPECT_FALSE(fileExists("debug.run"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(StartUpTest, SettingsThatCannotBeSavedAreReportedOnce)
{
    writeFile("not-a-folder", "x");
    shell->state.SettingsFolder = path("not-a-folder/");
    start();
    trigger("MenuFileExit");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              u"The settings could not be saved in " + path("not-a-folder/quillet32.ini") + u".");
}

TEST_F(StartUpTest, ClosingWithoutSettingsFileCreatesItAndKeepsTheWindowsPlaceAndSize)
{
    start();
    EXPECT_FALSE(fileExists("quillet32.ini"));
    // Its frame's corner, and the size inside the frame.
    mainWindow().move(110, 70);
    mainWindow().resize(640, 300);
    dialogs.fileDialogSize = QSize(800, 500); // as the user left the last one
    trigger("MenuFileExit");
    const std::string ini = readFile("quillet32.ini");
    for (const char* expected :
         {"[Options]", "[Paths]", "[MRUFileList]", "[Windows]", "LogLeft=960", "LogTop=4515", "LogWidth=7485",
          "LogHeight=3225", "MainLeft=1650", "MainTop=1050", "MainWidth=9600", "MainHeight=4500", "MainMaximized=0",
          "FileDialogWidth=12000", "FileDialogHeight=7500"})
        EXPECT_NE(ini.find(expected), std::string::npos) << expected << " in\n" << ini;

    shell = std::make_unique<Shell>(dialogs);
    dialogs.fileDialogSize = QSize();
    start();
    EXPECT_EQ(mainWindow().pos(), QPoint(110, 70));
    EXPECT_EQ(mainWindow().size(), QSize(640, 300));
    EXPECT_EQ(dialogs.fileDialogSize, QSize(800, 500));
    mainWindow().close();

    // Far off the screens, or larger than them: brought back on.
    writeFile("quillet32.ini", "[Windows]\r\nMainLeft=900000\r\nMainTop=-900000\r\nMainWidth=150000\r\n"
                               "MainHeight=4500\r\n");
    shell = std::make_unique<Shell>(dialogs);
    start();
    const QRect screen = QGuiApplication::primaryScreen()->availableVirtualGeometry();
    // (The client area: a window frame may overhang by its border.)
    const QRect placed = mainWindow().geometry();
    EXPECT_GE(placed.left(), screen.left());
    EXPECT_GE(placed.top(), screen.top());
    EXPECT_LE(placed.width(), screen.width());
    EXPECT_LT(placed.top(), screen.bottom());
    EXPECT_EQ(mainWindow().height(), 300);
}

} // namespace quillet::testing
