// The portrait window frmPortrait: the current character's picture with
// its path, and buttons to clear it, load another, or close the window.
// Its image control imnPortrait is also where the reader and the print
// object load pictures, so it exists (hidden) whenever they need it.
#pragma once

#include "common/text.h"
#include "sheet/qt/qt_portrait_image.h"

#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;

namespace quillet {

class Shell;

// The image control's view: the picture scaled to fit, keeping its shape.
class PortraitView : public QWidget {
public:
    explicit PortraitView(QWidget* parent);
    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

class FrmPortrait : public QDialog {
    Q_OBJECT
public:
    explicit FrmPortrait(Shell& shell);

    // The Portrait property: the picture path in use.  Setting a path that
    // names no existing file empties it; a path that remains is loaded
    // into the image control.
    Text Portrait() const;
    void setPortrait(const Text& path);

    QtPortraitImage& image() { return image_; }
    PortraitView* view() const { return view_; }

    void clearClicked();
    void loadClicked();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override { close(); }

private:
    void showPortraitPath();
    void applyResizeRule();
    // Loads into the image control, reporting a file that is no picture.
    void loadPicture(const Text& path);

    Shell& shell_;
    QtPortraitImage image_;
    QLabel* label_;
    PortraitView* view_;
    QPushButton* buttons_[3];
};

} // namespace quillet
