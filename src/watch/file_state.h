// What a watcher remembers of a file to tell whether it changed: whether
// it exists, which file the path names (a file renamed over it is another
// one), its size and when it was last written.
#pragma once

#include <QString>

#include <cstdint>

namespace quillet::watch {

struct FileState {
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedSeconds = 0;
    int64_t modifiedNanoseconds = 0;

    // The state of the file `path` names now (following links).
    static FileState of(const QString& path);

    friend bool operator==(const FileState&, const FileState&) = default;
};

} // namespace quillet::watch
