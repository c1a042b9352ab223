// Files handed to the program from outside: the command line read at
// start-up, and files dropped on the main window.  Both open a character
// file as Load Character does and a sheet script as Browse does.
#include "shell_fixture.h"

#include "shell/command_line.h"
#include "shell/start_up.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace quillet::testing {

using HandedFilesTest = ShellTest;

TEST(HandedFileKinds, ASheetScriptIsKnownByItsExtensionInAnyCase)
{
    for (const char* name : {"/s/sheet.tsx", "/s/SHEET.TSX", "/s/Sheet.Tsx", "rel.tSx"})
        EXPECT_TRUE(isSheetScriptName(fromUtf8(name))) << name;
    for (const char* name : {"/s/.tsx", "/s/sheet.tsx.kvr", "/s/sheet.kvr", "/s/tsx", "/s/sheet.tsxx"})
        EXPECT_FALSE(isSheetScriptName(fromUtf8(name))) << name;
}

TEST_F(HandedFilesTest, CommandLinePathsAreTakenFromTheCurrentDirectory)
{
    writeFile("Other.TSX", "'VBScript\r\n");
    QDir::setCurrent(QString::fromStdU16String(path("characters")));
    const CommandLine line = readCommandLine({"quillet", "./mira.kvr", "../Other.TSX"});
    EXPECT_FALSE(line.endNow) << line.output.toStdString();
    EXPECT_EQ(line.files.character, path("characters/mira.kvr"));
    EXPECT_EQ(line.files.sheet, path("Other.TSX"));

    const CommandLine absolute = readCommandLine({"quillet", QString::fromStdU16String(path("x.chr"))});
    EXPECT_EQ(absolute.files.character, path("x.chr"));
    EXPECT_TRUE(absolute.files.sheet.empty());
    EXPECT_TRUE(readCommandLine({"quillet"}).files.empty());
}

TEST_F(HandedFilesTest, CommandLineAnswersHelpAndVersionAndRefusesWhatItCannotUse)
{
    const CommandLine help = readCommandLine({"quillet", "--help"});
    EXPECT_TRUE(help.endNow);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.contains(QStringLiteral("[FILE]..."))) << help.output.toStdString();

    const CommandLine version = readCommandLine({"quillet", "--version"});
    EXPECT_TRUE(version.endNow);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.output.contains(QString::fromStdU16String(VersionText())));

    for (const QStringList& arguments : {QStringList{"quillet", "a.kvr", "b.CHR"}, QStringList{"quillet", "a.tsx", "b.TSX"},
                                         QStringList{"quillet", "--no-such-option"}, QStringList{"quillet", ""}}) {
        const CommandLine line = readCommandLine(arguments);
        EXPECT_TRUE(line.endNow) << arguments.join(u' ').toStdString();
        EXPECT_EQ(line.exitCode, 2);
        EXPECT_TRUE(line.output.startsWith(QStringLiteral("quillet: "))) << line.output.toStdString();
    }
}

TEST_F(HandedFilesTest, StartUpOpensTheHandedSheetAndCharacterOnceTheWindowIsShown)
{
    writeFile("mine.TSX", "'VBScript\r\n");
    const Text character = path("characters/aldric.kvr");
    Main(*shell, home(), {character, path("mine.TSX")});
    EXPECT_TRUE(mainWindow().isVisible());
    EXPECT_EQ(characterName(), u"Sir Aldric Venn");
    EXPECT_EQ(caption(), programCaption() + u" (" + character + u")");
    EXPECT_EQ(shell->state.MRUFiles[1], character);
    EXPECT_EQ(shell->state.CharDir, path("characters/"));
    EXPECT_EQ(shell->state.TesseraFile, path("mine.TSX"));
    EXPECT_EQ(shell->state.TesseraDir, home());
    EXPECT_EQ(label(mainWindow(), "lblTesseraFile")->text().toStdU16String(), path("mine.TSX"));
    EXPECT_TRUE(dialogs.messages.empty());
    // Start-up still leaves the program folder as the current directory.
    EXPECT_EQ(QDir::currentPath().toStdU16String() + u"/", home());
}

TEST_F(HandedFilesTest, AHandedFileThatIsNotThereIsReportedAndChangesNothing)
{
    const Text missing = path("characters/gone.kvr");
    Main(*shell, home(), {missing, path("characters")}); // a folder is no sheet script either
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, u"File: " + path("characters") + u" could not be found.");
    EXPECT_EQ(dialogs.messages[1].text, u"File: " + missing + u" could not be found.");
    EXPECT_EQ(shell->state.TesseraFile, home() + u"chrsht.tsx");
    EXPECT_EQ(caption(), programCaption());
    EXPECT_EQ(shell->state.MRUFiles[1], Text());
}

