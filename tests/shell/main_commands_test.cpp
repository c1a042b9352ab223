// The commands of the main window: loading characters, the recent files,
// Browse, Print Setup, About, Exit, and the Busy rule.
#include "shell_fixture.h"

#include "common/file_system.h"
#include "shell/mru_list.h"

#include <QMenuBar>
#include <QSet>
#include <QStatusTipEvent>

namespace quillet::testing {

class MainCommandsTest : public StartedShellTest {
protected:
    std::vector<Text> recentFiles() const
    {
        return {shell->state.MRUFiles.begin() + 1, shell->state.MRUFiles.end()};
    }
};

TEST_F(MainCommandsTest, LoadCharacterSetsUpTheDialogAndReadsTheChosenFile)
{
    shell->state.CurrentCharFile = u"/old/file.kvr";
    load("aldric.kvr");
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    const OpenFileRequest& request = dialogs.openRequests[0];
    EXPECT_EQ(request.title, u"Load Character");
    EXPECT_EQ(request.initialFileName, u"/old/file.kvr");
    EXPECT_EQ(request.initialFolder + u"/", home()); // CharDir less its last character
    EXPECT_EQ(request.filter, u"Character Files (*.KVR;*.CHR)|*.KVR;*.CHR|All Files (*.*)|*.*");
    EXPECT_EQ(request.filterIndex, 1);

    const Text file = path("characters/aldric.kvr");
    EXPECT_EQ(characterName(), u"Sir Aldric Venn");
    EXPECT_EQ(shell->state.CurrentCharFile, file);
    EXPECT_EQ(shell->state.MRUFiles[1], file);
    EXPECT_EQ(shell->state.CharDir, path("characters/"));
    EXPECT_EQ(caption(), programCaption() + u" (" + file + u")");
    EXPECT_EQ(mainWindow().recentFileEntries()[0]->text().toStdU16String(), u"&1 " + file);
    EXPECT_TRUE(mainWindow().recentFileEntries()[0]->isEnabled());
    EXPECT_EQ(shell->state.Busy, kFalse);
    // The dialog may have moved the current directory: it is home again.
    EXPECT_EQ(QDir::currentPath().toStdU16String() + u"/", home());
}

TEST_F(MainCommandsTest, CancellingLoadBrowseOrPrintSetupChangesNothing)
{
    load("mira.kvr");
    QDir::setCurrent(QDir::tempPath());
    const Text charDir = shell->state.CharDir;
    const Text sheet = shell->state.TesseraFile;
    mainWindow().toolButton(1)->click(); // cancelled: no answer queued
    button(mainWindow(), "btnBrowse")->click();
    trigger("MenuFilePrinterSetup");
    EXPECT_EQ(dialogs.openRequests.size(), 3u);
    EXPECT_EQ(dialogs.printSetupCalls, 1);
    EXPECT_EQ(characterName(), u"Mira \"Quickfingers\" Tallowby");
    EXPECT_EQ(shell->state.CharDir, charDir);
    EXPECT_EQ(shell->state.TesseraFile, sheet);
    EXPECT_EQ(recentFiles()[1], Text());
    EXPECT_EQ(QDir::currentPath().toStdU16String() + u"/", home());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainCommandsTest, RecentFilesAfterFourFiveAndRepeatedLoads)
{
    const std::string sample = readFile("characters/mira.kvr");
    for (const char* name : {"a.kvr", "b.kvr", "c.kvr", "d.kvr", "e.kvr"})
        writeFile(std::string("characters/") + name, sample);
    for (const char* name : {"a.kvr", "b.kvr", "c.kvr", "d.kvr"})
        load(name);
    const Text a = path("characters/a.kvr"), b = path("characters/b.kvr"), c = path("characters/c.kvr"),
               d = path("characters/d.kvr"), e = path("characters/e.kvr");
    EXPECT_EQ(recentFiles(), (std::vector<Text>{d, c, b, a}));

    load("e.kvr"); // the oldest falls off
    EXPECT_EQ(recentFiles(), (std::vector<Text>{e, d, c, b}));
    const auto& entries = mainWindow().recentFileEntries();
    ASSERT_EQ(entries.size(), 4u);
    for (int n = 0; n < 4; ++n)
        EXPECT_EQ(entries[size_t(n)]->text().toStdU16String(), mruCaption(n + 1, recentFiles()[size_t(n)]));

    load("e.kvr"); // already at the top: nothing moves
    EXPECT_EQ(recentFiles(), (std::vector<Text>{e, d, c, b}));
    load("c.kvr"); // position 3 moves to the top; position 4 stays
    EXPECT_EQ(recentFiles(), (std::vector<Text>{c, e, d, b}));
    EXPECT_EQ(entries[0]->text().toStdU16String(), u"&1 " + c);
    EXPECT_EQ(entries[3]->text().toStdU16String(), u"&4 " + b);

    // The same file under a different spelling is a new entry.
    writeFile("characters/C.kvr", readFile("characters/c.kvr"));
    load("C.kvr");
    EXPECT_EQ(recentFiles(), (std::vector<Text>{path("characters/C.kvr"), c, e, d}));
}

TEST_F(MainCommandsTest, LongRecentPathsLoseTheirMiddleAndShowWholeInTheStatusLine)
{
    const std::string deep = std::string(40, 'a') + "/" + std::string(40, 'b') + "/" + std::string(40, 'c') + "/R&D";
    QDir().mkpath(QString::fromStdU16String(path("characters/" + deep)));
    writeFile("characters/" + deep + "/hero.kvr", readFile("characters/mira.kvr"));
    load("mira.kvr");
    load(deep + "/hero.kvr");

    QAction* entry = mainWindow().recentFileEntries()[0];
    const QString shown = entry->text();
    const QString full = QString::fromStdU16String(path("characters/" + deep + "/hero.kvr"));
    EXPECT_TRUE(shown.startsWith(QStringLiteral("&1 ") + QString::fromStdU16String(home()).left(5)));
    EXPECT_TRUE(shown.endsWith(QStringLiteral("/hero.kvr")));
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_LT(shown.size(), full.size() / 2);
    EXPECT_EQ(entry->statusTip(), full);
    // A short path is shown whole.
    EXPECT_EQ(mainWindow().recentFileEntries()[1]->text().toStdU16String(),
              u"&2 " + path("characters/mira.kvr"));

    const QString before = statusLine();
    entry->showStatusText(&mainWindow());
    EXPECT_EQ(statusLine(), full);
    QStatusTipEvent left{QString()};
    QApplication::sendEvent(&mainWindow(), &left);
    EXPECT_EQ(statusLine(), before);
}

TEST_F(MainCommandsTest, RecentFileEntryReadsItsFileOrSaysWhyNotAndKeepsIt)
{
    load("aldric.kvr");
    load("mira.kvr");
    dialogs.messages.clear();
    const auto& entries = mainWindow().recentFileEntries();
    entries[1]->trigger(); // aldric, position 2
    EXPECT_EQ(characterName(), u"Sir Aldric Venn");
    EXPECT_EQ(shell->state.MRUFiles[1], path("characters/aldric.kvr"));

    QFile::remove(QString::fromStdU16String(path("characters/mira.kvr")));
    const Text charDir = shell->state.CharDir;
    entries[1]->trigger(); // mira, now missing
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, u"File: " + path("characters/mira.kvr") + u" could not be found.");
    EXPECT_EQ(characterName(), u"Sir Aldric Venn");
    EXPECT_EQ(shell->state.MRUFiles[2], path("characters/mira.kvr")); // stays in the list
    EXPECT_EQ(shell->state.CharDir, charDir);

