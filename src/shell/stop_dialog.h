// The small "Stop script" dialog offered while a sheet script has been
// running for a while.  Stop asks the engine to end the script; the run
// then ends with the script error report like any script error.  Esc and
// the window's close button mean Stop too: the dialog offers nothing else.
#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

namespace quillet {

class StopDialog : public QDialog {
    Q_OBJECT
public:
    StopDialog(std::function<void()> stop, QWidget* parent);

    QPushButton* stopButton() const { return button_; }
    void stopClicked();

protected:
    // Esc, and the close button through closeEvent; the dialog stays up,
    // saying it is stopping, until the script has ended.
    void reject() override { stopClicked(); }

private:
    std::function<void()> stop_;
    QLabel* label_;
    QPushButton* button_;
};

} // namespace quillet
