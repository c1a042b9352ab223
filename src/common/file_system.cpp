#include "common/file_system.h"

#include "common/vb_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet {

namespace {

int openErrorNumber(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return vberr::FileNotFound;
    case EACCES:
    case EPERM:
        return vberr::PermissionDenied;
    case ENAMETOOLONG:
        return vberr::BadFileName;
    default:
        return vberr::PathFileAccess;
    }
}

} // namespace

bool FileExists(const Text& path)
{
    if (path.empty() || path.find(u'\0') != Text::npos)
        return false;
    const std::string native = toUtf8(path);
    const size_t slash = native.rfind('/');
    const std::string name = slash == std::string::npos ? native : native.substr(slash + 1);
    if (name.empty() || name[0] == '.')
        return false;
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0)
        return false;
    return S_ISREG(st.st_mode);
}

Text folderOf(const Text& path)
{
    const size_t slash = path.rfind(u'/');
    return slash == Text::npos ? Text() : path.substr(0, slash + 1);
}

Text fileNameOf(const Text& path)
{
    return path.substr(folderOf(path).size());
}

Text withExtension(const Text& path, TextView extension)
{
    const size_t slash = path.rfind(u'/');
    const size_t dot = path.rfind(u'.');
    const bool hasExtension = dot != Text::npos && (slash == Text::npos || dot > slash + 1);
    return (hasExtension ? path.substr(0, dot) : path) + Text(extension);
}

std::string readFileBytes(const Text& path)
{
    const std::string native = toUtf8(path);
    if (native.empty() || native.find('\0') != std::string::npos)
        throw VbError(vberr::BadFileName);
    // Without O_NONBLOCK, opening a named pipe would wait for a writer
    // forever; nothing but a regular file gets past the check below.
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw VbError(openErrorNumber(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw VbError(vberr::PathFileAccess);
    }
    // No character file or sheet script comes near this size; reading one
    // that does would only exhaust the memory.
    if (static_cast<unsigned long long>(st.st_size) > kMaxTextFileBytes) {
        ::close(fd);
        throw VbError(vberr::OutOfMemory);
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            throw VbError(57); // Device I/O error
        }
        // The file may grow while it is read.
        if (bytes.size() + static_cast<size_t>(n) > kMaxTextFileBytes) {
            ::close(fd);
            throw VbError(vberr::OutOfMemory);
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

} // namespace quillet
