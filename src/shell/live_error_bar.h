// The bar across the top of the preview that says why the pages shown are
// not those of the files as saved now: a script error (number,
// description, line and that line's text) or a plain message (a character
// file that failed to read, a sheet script that has gone).  The pages
// below stay as they were; the next good run hides the bar.
#pragma once

#include "common/text.h"

#include <QFrame>

class QLabel;

namespace quillet {

struct ScriptFailure;

class LiveErrorBar : public QFrame {
    Q_OBJECT
public:
    explicit LiveErrorBar(QWidget* parent);

    void showScriptError(const ScriptFailure& failure);
    void showMessage(const Text& message);
    void clear();

    QLabel* headline() const { return headline_; }
    QLabel* lineLabel() const { return line_; }
    // The height the bar needs at this width; 0 while it is hidden.
    int heightAt(int width) const;

signals:
    // Shown, hidden, or its text changed: the window lays itself out again.
    void changed();

private:
    void present(const QString& headline, const QString& line);

    QLabel* icon_;
    QLabel* headline_;
    QLabel* line_;
};

} // namespace quillet
