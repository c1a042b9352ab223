// The logging window's caption and controls, for the shell to build it
// with these object names and texts.
#pragma once

#include "common/text.h"

namespace quillet {

inline constexpr TextView kLogWindowCaption = u"Logging";
inline constexpr const char* kLogListName = "lstLog";
inline constexpr const char* kExportButtonName = "btnExport";
inline constexpr TextView kExportButtonCaption = u"Export Log";

} // namespace quillet
