// A character as JSON, every property under its own name.
#pragma once

#include "character/kvr_character.h"
#include "cli/json_writer.h"
#include "common/vb_error.h"

#include <optional>

namespace quillet {

// A property the character cannot give (an item's TagFullName over a tag
// list longer than the text operations take) is written as null; the
// first such failure is returned.
std::optional<VbError> writeCharacterJson(JsonWriter& json, const KVRCharacter& character);

} // namespace quillet
