#include "shell/frm_log.h"

#include "logging/log_window_controls.h"
#include "shell/shell.h"
#include "shell/twips.h"
#include "shell/window_placement.h"

#include <QCloseEvent>
#include <QIcon>
#include <QListWidget>
#include <QPushButton>

namespace quillet {

FrmLog::FrmLog(Shell& shell, const WindowMeasures& outer) : shell_(shell)
{
    setObjectName(QStringLiteral("frmLog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window);
    setWindowTitle(QString::fromStdU16String(Text(kLogWindowCaption)));
    setWindowIcon(QIcon(QStringLiteral(":/quillet/quillet.svg")));

    list_ = new QListWidget(this);
    list_->setObjectName(QString::fromLatin1(kLogListName));
    list_->setUniformItemSizes(true);
    export_ = new QPushButton(QString::fromStdU16String(Text(kExportButtonCaption)), this);
    export_->setObjectName(QString::fromLatin1(kExportButtonName));
    // Its left edge lines up with the list's; its size fits its caption.
    export_->setGeometry(QRect(QPoint(twipsToPixels(kLogMargin), 0), export_->sizeHint().expandedTo(QSize(100, 0))));
    connect(export_, &QPushButton::clicked, this, &FrmLog::exportClicked);

    placeOuter(outer);
}

void FrmLog::placeOuter(const WindowMeasures& stored)
{
    const std::optional<WindowMeasures> screens = usableScreenArea();
    const WindowMeasures outer = screens ? fitWindowToScreen(stored, *screens) : stored;
    placedAt_ = outer;
    // move() places the frame; the size is the client's, so the frame's
    // share comes off (it is known only once the window is shown).
    const QSize frameExtra = frameGeometry().size() - size();
    placedFrame_ = frameExtra;
    move(twipsToPixels(outer.left), twipsToPixels(outer.top));
    resize(std::max(1, twipsToPixels(outer.width) - frameExtra.width()),
           std::max(1, twipsToPixels(outer.height) - frameExtra.height()));
}

void FrmLog::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!framePlaced_) {
        framePlaced_ = true;
        placeOuter(placedAt_);
    }
}

// A window manager may frame the window only after it is shown.  Placed
// without knowing the frame, the window would be a frame larger than
// stored, and grow by one more with every run: it is placed again, once,
// when the frame turns up.
void FrmLog::adoptLateFrame()
{
    if (lateFrameAdopted_ || !framePlaced_ || !isVisible() || isMinimized())
        return;
    if (frameGeometry().size() - size() == placedFrame_)
        return;
    lateFrameAdopted_ = true;
    placeOuter(placedAt_);
}

void FrmLog::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    adoptLateFrame();
}

WindowMeasures FrmLog::outerMeasures() const
{
    return twipsOf(frameGeometry());
}

void FrmLog::exportClicked()
{
    const Text file = shell_.logging.exportFileName();
    if (shell_.logging.ExportLog())
        shell_.showMessage(u"The log was written to " + file + u".");
    else
        shell_.showMessage(u"The log could not be written to " + file + u".");
}

void FrmLog::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    adoptLateFrame();
    followSize();
}

void FrmLog::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Restored: a size set while minimised was not followed.
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        followSize();
}

void FrmLog::followSize()
{
    LogWindowGeometry geometry;
    geometry.outer = outerMeasures();
    geometry.innerWidth = pixelsToTwips(width());
    geometry.innerHeight = pixelsToTwips(height());
    geometry.buttonHeight = pixelsToTwips(export_->height());
    geometry.minimized = isMinimized();
    const std::optional<LogWindowLayout> layout = shell_.logging.windowResized(geometry);
    if (!layout)
        return;
    export_->move(export_->x(), twipsToPixels(layout->buttonTop));
    list_->setGeometry(twipsToPixels(layout->listLeft), twipsToPixels(layout->listTop),
                       twipsToPixels(layout->listWidth), twipsToPixels(layout->listHeight));
}

void FrmLog::closeEvent(QCloseEvent* event)
{
    event->accept();
    shell_.logging.windowClosed(outerMeasures(), isMinimized());
    shell_.windowUnloaded(this);
}

} // namespace quillet
