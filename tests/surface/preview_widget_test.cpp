// The preview widget (zoom modes, navigation, drawing) and printing through
// Qt's printer support (to a PDF printer, so it runs headless).
#include "poppler_tools.h"
#include "qt_app.h"

#include "surface/surface.h"
#include "surface/widgets/document_printer.h"
#include "surface/widgets/preview_widget.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quillet::surface {
namespace {

const std::vector<QSizeF> kLetterPages(3, QSizeF(12240, 15840));

TEST(PreviewGeometry, FittedModesFitTheViewport)
{
    const QSizeF viewport(800, 600);
    auto whole = layoutPreview(kLetterPages, viewport, ZoomMode::WholePage, 100, 96);
    EXPECT_NEAR(whole.pageRects[0].height(), 600 - 2 * kPreviewGap, 1e-6);
    EXPECT_LE(whole.pageRects[0].width(), 800 - 2 * kPreviewGap);
    EXPECT_EQ(whole.columns, 1);
    EXPECT_GT(whole.pageRects[1].top(), whole.pageRects[0].bottom());

    auto width = layoutPreview(kLetterPages, viewport, ZoomMode::PageWidth, 100, 96);
    EXPECT_NEAR(width.pageRects[0].width(), 800 - 2 * kPreviewGap, 1e-6);
    EXPECT_GT(width.contentSize.height(), 3 * width.pageRects[0].height());

    auto two = layoutPreview(kLetterPages, viewport, ZoomMode::TwoPages, 100, 96);
    EXPECT_EQ(two.columns, 2);
    EXPECT_DOUBLE_EQ(two.pageRects[0].top(), two.pageRects[1].top());  // side by side
    EXPECT_LE(two.pageRects[1].right(), 800);
    EXPECT_GT(two.pageRects[2].top(), two.pageRects[0].bottom());

    auto thumbs = layoutPreview(kLetterPages, viewport, ZoomMode::Thumbnail, 100, 96);
    EXPECT_NEAR(thumbs.pageRects[0].height(), kThumbnailHeight, 1e-6);
    EXPECT_EQ(thumbs.columns, 3);
}

TEST(PreviewGeometry, PercentShowsRealSizeAndIsClamped)
{
    auto real = layoutPreview(kLetterPages, QSizeF(800, 600), ZoomMode::Percent, 100, 96);
    EXPECT_NEAR(real.pageRects[0].width(), 8.5 * 96, 1e-6);
    EXPECT_GT(real.contentSize.width(), 800);  // wider than the view: scrolls
    auto tiny = layoutPreview(kLetterPages, QSizeF(800, 600), ZoomMode::Percent, 1, 96);
    EXPECT_NEAR(tiny.scale, 0.10 * 96 / 1440, 1e-9);
    auto huge = layoutPreview(kLetterPages, QSizeF(800, 600), ZoomMode::Percent, 5000, 96);
    EXPECT_NEAR(huge.scale, 4.0 * 96 / 1440, 1e-9);
    EXPECT_TRUE(layoutPreview({}, QSizeF(800, 600), ZoomMode::WholePage, 100, 96).pageRects.empty());
}

Document threePages()
{
    Surface s;
    s.startDoc();
    s.setBrushColor(0);
    s.drawRectangle(1440, 1440, 10800, 14400);  // page 1 is mostly black
    s.newPage();
    s.paragraph(u"Second");
    s.setOrientation(kLandscape);
    s.newPage();
    s.paragraph(u"Third");
    s.endDoc();
    return s.document();
}

class PreviewWidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::ensureQtApplication();
        preview_ = std::make_unique<PreviewWidget>();
        preview_->resize(600, 500);
        preview_->setDocument(threePages());
    }
    // Made here, not as a member: a widget needs the application first.
    std::unique_ptr<PreviewWidget> preview_;
};

void press(QWidget& widget, int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

TEST_F(PreviewWidgetTest, KeysAndSlotsMoveBetweenPages)
{
    PreviewWidget& preview = *preview_;
    EXPECT_EQ(preview.pageCount(), 3);
    EXPECT_EQ(preview.currentPage(), 1);
    std::vector<int> seen;
    QObject::connect(&preview, &PreviewWidget::currentPageChanged, [&](int page) { seen.push_back(page); });
    press(preview, Qt::Key_PageDown);
    EXPECT_EQ(preview.currentPage(), 2);
    press(preview, Qt::Key_End);
    EXPECT_EQ(preview.currentPage(), 3);
    press(preview, Qt::Key_PageDown);  // stays on the last page
    EXPECT_EQ(preview.currentPage(), 3);
    press(preview, Qt::Key_Home);
    EXPECT_EQ(preview.currentPage(), 1);
    EXPECT_EQ(seen, (std::vector<int>{2, 3, 1}));
    preview.setCurrentPage(2);
    press(preview, Qt::Key_PageUp);
    EXPECT_EQ(preview.currentPage(), 1);
}

TEST_F(PreviewWidgetTest, ZoomMenuHasTheConfiguredEntriesAndSwitchesModes)
{
    PreviewWidget& preview = *preview_;
    const QList<QAction*> actions = preview.zoomMenu()->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0]->text(), "Whole &Page");
    EXPECT_EQ(actions[1]->text(), "Page &Width");
    EXPECT_EQ(actions[2]->text(), "&Two Pages");
    EXPECT_EQ(actions[3]->text(), "Thumb&nail");
    EXPECT_TRUE(actions[0]->isChecked());
    actions[1]->trigger();
    EXPECT_EQ(preview.zoomMode(), ZoomMode::PageWidth);
    EXPECT_TRUE(actions[1]->isChecked());
    EXPECT_FALSE(actions[0]->isChecked());
    actions[3]->trigger();
    EXPECT_EQ(preview.zoomMode(), ZoomMode::Thumbnail);
    EXPECT_EQ(preview.geometry().columns, 3);

    preview.setZoomMenuText("A|B|C|D");
    EXPECT_EQ(preview.zoomMenu()->actions()[2]->text(), "C");
}

