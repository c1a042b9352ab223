// Print Preview and Print through the preview window, script errors, and
// the worker thread with its Stop dialog and message boxes.
#include "shell_fixture.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

namespace quillet::testing {

class PreviewTest : public StartedShellTest {
protected:
    using ShellTest::useSheet;
    // sheet.tsx, its Sub main running these lines, as the sheet script.
    void useSheet(std::initializer_list<std::string> lines) { useSheet("sheet.tsx", mainSub(lines)); }
    static int pages(FormReport& report) { return report.previewWidget()->pageCount(); }
};

TEST_F(PreviewTest, PreviewOfTheBundledSheetShowsItsPagesModally)
{
    load("aldric.kvr");
    withPreview([&](FormReport& report) {
        EXPECT_EQ(report.windowTitle().toStdU16String(), programCaption() + u" Print Preview");
        EXPECT_GE(pages(report), 1);
        EXPECT_TRUE(report.isModal() && report.windowModality() == Qt::ApplicationModal);
        EXPECT_EQ(shell->state.Busy, kFalse); // lowered before the window shows
        // A resize fits the surface, then lets pending events run.
        bool pendingRan = false;
        QMetaObject::invokeMethod(&report, [&] { pendingRan = true; }, Qt::QueuedConnection);
        // The surface spans the window's width, between the tool bar and
        // the status bar.
        const auto surfaceSize = [&report](QSize window) {
            return QSize(window.width(), window.height() - report.controls()->toolBar()->height() -
                                             report.controls()->statusBar()->height());
        };
        report.resize(500, 420);
        EXPECT_EQ(report.previewWidget()->QWidget::size(), surfaceSize(QSize(500, 420)));
        EXPECT_TRUE(pendingRan);
        // Minimised it keeps the surface; restored, the surface fills it.
        report.showMinimized();
        report.resize(460, 380);
        EXPECT_EQ(report.previewWidget()->QWidget::size(), surfaceSize(QSize(500, 420)));
        report.showNormal();
        EXPECT_EQ(report.previewWidget()->QWidget::size(), surfaceSize(QSize(460, 380)));
    });
    EXPECT_TRUE(dialogs.messages.empty()) << toUtf8(dialogs.messages.empty() ? Text() : dialogs.messages[0].text);
    EXPECT_EQ(statusLine(), QString());
}

TEST_F(PreviewTest, TwoPreviewsInARowShowOnlyTheSecondRunInANewWindow)
{
    useSheet({"Preview.Text = \"one\""});
    withPreview([](FormReport& report) { EXPECT_EQ(pages(report), 1); });
    useSheet({"Preview.Text = \"one\"", "Preview.NewPage", "Preview.Text = \"two\""});
    withPreview([](FormReport& report) { EXPECT_EQ(pages(report), 2); });
    EXPECT_EQ(shell->reportWindowIfLoaded(), nullptr); // closed and released
}

TEST_F(PreviewTest, PrintNeverShowsTheWindowAndSendsThePagesToThePrinter)
{
    load("aldric.kvr");
    useSheet({"Preview.Text = \"printed\"", "Preview.NewPage"});
    shell->printer().setOutputFileName(QString::fromStdU16String(path("printed.pdf")));
    mainWindow().toolButton(2)->click();
    FormReport* report = shell->reportWindowIfLoaded();
    ASSERT_NE(report, nullptr); // stays loaded, hidden
    EXPECT_FALSE(report->isVisible());
    EXPECT_EQ(report->windowTitle().toStdU16String(), programCaption() + u" Print Preview");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(readFile("printed.pdf").rfind("%PDF", 0), 0u);
    // The status line says how many pages went where; the job is named
    // after the character and the sheet.
    EXPECT_EQ(statusLine().toStdU16String(), u"2 pages written to " + path("printed.pdf") + u".");
    EXPECT_EQ(shell->printer().docName(), QStringLiteral("Sir Aldric Venn - sheet.tsx"));

    // The next run discards it for a fresh one.
    trigger("MenuFilePrint");
    EXPECT_NE(shell->reportWindowIfLoaded(), nullptr);
    EXPECT_FALSE(shell->reportWindowIfLoaded()->isVisible());
}

TEST_F(PreviewTest, APrinterThatCannotBeOpenedIsReported)
{
    useSheet({"Preview.Text = \"printed\""});
    shell->printer().setOutputFileName(QString::fromStdU16String(path("no/such/folder/printed.pdf")));
    trigger("MenuFilePrint");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, u"The sheet could not be printed: The file " +
                                            path("no/such/folder/printed.pdf") + u" cannot be written.");
    EXPECT_EQ(shell->state.Busy, kFalse);
}

