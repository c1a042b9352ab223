// One loaded character: identity texts, point totals, defences, damage,
// encumbrance, the race record and eight numbered item lists.  A plain
// record: apart from the two list searches and the refresh flags it
// computes nothing from what it holds.
#pragma once

#include "character/cls_item.h"
#include "character/cls_race.h"
#include "character/keyed_list.h"
#include "common/text.h"
#include "common/vb_number.h"

#include <array>
#include <cstdint>
#include <memory>

namespace quillet {

using ItemList = KeyedList<clsItem>;

// Numbers of the item lists (also used in ParentType and ChildTypeList).
enum ItemListNumber : int16_t {
    ListAttributes = 1,
    ListAdvantages = 2,
    ListDisadvantages = 3,
    ListQuirks = 4,
    ListPowers = 5,
    ListSkills = 6,
    ListSpells = 7,
    ListEquipment = 8,
};
inline constexpr int kItemListCount = 8;
inline constexpr int kBodyLocations = 6; // head, body, arms, legs, hands, feet

class KVRCharacter {
public:
    KVRCharacter();
    ~KVRCharacter();
    KVRCharacter(const KVRCharacter&) = delete;
    KVRCharacter& operator=(const KVRCharacter&) = delete;

    // The eight item lists at positions 1 to 8, and the race record.
    std::shared_ptr<KeyedList<ItemList>> Lists;
    std::shared_ptr<clsRace> Race;

    // List `listNum` (1..8); error 9 for any other number.
    ItemList& list(int16_t listNum) const { return *Lists->Item(listNum); }

    // Position of the first item from StartPos (1 when less than 1) whose
    // key is SearchKey; 0 when none.
    int16_t ListItemPosByKey(int16_t listNum, int32_t SearchKey, int16_t StartPos) const;
    // Same, comparing display names (TagFullName) without regard to case.
    int16_t ListItemPosByNameAndExt(int16_t listNum, TextView ItemNameAndExt, int16_t StartPos) const;

    // The refresh flag shared by a list's group; 0 / ignored for numbers
    // outside 1..8.
    int16_t RefreshType(int16_t listNum) const;
    void setRefreshType(int16_t listNum, int16_t value);

    // PD and DR by body location 0..5; error 9 for any other index.
    const Text& PD(int16_t index) const;
    void setPD(int16_t index, Text value);
    const Text& DR(int16_t index) const;
    void setDR(int16_t index, Text value);

    Text Name;
    Text Player;
    Text DateCreated;
    int16_t InPlay = 0;
    Text Portrait;
    Text Description;
    Text Notes;
    Currency StatCost, AdCost, DisadCost, QuirkCost, PowerCost, SkillCost, SpellCost, TotalCost, UnspentPoints;
    int16_t NEncMult = 0, LEncMult = 0, MEncMult = 0, HEncMult = 0, XEncMult = 0;
    Text OtherPD, OtherDR;
    Text BaseSW, BaseTH;
    Text ParryUsing, ParryAt;
    int16_t ParryScore = 0;
    Text BlockUsing, BlockAt;
    int16_t BlockScore = 0;
    int16_t RefreshAds = 0, RefreshStats = 0, RefreshSkills = 0, RefreshSpells = 0, RefreshEquipment = 0;

    // Bytes that sheet scripts have added to this character's texts and
    // lists since it was made; every later run is charged for them again.
    size_t ScriptAddedBytes = 0;

private:
    int16_t* refreshFlag(int16_t listNum);
    std::array<Text, kBodyLocations> PD_;
    std::array<Text, kBodyLocations> DR_;
};

} // namespace quillet
