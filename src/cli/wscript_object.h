// The WScript object of the console script host: Echo, Quit, Arguments,
// ScriptName, ScriptFullName.
#pragma once

#include "script/host_object.h"

#include <ostream>
#include <vector>

namespace quillet::cli {

// Thrown by WScript.Quit; it passes through the engine to the tool's main.
struct QuitRequest {
    int exitCode = 0;
};

// Makes the WScript object writing Echo lines to `out`.
script::Value makeWScriptObject(std::ostream& out, std::vector<Text> arguments, Text scriptName, Text scriptFullName);

} // namespace quillet::cli
