// The preview window's controls over its surface: a tool bar to page
// through the sheet (first, previous, next, last, and a "Page n of m"
// field to type a page into), to choose the zoom (the four modes of the
// surface's own menu, in and out), to print, save as PDF and close; and a
// status bar showing the page and the zoom.  Each button's tool tip names
// its shortcut.  A checkable button switches live refresh on and off.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

class QAction;
class QLabel;
class QSpinBox;
class QStatusBar;
class QToolBar;
class QWidget;

namespace quillet {

namespace surface {
class PreviewWidget;
}

class PreviewControls : public QObject {
    Q_OBJECT
public:
    // The bars are children of `window`, which places them.  The zoom
    // buttons are the entries of the surface's zoom menu, so its menu text
    // must be set before.
    PreviewControls(surface::PreviewWidget& preview, QWidget* window);

    QToolBar* toolBar() const { return toolBar_; }
    QStatusBar* statusBar() const { return statusBar_; }
    QSpinBox* pageField() const { return pageField_; }
    QLabel* pageLabel() const { return pageLabel_; }
    QLabel* zoomLabel() const { return zoomLabel_; }
    // A tool bar action by object name ("actNextPage"), or null.
    QAction* action(const QString& objectName) const;

    // Shows the surface's pages and zoom as they are now.
    void refresh();

signals:
    void printRequested();
    void savePdfRequested();
    void closeRequested();
    void liveRefreshToggled(bool on);

private:
    QAction* addAction(const char* objectName, const char* icon, const QString& text, const QKeySequence& shortcut);
    void addPageField();
    void addZoomModes();
    void showPage();
    void showZoom();

    surface::PreviewWidget& preview_;
    QWidget* window_;
    QToolBar* toolBar_;
    QStatusBar* statusBar_;
    QSpinBox* pageField_ = nullptr;
    QLabel* pageCountLabel_ = nullptr;
    QLabel* pageLabel_;
    QLabel* zoomLabel_;
    QList<QAction*> zoomModes_;
};

// "Next Page (PgDown)": the text with the shortcut a user would press.
QString toolTipWithShortcut(const QString& text, const QKeySequence& shortcut);

// A menu entry's text as a label: "Whole &Page" shows as "Whole Page".
QString withoutAccessKeys(QString text);

} // namespace quillet
