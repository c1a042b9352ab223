#include "script/lib/file_status.h"

#include "common/stop_request.h"
#include "script/lib/date_time.h"

#include <algorithm>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::script {

namespace {

double localDate(const struct timespec& t)
{
    std::tm tm{};
    const std::time_t seconds = t.tv_sec;
    localtime_r(&seconds, &tm);
    return composeDate(daysFromCivil(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday),
                       tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec);
}

FileKind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FileKind::File;
    if (S_ISDIR(mode))
        return FileKind::Folder;
    return FileKind::Other;
}

} // namespace

FileStatus fileStatus(const std::string& realPath)
{
    FileStatus status;
    struct statx st {};
    if (::statx(AT_FDCWD, realPath.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &st) != 0)
        return status;
    status.kind = kindOf(st.stx_mode);
    status.size = st.stx_size;
    const auto toTimespec = [](const struct statx_timestamp& t) {
        struct timespec ts {};
        ts.tv_sec = t.tv_sec;
        ts.tv_nsec = t.tv_nsec;
        return ts;
    };
    status.modified = localDate(toTimespec(st.stx_mtime));
    status.accessed = localDate(toTimespec(st.stx_atime));
    status.created = (st.stx_mask & STATX_BTIME) ? localDate(toTimespec(st.stx_btime)) : status.modified;
    status.writable = ::access(realPath.c_str(), W_OK) == 0;
    return status;
}

std::vector<std::string> folderEntries(const std::string& realPath)
{
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(realPath.c_str()), ::closedir);
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        pollStop(); // a folder may hold any number of entries
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace quillet::script
