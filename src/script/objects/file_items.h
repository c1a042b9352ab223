// The File and Folder objects of the FileSystemObject and the Files and
// Folders collections of a folder.  Each keeps the absolute path the
// script named and the folders it may read, and resolves that path again
// whenever it is used: no object reaches further than the FileSystemObject
// that made it, even after the file has been replaced by a link.
#pragma once

#include "script/host_object.h"
#include "script/lib/readable_folders.h"

#include <memory>

namespace quillet::script {

using ReadableFoldersRef = std::shared_ptr<const ReadableFolders>;

// `path` is absolute (absolutePath()); error 53 when it is no file, 70
// when it lies outside the folders.
Value makeFileObject(const ReadableFoldersRef& folders, Text path);
// Likewise for a folder; error 76 when it is none.
Value makeFolderObject(const ReadableFoldersRef& folders, Text path);

} // namespace quillet::script
