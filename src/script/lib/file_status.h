// What the FileSystemObject's File and Folder objects report about a path:
// kind, size, times as date values.  The path is a real path that
// ReadableFolders has already let through.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillet::script {

enum class FileKind : uint8_t { Missing, File, Folder, Other };

struct FileStatus {
    FileKind kind = FileKind::Missing;
    uint64_t size = 0;
    double modified = 0;  // local date values
    double accessed = 0;
    double created = 0;   // the modification time where the system keeps no birth time
    bool writable = false;
};

// Follows links (the path given is already resolved).
FileStatus fileStatus(const std::string& realPath);

// The names in a folder ("." and ".." left out), sorted as text; empty
// when it cannot be read.
std::vector<std::string> folderEntries(const std::string& realPath);

} // namespace quillet::script
