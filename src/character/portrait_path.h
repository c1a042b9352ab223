// Finding a character's portrait picture on this machine.  Character files
// often come from Windows, where the builder stored paths such as
// C:\Chars\Ann.BMP, and they travel with their pictures: so besides the
// path as written, the picture is looked for beside the character file,
// by its file name, without regard to letter case as Windows compared it.
#pragma once

#include "common/text.h"

namespace quillet {

// The portrait path to use: the first of these that names an existing
// file: the path as written (relative paths against the character file's
// folder first), then the file name after the last "/" or "\" in the
// character file's folder, exactly and then ignoring letter case.  The
// path as written when none exists.
Text resolvePortraitPath(const Text& written, const Text& characterFile);

} // namespace quillet
