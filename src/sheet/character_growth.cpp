#include "sheet/character_growth.h"

#include "script/metered.h"

#include <algorithm>
#include <optional>

namespace quillet {

struct CharacterGrowthScope::Account {
    std::shared_ptr<KVRCharacter> character;
    // Made at the first change, while the run's meter is current; it holds
    // ScriptAddedBytes from then on.
    std::optional<script::MemoryCharge> charge;
};

namespace {

constinit thread_local CharacterGrowthScope::Account* current = nullptr;

} // namespace

CharacterGrowthScope::CharacterGrowthScope(std::shared_ptr<KVRCharacter> character)
    : account_(std::make_unique<Account>()), saved_(current)
{
    account_->character = std::move(character);
    current = account_.get();
}

CharacterGrowthScope::~CharacterGrowthScope()
{
    current = saved_;
}

void chargeCharacterGrowth(size_t before, size_t after)
{
    CharacterGrowthScope::Account* account = current;
    if (!account || !account->character || !script::MemoryMeter::current())
        return;
    size_t& added = account->character->ScriptAddedBytes;
    // What earlier runs added counts first: alone past the limit, it
    // refuses any further growth.
    if (!account->charge)
        account->charge.emplace(added);
    if (after >= before) {
        account->charge->grow(after - before);
        added += after - before;
    } else {
        added -= std::min(added, before - after);
        account->charge->settle(added);
    }
}

} // namespace quillet
