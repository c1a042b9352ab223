#include "character/kvr_character.h"

#include "character/trace_line.h"
#include "common/vb_error.h"

#include <cstdint>

namespace quillet {

namespace {

int16_t listPosition(int32_t i)
{
    if (i > INT16_MAX)
        throw VbError(vberr::Overflow);
    return static_cast<int16_t>(i);
}

size_t locationIndex(int16_t index)
{
    if (index < 0 || index >= kBodyLocations)
        throw VbError(vberr::SubscriptOutOfRange);
    return static_cast<size_t>(index);
}

} // namespace

KVRCharacter::KVRCharacter()
{
    TraceLine(u"Initializing KVRCharacter");
    Lists = std::make_shared<KeyedList<ItemList>>();
    for (int i = 0; i < kItemListCount; ++i)
        Lists->Add(std::make_shared<ItemList>());
    Race = std::make_shared<clsRace>();
    InPlay = 0;
}

KVRCharacter::~KVRCharacter()
{
    TraceLine(u"Terminating Character " + Name);
}

int16_t KVRCharacter::ListItemPosByKey(int16_t listNum, int32_t SearchKey, int16_t StartPos) const
{
    const ItemList& items = list(listNum);
    const int32_t n = items.Count();
    for (int32_t i = StartPos < 1 ? 1 : StartPos; i <= n; ++i)
        if (items.Item(i)->IDKey() == SearchKey)
            return listPosition(i);
    return 0;
}

int16_t KVRCharacter::ListItemPosByNameAndExt(int16_t listNum, TextView ItemNameAndExt, int16_t StartPos) const
{
    const ItemList& items = list(listNum);
    const Text target = lowerCase(ItemNameAndExt);
    const int32_t n = items.Count();
    for (int32_t i = StartPos < 1 ? 1 : StartPos; i <= n; ++i)
        if (lowerCase(items.Item(i)->TagFullName()) == target)
            return listPosition(i);
    return 0;
}

int16_t* KVRCharacter::refreshFlag(int16_t listNum)
{
    switch (listNum) {
    case ListAttributes:
        return &RefreshStats;
    case ListAdvantages:
    case ListDisadvantages:
    case ListQuirks:
    case ListPowers:
        return &RefreshAds;
    case ListSkills:
        return &RefreshSkills;
    case ListSpells:
        return &RefreshSpells;
    case ListEquipment:
        return &RefreshEquipment;
    default:
        return nullptr;
    }
}

int16_t KVRCharacter::RefreshType(int16_t listNum) const
{
    const int16_t* flag = const_cast<KVRCharacter*>(this)->refreshFlag(listNum);
    return flag ? *flag : 0;
}

void KVRCharacter::setRefreshType(int16_t listNum, int16_t value)
{
    if (int16_t* flag = refreshFlag(listNum))
        *flag = value;
}

const Text& KVRCharacter::PD(int16_t index) const { return PD_[locationIndex(index)]; }
void KVRCharacter::setPD(int16_t index, Text value) { PD_[locationIndex(index)] = std::move(value); }
const Text& KVRCharacter::DR(int16_t index) const { return DR_[locationIndex(index)]; }
void KVRCharacter::setDR(int16_t index, Text value) { DR_[locationIndex(index)] = std::move(value); }

} // namespace quillet
