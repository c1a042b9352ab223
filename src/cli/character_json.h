// A character as JSON, every property under its own name.
#pragma once

#include "character/kvr_character.h"
#include "cli/json_writer.h"

namespace quillet {

void writeCharacterJson(JsonWriter& json, const KVRCharacter& character);

} // namespace quillet
