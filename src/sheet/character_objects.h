// The character, its race, its item lists and its items as scripts see
// them ("Char", "Char.Race", "Char.Lists(6)", "Char.Lists(6)(i)").  Each
// script object holds a shared reference to the record it shows, so a
// script may keep an item after the character has been replaced.
#pragma once

#include "character/kvr_character.h"
#include "script/value.h"

#include <memory>

namespace quillet {

script::Value characterObject(std::shared_ptr<KVRCharacter> character);
script::Value raceObject(std::shared_ptr<clsRace> race);
script::Value itemListsObject(std::shared_ptr<KeyedList<ItemList>> lists);
script::Value itemListObject(std::shared_ptr<ItemList> list);
script::Value itemObject(std::shared_ptr<clsItem> item);

// The item a script value shows, or nullptr when it is no item object.
std::shared_ptr<clsItem> itemOf(const script::Value& value);
std::shared_ptr<KeyedList<ItemList>> listsOf(const script::Value& value);
std::shared_ptr<clsRace> raceOf(const script::Value& value);

} // namespace quillet
