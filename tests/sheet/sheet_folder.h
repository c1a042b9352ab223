// A fresh program folder under /tmp with the shared state pointing into
// it, for tests that run sheet scripts through the runner.  Removed with
// everything in it afterwards.
#pragma once

#include "../settings/temp_folder.h"
#include "state/app_state.h"

#include <fstream>
#include <string>

namespace quillet::testing {

class SheetFolder {
    TempFolder temp_; // first: the members below point into it

public:
    SheetFolder() : dir(temp_.path())
    {
        state.HomePath = temp_.home();
        state.SetDefaults();
    }

    // The sheet script: the 'VBScript line, then `body` as procedure main.
    void writeMain(const std::string& body) const
    {
        std::ofstream(toUtf8(state.TesseraFile), std::ios::binary) << "'VBScript\r\nSub main\r\n"
                                                                    << body << "End Sub\r\n";
    }

    const std::string& dir;
    AppState state;
};

} // namespace quillet::testing
