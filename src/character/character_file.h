// The layout of a character file: its sections and the keys each section
// knows.  Kept apart from the reading procedure so both stay small.
#pragma once

#include "common/text.h"

#include <cstdint>

namespace quillet {

enum class Section {
    Unknown,
    System,
    SystemNotes,
    General,
    Points,
    Race,
    Stats,
    Ads,
    Disads,
    Quirks,
    Powers,
    Skills,
    Spells,
    Packages,
    PackageItems,
    PdDr,
    Misc,
    BaseDamage,
    EncMults,
};

// The section a header line opens; the header must match as a whole
// (lower-cased), so "[stats] x" is Unknown.
Section sectionOfHeader(TextView lowerCasedHeader);

// Item list (1..7) filled by an item section; 0 for other sections.
int16_t itemListOfSection(Section section);

// Body location (0 head .. 5 feet) named by a "[pd/dr]" name element,
// compared without regard to case; -1 for any other name.
int16_t bodyLocationOfName(TextView name);

} // namespace quillet
