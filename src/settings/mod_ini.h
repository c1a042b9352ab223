// The profile module: every settings read and write goes through one
// registration (a section and a file name) and the five operations below.
// Each read opens the file anew and each write replaces it as a whole
// (see replaceFileAtomically), so edits made by hand between two calls
// are seen and kept.
//
// Files are read as UTF-8 when valid, otherwise as Windows-1252, and
// written as UTF-8 with CR LF line ends.
#pragma once

#include "common/text.h"
#include "settings/message_box.h"

#include <cstdint>
#include <optional>

namespace quillet {

class modINI {
public:
    // Longest value IniGetString hands back, in UTF-16 code units.
    static constexpr size_t kMaxValueLength = 254;
    // Profile files larger than this are left alone, neither read nor written.
    static constexpr size_t kMaxFileSize = 4 * 1024 * 1024;

    explicit modINI(MessageBoxHandler messageBox = {});

    // Remembers both names without leading and trailing blanks.
    void IniRegister(TextView section, TextView fileName);
    bool registered() const { return registered_; }
    const Text& section() const { return section_; }
    const Text& fileName() const { return fileName_; }

    // The leading whole number of the stored text, read as the platform's
    // profile reader does: optional blanks and sign, then decimal digits
    // up to the first other character; a text without digits gives 0 and
    // numbers beyond the 32-bit range stop at its ends.  `defaultValue`
    // when the key is absent.
    int32_t IniGetInt(TextView key, int32_t defaultValue);

    // The stored text, cut to its first 254 characters; `defaultValue`,
    // whole, when the key is absent.
    Text IniGetString(TextView key, TextView defaultValue);

    // Writes the value as plain decimal text ("-1").
    void IniPutInt(TextView key, int32_t value);

    // Writes the value into the registered section, creating the file and
    // the section when needed.  A file that cannot be read or replaced is
    // left as it was, without a message; lastWriteSucceeded tells.
    void IniPutString(TextView key, TextView value);
    bool lastWriteSucceeded() const { return lastWriteSucceeded_; }

    // Shows the "IniFile Logic Error" message box; null means no window
    // system (the message is dropped).
    MessageBoxHandler messageBox;

private:
    bool checkRegistered();
    std::optional<Text> storedValue(TextView key) const;

    Text section_;
    Text fileName_;
    bool registered_ = false;
    bool lastWriteSucceeded_ = true;
};

// The profile reader's whole-number rule, exposed for tests.
int32_t profileWholeNumber(TextView text);

} // namespace quillet
