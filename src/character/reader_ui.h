// What the character file reader needs from the desktop: message boxes,
// the main window's caption, the portrait window's picture, and a chance
// to let pending events run.  The reader decides nothing about how those
// look; the desktop implements this, tests and command-line tools too.
#pragma once

#include "common/text.h"

namespace quillet {

class ReaderUi {
public:
    virtual ~ReaderUi() = default;

    // A message with an OK button only and the application's title.
    virtual void messageBox(const Text& text) = 0;
    virtual void setMainWindowCaption(const Text& caption) = 0;
    // Loads the picture into the portrait window's image control (created
    // hidden if needed); an empty name clears it.
    virtual void setPortraitFileName(const Text& fileName) = 0;
    // Lets pending user-interface events run once.
    virtual void doEvents() = 0;
};

} // namespace quillet
