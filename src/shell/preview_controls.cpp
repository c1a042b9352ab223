#include "shell/preview_controls.h"

#include "surface/widgets/preview_widget.h"

#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

namespace quillet {

QString toolTipWithShortcut(const QString& text, const QKeySequence& shortcut)
{
    if (shortcut.isEmpty())
        return text;
    return text + QStringLiteral(" (") + shortcut.toString(QKeySequence::NativeText) + u')';
}

QString withoutAccessKeys(QString text)
{
    // "&&" stands for an ampersand shown as such.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    return text;
}

PreviewControls::PreviewControls(surface::PreviewWidget& preview, QWidget* window)
    : QObject(window), preview_(preview), window_(window), toolBar_(new QToolBar(window)),
      statusBar_(new QStatusBar(window)), pageLabel_(new QLabel(statusBar_)), zoomLabel_(new QLabel(statusBar_))
{
    toolBar_->setObjectName(QStringLiteral("tbrPreview"));
    toolBar_->setIconSize(QSize(22, 22));
    toolBar_->setFloatable(false);
    toolBar_->setMovable(false);
    statusBar_->setObjectName(QStringLiteral("sbrPreview"));
    statusBar_->setSizeGripEnabled(true);
    pageLabel_->setObjectName(QStringLiteral("lblPreviewPage"));
    zoomLabel_->setObjectName(QStringLiteral("lblPreviewZoom"));
    statusBar_->addWidget(pageLabel_);
    statusBar_->addPermanentWidget(zoomLabel_);

    connect(addAction("actFirstPage", "first", QStringLiteral("First Page"), QKeySequence(Qt::Key_Home)),
            &QAction::triggered, &preview_, &surface::PreviewWidget::firstPage);
    connect(addAction("actPreviousPage", "previous", QStringLiteral("Previous Page"), QKeySequence(Qt::Key_PageUp)),
            &QAction::triggered, &preview_, &surface::PreviewWidget::previousPage);
    addPageField();
    connect(addAction("actNextPage", "next", QStringLiteral("Next Page"), QKeySequence(Qt::Key_PageDown)),
            &QAction::triggered, &preview_, &surface::PreviewWidget::nextPage);
    connect(addAction("actLastPage", "last", QStringLiteral("Last Page"), QKeySequence(Qt::Key_End)),
            &QAction::triggered, &preview_, &surface::PreviewWidget::lastPage);
    toolBar_->addSeparator();
    addZoomModes();
    connect(addAction("actZoomOut", "zoom-out", QStringLiteral("Zoom Out"), QKeySequence::ZoomOut),
            &QAction::triggered, &preview_, &surface::PreviewWidget::zoomOut);
    connect(addAction("actZoomIn", "zoom-in", QStringLiteral("Zoom In"), QKeySequence::ZoomIn), &QAction::triggered,
            &preview_, &surface::PreviewWidget::zoomIn);
    toolBar_->addSeparator();
    const QKeySequence liveShortcut(Qt::CTRL | Qt::Key_L);
    QAction* live = addAction("actLiveRefresh", "live-refresh", QStringLiteral("Live Refresh"), liveShortcut);
    live->setCheckable(true);
    live->setToolTip(toolTipWithShortcut(QStringLiteral("Live Refresh: show the pages again each time the sheet "
                                                        "script or the character file is saved"),
                                         liveShortcut));
    connect(live, &QAction::toggled, this, &PreviewControls::liveRefreshToggled);
    toolBar_->addSeparator();
    connect(addAction("actPrint", "print", QStringLiteral("Print..."), QKeySequence::Print), &QAction::triggered,
            this, &PreviewControls::printRequested);
    connect(addAction("actSavePdf", "save-pdf", QStringLiteral("Save as PDF..."), QKeySequence::Save),
            &QAction::triggered, this, &PreviewControls::savePdfRequested);
    toolBar_->addSeparator();
    connect(addAction("actClose", "close", QStringLiteral("Close"), QKeySequence(Qt::Key_Escape)),
            &QAction::triggered, this, &PreviewControls::closeRequested);

    connect(&preview_, &surface::PreviewWidget::currentPageChanged, this, &PreviewControls::showPage);
    // A message (what was printed) gives way to the page once it changes.
    connect(&preview_, &surface::PreviewWidget::currentPageChanged, statusBar_, &QStatusBar::clearMessage);
    connect(&preview_, &surface::PreviewWidget::zoomChanged, this, &PreviewControls::showZoom);
    connect(&preview_, &surface::PreviewWidget::printRequested, this, &PreviewControls::printRequested);
    refresh();
}

QAction* PreviewControls::addAction(const char* objectName, const char* icon, const QString& text,
                                    const QKeySequence& shortcut)
{
    QAction* action = toolBar_->addAction(QIcon(QStringLiteral(":/quillet/%1.svg").arg(QLatin1String(icon))), text);
    action->setObjectName(QString::fromLatin1(objectName));
    action->setShortcut(shortcut);
    action->setToolTip(toolTipWithShortcut(text, shortcut));
    return action;
}

void PreviewControls::addPageField()
{
    pageField_ = new QSpinBox(toolBar_);
    pageField_->setObjectName(QStringLiteral("txtPreviewPage"));
    pageField_->setPrefix(QStringLiteral("Page "));
    pageField_->setAlignment(Qt::AlignRight);
    pageField_->setButtonSymbols(QAbstractSpinBox::NoButtons);
    pageField_->setAccelerated(true);
    // The page changes when the typed number is complete, not per digit.
    pageField_->setKeyboardTracking(false);
    pageField_->setToolTip(QStringLiteral("Type a page number and press Enter"));
    toolBar_->addWidget(pageField_);
    pageCountLabel_ = new QLabel(toolBar_);
    pageCountLabel_->setObjectName(QStringLiteral("lblPreviewPageCount"));
    pageCountLabel_->setContentsMargins(4, 0, 4, 0);
    toolBar_->addWidget(pageCountLabel_);
    connect(pageField_, &QSpinBox::valueChanged, &preview_, &surface::PreviewWidget::setCurrentPage);
}

// The surface's own zoom menu entries, so that the buttons and the menu
// always agree on the mode chosen.
void PreviewControls::addZoomModes()
{
    static const char* const icons[] = {"whole-page", "page-width", "two-pages", "thumbnails"};
    static const char* const names[] = {"actWholePage", "actPageWidth", "actTwoPages", "actThumbnails"};
    const QList<QAction*> entries = preview_.zoomMenu()->actions();
    for (int i = 0; i < std::min<int>(4, static_cast<int>(entries.size())); ++i) {
        QAction* mode = entries[i];
        const QKeySequence shortcut(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + i));
        mode->setObjectName(QString::fromLatin1(names[i]));
        mode->setIcon(QIcon(QStringLiteral(":/quillet/%1.svg").arg(QLatin1String(icons[i]))));
        mode->setShortcut(shortcut);
        mode->setToolTip(toolTipWithShortcut(withoutAccessKeys(mode->text()), shortcut));
        toolBar_->addAction(mode);
        zoomModes_.append(mode);
    }
}

