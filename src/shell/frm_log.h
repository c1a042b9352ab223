// The logging window frmLog: the list of log lines and Export Log.  The
// logging module keeps its lines and its state; this window draws them
// and reports its resizes and its closing back.
#pragma once

#include "logging/log_layout.h"

#include <QWidget>

class QListWidget;
class QPushButton;

namespace quillet {

class Shell;

class FrmLog : public QWidget {
    Q_OBJECT
public:
    // Placed at `outer`, the window's outer position and size in twips.
    FrmLog(Shell& shell, const WindowMeasures& outer);

    QListWidget* list() const { return list_; }
    QPushButton* exportButton() const { return export_; }
    WindowMeasures outerMeasures() const;
    void exportClicked();

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Places the window at `stored`, fitted to the screens.
    void placeOuter(const WindowMeasures& stored);
    void adoptLateFrame();
    void followSize();

    Shell& shell_;
    WindowMeasures placedAt_;
    QSize placedFrame_; // the frame's share of the size when placed
    bool framePlaced_ = false;
    bool lateFrameAdopted_ = false;
    QListWidget* list_;
    QPushButton* export_;
};

} // namespace quillet
