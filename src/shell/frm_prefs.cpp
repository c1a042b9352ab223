#include "shell/frm_prefs.h"

#include "shell/form_main.h"
#include "shell/shell.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {

namespace {

int16_t checkStateOf(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked: return kCheckTicked;
    case Qt::PartiallyChecked: return kCheckGreyed;
    default: return kCheckClear;
    }
}

} // namespace

// Owned by the main window, so that it stays in front of it while open.
FrmPrefs::FrmPrefs(Shell& shell) : QDialog(shell.mainWindowIfLoaded()), shell_(shell), model_(shell.state)
{
    setObjectName(QStringLiteral("frmPrefs"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromStdU16String(Text(kPrefsCaption)));
    setWindowIcon(QIcon(QStringLiteral(":/quillet/quillet.svg")));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    model_.load();
    for (size_t i = 0; i < kPrefsCheckBoxes.size(); ++i) {
        auto* box = new QCheckBox(QString::fromStdU16String(Text(kPrefsCheckBoxes[i].caption)), this);
        box->setObjectName(QString::fromLatin1(kPrefsCheckBoxes[i].objectName));
        box->setCheckState(model_.checkState(i) == kCheckTicked ? Qt::Checked : Qt::Unchecked);
        layout->addWidget(box);
        boxes_[i] = box;
    }
    layout->addSpacing(12);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* made[2] = {};
    for (size_t i = 0; i < kPrefsButtons.size(); ++i) {
        made[i] = new QPushButton(QString::fromStdU16String(Text(kPrefsButtons[i].caption)), this);
        made[i]->setObjectName(QString::fromLatin1(kPrefsButtons[i].objectName));
    }
    // Cancel, then OK at the right edge: the dialog's own order, and the
    // one most desktops on Linux use.
    buttons->addWidget(made[0]);
    buttons->addWidget(made[1]);
    layout->addLayout(buttons);
    made[1]->setDefault(true);
    connect(made[0], &QPushButton::clicked, this, &QWidget::close);
    connect(made[1], &QPushButton::clicked, this, &FrmPrefs::okClicked);
    setFixedSize(sizeHint());
}

void FrmPrefs::okClicked()
{
    const int16_t debugBefore = shell_.state.Debug;
    for (size_t i = 0; i < boxes_.size(); ++i)
        model_.setCheckState(i, checkStateOf(boxes_[i]));
    model_.ok();
    shell_.logging.optionsChanged(debugBefore);
    if (FormMain* main = shell_.mainWindowIfLoaded())
        main->showLogo(shell_.state.NoLogo == kFalse);
    close();
}

void FrmPrefs::closeEvent(QCloseEvent* event)
{
    event->accept();
    shell_.windowUnloaded(this);
}

} // namespace quillet