QAction* PreviewControls::action(const QString& objectName) const
{
    for (QAction* candidate : toolBar_->actions()) {
        if (candidate->objectName() == objectName)
            return candidate;
    }
    return nullptr;
}

void PreviewControls::refresh()
{
    showPage();
    showZoom();
}

void PreviewControls::showPage()
{
    const int pages = preview_.pageCount();
    const int current = preview_.currentPage();
    {
        const QSignalBlocker quiet(pageField_);
        pageField_->setRange(pages > 0 ? 1 : 0, pages);
        pageField_->setValue(current);
    }
    pageField_->setEnabled(pages > 1);
    pageCountLabel_->setText(QStringLiteral("of %1").arg(pages));
    pageLabel_->setText(pages > 0 ? QStringLiteral("Page %1 of %2").arg(current).arg(pages)
                                  : QStringLiteral("No pages"));
    const bool hasPrevious = current > 1;
    const bool hasNext = current < pages;
    action(QStringLiteral("actFirstPage"))->setEnabled(hasPrevious);
    action(QStringLiteral("actPreviousPage"))->setEnabled(hasPrevious);
    action(QStringLiteral("actNextPage"))->setEnabled(hasNext);
    action(QStringLiteral("actLastPage"))->setEnabled(hasNext);
    action(QStringLiteral("actPrint"))->setEnabled(pages > 0);
    action(QStringLiteral("actSavePdf"))->setEnabled(pages > 0);
}

void PreviewControls::showZoom()
{
    const int percent = preview_.shownPercent();
    QString text = QStringLiteral("%1%").arg(percent);
    const int mode = static_cast<int>(preview_.zoomMode());
    if (mode < zoomModes_.size())
        text = withoutAccessKeys(zoomModes_[mode]->text()) + QStringLiteral(", ") + text;
    zoomLabel_->setText(text);
    action(QStringLiteral("actZoomIn"))->setEnabled(percent < surface::kMaxZoomPercent);
    action(QStringLiteral("actZoomOut"))->setEnabled(percent > surface::kMinZoomPercent);
}

} // namespace quillet
