// A failure while reading a character file: the error that stopped the
// read, with the lines of the file it stopped on, so that the user can
// find the fault.  It is a VbError like any other, so code that only
// wants the number and description need not know the difference.
#pragma once

#include "common/vb_error.h"

namespace quillet {

class CharacterFileError : public VbError {
public:
    // `firstLine` to `lastLine` (1-based) hold the entry that failed; an
    // entry continued over several lines spans more than one.
    CharacterFileError(const VbError& cause, size_t firstLine, size_t lastLine)
        : VbError(cause.number(), cause.description()), firstLine_(firstLine), lastLine_(lastLine)
    {
    }

    size_t firstLine() const noexcept { return firstLine_; }
    size_t lastLine() const noexcept { return lastLine_; }

private:
    size_t firstLine_;
    size_t lastLine_;
};

} // namespace quillet
