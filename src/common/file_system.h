// The few file-system operations every layer needs: whether a file the
// user named is there, the folder part of a path, and reading a whole file
// with guards against pipes, devices and files too large to hold.
#pragma once

#include "common/text.h"

#include <cstddef>
#include <string>

namespace quillet {

// True when the path names an existing regular file whose name does not
// start with "."; never fails (an unexaminable path gives false).
bool FileExists(const Text& path);

// The folder part of a full path, up to and including the last "/".
Text folderOf(const Text& path);
// The name part: what follows the last "/".
Text fileNameOf(const Text& path);
// The path with the extension of its file name (from its last ".", if
// any) replaced by `extension` (".pdf").
Text withExtension(const Text& path, TextView extension);

// Largest file readFileBytes takes.
inline constexpr size_t kMaxTextFileBytes = size_t(64) << 20;

// The bytes of a file, opened read-only; VbError 53, 70 or 75 when it
// cannot be opened or read (anything but a regular file is error 75), 7
// when it is larger than kMaxTextFileBytes.
std::string readFileBytes(const Text& path);

} // namespace quillet
