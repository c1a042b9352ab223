#include "surface/widgets/preview_widget.h"

#include "surface/png_export.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace quillet::surface {
namespace {

const QColor kDeskColour(128, 128, 128);
const QColor kShadowColour(64, 64, 64);

} // namespace

PreviewWidget::PreviewWidget(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("previewSurface"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    menu_ = new QMenu(this);
    rebuildMenu();
}

void PreviewWidget::setDocument(Document document)
{
    document_ = std::move(document);
    cache_.clear();
    currentPage_ = document_.pages.empty() ? 0 : 1;
    relayout();
    setCurrentPage(currentPage_);
    viewport()->update();
}

void PreviewWidget::replaceDocument(Document document)
{
    if (currentPage_ == 0) {
        setDocument(std::move(document));
        return;
    }
    // Where the view is, relative to the current page's corner.
    const QRectF& oldRect = geometry_.pageRects[static_cast<size_t>(currentPage_ - 1)];
    const QPointF intoPage = scrollOffset() - oldRect.topLeft();
    const double oldScale = geometry_.scale;
    const int keep = currentPage_;

    document_ = std::move(document);
    cache_.clear();
    if (document_.pages.empty()) {
        currentPage_ = 0;
        relayout();
        emit currentPageChanged(0);
        return;
    }
    relayout();
    const int page = std::min(keep, pageCount());
    setCurrentPage(page);
    // The same page: the same place on it (setCurrentPage showed its top).
    if (page == keep) {
        const QPointF corner = geometry_.pageRects[static_cast<size_t>(page - 1)].topLeft();
        scrollingToPage_ = true;
        horizontalScrollBar()->setValue(static_cast<int>(std::lround(corner.x() + intoPage.x())));
        verticalScrollBar()->setValue(static_cast<int>(std::lround(corner.y() + intoPage.y())));
        scrollingToPage_ = false;
    }
    // A fitted mode shows pages of another size at another scale.
    if (geometry_.scale != oldScale)
        emit zoomChanged();
    viewport()->update();
}

void PreviewWidget::setZoomMenuText(const QString& text)
{
    zoomMenuText_ = text;
    rebuildMenu();
}

void PreviewWidget::rebuildMenu()
{
    menu_->clear();
    zoomActions_ = new QActionGroup(menu_);
    zoomActions_->setExclusive(true);
    const QStringList entries = zoomMenuText_.split(QLatin1Char('|'));
    const ZoomMode modes[] = {ZoomMode::WholePage, ZoomMode::PageWidth, ZoomMode::TwoPages, ZoomMode::Thumbnail};
    for (int i = 0; i < 4; ++i) {
        QAction* action = menu_->addAction(i < entries.size() ? entries[i] : QString());
        action->setCheckable(true);
        action->setChecked(zoomMode_ == modes[i]);
        action->setData(i);
        zoomActions_->addAction(action);
        const ZoomMode mode = modes[i];
        connect(action, &QAction::triggered, this, [this, mode] { setZoomMode(mode); });
    }
}

void PreviewWidget::setZoomMode(ZoomMode mode)
{
    zoomMode_ = mode;
    for (QAction* action : zoomActions_->actions())
        action->setChecked(static_cast<int>(mode) == action->data().toInt());
    const int keep = currentPage_;
    relayout();
    setCurrentPage(keep);
    emit zoomChanged();
}

void PreviewWidget::setZoomPercent(int percent)
{
    zoomPercent_ = std::clamp(percent, kMinZoomPercent, kMaxZoomPercent);
    setZoomMode(ZoomMode::Percent);
}

int PreviewWidget::shownPercent() const
{
    if (zoomMode_ == ZoomMode::Percent)
        return zoomPercent_;
    return static_cast<int>(std::lround(geometry_.scale * 1440.0 / logicalDpiY() * 100));
}

// The first step from a fitted mode starts at the percentage it showed.
void PreviewWidget::zoomIn()
{
    setZoomPercent(shownPercent() + kZoomStepPercent);
}

void PreviewWidget::zoomOut()
{
    setZoomPercent(shownPercent() - kZoomStepPercent);
}

void PreviewWidget::relayout()
{
    std::vector<QSizeF> sizes;
    sizes.reserve(document_.pages.size());
    for (const Page& page : document_.pages)
        sizes.emplace_back(page.width, page.height);
    geometry_ = layoutPreview(sizes, viewport()->size(), zoomMode_, zoomPercent_, logicalDpiY());
    if (geometry_.scale != cachedScale_) {
        cache_.clear();
        cachedScale_ = geometry_.scale;
    }
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, static_cast<int>(std::ceil(geometry_.contentSize.width())) - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, std::max(0, static_cast<int>(std::ceil(geometry_.contentSize.height())) - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(40);
    horizontalScrollBar()->setSingleStep(40);
    viewport()->update();
}

void PreviewWidget::setCurrentPage(int page)
{
    if (document_.pages.empty())
        return;
    page = std::clamp(page, 1, pageCount());
    const QRectF& rect = geometry_.pageRects[static_cast<size_t>(page - 1)];
    scrollingToPage_ = true;
    verticalScrollBar()->setValue(static_cast<int>(rect.top() - kPreviewGap));
    if (rect.width() > viewport()->width())
        horizontalScrollBar()->setValue(static_cast<int>(rect.left() - kPreviewGap));
    scrollingToPage_ = false;
    if (page != currentPage_) {
        currentPage_ = page;
        emit currentPageChanged(page);
    }
    viewport()->update();
}

QPointF PreviewWidget::scrollOffset() const
{
    return QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void PreviewWidget::scrollContentsBy(int, int)
{
    if (!scrollingToPage_)
        updateCurrentFromScroll();
    viewport()->update();
}

// After the user scrolls, the current page is the first one whose lower
// half is still in view.
void PreviewWidget::updateCurrentFromScroll()
{
    const double top = verticalScrollBar()->value();
    for (size_t i = 0; i < geometry_.pageRects.size(); ++i) {
        const QRectF& r = geometry_.pageRects[i];
        if (r.center().y() >= top) {
            const int page = static_cast<int>(i) + 1;
            if (page != currentPage_) {
                currentPage_ = page;
                emit currentPageChanged(page);
            }
            return;
        }
    }
}

const QImage& PreviewWidget::pageImage(int index)
{
    auto it = cache_.find(index);
    if (it != cache_.end())
        return *it;
    const double ratio = devicePixelRatioF();
    QImage image = renderPageImage(document_.pages[static_cast<size_t>(index)], geometry_.scale * 1440.0 * ratio);
    image.setDevicePixelRatio(ratio);
    return *cache_.insert(index, image);
}

void PreviewWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), kDeskColour);
    const QPointF offset = scrollOffset();
    const QRectF visible(offset, QSizeF(viewport()->size()));
    for (size_t i = 0; i < geometry_.pageRects.size(); ++i) {
        const QRectF& rect = geometry_.pageRects[i];
        if (!rect.intersects(visible))
            continue;
        const QRectF onScreen = rect.translated(-offset);
        painter.fillRect(onScreen.translated(3, 3), kShadowColour);
        painter.fillRect(onScreen, Qt::white);
        painter.drawImage(onScreen, pageImage(static_cast<int>(i)));
        if (zoomMode_ == ZoomMode::Thumbnail && static_cast<int>(i) + 1 == currentPage_) {
            painter.setPen(QPen(palette().highlight().color(), 2));
            painter.drawRect(onScreen.adjusted(-2, -2, 2, 2));
        }
    }
    // Keep only the pages in or next to the view: at high zoom a page image
    // takes tens of megabytes.
    const double margin = viewport()->height();
    const QRectF nearby = visible.adjusted(-margin, -margin, margin, margin);
    for (auto it = cache_.begin(); it != cache_.end();) {
        if (geometry_.pageRects[static_cast<size_t>(it.key())].intersects(nearby))
            ++it;
        else
            it = cache_.erase(it);
    }
}

