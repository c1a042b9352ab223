// Shows a finished document page by page: the preview window's content.
// Zoom modes come from its context menu (whole page, page width, two pages,
// thumbnails) or Ctrl+wheel / + / - (a percentage); Page Up/Down, the arrow
// keys, Home and End move between pages; Ctrl+P asks the window to print,
// which knows the printer and what to call the job.  Pages are drawn
// from their drawing operations at the current zoom, exactly as printed.
#pragma once

#include "surface/document.h"
#include "surface/widgets/document_printer.h"
#include "surface/widgets/preview_geometry.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>

class QActionGroup;
class QMenu;

namespace quillet::surface {

class PreviewWidget : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PreviewWidget(QWidget* parent = nullptr);

    void setDocument(Document document);
    // Shows a new version of the document where the old one was: the same
    // zoom, the same page (the last, when there are fewer now) scrolled to
    // the same place within it.
    void replaceDocument(Document document);
    const Document& document() const { return document_; }
    int pageCount() const { return static_cast<int>(document_.pages.size()); }
    int currentPage() const { return currentPage_; }  // 1-based; 0 without pages

    ZoomMode zoomMode() const { return zoomMode_; }
    int zoomPercent() const { return zoomPercent_; }
    // The size pages are shown at, 100 being the paper's own, in any mode.
    int shownPercent() const;
    // Four entries divided by "|", "&" marking access keys.
    QString zoomMenuText() const { return zoomMenuText_; }
    void setZoomMenuText(const QString& text);
    QMenu* zoomMenu() const { return menu_; }

    // Texts of the progress box shown while printing.
    void setPrintTexts(const PrintTexts& texts) { printTexts_ = texts; }
    const PrintTexts& printTexts() const { return printTexts_; }

    const PreviewGeometry& geometry() const { return geometry_; }

public slots:
    void setZoomMode(quillet::surface::ZoomMode mode);
    void setZoomPercent(int percent);  // switches to the percentage mode
    void zoomIn();
    void zoomOut();
    void setCurrentPage(int page);
    void nextPage() { setCurrentPage(currentPage_ + 1); }
    void previousPage() { setCurrentPage(currentPage_ - 1); }
    void firstPage() { setCurrentPage(1); }
    void lastPage() { setCurrentPage(pageCount()); }

signals:
    void currentPageChanged(int page);
    // The mode, or the size pages are shown at, changed.
    void zoomChanged();
    // The user pressed the print key.
    void printRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void relayout();
    void rebuildMenu();
    void updateCurrentFromScroll();
    const QImage& pageImage(int index);
    QPointF scrollOffset() const;

    Document document_;
    PreviewGeometry geometry_;
    ZoomMode zoomMode_ = ZoomMode::WholePage;
    int zoomPercent_ = 100;
    int currentPage_ = 0;
    bool scrollingToPage_ = false;
    QString zoomMenuText_ = QStringLiteral("Whole &Page|Page &Width|&Two Pages|Thumb&nail");
    QMenu* menu_ = nullptr;
    QActionGroup* zoomActions_ = nullptr;
    PrintTexts printTexts_;
    // Pages rendered at the current scale, for the pages in or near the
    // view; dropped when the scale changes.
    QHash<int, QImage> cache_;
    double cachedScale_ = 0;
};

} // namespace quillet::surface
