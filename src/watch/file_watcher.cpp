#include "watch/file_watcher.h"

#include <QFileInfo>

#include <algorithm>

namespace quillet::watch {

FileWatcher::FileWatcher(QObject* parent) : QObject(parent)
{
    settleTimer_.setSingleShot(true);
    settleTimer_.setInterval(kDefaultSettleTime);
    connect(&settleTimer_, &QTimer::timeout, this, &FileWatcher::settle);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &FileWatcher::fileEvent);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &FileWatcher::folderEvent);
}

void FileWatcher::setFiles(const QStringList& paths)
{
    settleTimer_.stop();
    if (!watcher_.files().isEmpty())
        watcher_.removePaths(watcher_.files());
    if (!watcher_.directories().isEmpty())
        watcher_.removePaths(watcher_.directories());
    files_.clear();

    QStringList folders;
    auto watchFolder = [&](const QString& folder) {
        if (!folders.contains(folder) && QFileInfo(folder).isDir())
            folders.append(folder);
    };
    for (const QString& path : paths) {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        if (std::any_of(files_.begin(), files_.end(), [&](const Watched& w) { return w.absolute == absolute; }))
            continue;
        Watched file;
        file.path = path;
        file.absolute = absolute;
        file.reported = file.lastSeen = FileState::of(file.absolute);
        files_.push_back(file);
        // A new file renamed over the old one shows in the folder.  When the
        // path is a link, the file it leads to may be replaced in another
        // folder.
        watchFolder(QFileInfo(file.absolute).absolutePath());
        const QString target = QFileInfo(file.absolute).canonicalFilePath();
        if (!target.isEmpty())
            watchFolder(QFileInfo(target).absolutePath());
    }
    if (!folders.isEmpty())
        watcher_.addPaths(folders);
    followFiles();
}

QStringList FileWatcher::files() const
{
    QStringList paths;
    for (const Watched& file : files_)
        paths.append(file.path);
    return paths;
}

void FileWatcher::setSettleTime(std::chrono::milliseconds time)
{
    settleTimer_.setInterval(time);
}

bool FileWatcher::followFiles()
{
    const QStringList watchedFiles = watcher_.files();
    bool differs = false;
    for (Watched& file : files_) {
        const FileState now = FileState::of(file.absolute);
        if (now != file.lastSeen) {
            file.lastSeen = now;
            differs = true;
        }
        // The watch was dropped when its file went, or it follows a file
        // the name no longer names.
        const bool stale = !watchedFiles.contains(file.absolute) || file.watchedInode != now.inode;
        if (file.watching && stale) {
            watcher_.removePath(file.absolute);
            file.watching = false;
        }
        if (!file.watching && now.exists && watcher_.addPath(file.absolute)) {
            file.watching = true;
            file.watchedInode = now.inode;
        }
    }
    return differs;
}

void FileWatcher::fileEvent()
{
    followFiles();
    settleTimer_.start();
}

void FileWatcher::folderEvent()
{
    // Something else in the folder changed; only our files count.
    if (followFiles())
        settleTimer_.start();
}

void FileWatcher::settle()
{
    // A change the events did not show (a network folder, a write between
    // the event and now) means the files have not settled yet.
    if (followFiles()) {
        settleTimer_.start();
        return;
    }
    QStringList changedPaths;
    for (Watched& file : files_) {
        if (file.lastSeen != file.reported) {
            file.reported = file.lastSeen;
            changedPaths.append(file.path);
        }
    }
    if (!changedPaths.isEmpty())
        emit changed(changedPaths);
}

} // namespace quillet::watch
