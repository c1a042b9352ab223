// What a sheet script adds to the character - longer texts in its fields
// and items, more entries in its lists - is charged to the run's memory
// meter, so that a script growing the character without end fails with
// error 7 "Out of memory" like any other exhaustion.  The character keeps
// what scripts added (in the desktop it outlives the run), and every later
// run is charged for that again, so growth over many runs is bounded too.
//
// The runner makes the run's character current on the script's thread
// (CharacterGrowthScope); the script objects of the character report each
// change through chargeCharacterGrowth.  Outside a scope, or with no meter
// current (a host call outside a run), nothing is counted.
#pragma once

#include "character/kvr_character.h"
#include "common/text.h"

#include <cstddef>
#include <memory>

namespace quillet {

class CharacterGrowthScope {
public:
    explicit CharacterGrowthScope(std::shared_ptr<KVRCharacter> character);
    ~CharacterGrowthScope();
    CharacterGrowthScope(const CharacterGrowthScope&) = delete;
    CharacterGrowthScope& operator=(const CharacterGrowthScope&) = delete;

    struct Account;

private:
    std::unique_ptr<Account> account_;
    Account* saved_;
};

// Call before a change that takes the character's data from `before` to
// `after` bytes: charges the growth (error 7, nothing charged, when the
// meter's limit would be passed) or gives back what shrank.
void chargeCharacterGrowth(size_t before, size_t after);

// Bytes a text holds, as the accounts above count them.
inline size_t textBytes(const Text& text)
{
    return text.size() * sizeof(char16_t);
}

} // namespace quillet
