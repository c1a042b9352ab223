// The list of recently loaded character files (MRUFiles, positions 1 to
// 4, 1 the newest) and the captions of its File-menu entries.
#pragma once

#include "common/text.h"

#include <array>

namespace quillet {

inline constexpr int kMRUCount = 4;
// The entry the File menu holds before any file was loaded.
inline constexpr TextView kMRUPlaceholder = u"&1 Last File Loaded or Saved";

// Puts `path` at position 1.  Paths are compared exactly.  Returns false
// when it was already at the top (nothing changed, the menu is not
// rebuilt); otherwise the entries above its old position - or all of
// them, the oldest falling off, when it was not in the list - move down.
bool AddToMRUList(std::array<Text, 5>& files, const Text& path);

// "&" + n + " " + path: the digit is the entry's access key.
Text mruCaption(int position, const Text& path);

} // namespace quillet
