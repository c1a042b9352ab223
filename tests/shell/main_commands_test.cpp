// The commands of the main window: loading characters, the recent files,
// Browse, Print Setup, About, Exit, and the Busy rule.
#include "shell_fixture.h"

#include "shell/frm_prefs.h"
#include "common/file_system.h"
#include "shell/mru_list.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QStatusTipEvent>
#include <QToolButton>

namespace quillet::testing {

namespace {

Text characterName(const Shell& shell)
{
    return shell.state.currentCharacter().Name;
}

} // namespace

class MainCommandsTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        start();
    }
    // Four more character files, copies of a sample under other names.
    void makeCopies()
    {
        const std::string sample = readFile("characters/mira.kvr");
        for (const char* name : {"a.kvr", "b.kvr", "c.kvr", "d.kvr", "e.kvr"})
            writeFile(std::string("characters/") + name, sample);
    }
    void load(const std::string& name)
    {
        dialogs.openAnswers.push_back(path("characters/" + name));
        trigger("MenuFileLoad");
    }
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
    EXPECT_EQ(characterName(*shell), u"Sir Aldric Venn");
    EXPECT_EQ(shell->state.CurrentCharFile, file);
    EXPECT_EQ(shell->state.MRUFiles[1], file);
    EXPECT_EQ(shell->state.CharDir, path("characters/"));
    EXPECT_EQ(mainWindow().windowTitle().toStdU16String(),
              u"KVR Character Printer " + VersionText() + u" (" + file + u")");
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
    mainWindow().findChild<QPushButton*>(QStringLiteral("btnBrowse"))->click();
    trigger("MenuFilePrinterSetup");
    EXPECT_EQ(dialogs.openRequests.size(), 3u);
    EXPECT_EQ(dialogs.printSetupCalls, 1);
    EXPECT_EQ(characterName(*shell), u"Mira \"Quickfingers\" Tallowby");
    EXPECT_EQ(shell->state.CharDir, charDir);
    EXPECT_EQ(shell->state.TesseraFile, sheet);
    EXPECT_EQ(recentFiles()[1], Text());
    EXPECT_EQ(QDir::currentPath().toStdU16String() + u"/", home());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainCommandsTest, RecentFilesAfterFourFiveAndRepeatedLoads)
{
    makeCopies();
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
    const std::string deep = "characters/" + std::string(40, 'a') + "/" + std::string(40, 'b') + "/" +
                             std::string(40, 'c') + "/R&D";
    QDir().mkpath(QString::fromStdU16String(path(deep)));
    writeFile(deep + "/hero.kvr", readFile("characters/mira.kvr"));
    load("mira.kvr");
    dialogs.openAnswers.push_back(path(deep + "/hero.kvr"));
    trigger("MenuFileLoad");

    QAction* entry = mainWindow().recentFileEntries()[0];
    const QString caption = entry->text();
    const QString full = QString::fromStdU16String(path(deep + "/hero.kvr"));
    EXPECT_TRUE(caption.startsWith(QStringLiteral("&1 ") + QString::fromStdU16String(home()).left(5)));
    EXPECT_TRUE(caption.endsWith(QStringLiteral("/hero.kvr")));
    EXPECT_TRUE(caption.contains(QChar(0x2026))) << caption.toStdString();
    EXPECT_LT(caption.size(), full.size() / 2);
    EXPECT_EQ(entry->statusTip(), full);
    // A short path is shown whole.
    EXPECT_EQ(mainWindow().recentFileEntries()[1]->text().toStdU16String(),
              u"&2 " + path("characters/mira.kvr"));

    auto* status = mainWindow().findChild<QLabel*>(QStringLiteral("pnlStatusBar"));
    const QString before = status->text();
    entry->showStatusText(&mainWindow());
    EXPECT_EQ(status->text(), full);
    QStatusTipEvent left{QString()};
    QApplication::sendEvent(&mainWindow(), &left);
    EXPECT_EQ(status->text(), before);
}

TEST_F(MainCommandsTest, RecentFileEntryReadsItsFileOrSaysItIsMissing)
{
    load("aldric.kvr");
    load("mira.kvr");
    dialogs.messages.clear();
    const auto& entries = mainWindow().recentFileEntries();
    entries[1]->trigger(); // aldric, position 2
    EXPECT_EQ(characterName(*shell), u"Sir Aldric Venn");
    EXPECT_EQ(shell->state.MRUFiles[1], path("characters/aldric.kvr"));

    QFile::remove(QString::fromStdU16String(path("characters/mira.kvr")));
    const Text charDir = shell->state.CharDir;
    entries[1]->trigger(); // mira, now missing
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, u"File: " + path("characters/mira.kvr") + u" could not be found.");
    EXPECT_EQ(characterName(*shell), u"Sir Aldric Venn");
    EXPECT_EQ(shell->state.MRUFiles[2], path("characters/mira.kvr")); // stays in the list
    EXPECT_EQ(shell->state.CharDir, charDir);
}

TEST_F(MainCommandsTest, ABadCharacterFileIsReportedAndTheProgramGoesOn)
{
    load("aldric.kvr");
    const std::array<Text, 5> recent = shell->state.MRUFiles;
    const Text charDir = shell->state.CharDir;
    const QString plainCaption = QString::fromStdU16String(u"KVR Character Printer " + VersionText());

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
        EXPECT_EQ(characterName(*shell), Text()) << "nothing half-read stays";
        EXPECT_EQ(mainWindow().windowTitle(), plainCaption);
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
    EXPECT_EQ(characterName(*shell), u"Mira \"Quickfingers\" Tallowby");
    trigger("MenuFileExit");
    EXPECT_NE(readFile("quillet32.ini").find("MRUFile1=" + toUtf8(path("characters/mira.kvr"))), std::string::npos)
        << readFile("quillet32.ini");
}

