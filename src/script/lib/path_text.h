// Path texts as the FileSystemObject's helpers take them apart and put
// them together.  Scripts written on Windows separate folders with "\",
// so both "\" and "/" separate here; what these functions add is "/".
// Nothing here looks at the file system.
#pragma once

#include "common/text.h"

namespace quillet::script {

bool isPathSeparator(char16_t c);

// GetFileName: the last component, a trailing separator ignored
// ("a/b/" gives "b"); "" for a bare root.
Text fileNameOf(TextView path);
// GetBaseName: the last component without its extension.
Text baseNameOf(TextView path);
// GetExtensionName: what follows the last "." of the last component.
Text extensionOf(TextView path);
// GetParentFolderName: everything before the last component, without the
// separator ("a/b.txt" gives "a", "/b.txt" gives "/", "b.txt" gives "").
Text parentFolderOf(TextView path);
// BuildPath: `folder` and `name` joined by exactly one separator.
Text joinPath(TextView folder, TextView name);
// GetAbsolutePathName: `path` from `currentFolder` when relative, every
// separator made "/", "." and ".." steps and repeated separators removed,
// no trailing separator (except for "/" itself).
Text absolutePath(TextView path, TextView currentFolder);

} // namespace quillet::script