void PreviewWidget::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    const int keep = currentPage_;
    const double scale = geometry_.scale;
    relayout();
    setCurrentPage(keep);
    // A fitted mode shows the pages at another size now.
    if (geometry_.scale != scale)
        emit zoomChanged();
}

void PreviewWidget::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Print)) {
        emit printRequested();
        return;
    }
    switch (event->key()) {
    case Qt::Key_PageDown:
    case Qt::Key_Right:
        nextPage();
        break;
    case Qt::Key_PageUp:
    case Qt::Key_Left:
        previousPage();
        break;
    case Qt::Key_Home:
        firstPage();
        break;
    case Qt::Key_End:
        lastPage();
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomIn();
        break;
    case Qt::Key_Minus:
        zoomOut();
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);  // Up/Down scroll
    }
}

void PreviewWidget::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        if (event->angleDelta().y() > 0)
            zoomIn();
        else if (event->angleDelta().y() < 0)
            zoomOut();
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

// A click on a page makes it current; in thumbnail view a click opens the
// page as a whole page.
void PreviewWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    const QPointF at = event->position() + scrollOffset();
    for (size_t i = 0; i < geometry_.pageRects.size(); ++i) {
        if (geometry_.pageRects[i].contains(at)) {
            const int page = static_cast<int>(i) + 1;
            if (zoomMode_ == ZoomMode::Thumbnail) {
                currentPage_ = page;
                setZoomMode(ZoomMode::WholePage);
            }
            setCurrentPage(page);
            return;
        }
    }
}

void PreviewWidget::contextMenuEvent(QContextMenuEvent* event)
{
    menu_->exec(event->globalPos());
}

} // namespace quillet::surface
