// Reading and replacing the small text files the program owns (the
// settings file, the trace files) so that a failure never loses what was
// there before.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet {

struct FileRead {
    enum class Status {
        Ok,
        Missing,    // no file of that name (nor a folder on the way to it)
        Unreadable, // there is something, but not a readable file of a sane size
    };
    Status status = Status::Missing;
    std::string bytes;
};

// Files larger than `limit` bytes count as unreadable: a settings file
// that size is not ours, and writing it back would be wrong anyway.
FileRead readWholeFile(const std::string& path, size_t limit);

// Writes `bytes` to a new file beside `path` and renames it over `path`,
// so that a crash or a full disk leaves the previous file intact.  An
// existing file keeps its permissions; one marked read-only (no write
// permission for anyone) is not replaced, even for a privileged user.
// A symbolic link is followed and its target replaced.  Returns false,
// leaving `path` as it was, when any step fails.
bool replaceFileAtomically(const std::string& path, std::string_view bytes);

} // namespace quillet