TEST_F(PreviewWidgetTest, ZoomingStepsFromTheFittedSize)
{
    PreviewWidget& preview = *preview_;
    const double fitted = preview.geometry().scale;
    preview.zoomIn();
    EXPECT_EQ(preview.zoomMode(), ZoomMode::Percent);
    EXPECT_GT(preview.geometry().scale, fitted);
    const int percent = preview.zoomPercent();
    press(preview, Qt::Key_Minus);
    EXPECT_EQ(preview.zoomPercent(), percent - kZoomStepPercent);
    preview.setZoomPercent(1000);
    EXPECT_EQ(preview.zoomPercent(), kMaxZoomPercent);
}

TEST_F(PreviewWidgetTest, DrawsPagesOnTheDeskAtTheirPlace)
{
    PreviewWidget& preview = *preview_;
    preview.show();
    const QImage shot = preview.viewport()->grab().toImage();
    const QRectF page = preview.geometry().pageRects[0];
    // Centre of page 1: inside the black rectangle.
    EXPECT_LT(shot.pixelColor(page.center().toPoint()).lightness(), 30);
    // Just inside the page's corner: white paper.
    EXPECT_EQ(shot.pixelColor((page.topLeft() + QPointF(3, 3)).toPoint()), QColor(Qt::white));
    // Left of the page: the grey desk.
    EXPECT_EQ(shot.pixelColor(QPoint(2, static_cast<int>(page.center().y()))), QColor(128, 128, 128));
}

QString pdfInfo(const QString& pdf)
{
    return testing::runTool("pdfinfo", {"-f", "1", "-l", "10", pdf}).out;
}

class PrintingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::ensureQtApplication();
        ASSERT_TRUE(dir_.isValid());
        // Made here, not as a member: a printer needs the application first.
        printerOwner_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printerOwner_->setOutputFormat(QPrinter::PdfFormat);
        printerOwner_->setOutputFileName(dir_.filePath("printed.pdf"));
    }
    QTemporaryDir dir_;
    std::unique_ptr<QPrinter> printerOwner_;
};

TEST_F(PrintingTest, PrintsEveryPageAtItsOwnPaperSize)
{
    if (!testing::havePoppler())
        GTEST_SKIP() << "poppler-utils not installed";
    DocumentPrinter printer;
    printer.setShowProgress(false);
    std::vector<int> printed;
    QObject::connect(&printer, &DocumentPrinter::pagePrinted, [&](int page, int) { printed.push_back(page); });
    ASSERT_EQ(printer.print(threePages(), *printerOwner_), PrintResult::Printed) << printer.errorMessage().toStdString();
    EXPECT_EQ(printed, (std::vector<int>{1, 2, 3}));
    const QString info = pdfInfo(printerOwner_->outputFileName());
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\b")));
    EXPECT_TRUE(info.contains(QRegularExpression("Page\\s+1 size:\\s+612 x 792 pts")));
    EXPECT_TRUE(info.contains(QRegularExpression("Page\\s+3 size:\\s+792 x 612 pts")));
}

TEST_F(PrintingTest, PrintsAPageRange)
{
    if (!testing::havePoppler())
        GTEST_SKIP() << "poppler-utils not installed";
    DocumentPrinter printer;
    printer.setShowProgress(false);
    ASSERT_EQ(printer.print(threePages(), *printerOwner_, 2, 9), PrintResult::Printed);
    EXPECT_TRUE(pdfInfo(printerOwner_->outputFileName()).contains(QRegularExpression("Pages:\\s+2\\b")));
    EXPECT_EQ(printer.pagesPrinted(), 2);
    EXPECT_EQ(printer.print(threePages(), *printerOwner_, 5, 6), PrintResult::Failed);
    EXPECT_FALSE(printer.errorMessage().isEmpty());
}

TEST_F(PrintingTest, ProgressBoxShowsItsTextsAndCancelStopsPrinting)
{
    DocumentPrinter printer;
    printer.setDocumentName("Aldric");
    QString title;
    QString label;
    QString cancelText;
    QObject::connect(&printer, &DocumentPrinter::pagePrinted, [&](int page, int) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QProgressDialog*>(w); box && box->isVisible()) {
                title = box->windowTitle();
                label = box->labelText();
                for (QPushButton* b : box->findChildren<QPushButton*>())
                    cancelText = b->text();
            }
        }
        if (page == 1)
            printer.cancel();  // as the Cancel button does
    });
    EXPECT_EQ(printer.print(threePages(), *printerOwner_), PrintResult::Cancelled);
    EXPECT_EQ(title, "Printing...");
    EXPECT_EQ(cancelText, "Cancel");
    EXPECT_TRUE(label.startsWith("Now printing Page 1 of\nAldric\non the PDF writer on /")) << label.toStdString();
    EXPECT_TRUE(label.endsWith(printerOwner_->outputFileName())) << label.toStdString();
}

TEST(PrintTexts, ProgressTextFillsTheSlots)
{
    DocumentPrinter printer;
    printer.setDocumentName("Sheet");
    EXPECT_EQ(printer.progressText(3, "Laser", "Office"), "Now printing Page 3 of\nSheet\non the Laser on Office");
    PrintTexts texts;
    texts.deviceLine = "%s";
    printer.setTexts(texts);
    EXPECT_EQ(printer.progressText(1, "Laser %s", "x"), "Now printing Page 1 of\nSheet\nLaser %s");
}

} // namespace
} // namespace quillet::surface