TEST_F(MainCommandsTest, ARecentFileThatFailsToReadIsReportedAndStaysInTheList)
{
    writeFile("characters/later.kvr", readFile("characters/mira.kvr"));
    load("later.kvr");
    load("aldric.kvr");
    writeFile("characters/later.kvr", "[system]\r\n[race]\r\nst(99999)\r\n"); // spoilt since
    mainWindow().recentFileEntries()[1]->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, u"The character file " + path("characters/later.kvr") +
                                            u" could not be read.\r\n\r\nReading stopped at line 3: Overflow (error 6).");
    EXPECT_EQ(characterName(*shell), Text());
    EXPECT_EQ(shell->state.MRUFiles[2], path("characters/later.kvr"));
    EXPECT_EQ(shell->state.MRUFiles[1], path("characters/aldric.kvr"));
}

TEST_F(MainCommandsTest, AnEmptyCharDirOrTesseraDirOpensTheDialogAtHome)
{
    shell->state.CharDir.clear();
    trigger("MenuFileLoad");
    shell->state.TesseraDir.clear();
    mainWindow().findChild<QPushButton*>(QStringLiteral("btnBrowse"))->click();
    ASSERT_EQ(dialogs.openRequests.size(), 2u);
    EXPECT_EQ(dialogs.openRequests[0].initialFolder, home());
    EXPECT_EQ(dialogs.openRequests[1].initialFolder, home());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainCommandsTest, InitialFolderDropsTheLastCharacterWhateverItIs)
{
    shell->state.CharDir = u"/tmp/chars";
    trigger("MenuFileLoad");
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].initialFolder, u"/tmp/char");
}

TEST_F(MainCommandsTest, BrowseChoosesTheSheetScriptWithoutReadingIt)
{
    dialogs.openAnswers.push_back(u"  /elsewhere/Sheets/Mine.TSX ");
    mainWindow().findChild<QPushButton*>(QStringLiteral("btnBrowse"))->click();
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].title, u"Load Tessera Files");
    EXPECT_EQ(dialogs.openRequests[0].filter, u"Tessera Files (*.TSX)|*.TSX");
    EXPECT_EQ(dialogs.openRequests[0].initialFileName, home() + u"chrsht.tsx");
    EXPECT_EQ(shell->state.TesseraFile, u"/elsewhere/Sheets/Mine.TSX"); // trimmed, case kept
    EXPECT_EQ(shell->state.TesseraDir, u"/elsewhere/Sheets/");
    EXPECT_EQ(mainWindow().findChild<QLabel*>(QStringLiteral("lblTesseraFile"))->text(),
              QStringLiteral("/elsewhere/Sheets/Mine.TSX"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainCommandsTest, NewClearsTheCharacterAndTheCaptionsFile)
{
    load("aldric.kvr");
    trigger("MenuFileNew");
    EXPECT_EQ(characterName(*shell), Text());
    EXPECT_EQ(mainWindow().windowTitle().toStdU16String(), u"KVR Character Printer " + VersionText());
    EXPECT_EQ(shell->state.CurrentCharFile, Text());
    EXPECT_EQ(shell->state.MRUFiles[1], path("characters/aldric.kvr"));
    load("aldric.kvr");
    mainWindow().toolButton(0)->click();
    EXPECT_EQ(characterName(*shell), Text());
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
    EXPECT_EQ(characterName(*shell), u"Sir Aldric Venn"); // tool button 0 ignored too
    EXPECT_TRUE(dialogs.messages.empty());

    // New, Browse, Show Picture and About do not look at Busy.
    trigger("MenuFileNew");
    EXPECT_EQ(characterName(*shell), Text());
    mainWindow().findChild<QPushButton*>(QStringLiteral("btnBrowse"))->click();
    EXPECT_EQ(dialogs.openRequests.size(), 1u);
    whenShown("frmPortrait", [](QWidget* window) { window->close(); });
    mainWindow().findChild<QPushButton*>(QStringLiteral("btnShowPicture"))->click();
    EXPECT_TRUE(sawWindow("frmPortrait"));
    trigger("mnuHelpAbout");
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(MainCommandsTest, AboutNamesTheProgramVersionAndEngine)
{
    trigger("mnuHelpAbout");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const Text& text = dialogs.messages[0].text;
    EXPECT_EQ(text.rfind(u"KVR Character Printer " + VersionText() + u"\r\n" + Text(kNoticeLine) + u"\r\n\r\n", 0),
              0u);
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

    EXPECT_EQ(mainWindow().findChild<QPushButton*>(QStringLiteral("btnShowPicture"))->text(),
              QStringLiteral("&Show Picture"));
    EXPECT_EQ(mainWindow().findChild<QPushButton*>(QStringLiteral("btnBrowse"))->text(), QStringLiteral("&Browse"));

    const char* tips[4] = {"Clear Character", "Load Character...", "Print", "Print Preview"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(mainWindow().toolButton(i)->toolTip(), QString::fromLatin1(tips[i]));
        EXPECT_FALSE(mainWindow().toolButton(i)->icon().isNull());
    }
}

} // namespace quillet::testing
