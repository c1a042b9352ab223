// Live refresh of the preview window: while the window is open, saving the
// sheet script or the character file runs the sheet again and shows the
// new pages in place.  A failure never costs the pages shown: a script
// error, a character file that does not read, or a sheet script that has
// gone are told in the window's error bar, and the next good run clears
// it.  Runs go through the same runner as Print Preview, on the worker
// thread with its Stop dialog, so a script that never ends is stopped as
// any other.
#pragma once

#include "common/text.h"
#include "watch/file_watcher.h"

#include <QObject>

namespace quillet {

class FormReport;
class LiveErrorBar;
class Shell;

class LiveRefresh : public QObject {
    Q_OBJECT
public:
    LiveRefresh(Shell& shell, FormReport& window, LiveErrorBar& bar);

    // Watches the current sheet script and character file from now on.
    void start();
    // Off, saves are only noted; turned on again, the preview catches up
    // with what was saved meanwhile.
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }
    // A run is going on (the window waits for it before it closes).
    bool isRunning() const { return running_; }
    // A save was noted while live refresh was off.
    bool hasMissedChange() const { return missed_; }
    // Runs the sheet again now, re-reading the character file first when
    // `characterChanged`.
    void refresh(bool characterChanged);

    watch::FileWatcher& watcher() { return watcher_; }

signals:
    // A refresh ended, whatever its outcome.
    void refreshed();

private:
    void filesChanged(const QStringList& paths);
    // Reads the character file again; on failure the character in use stays
    // as it was and the bar says why.  `notice`: what the reader said of a
    // file it did read (a portrait not found).
    bool rereadCharacter(Text& notice);
    void runSheet(const Text& readerNotice);

    Shell& shell_;
    FormReport& window_;
    LiveErrorBar& bar_;
    watch::FileWatcher watcher_;
    QString characterFile_;
    bool enabled_ = true;
    bool running_ = false;
    // Saves that came while a run was going on, or while switched off.
    bool owed_ = false;
    bool characterOwed_ = false;
    bool missed_ = false;
};

} // namespace quillet
