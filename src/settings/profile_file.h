// The contents of a profile file ("[Section]" lines followed by
// "key=value" lines) held as its text lines, so that writing a key back
// leaves every other line - foreign sections, unknown keys, comments,
// blank lines - exactly as it was.
//
// Sections and keys match without regard to letter case.  A section may
// appear more than once; its keys are searched in file order, and the
// first matching key is the one read and the one replaced.
#pragma once

#include "common/text.h"

#include <optional>
#include <vector>

namespace quillet {

class ProfileFile {
public:
    ProfileFile() = default;

    // Splits at CR LF, LF or a lone CR; a missing final line end is fine.
    static ProfileFile fromText(TextView text);

    // The value under the key, or nothing when the section or key is absent.
    std::optional<Text> value(TextView section, TextView key) const;

    // Replaces the first matching key line, or adds the key after the last
    // key of the section, or adds the section at the end of the file.
    // Returns false, changing nothing, when the names or the value cannot
    // be written as a profile line (see canWrite).
    bool setValue(TextView section, TextView key, TextView value);

    // A section name or key that would not read back as itself, or a value
    // holding a line break, cannot be written.
    static bool canWrite(TextView section, TextView key, TextView value);

    // Every line followed by CR LF.
    Text toText() const;

    const std::vector<Text>& lines() const { return lines_; }

private:
    std::vector<Text> lines_;
};

} // namespace quillet
