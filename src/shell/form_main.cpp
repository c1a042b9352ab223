#include "shell/form_main.h"

#include "shell/mru_list.h"
#include "shell/shell.h"
#include "shell/twips.h"
#include "shell/window_placement.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QStatusTipEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quillet {

namespace {

// The status bar: a sunken strip whose label always covers it.
class StatusBarBox : public QFrame {
public:
    explicit StatusBarBox(QWidget* parent) : QFrame(parent)
    {
        setObjectName(QStringLiteral("picStatusBar"));
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label = new QLabel(this);
        label->setObjectName(QStringLiteral("pnlStatusBar"));
        label->setContentsMargins(4, 0, 4, 0);
        setFixedHeight(label->sizeHint().height() + 6);
    }
    QLabel* label;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QFrame::resizeEvent(event);
        label->setGeometry(contentsRect());
    }
};

struct ToolBit {
    const char* icon;
    const char* tip;
};

constexpr ToolBit kToolBits[4] = {
    {":/quillet/clear.svg", "Clear Character"},
    {":/quillet/load.svg", "Load Character..."},
    {":/quillet/print.svg", "Print"},
    {":/quillet/preview.svg", "Print Preview"},
};

} // namespace

FormMain::FormMain(Shell& shell) : shell_(shell)
{
    setObjectName(QStringLiteral("formMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/quillet/quillet.svg")));
    setAcceptDrops(true); // character files and sheet scripts
    buildMenus();
    buildContent();
    resize(600, 260);
}

QAction* FormMain::addMenuAction(QMenu* menu, const char* objectName, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(objectName));
    return action;
}

void FormMain::buildMenus()
{
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu_->setObjectName(QStringLiteral("MenuFile"));
    connect(addMenuAction(fileMenu_, "MenuFileNew", QStringLiteral("&New")), &QAction::triggered, this,
            &FormMain::clearCharacterCommand);
    QAction* load = addMenuAction(fileMenu_, "MenuFileLoad", QStringLiteral("&Load..."));
    load->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(load, &QAction::triggered, this, [this] {
        if (!busy())
            LoadCharacterCommand();
    });
    fileMenu_->addSeparator()->setObjectName(QStringLiteral("MenuFileSpace1"));
    QAction* print = addMenuAction(fileMenu_, "MenuFilePrint", QStringLiteral("&Print"));
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(print, &QAction::triggered, this, [this] {
        if (!busy())
            printCommand(true);
    });
    connect(addMenuAction(fileMenu_, "MenuFilePrintPreview", QStringLiteral("Print Pre&view")), &QAction::triggered,
            this, [this] {
                if (!busy())
                    printCommand(false);
            });
    connect(addMenuAction(fileMenu_, "MenuFilePrinterSetup", QStringLiteral("Prin&t Setup...")),
            &QAction::triggered, this, [this] {
                if (!busy())
                    PrinterSetupCommand();
            });
    fileMenu_->addSeparator()->setObjectName(QStringLiteral("MenuFileSpace4"));
    connect(addMenuAction(fileMenu_, "MenuFilePrefs", QStringLiteral("Pre&ferences...")), &QAction::triggered, this,
            [this] {
                if (!busy())
                    preferencesCommand();
            });
    // The logging window, when the user closed it, comes back from here.
    QAction* logWindow = addMenuAction(fileMenu_, "MenuFileLogWindow", QStringLiteral("Lo&gging Window"));
    logWindow->setStatusTip(QStringLiteral("Shows the logging window (switch Debug/Logging on in Preferences)"));
    connect(logWindow, &QAction::triggered, this, &FormMain::logWindowCommand);
    connect(fileMenu_, &QMenu::aboutToShow, this,
            [this, logWindow] { logWindow->setEnabled(shell_.state.Debug == kTrue); });
    fileMenu_->addSeparator()->setObjectName(QStringLiteral("MenuFileSpace3"));
    // Entry 0 of the recent files exists from the start, disabled, until a
    // file fills position 1.
    mruSpacer_ = fileMenu_->addSeparator();
    mruSpacer_->setObjectName(QStringLiteral("MRUFileSpacer"));
    QAction* first = makeRecentFileEntry(0);
    first->setText(QString::fromStdU16String(Text(kMRUPlaceholder)));
    first->setEnabled(false);
    connect(addMenuAction(fileMenu_, "MenuFileExit", QStringLiteral("E&xit")), &QAction::triggered, this,
            &QWidget::close);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(addMenuAction(help, "mnuHelpAbout", QStringLiteral("&About QUILLET")), &QAction::triggered, this,
            &FormMain::aboutCommand);
}

