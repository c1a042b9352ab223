// Where the program keeps its settings file and trace files: beside the
// program when it may write there (a copy unpacked in the user's own
// folder), otherwise in the user's configuration folder (an installed
// copy, whose folder belongs to the system).
#pragma once

#include "common/text.h"

namespace quillet {

// The folder for `programFolder` (both ending in "/"), looking at the file
// system and the environment.
Text settingsFolderFor(const Text& programFolder);

// The rule itself: the program folder when writable, otherwise
// $XDG_CONFIG_HOME/quillet/, where an unset, empty or relative
// XDG_CONFIG_HOME means $HOME/.config.  Null texts count as unset.
Text chooseSettingsFolder(const Text& programFolder, bool programFolderWritable, const char* xdgConfigHome,
                          const char* home);

// Creates the folder and any missing folders above it (only the user may
// enter the new ones).  True when it exists afterwards.
bool makeFolders(const Text& folder);

} // namespace quillet
