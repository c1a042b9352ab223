#include "watch/file_state.h"

#include <QFile>

#include <sys/stat.h>

namespace quillet::watch {

FileState FileState::of(const QString& path)
{
    FileState state;
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return state;
    state.exists = true;
    state.device = info.st_dev;
    state.inode = info.st_ino;
    state.size = info.st_size;
    state.modifiedSeconds = info.st_mtim.tv_sec;
    state.modifiedNanoseconds = info.st_mtim.tv_nsec;
    return state;
}

} // namespace quillet::watch