void FormMain::buildContent()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // The tool bar.
    auto* toolStrip = new QFrame(central);
    toolStrip->setObjectName(QStringLiteral("Picture1"));
    toolStrip->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto* tools = new QHBoxLayout(toolStrip);
    tools->setContentsMargins(4, 2, 4, 2);
    tools->setSpacing(2);
    for (int i = 0; i < 4; ++i) {
        auto* button = new QToolButton(toolStrip);
        button->setObjectName(QStringLiteral("cmdToolbit"));
        button->setProperty("index", i);
        button->setIcon(QIcon(QString::fromLatin1(kToolBits[i].icon)));
        button->setIconSize(QSize(24, 24));
        button->setToolTip(QString::fromLatin1(kToolBits[i].tip));
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, [this, i] {
            if (busy())
                return;
            switch (i) {
            case 0: clearCharacterCommand(); break;
            case 1: LoadCharacterCommand(); break;
            case 2: printCommand(true); break;
            default: printCommand(false); break;
            }
        });
        tools->addWidget(button);
        toolButtons_.push_back(button);
    }
    tools->addStretch();
    layout->addWidget(toolStrip);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(12, 12, 12, 12);
    body->setSpacing(16);
    logo_ = new QLabel(central);
    logo_->setObjectName(QStringLiteral("picLogo"));
    logo_->setPixmap(QIcon(QStringLiteral(":/quillet/logo.svg")).pixmap(QSize(150, 150)));
    logo_->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    body->addWidget(logo_);

    auto* right = new QVBoxLayout;
    auto* caption = new QLabel(QStringLiteral("Current Tessera file:"), central);
    caption->setObjectName(QStringLiteral("Label2"));
    right->addWidget(caption);
    tesseraFile_ = new QLabel(central);
    tesseraFile_->setObjectName(QStringLiteral("lblTesseraFile"));
    tesseraFile_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    tesseraFile_->setWordWrap(true);
    tesseraFile_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    tesseraFile_->setMinimumHeight(tesseraFile_->fontMetrics().lineSpacing() * 2 + 8);
    tesseraFile_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    right->addWidget(tesseraFile_);
    right->addSpacing(8);
    auto* buttons = new QHBoxLayout;
    auto* showPicture = new QPushButton(QStringLiteral("&Show Picture"), central);
    showPicture->setObjectName(QStringLiteral("btnShowPicture"));
    connect(showPicture, &QPushButton::clicked, this, &FormMain::showPictureCommand);
    auto* browse = new QPushButton(QStringLiteral("&Browse"), central);
    browse->setObjectName(QStringLiteral("btnBrowse"));
    connect(browse, &QPushButton::clicked, this, &FormMain::ChooseSheetScript);
    // One width for both, with room around the longer caption.
    const int buttonWidth = std::max(showPicture->sizeHint().width(), browse->sizeHint().width()) + 16;
    showPicture->setMinimumWidth(buttonWidth);
    browse->setMinimumWidth(buttonWidth);
    buttons->addWidget(showPicture);
    buttons->addWidget(browse);
    buttons->addStretch();
    right->addLayout(buttons);
    right->addStretch();
    body->addLayout(right, 1);
    layout->addLayout(body, 1);

    auto* statusBox = new StatusBarBox(central);
    status_ = statusBox->label;
    layout->addWidget(statusBox);
    setCentralWidget(central);
}

QAction* FormMain::action(const char* objectName) const
{
    return findChild<QAction*>(QString::fromLatin1(objectName));
}

void FormMain::setStatusText(const Text& text)
{
    showingTip_ = false;
    status_->setText(QString::fromStdU16String(text));
}