TEST_F(HandedFilesTest, ABrokenHandedCharacterFailsAsLoadCharacterFails)
{
    writeFile("characters/broken.kvr", "[system]\r\n[points]\r\ntotal(100), spent\r\n");
    start();
    struct Outcome {
        std::vector<Text> messages;
        Text caption, name, file, recent;
        bool operator==(const Outcome&) const = default;
    };
    auto outcome = [&] {
        return Outcome{dialogs.messageTexts(), caption(), characterName(), shell->state.CurrentCharFile,
                       shell->state.MRUFiles[1]};
    };
    load("broken.kvr");
    const Outcome fromLoad = outcome();
    ASSERT_FALSE(fromLoad.messages.empty());

    dialogs.messages.clear();
    trigger("MenuFileNew");
    mainWindow().openHandedFiles({path("characters/broken.kvr"), Text()});
    EXPECT_TRUE(outcome() == fromLoad);
    EXPECT_EQ(dialogs.messageTexts(), fromLoad.messages);
}

// ---- Drops on the main window

class DropTest : public StartedShellTest {
protected:
    static QMimeData* files(const std::vector<Text>& paths)
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const Text& p : paths)
            urls.push_back(QUrl::fromLocalFile(QString::fromStdU16String(p)));
        data->setUrls(urls);
        return data;
    }
    // Drags `data` over the main window and drops it there, as a file
    // manager would offer it; true when the window took the drop.
    bool drop(QMimeData* data, Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction)
    {
        const std::unique_ptr<QMimeData> owned(data);
        const QPoint at = mainWindow().rect().center();
        QDragEnterEvent enter(at, offered, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&mainWindow(), &enter);
        if (!enter.isAccepted())
            return false;
        EXPECT_EQ(enter.dropAction(), Qt::CopyAction); // never a move: the source keeps its file
        QDropEvent dropped(QPointF(at), offered, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&mainWindow(), &dropped);
        EXPECT_TRUE(dropped.isAccepted());
        EXPECT_EQ(dropped.dropAction(), Qt::CopyAction);
        // The files are opened once the drop is over.
        EXPECT_EQ(characterName(), Text());
        QCoreApplication::sendPostedEvents(&mainWindow());
        return true;
    }
};

TEST_F(DropTest, DroppingACharacterAndASheetOpensBoth)
{
    writeFile("dropped.tsx", "'VBScript\r\n");
    const Text character = path("characters/corwin.chr");
    ASSERT_TRUE(drop(files({character, path("dropped.tsx")})));
    EXPECT_FALSE(characterName().empty());
    EXPECT_EQ(shell->state.CurrentCharFile, character);
    EXPECT_EQ(shell->state.MRUFiles[1], character);
    EXPECT_EQ(caption(), programCaption() + u" (" + character + u")");
    EXPECT_EQ(shell->state.TesseraFile, path("dropped.tsx"));
    EXPECT_EQ(label(mainWindow(), "lblTesseraFile")->text().toStdU16String(), path("dropped.tsx"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(DropTest, DropsTheWindowCannotUseAreRefusedAndChangeNothing)
{
    const Text mira = path("characters/mira.kvr");
    EXPECT_FALSE(drop(files({mira, path("characters/aldric.kvr")}))); // which one?
    EXPECT_FALSE(drop(files({path("characters")})));                  // a folder
    EXPECT_FALSE(drop(files({path("characters/none.kvr")})));         // gone meanwhile
    EXPECT_FALSE(drop(files({mira}), Qt::MoveAction));                // would be taken from its owner
    auto* remote = new QMimeData;
    remote->setUrls({QUrl(QStringLiteral("https://example.org/hero.kvr"))});
    EXPECT_FALSE(drop(remote));
    auto* text = new QMimeData;
    text->setText(QString::fromStdU16String(mira));
    EXPECT_FALSE(drop(text));

    // While a sheet runs a character waits, as Load Character does; a sheet
    // script may still be chosen, as Browse may.
    shell->state.Busy = kTrue;
    EXPECT_FALSE(drop(files({mira})));
    EXPECT_TRUE(drop(files({home() + u"chrsht.tsx"})));
    shell->state.Busy = kFalse;

    EXPECT_EQ(characterName(), Text());
    EXPECT_EQ(shell->state.MRUFiles[1], Text());
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace quillet::testing
