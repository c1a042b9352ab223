// The preferences dialog frmPrefs: the four option flags as check boxes.
// OK changes the flags in memory only; they reach the settings file when
// the main window closes.
#pragma once

#include "settings/prefs_model.h"

#include <QDialog>

#include <array>

class QCheckBox;

namespace quillet {

class Shell;

class FrmPrefs : public QDialog {
    Q_OBJECT
public:
    explicit FrmPrefs(Shell& shell);

    QCheckBox* checkBox(size_t index) const { return boxes_.at(index); }
    void okClicked();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override { close(); }

private:
    Shell& shell_;
    PrefsModel model_;
    std::array<QCheckBox*, kPrefsCheckBoxes.size()> boxes_{};
};

} // namespace quillet