    dialogs.messages.clear();
    writeFile("characters/mira.kvr", "[system]\r\n[race]\r\nst(99999)\r\n"); // back, but spoilt
    entries[1]->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, u"The character file " + path("characters/mira.kvr") +
                                            u" could not be read.\r\n\r\nReading stopped at line 3: Overflow (error 6).");
    EXPECT_EQ(characterName(), Text());
    EXPECT_EQ(shell->state.MRUFiles[2], path("characters/mira.kvr"));
    EXPECT_EQ(shell->state.MRUFiles[1], path("characters/aldric.kvr"));
}

TEST_F(MainCommandsTest, ABadCharacterFileIsReportedAndTheProgramGoesOn)
{
    load("aldric.kvr");
    const std::array<Text, 5> recent = shell->state.MRUFiles;
    const Text charDir = shell->state.CharDir;

    // Malformed on its fourth line, empty, too large to read: each names
    // the file, the error and the line, and leaves an empty character.
    writeFile("characters/broken.kvr", "[system]\r\n[general]\r\ncharname(Half)\r\ntotal(100), spent\r\n"
                                       "[points]\r\ntotal(100), spent\r\n");
    writeFile("characters/empty.kvr", "");
    writeFile("characters/huge.kvr", "");
    QFile::resize(QString::fromStdU16String(path("characters/huge.kvr")), qint64(kMaxTextFileBytes) + 1);
    struct Case {
        const char* name;
        const char16_t* expected;
    };
    for (const Case& c : {Case{"broken.kvr", u"Reading stopped at line 6: Invalid procedure call or argument (error 5)."},
                          Case{"empty.kvr", u"Reading stopped at line 1: Input past end of file (error 62)."},
                          Case{"huge.kvr", u"Out of memory (error 7)."}}) {
        dialogs.messages.clear();
        load(c.name);
        ASSERT_EQ(dialogs.messages.size(), 1u) << c.name;
        EXPECT_EQ(dialogs.messages[0].text, u"The character file " + path(std::string("characters/") + c.name) +
                                                u" could not be read.\r\n\r\n" + c.expected);
        EXPECT_EQ(characterName(), Text()) << "nothing half-read stays";
        EXPECT_EQ(caption(), programCaption());
        EXPECT_EQ(shell->state.MRUFiles, recent);
        EXPECT_EQ(shell->state.CharDir, charDir);
        EXPECT_EQ(shell->state.Busy, kFalse);
    }

    // A file of an older version is refused with a message, not a failure.
    dialogs.messages.clear();
    writeFile("characters/old.kvr", "[general]\r\ncharname(Old)\r\n");
    load("old.kvr");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, u"This program will not read characters from versions of KVR prior to v2.");

    // The program is still there, and closing it saves the settings.
    load("mira.kvr");
    EXPECT_EQ(characterName(), u"Mira \"Quickfingers\" Tallowby");
    trigger("MenuFileExit");
    EXPECT_NE(readFile("quillet32.ini").find("MRUFile1=" + toUtf8(path("characters/mira.kvr"))), std::string::npos)
        << readFile("quillet32.ini");
}

