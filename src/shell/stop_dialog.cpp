#include "shell/stop_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {

StopDialog::StopDialog(std::function<void()> stop, QWidget* parent) : QDialog(parent), stop_(std::move(stop))
{
    setObjectName(QStringLiteral("dlgStopScript"));
    setWindowTitle(QStringLiteral("Stop script"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    label_ = new QLabel(QStringLiteral("The sheet script is still running."), this);
    label_->setObjectName(QStringLiteral("lblStopScript"));
    label_->setAlignment(Qt::AlignCenter); // over the centred button
    layout->addWidget(label_);
    button_ = new QPushButton(QStringLiteral("&Stop"), this);
    button_->setObjectName(QStringLiteral("btnStop"));
    layout->addWidget(button_, 0, Qt::AlignHCenter);
    connect(button_, &QPushButton::clicked, this, &StopDialog::stopClicked);
    setFixedSize(sizeHint().expandedTo(QSize(280, 0)));
}

void StopDialog::stopClicked()
{
    if (!button_->isEnabled())
        return; // asked already
    button_->setEnabled(false);
    label_->setText(QStringLiteral("Stopping the sheet script..."));
    if (stop_)
        stop_();
}

} // namespace quillet
