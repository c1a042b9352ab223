// Scripting.FileSystemObject, read-only and confined: a script may look
// at and read the files in the folders its host allows (FileAccess) and
// below them; the path helpers work on any text.  Whatever would write,
// delete, move, or reach another place is error 70 "Permission denied",
// and so is any path outside those folders.
//
// Engine hook: CreateObject("Scripting.FileSystemObject") resolves to
// makeFileSystemObject() (registered with BuiltinRegistry::addCreatable);
// it reads the folders from the Context at creation.
#pragma once

#include "script/builtins.h"

namespace quillet::script {

Value makeFileSystemObject(Context& context);

} // namespace quillet::script