TEST_F(PreviewTest, AFailedPrintNeverBreaksPrintingForTheSession)
{
    useSheet({"Preview.Text = \"printed\""});
    // No printer at all: what Qt offers then is a PDF writer without a
    // file, which a start of printing leaves marked as printing for good.
    QPrinter& none = shell->printer();
    none.setOutputFileName(QString());
    none.setOutputFormat(QPrinter::PdfFormat);
    QPainter failed;
    ASSERT_FALSE(failed.begin(&none));
    ASSERT_EQ(none.printerState(), QPrinter::Active);

    trigger("MenuFilePrint");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              u"There is no printer to print the sheet on. Choose a printer in File > Print Setup..., "
              u"or printing to a PDF file, which is always offered there.");

    // Print Setup, Print to File: the choice takes, and the next Print works.
    dialogs.printSetupAnswer = true;
    dialogs.onPrintSetup = [&](QPrinter& printer) {
        EXPECT_EQ(printer.docName(), QStringLiteral("sheet.tsx")) << "a PDF file named after the document";
        printer.setOutputFileName(QString::fromStdU16String(path("chosen.pdf")));
    };
    trigger("MenuFilePrinterSetup");
    EXPECT_EQ(statusLine().toStdU16String(), u"Sheets are written to " + path("chosen.pdf") + u".");
    trigger("MenuFilePrint");
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(readFile("chosen.pdf").rfind("%PDF", 0), 0u);
    EXPECT_EQ(statusLine().toStdU16String(), u"1 page written to " + path("chosen.pdf") + u".");
}

TEST_F(PreviewTest, AFreshWindowCarriesTheCaptionAndSurfaceSettings)
{
    auto& report = static_cast<FormReport&>(shell->reportWindow());
    EXPECT_EQ(report.windowTitle(), QStringLiteral("QUILLET Print Preview"));
    const surface::PreviewWidget* preview = report.previewWidget();
    EXPECT_EQ(preview->objectName(), QStringLiteral("VSPrinter1"));
    EXPECT_EQ(preview->zoomMenuText(), QStringLiteral("Whole &Page|Page &Width|&Two Pages|Thumb&nail"));
    EXPECT_EQ(preview->printTexts().caption, QStringLiteral("Printing..."));
    EXPECT_EQ(preview->printTexts().cancelButton, QStringLiteral("Cancel"));
    EXPECT_EQ(preview->printTexts().pageLine, QStringLiteral("Now printing Page %d of"));
    EXPECT_EQ(preview->printTexts().deviceLine, QStringLiteral("on the %s on %s"));
    EXPECT_EQ(report.printSurface().fontName(), u"Arial");
    EXPECT_EQ(report.printSurface().headerFontName(), u"Arial");
}

TEST_F(PreviewTest, MissingSheetAndScriptErrorsAreReported)
{
    shell->state.TesseraFile = path("nowhere.tsx");
    trigger("MenuFilePrintPreview");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              u"The TSX file " + path("nowhere.tsx") + u" does not exist. Please load a file that does exist.");
    EXPECT_EQ(shell->reportWindowIfLoaded(), nullptr);

    dialogs.messages.clear();
    useSheet({"x = 1 / 0"});
    trigger("MenuFilePrintPreview");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text.rfind(u"Error 11:Division by zero in line 3\r\nline is:   x = 1 / 0", 0), 0u)
        << toUtf8(dialogs.messages[0].text);
    EXPECT_EQ(shell->state.Busy, kFalse);
    ASSERT_NE(shell->reportWindowIfLoaded(), nullptr);
    EXPECT_FALSE(shell->reportWindowIfLoaded()->isVisible());

    // The next preview works normally.
    useSheet({"Preview.Text = \"fine\""});
    withPreview([](FormReport& report) { EXPECT_EQ(pages(report), 1); });
}

