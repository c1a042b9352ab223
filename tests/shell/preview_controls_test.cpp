// The preview window's tool bar and status bar: paging, zoom, printing and
// saving from the preview, driven as a user would while it is shown.
#include "shell_fixture.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSpinBox>

namespace quillet::testing {

namespace {

// What pdfinfo says of the PDF: "Title:", "Pages:" and the rest.
QString pdfInfo(const Text& pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {QString::fromStdU16String(pdf)});
    info.waitForFinished();
    return QString::fromUtf8(info.readAllStandardOutput());
}

bool hasLine(const QString& info, const QString& key, const QString& value)
{
    return info.contains(QRegularExpression(u'^' + QRegularExpression::escape(key) + QStringLiteral(":\\s+") +
                                            QRegularExpression::escape(value) + u'$',
                                            QRegularExpression::MultilineOption));
}

} // namespace

class PreviewControlsTest : public StartedShellTest {
protected:
    void SetUp() override
    {
        StartedShellTest::SetUp();
        load("aldric.kvr");
        useSheet("three.tsx", mainSub({"Preview.Text = \"one\"", "Preview.NewPage", "Preview.Text = \"two\"",
                                       "Preview.NewPage", "Preview.Text = \"three\""}));
    }
    // Previews; `use` works the shown window and its controls.
    void withControls(const std::function<void(FormReport&, PreviewControls&)>& use)
    {
        withPreview([=](FormReport& report) { use(report, *report.controls()); });
    }
    static QAction* act(PreviewControls& controls, const char* name)
    {
        QAction* action = controls.action(QString::fromLatin1(name));
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
};

TEST_F(PreviewControlsTest, PagingButtonsAndThePageFieldMoveThroughTheSheet)
{
    withControls([&](FormReport& report, PreviewControls& controls) {
        const surface::PreviewWidget& preview = *report.previewWidget();
        EXPECT_EQ(controls.pageLabel()->text(), QStringLiteral("Page 1 of 3"));
        EXPECT_FALSE(act(controls, "actFirstPage")->isEnabled());
        EXPECT_FALSE(act(controls, "actPreviousPage")->isEnabled());

        act(controls, "actNextPage")->trigger();
        EXPECT_EQ(preview.currentPage(), 2);
        EXPECT_EQ(controls.pageField()->value(), 2);
        EXPECT_EQ(controls.pageLabel()->text(), QStringLiteral("Page 2 of 3"));
        EXPECT_TRUE(act(controls, "actPreviousPage")->isEnabled());

        act(controls, "actLastPage")->trigger();
        EXPECT_EQ(preview.currentPage(), 3);
        EXPECT_FALSE(act(controls, "actNextPage")->isEnabled());
        EXPECT_FALSE(act(controls, "actLastPage")->isEnabled());

        // A page typed into the field, then Enter.
        auto* edit = controls.pageField()->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QKeyEvent one(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("1"));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(edit, &one);
        QApplication::sendEvent(edit, &enter);
        EXPECT_EQ(preview.currentPage(), 1);
        EXPECT_EQ(controls.pageLabel()->text(), QStringLiteral("Page 1 of 3"));
        EXPECT_EQ(controls.pageField()->maximum(), 3);
    });
}

TEST_F(PreviewControlsTest, ZoomButtonsAreTheSurfacesMenuAndTheStatusBarShowsTheZoom)
{
    withControls([&](FormReport& report, PreviewControls& controls) {
        surface::PreviewWidget& preview = *report.previewWidget();
        // The four modes on the tool bar are the entries of the zoom menu.
        const QList<QAction*> menu = preview.zoomMenu()->actions();
        ASSERT_EQ(menu.size(), 4);
        EXPECT_EQ(menu[1], act(controls, "actPageWidth"));
        EXPECT_EQ(menu[1]->text(), QStringLiteral("Page &Width"));
        EXPECT_TRUE(act(controls, "actWholePage")->isChecked());
        EXPECT_EQ(controls.zoomLabel()->text(),
                  QStringLiteral("Whole Page, %1%").arg(preview.shownPercent()));

        act(controls, "actPageWidth")->trigger();
        EXPECT_EQ(preview.zoomMode(), surface::ZoomMode::PageWidth);
        EXPECT_TRUE(menu[1]->isChecked());
        EXPECT_FALSE(menu[0]->isChecked());
        const int pageWidth = preview.shownPercent();
        EXPECT_EQ(controls.zoomLabel()->text(), QStringLiteral("Page Width, %1%").arg(pageWidth));

        // A step in leaves the fitted modes for a percentage.
        act(controls, "actZoomIn")->trigger();
        EXPECT_EQ(preview.zoomMode(), surface::ZoomMode::Percent);
        EXPECT_EQ(controls.zoomLabel()->text(), QStringLiteral("%1%").arg(pageWidth + 25));
        for (QAction* mode : menu)
            EXPECT_FALSE(mode->isChecked()) << mode->text().toStdString();
        preview.setZoomPercent(surface::kMaxZoomPercent);
        EXPECT_FALSE(act(controls, "actZoomIn")->isEnabled());
        EXPECT_TRUE(act(controls, "actZoomOut")->isEnabled());

        // A fitted mode follows the window's size, and so does the label.
        act(controls, "actWholePage")->trigger();
        const QString before = controls.zoomLabel()->text();
        report.resize(report.width() / 2, report.height() / 2);
        EXPECT_NE(controls.zoomLabel()->text(), before);
        EXPECT_EQ(controls.zoomLabel()->text(),
                  QStringLiteral("Whole Page, %1%").arg(preview.shownPercent()));
    });
}

TEST_F(PreviewControlsTest, EveryButtonHasAShortcutItsToolTipNames)
{
    withControls([&](FormReport&, PreviewControls& controls) {
        int buttons = 0;
        for (QAction* action : controls.toolBar()->actions()) {
            if (action->isSeparator() || action->text().isEmpty())
                continue; // the page field
            ++buttons;
            EXPECT_FALSE(action->shortcut().isEmpty()) << action->objectName().toStdString();
            EXPECT_TRUE(action->toolTip().endsWith(
                QStringLiteral("(%1)").arg(action->shortcut().toString(QKeySequence::NativeText))))
                << action->toolTip().toStdString();
        }
        EXPECT_EQ(buttons, 14); // 4 pages, 4 modes, 2 zooms, live refresh, print, save, close
        EXPECT_EQ(act(controls, "actNextPage")->toolTip(),
                  QStringLiteral("Next Page (%1)").arg(QKeySequence(Qt::Key_PageDown).toString(QKeySequence::NativeText)));
    });
}

TEST_F(PreviewControlsTest, TheSurfaceFillsTheWindowBetweenTheBars)
{
    withControls([&](FormReport& report, PreviewControls& controls) {
        for (const QSize size : {QSize(500, 420), QSize(640, 700)}) {
            report.resize(size);
            const QRect surface = report.previewWidget()->QWidget::geometry();
            EXPECT_EQ(surface.top(), controls.toolBar()->geometry().bottom() + 1);
            EXPECT_EQ(surface.bottom() + 1, controls.statusBar()->geometry().top());
            EXPECT_EQ(controls.statusBar()->geometry().bottom() + 1, size.height());
            EXPECT_EQ(surface.width(), size.width());
            EXPECT_TRUE(controls.toolBar()->isVisible());
            EXPECT_TRUE(controls.statusBar()->isVisible());
        }
    });
}

TEST_F(PreviewControlsTest, PrintAsksForPrinterAndPagesThenSaysWhatWentWhere)
{
    dialogs.onPrintSetup = [&](QPrinter& printer) {
        EXPECT_EQ(printer.docName(), QStringLiteral("Sir Aldric Venn - three.tsx"));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdU16String(path("range.pdf")));
    };
    withControls([&](FormReport& report, PreviewControls& controls) {
        // Cancelled: nothing printed, nothing said.
        act(controls, "actPrint")->trigger();
        EXPECT_EQ(dialogs.printDialogCalls, 1);
        EXPECT_FALSE(fileExists("range.pdf"));
        EXPECT_TRUE(controls.statusBar()->currentMessage().isEmpty());

        dialogs.printAnswer = PageRange{2, 3};
        act(controls, "actPrint")->trigger();
        EXPECT_TRUE(hasLine(pdfInfo(path("range.pdf")), "Pages", "2")) << pdfInfo(path("range.pdf")).toStdString();
        const QString said = QString::fromStdU16String(u"2 pages written to " + path("range.pdf") + u".");
        EXPECT_EQ(controls.statusBar()->currentMessage(), said);
        EXPECT_EQ(statusLine(), said);

        // The print key on the surface asks the same way.
        QKeyEvent print(QEvent::KeyPress, Qt::Key_P, Qt::ControlModifier);
        QApplication::sendEvent(report.previewWidget(), &print);
        EXPECT_EQ(dialogs.printDialogCalls, 3);

        // Turning the page puts the page back in the status bar.
        act(controls, "actNextPage")->trigger();
        EXPECT_TRUE(controls.statusBar()->currentMessage().isEmpty());
    });
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PreviewControlsTest, SaveAsPdfProposesTheCharactersFileAndWritesWhatIsChosen)
{
    dialogs.saveAnswers.push_back(path("no/such/folder/x.pdf"));
    dialogs.saveAnswers.push_back(path("saved.pdf"));
    withControls([&](FormReport&, PreviewControls& controls) {
        act(controls, "actSavePdf")->trigger();
        ASSERT_EQ(dialogs.saveRequests.size(), 1u);
        EXPECT_EQ(dialogs.saveRequests[0].initialPath, path("characters/aldric.pdf"));
        EXPECT_EQ(dialogs.saveRequests[0].title, u"Save as PDF");
        ASSERT_EQ(dialogs.messages.size(), 1u) << "a file that cannot be written is reported";
        EXPECT_EQ(dialogs.messages[0].text.rfind(u"The sheet could not be saved: ", 0), 0u);
        EXPECT_TRUE(shownWindow("formReport")) << "and the preview stays";

        act(controls, "actSavePdf")->trigger();
        const QString info = pdfInfo(path("saved.pdf"));
        EXPECT_TRUE(hasLine(info, "Pages", "3")) << info.toStdString();
        EXPECT_TRUE(hasLine(info, "Title", "Sir Aldric Venn - three.tsx")) << "titled like a print job";
        EXPECT_EQ(controls.statusBar()->currentMessage().toStdU16String(),
                  u"3 pages written to " + path("saved.pdf") + u".");
    });
    dialogs.saveAnswers.push_back(std::nullopt); // cancelled: nothing written
    trigger("MenuFileNew");
    withControls([&](FormReport&, PreviewControls& controls) {
        act(controls, "actSavePdf")->trigger();
        // Without a character file: the sheet's name in the folder of characters.
        EXPECT_EQ(dialogs.saveRequests.back().initialPath, path("characters/three.pdf"));
    });
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(PreviewControlsTest, CloseButtonClosesThePreview)
{
    whenShown("formReport", [](QWidget* window) {
        act(*static_cast<FormReport*>(window)->controls(), "actClose")->trigger();
    });
    trigger("MenuFilePrintPreview");
    EXPECT_TRUE(sawWindow("formReport"));
    EXPECT_EQ(shownWindow("formReport"), nullptr);
}

} // namespace quillet::testing
