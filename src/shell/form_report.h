// The preview window formReport: the print surface VSPrinter1 between a
// tool bar and a status bar (PreviewControls).  A sheet run draws on the
// surface; the window then shows the pages modally or sends them to the
// printer without being shown.  While it is shown, saving the sheet script
// or the character file shows the pages again (LiveRefresh), with an error
// bar under the tool bar when that run failed.
#pragma once

#include "sheet/qt/surface_adapter.h"
#include "sheet/runner_host.h"
#include "surface/surface.h"
#include "surface/widgets/document_printer.h"

#include <QDialog>

namespace quillet {

namespace surface {
class PreviewWidget;
}
class LiveErrorBar;
class LiveRefresh;
class PreviewControls;
class Shell;

inline constexpr TextView kReportCaptionBeforeRun = u"QUILLET Print Preview";

class FormReport : public QDialog, public ReportWindow {
    Q_OBJECT
public:
    explicit FormReport(Shell& shell);

    PrintSurface& surface() override { return adapter_; }
    // Titles the window and fits the surface, without showing it.
    void showPreviewWindow() override;
    void showModal() override;
    void printDocument() override;

    // Pages fromPage..toPage (0: from the first, to the last) on the
    // printer Print Setup chose, with the progress box; the status line
    // then says how many pages went where.
    surface::PrintResult printPages(int fromPage, int toPage);
    // The tool bar's Print: the print dialog on that printer, for the
    // pages chosen there.
    void printFromPreview();
    // The tool bar's Save as PDF: the pages to a PDF file chosen in a save
    // dialog, which proposes the character's file name with ".pdf".
    void savePdf();
    // Where Save as PDF proposes to write.
    Text proposedPdfPath() const;

    // Pages of a later run of the sheet in place of those shown, at the
    // same page and zoom.
    void showRefreshedPages(surface::Document pages);

    // The tool bar across the top, then the error bar when it is shown,
    // the status bar across the bottom, and the surface covering the
    // client area between them.
    void FitPreviewSurface();
    surface::Surface& printSurface() { return surface_; }
    surface::PreviewWidget* previewWidget() const { return preview_; }
    PreviewControls* controls() const { return controls_; }
    LiveErrorBar* errorBar() const { return errorBar_; }
    LiveRefresh* liveRefresh() const { return liveRefresh_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override { close(); }

private:
    void reportStatus(const Text& text);
    void setLiveRefresh(bool on);

    Shell& shell_;
    surface::Surface surface_;
    SurfaceAdapter adapter_;
    surface::PreviewWidget* preview_;
    PreviewControls* controls_;
    LiveErrorBar* errorBar_;
    LiveRefresh* liveRefresh_;
    bool processingResize_ = false;
    // Closing was asked for while a refresh ran; the window closes after it.
    bool closeOwed_ = false;
};

} // namespace quillet
