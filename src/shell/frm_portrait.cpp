#include "shell/frm_portrait.h"

#include "common/file_system.h"
#include "common/vb_error.h"
#include "shell/dialog_service.h"
#include "shell/portrait_layout.h"
#include "shell/shell.h"
#include "shell/twips.h"
#include "shell/ui_thread.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace quillet {

namespace {

// Design positions, in twips.
constexpr float kImageLeft = 180;
constexpr float kLabelTop = 120;
constexpr float kLabelHeight = 300;
constexpr float kImageTop = 480;
constexpr int kInitialInnerWidth = 480;  // pixels
constexpr int kInitialInnerHeight = 360;

const Text kPictureFilter = u"Pictures (*.PNG;*.JPG;*.JPEG;*.BMP;*.GIF)|*.PNG;*.JPG;*.JPEG;*.BMP;*.GIF|"
                            u"All Files (*.*)|*.*";

} // namespace

PortraitView::PortraitView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("imnPortrait"));
}

void PortraitView::setImage(const QImage& image)
{
    image_ = image;
    update();
}

void PortraitView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (image_.isNull())
        return;
    const QSize fitted = image_.size().scaled(size() - QSize(4, 4), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image_);
}

FrmPortrait::FrmPortrait(Shell& shell) : shell_(shell)
{
    setObjectName(QStringLiteral("frmPortrait"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Character Portrait"));
    setWindowIcon(QIcon(QStringLiteral(":/quillet/quillet.svg")));

    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("lblPortrait"));
    label_->setGeometry(twipsToPixels(kImageLeft), twipsToPixels(kLabelTop), 300, twipsToPixels(kLabelHeight));
    view_ = new PortraitView(this);
    view_->setGeometry(twipsToPixels(kImageLeft), twipsToPixels(kImageTop), 300, 200);

    const char* names[3] = {"btnClear", "btnLoad", "btnExit"};
    const char* captions[3] = {"&Clear", "&Load", "E&xit"};
    for (int i = 0; i < 3; ++i) {
        buttons_[i] = new QPushButton(QString::fromLatin1(captions[i]), this);
        buttons_[i]->setObjectName(QString::fromLatin1(names[i]));
        buttons_[i]->setAutoDefault(false);
        buttons_[i]->setGeometry(0, twipsToPixels(kPortraitButtonTops[i]), twipsToPixels(kPortraitButtonWidth),
                                 twipsToPixels(kPortraitButtonHeight));
    }
    connect(buttons_[0], &QPushButton::clicked, this, &FrmPortrait::clearClicked);
    connect(buttons_[1], &QPushButton::clicked, this, &FrmPortrait::loadClicked);
    connect(buttons_[2], &QPushButton::clicked, this, &QWidget::close);

    // The print object loads pictures from the script's worker thread: the
    // view is updated on the user-interface thread with a copy.
    image_.changed = [this] {
        const QImage copy = image_.image();
        QMetaObject::invokeMethod(this, [this, copy] { view_->setImage(copy); },
                                  onUiThread() ? Qt::DirectConnection : Qt::QueuedConnection);
    };
    resize(kInitialInnerWidth, kInitialInnerHeight);
}

Text FrmPortrait::Portrait() const
{
    return shell_.portraitPath;
}

void FrmPortrait::setPortrait(const Text& path)
{
    shell_.portraitPath = FileExists(path) ? path : Text();
    if (!shell_.portraitPath.empty())
        loadPicture(shell_.portraitPath);
}

void FrmPortrait::loadPicture(const Text& path)
{
    try {
        image_.setFileName(path);
    } catch (const VbError& e) {
        shell_.showMessage(u"The picture " + path + u" cannot be shown: " + e.description());
    }
}

void FrmPortrait::clearClicked()
{
    shell_.portraitPath.clear();
    image_.setFileName(Text());
    label_->clear();
}

void FrmPortrait::loadClicked()
{
    OpenFileRequest request;
    request.title = u"Load Picture";
    const Text current = image_.fileName().empty() ? shell_.portraitPath : image_.fileName();
    request.initialFileName = current;
    request.initialFolder = current.empty() ? shell_.state.CharDir : folderOf(current);
    request.filter = kPictureFilter;
    if (const std::optional<Text> chosen = shell_.dialogs.openFile(this, request)) {
        const Text previous = image_.fileName();
        try {
            image_.setFileName(*chosen);
        } catch (const VbError& e) {
            // Not a picture: say so and keep the picture shown before.
            shell_.showMessage(u"The picture " + *chosen + u" cannot be shown: " + e.description());
            loadPicture(previous);
        }
    }
    shell_.portraitPath = image_.fileName();
    showPortraitPath();
}

void FrmPortrait::showPortraitPath()
{
    label_->setText(QString::fromStdU16String(shell_.portraitPath));
}

void FrmPortrait::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        showPortraitPath();
    // Restored: a size set while minimised was not followed.
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        applyResizeRule();
}

void FrmPortrait::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    showPortraitPath();
}

void FrmPortrait::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    applyResizeRule();
}

void FrmPortrait::applyResizeRule()
{
    PortraitWindowMeasures m;
    const QRect frame = frameGeometry();
    m.outerWidth = pixelsToTwips(frame.width());
    m.outerHeight = pixelsToTwips(frame.height());
    m.innerWidth = pixelsToTwips(width());
    m.innerHeight = pixelsToTwips(height());
    m.imageLeft = pixelsToTwips(view_->x());
    m.imageTop = pixelsToTwips(view_->y());
    m.minimized = isMinimized();
    std::optional<PortraitLayout> layout;
    try {
        layout = layoutPortraitWindow(m);
    } catch (const VbError&) {
        return; // wider than the 16-bit measures reach: keep the layout
    }
    if (!layout)
        return;
    for (QPushButton* button : buttons_)
        button->move(twipsToPixels(layout->buttonsLeft), button->y());
    const int width = std::max(0, twipsToPixels(layout->imageWidth));
    view_->resize(width, std::max(0, twipsToPixels(layout->imageHeight)));
    label_->resize(width, label_->height());
}

void FrmPortrait::closeEvent(QCloseEvent* event)
{
    // Not QDialog's: its close calls reject(), which closes again here.
    event->accept();
    shell_.windowUnloaded(this);
}

} // namespace quillet
