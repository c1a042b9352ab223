#include "logging/trace_file.h"

#include "settings/file_access.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace quillet {

bool appendTraceLine(const std::string& path, TextView line)
{
    const std::string bytes = toUtf8(line) + "\r\n";
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    // One write call per line: with O_APPEND the line lands whole at the end.
    std::string_view rest = bytes;
    bool ok = true;
    while (ok && !rest.empty()) {
        const ssize_t n = ::write(fd, rest.data(), rest.size());
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            rest.remove_prefix(static_cast<size_t>(n));
    }
    return ::close(fd) == 0 && ok;
}

bool writeTraceLines(const std::string& path, const std::deque<Text>& lines)
{
    std::string bytes;
    for (const Text& line : lines) {
        bytes += toUtf8(line);
        bytes += "\r\n";
    }
    return replaceFileAtomically(path, bytes);
}

} // namespace quillet