void FormMain::placeFromSettings()
{
    const AppState& state = shell_.state;
    const QRect stored = pixelsOf({state.MainLeft, state.MainTop, state.MainWidth, state.MainHeight});
    if (stored.isEmpty())
        return;
    // The place is the frame's (move() places the frame), the size the
    // client area's: what rememberPlacement stores, so that a window
    // manager's title bar does not push the window down at every start.
    const QRect fitted = fittedToScreens(stored);
    move(fitted.topLeft());
    resize(fitted.size());
    if (state.MainMaximized != kFalse)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void FormMain::rememberPlacement()
{
    // A maximised or minimised window keeps the place it comes back to.
    QRect placement(pos(), size());
    if (isMaximized() || isMinimized()) {
        const QPoint frameOffset = geometry().topLeft() - pos();
        placement = QRect(normalGeometry().topLeft() - frameOffset, normalGeometry().size());
    }
    const WindowMeasures normal = twipsOf(placement);
    if (normal.width <= 0 || normal.height <= 0)
        return;
    AppState& state = shell_.state;
    state.MainLeft = normal.left;
    state.MainTop = normal.top;
    state.MainWidth = normal.width;
    state.MainHeight = normal.height;
    state.MainMaximized = isMaximized() ? kTrue : kFalse;
}

void FormMain::showCaptionWithoutFile()
{
    setWindowTitle(QString::fromStdU16String(u"KVR Character Printer " + VersionText()));
}

void FormMain::showTesseraFile()
{
    tesseraFile_->setText(QString::fromStdU16String(shell_.state.TesseraFile));
}

void FormMain::showLogo(bool shown)
{
    logo_->setVisible(shown);
}

QAction* FormMain::makeRecentFileEntry(int index)
{
    auto* entry = new QAction(fileMenu_);
    entry->setObjectName(QStringLiteral("MRUFileList"));
    entry->setProperty("index", index);
    connect(entry, &QAction::triggered, this, [this, index] { recentFileCommand(index); });
    // Before the next entry that exists, so the menu keeps their order.
    QAction* before = mruSpacer_;
    for (int later = kMRUCount - 1; later > index; --later) {
        if (mruEntries_[size_t(later)])
            before = mruEntries_[size_t(later)];
    }
    fileMenu_->insertAction(before, entry);
    mruEntries_[size_t(index)] = entry;
    return entry;
}

std::vector<QAction*> FormMain::recentFileEntries() const
{
    std::vector<QAction*> entries;
    for (QAction* entry : mruEntries_) {
        if (entry)
            entries.push_back(entry);
    }
    return entries;
}

void FormMain::BuildMRUMenu()
{
    for (int n = 1; n <= kMRUCount; ++n) {
        const Text& path = shell_.state.MRUFiles[size_t(n)];
        if (trimSpaces(path).empty())
            continue;
        QAction* entry = mruEntries_[size_t(n - 1)];
        if (!entry)
            entry = makeRecentFileEntry(n - 1);
        // A long path loses its middle, keeping where it starts and the
        // file's name; the status line shows it whole.  "&&" shows an
        // ampersand of the path instead of making an access key.
        const QString full = QString::fromStdU16String(path);
        const QFontMetrics metrics(fileMenu_->font());
        const QString shown = metrics.elidedText(full, Qt::ElideMiddle, metrics.averageCharWidth() * kMRUCaptionChars);
        entry->setText(QString::fromStdU16String(mruCaption(n, Text())) + QString(shown).replace(u'&', QStringLiteral("&&")));
        entry->setStatusTip(full);
        entry->setEnabled(true);
    }
}

void FormMain::AddToMRU(const Text& path)
{
    if (AddToMRUList(shell_.state.MRUFiles, path))
        BuildMRUMenu();
}

bool FormMain::event(QEvent* event)
{
    // Menu entries show their status tips in the status line; the line
    // comes back when the pointer leaves them.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        if (!tip.isEmpty()) {
            if (!showingTip_)
                statusBeforeTip_ = status_->text();
            showingTip_ = true;
            status_->setText(tip);
        } else if (showingTip_) {
            showingTip_ = false;
            status_->setText(statusBeforeTip_);
        }
        return true;
    }
    return QMainWindow::event(event);
}

void FormMain::closeEvent(QCloseEvent* event)
{
    // Closing cannot be refused: every other window is unloaded, newest
    // first (the logging window stores its place), then the settings are
    // written.
    const std::vector<QWidget*> windows = shell_.loadedWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (*it != this)
            (*it)->close();
    }
    rememberPlacement();
    if (const QSize dialog = shell_.dialogs.fileDialogSize; !dialog.isEmpty()) {
        shell_.state.FileDialogWidth = pixelsToTwips(dialog.width());
        shell_.state.FileDialogHeight = pixelsToTwips(dialog.height());
    }
    // Said once, here, rather than never: the settings are lost otherwise.
    if (!shell_.settings.writeAtClose())
        shell_.showMessage(u"The settings could not be saved in " + shell_.settings.fileName() + u".");
    event->accept();
    shell_.windowUnloaded(this);
}

} // namespace quillet
