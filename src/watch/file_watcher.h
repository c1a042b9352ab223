// Watches a set of files and reports once a change has settled.
//
// Editors save in different ways: some write the file in place (often in
// several writes), others write a new file and rename it over the old one,
// or move the old one aside first.  The watcher follows the path, not the
// file it named when watching began: it watches each file and the folder
// holding it, and when the name comes to mean another file (or the file
// appears at last) it watches that one.  Every event restarts the settle
// timer; when the files have stayed as they are for the settle time, the
// files whose state (existence, identity, size, time written) differs from
// the last report are reported together in one changed().  Changes to other
// files in the same folders report nothing, so a program may write its
// output beside the files it watches.
#pragma once

#include "watch/file_state.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <vector>

namespace quillet::watch {

class FileWatcher : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kDefaultSettleTime{300};

    explicit FileWatcher(QObject* parent = nullptr);

    // Watches these files from now on (and no others).  A file that does
    // not exist yet is reported when it appears.  The files as they are
    // now are the starting point: only later changes are reported.
    void setFiles(const QStringList& paths);
    // The files as given to setFiles.
    QStringList files() const;

    // How long the files must stay unchanged before a change is reported.
    void setSettleTime(std::chrono::milliseconds time);

signals:
    // Files (as given to setFiles) that were written, replaced, removed or
    // created since the last report, in the order they were given.
    void changed(const QStringList& paths);

private:
    struct Watched {
        QString path;     // as given
        QString absolute; // what is watched
        FileState reported;
        FileState lastSeen;
        // The file the watch on `absolute` follows: inotify follows the
        // file, not its name, so a file renamed over it needs a new watch.
        uint64_t watchedInode = 0;
        bool watching = false;
    };

    void fileEvent();
    void folderEvent();
    // Watches each file the paths name now; true when any state differs
    // from the one seen last.
    bool followFiles();
    void settle();

    QFileSystemWatcher watcher_;
    QTimer settleTimer_;
    std::vector<Watched> files_;
};

} // namespace quillet::watch