TEST_F(PreviewTest, ARunawayScriptCanBeStoppedFromTheStopDialog)
{
    useSheet({"Do", "Loop"});
    QString stopCaption;
    whenShown("dlgStopScript", [&](QWidget* window) {
        stopCaption = window->windowTitle();
        button(*window, "btnStop")->click();
    });
    trigger("MenuFilePrintPreview");
    EXPECT_EQ(stopCaption, QStringLiteral("Stop script"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text.rfind(u"Error 18:", 0), 0u) << toUtf8(dialogs.messages[0].text);
    EXPECT_EQ(shell->state.Busy, kFalse);
    EXPECT_EQ(shownWindow("dlgStopScript"), nullptr);
    EXPECT_FALSE(shell->reportWindowIfLoaded()->isVisible());
}

TEST_F(PreviewTest, EscAndTheCloseButtonOfTheStopDialogMeanStop)
{
    useSheet({"Do", "Loop"});
    const std::function<void(QWidget*)> ways[] = {
        [](QWidget* window) {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(window, &esc);
        },
        [](QWidget* window) { window->close(); },
    };
    for (const auto& way : ways) {
        dialogs.messages.clear();
        bool stillShownAfter = false;
        whenShown("dlgStopScript", [&](QWidget* window) {
            EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
            way(window);
            stillShownAfter = window->isVisible(); // says it is stopping until the script ends
        });
        trigger("MenuFilePrintPreview");
        EXPECT_TRUE(stillShownAfter);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text.rfind(u"Error 18:", 0), 0u) << toUtf8(dialogs.messages[0].text);
        EXPECT_EQ(shell->state.Busy, kFalse);
    }
}

TEST_F(PreviewTest, TimeSpentAnsweringTheScriptDoesNotBringUpTheStopDialog)
{
    useSheet({"MsgBox \"Ready?\"", "Preview.Text = \"done\""});
    bool stopShown = false;
    dialogs.onScriptMessage = [&] {
        // The user takes three times the delay to answer.
        QDialog box;
        box.setWindowModality(Qt::ApplicationModal);
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] { stopShown = stopShown || shownWindow("dlgStopScript"); });
        watch.start(20);
        QTimer::singleShot(3 * shell->stopDialogDelayMs, &box, &QDialog::accept);
        box.exec();
    };
    withPreview([](FormReport&) {});
    EXPECT_EQ(dialogs.scriptPrompts, std::vector<Text>{u"Ready?"});
    EXPECT_FALSE(stopShown);
}

TEST_F(PreviewTest, ScriptMessageBoxesAndLogLinesReachTheUserInterfaceThread)
{
    shell->state.Debug = kTrue;
    shell->logging.OpenLog();
    useSheet({"If MsgBox(\"Print it?\", vbYesNo) = vbYes Then Preview.DebugLog \"yes\"",
              "Preview.DebugLog InputBox(\"Name?\")"});
    dialogs.scriptAnswers.push_back(6);
    dialogs.inputAnswers.push_back(Text(u"Kel"));
    withPreview([](FormReport&) {});
    EXPECT_EQ(dialogs.scriptPrompts, (std::vector<Text>{u"Print it?", u"Name?"}));
    EXPECT_TRUE(dialogs.scriptAnsweredOnUiThread);
    FrmLog* log = shell->logWindowIfLoaded();
    ASSERT_NE(log, nullptr);
    QStringList lines;
    for (int i = 0; i < log->list()->count(); ++i)
        lines << log->list()->item(i)->text();
    EXPECT_TRUE(lines.contains(QStringLiteral("  yes"))) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("  Kel")));
    EXPECT_TRUE(lines.contains(QStringLiteral("PrintReport:: Script processing completed")));
}

TEST_F(PreviewTest, ObjectsLeftAliveEndQuietlyWhenTheProgramEnds)
{
    // The sheet leaves an object whose Class_Terminate asks the user and
    // then never ends; after the main window has closed nobody is there
    // to answer, and the program must still end.
    useSheet("sheet.tsx", "'VBScript\r\nClass Leftover\r\n  Sub Class_Terminate\r\n"
                          "    Char.Name = MsgBox(\"Still there?\", vbYesNo)\r\n"
                          "    Char.Player = InputBox(\"Name?\", , \"nobody\")\r\n    Do\r\n    Loop\r\n"
                          "  End Sub\r\nEnd Class\r\nDim kept\r\nSub main()\r\n  Set kept = New Leftover\r\nEnd Sub\r\n");
    withPreview([](FormReport&) {});
    const std::shared_ptr<KVRCharacter> character = shell->state.currentCharacterPtr();
    mainWindow().close();
    shell.reset();
    EXPECT_TRUE(dialogs.scriptPrompts.empty()) << "no box after the main window has gone";
    EXPECT_EQ(character->Name, u"1") << "MsgBox counted as OK";
    EXPECT_EQ(character->Player, u"nobody") << "InputBox gave its default";
}

} // namespace quillet::testing
