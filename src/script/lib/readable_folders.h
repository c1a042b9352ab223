// The part of the file system a script may read: a few folders and
// everything below them.  A path is judged by where it really leads: its
// ".." steps are taken first (as text, the way Windows reads a path), then
// its links are followed, so that neither can step outside; that real path
// is then what gets opened.
#pragma once

#include "common/text.h"

#include <optional>
#include <string>
#include <vector>

namespace quillet::script {

class ReadableFolders {
public:
    ReadableFolders() = default;
    // Relative paths start at `currentFolder` (itself taken from the
    // process's current folder when relative).  "\" separates folders as
    // "/" does (scripts written on Windows use it).
    ReadableFolders(const std::vector<Text>& folders, Text currentFolder);

    // The real path (UTF-8, no links, no "..") that `path` leads to (made
    // absolute as absolutePath() does), when that lies in one of the
    // folders; error 70 otherwise, 52 for a path no file can have.  The
    // file itself need not exist.
    std::string resolve(TextView path) const;
    // The same, nullopt where resolve() would refuse.
    std::optional<std::string> tryResolve(TextView path) const;
    // Whether a real path lies in one of the folders.
    bool contains(const std::string& realPath) const;

    const Text& currentFolder() const { return currentFolder_; }

private:
    std::vector<std::string> folders_; // real paths without a trailing "/"
    Text currentFolder_;
};

} // namespace quillet::script