TEST_F(MainCommandsTest, InitialFolderDropsTheLastCharacterOrIsHomeWhenEmpty)
{
    shell->state.CharDir = u"/tmp/chars"; // whatever the last character is
    trigger("MenuFileLoad");
    shell->state.CharDir.clear();
    trigger("MenuFileLoad");
    shell->state.TesseraDir.clear();
    button(mainWindow(), "btnBrowse")->click();
    ASSERT_EQ(dialogs.openRequests.size(), 3u);
    EXPECT_EQ(dialogs.openRequests[0].initialFolder, u"/tmp/char");
    EXPECT_EQ(dialogs.openRequests[1].initialFolder, home());
    EXPECT_EQ(dialogs.openRequests[2].initialFolder, home());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainCommandsTest, BrowseChoosesTheSheetScriptWithoutReadingIt)
{
    dialogs.openAnswers.push_back(u"  /elsewhere/Sheets/Mine.TSX ");
    button(mainWindow(), "btnBrowse")->click();
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].title, u"Load Tessera Files");
    EXPECT_EQ(dialogs.openRequests[0].filter, u"Tessera Files (*.TSX)|*.TSX");
    EXPECT_EQ(dialogs.openRequests[0].initialFileName, home() + u"chrsht.tsx");
    EXPECT_EQ(shell->state.TesseraFile, u"/elsewhere/Sheets/Mine.TSX"); // trimmed, case kept
    EXPECT_EQ(shell->state.TesseraDir, u"/elsewhere/Sheets/");
    EXPECT_EQ(label(mainWindow(), "lblTesseraFile")->text(), QStringLiteral("/elsewhere/Sheets/Mine.TSX"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainCommandsTest, NewClearsTheCharacterAndTheCaptionsFile)
{
    load("aldric.kvr");
    trigger("MenuFileNew");
    EXPECT_EQ(characterName(), Text());
    EXPECT_EQ(caption(), programCaption());
    EXPECT_EQ(shell->state.CurrentCharFile, Text());
    EXPECT_EQ(shell->state.MRUFiles[1], path("characters/aldric.kvr"));
    load("aldric.kvr");
    mainWindow().toolButton(0)->click();
    EXPECT_EQ(characterName(), Text());
}

TEST_F(MainCommandsTest, WhileBusyTheGuardedCommandsDoNothing)
{
    load("aldric.kvr");
    dialogs.openRequests.clear();
    shell->state.Busy = kTrue;
    for (int i = 0; i < 4; ++i)
        mainWindow().toolButton(i)->click();
    for (const char* name : {"MenuFileLoad", "MenuFilePrint", "MenuFilePrintPreview", "MenuFilePrinterSetup",
                             "MenuFilePrefs"})
        trigger(name);
    mainWindow().recentFileEntries()[0]->trigger();
    EXPECT_TRUE(dialogs.openRequests.empty());
    EXPECT_EQ(dialogs.printSetupCalls, 0);
    EXPECT_EQ(shell->prefsDialogIfLoaded(), nullptr);
    EXPECT_EQ(shell->reportWindowIfLoaded(), nullptr);
    EXPECT_EQ(characterName(), u"Sir Aldric Venn"); // tool button 0 ignored too
    EXPECT_TRUE(dialogs.messages.empty());

    // New, Browse, Show Picture and About do not look at Busy.
    trigger("MenuFileNew");
    EXPECT_EQ(characterName(), Text());
    button(mainWindow(), "btnBrowse")->click();
    EXPECT_EQ(dialogs.openRequests.size(), 1u);
    whenShown("frmPortrait", [](QWidget* window) { window->close(); });
    button(mainWindow(), "btnShowPicture")->click();
    EXPECT_TRUE(sawWindow("frmPortrait"));
    trigger("mnuHelpAbout");
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(MainCommandsTest, AboutNamesTheProgramVersionAndEngine)
{
    trigger("mnuHelpAbout");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const Text& text = dialogs.messages[0].text;
    EXPECT_EQ(text.rfind(programCaption() + u"\r\n" + Text(kNoticeLine) + u"\r\n\r\n", 0), 0u);
    EXPECT_NE(text.find(u"VBScript engine"), Text::npos);
    EXPECT_EQ(dialogs.messages[0].title, Text(kAppTitle));
}

TEST_F(MainCommandsTest, TheStatusLineCoversTheStatusBar)
{
    mainWindow().resize(720, 300);
    QApplication::processEvents();
    auto* bar = mainWindow().findChild<QFrame*>(QStringLiteral("picStatusBar"));
    ASSERT_NE(bar, nullptr);
    auto* line = bar->findChild<QLabel*>(QStringLiteral("pnlStatusBar"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->geometry(), bar->contentsRect());
    EXPECT_GT(bar->width(), 700);
}

TEST_F(MainCommandsTest, MenusCarryTheirCaptionsAndShortcuts)
{
    struct Expected {
        const char* name;
        const char* caption;
        const char* shortcut;
    };
    for (const Expected& e : {Expected{"MenuFileNew", "&New", ""}, Expected{"MenuFileLoad", "&Load...", "Ctrl+L"},
                              Expected{"MenuFilePrint", "&Print", "Ctrl+P"},
                              Expected{"MenuFilePrintPreview", "Print Pre&view", ""},
                              Expected{"MenuFilePrinterSetup", "Prin&t Setup...", ""},
                              Expected{"MenuFilePrefs", "Pre&ferences...", ""},
                              Expected{"MenuFileLogWindow", "Lo&gging Window", ""}, Expected{"MenuFileExit", "E&xit", ""},
                              Expected{"mnuHelpAbout", "&About QUILLET", ""}}) {
        QAction* action = mainWindow().action(e.name);
        ASSERT_NE(action, nullptr) << e.name;
        EXPECT_EQ(action->text(), QString::fromLatin1(e.caption));
        EXPECT_EQ(action->shortcut().toString(), QString::fromLatin1(e.shortcut));
    }
    // The File menu in its order, separators included, then Help.
    QStringList names;
    auto* file = mainWindow().findChild<QMenu*>(QStringLiteral("MenuFile"));
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->title(), QStringLiteral("&File"));
    for (QAction* action : file->actions())
        names << action->objectName();
    EXPECT_EQ(names.join(u' '), QStringLiteral("MenuFileNew MenuFileLoad MenuFileSpace1 MenuFilePrint "
                                               "MenuFilePrintPreview MenuFilePrinterSetup MenuFileSpace4 "
                                               "MenuFilePrefs MenuFileLogWindow MenuFileSpace3 MRUFileList MRUFileSpacer MenuFileExit"));
    // Each entry has an access key of its own: a key shared by two only
    // moves between them.
    QSet<QChar> keys;
    for (QAction* action : file->actions()) {
        const qsizetype amp = action->text().indexOf(u'&');
        if (amp < 0 || amp + 1 >= action->text().size())
            continue;
        const QChar key = action->text()[amp + 1].toLower();
        EXPECT_FALSE(keys.contains(key)) << "access key " << QString(key).toStdString() << " of "
                                         << action->text().toStdString() << " is taken";
        keys.insert(key);
    }
    auto* help = mainWindow().findChild<QMenu*>(QStringLiteral("mnuHelp"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->title(), QStringLiteral("&Help"));
    const QList<QAction*> bar = mainWindow().menuBar()->actions();
    ASSERT_EQ(bar.size(), 2);
    EXPECT_EQ(bar[0]->menu(), file);
    EXPECT_EQ(bar[1]->menu(), help);

    EXPECT_EQ(button(mainWindow(), "btnShowPicture")->text(), QStringLiteral("&Show Picture"));
    EXPECT_EQ(button(mainWindow(), "btnBrowse")->text(), QStringLiteral("&Browse"));

    const char* tips[4] = {"Clear Character", "Load Character...", "Print", "Print Preview"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(mainWindow().toolButton(i)->toolTip(), QString::fromLatin1(tips[i]));
        EXPECT_FALSE(mainWindow().toolButton(i)->icon().isNull());
    }
}

} // namespace quillet::testing
