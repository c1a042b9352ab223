// Files handed to the program from outside: named on its command line or
// dropped on the main window.  A sheet script is known by its extension,
// .tsx in any letter case; any other file is taken for a character file,
// as Load Character's "All Files" choice takes it.
#pragma once

#include "common/text.h"

#include <optional>
#include <vector>

namespace quillet {

struct HandedFiles {
    Text character; // empty: none
    Text sheet;     // empty: none

    bool empty() const { return character.empty() && sheet.empty(); }
};

bool isSheetScriptName(const Text& path);

// Sorts paths into a character file and a sheet script.  nullopt when two
// of a kind are handed over: which one the user meant is anybody's guess.
std::optional<HandedFiles> sortHandedFiles(const std::vector<Text>& paths);

} // namespace quillet
