// The character and its race for scripts.
#include "sheet/character_objects.h"

#include "script/host_object.h"
#include "sheet/character_growth.h"
#include "sheet/native_members.h"
#include "sheet/record_object.h"

namespace quillet {

using script::ArgKind;
using script::NativeClass;
using script::NativeMember;
using script::NativeObject;
using script::Value;

namespace {

// What a plain field of each type reads as in a script, and the conversion
// an assignment to it goes through.
Value fieldValue(const Text& field) { return Value::string(field); }
Value fieldValue(int16_t field) { return Value::integer(field); }
Value fieldValue(int32_t field) { return Value::longInt(field); }
Value fieldValue(Currency field) { return Value::currency(field); }
void assignField(Text& field, const Value& v)
{
    Text value = v.toText();
    chargeCharacterGrowth(textBytes(field), textBytes(value));
    field = std::move(value);
}
void assignField(int16_t& field, const Value& v) { field = v.toInt16(); }
void assignField(int32_t& field, const Value& v) { field = v.toInt32(); }
void assignField(Currency& field, const Value& v) { field = v.toCurrency(); }

// A plain field of a record, read and written through a member pointer.
template <typename Record, typename Field, typename Self>
NativeMember plainField(const char16_t* name, Field Record::*field, Self self)
{
    return nativeMember(
        name, {}, [field, self](NativeObject& o, std::span<Value>) { return fieldValue(self(o).*field); },
        [field, self](NativeObject& o, std::span<Value>, const Value& v) { assignField(self(o).*field, v); });
}

// ---- race ---------------------------------------------------------------

NativeClass buildRaceClass();
using RaceObject = RecordObject<clsRace, buildRaceClass>;

clsRace& race(NativeObject& o) { return RaceObject::of(o); }

NativeClass buildRaceClass()
{
    NativeClass c(u"clsRace");
    c.add(nativeMember(u"InitializeData", {}, [](NativeObject& o, std::span<Value>) {
        race(o).InitializeData();
        return Value();
    }));
    c.add(plainField(u"Name", &clsRace::Name, race));
    c.add(plainField(u"STAdj", &clsRace::STAdj, race));
    c.add(plainField(u"STCost", &clsRace::STCost, race));
    c.add(plainField(u"DXAdj", &clsRace::DXAdj, race));
    c.add(plainField(u"DXCost", &clsRace::DXCost, race));
    c.add(plainField(u"IQAdj", &clsRace::IQAdj, race));
    c.add(plainField(u"IQCost", &clsRace::IQCost, race));
    c.add(plainField(u"HTAdj", &clsRace::HTAdj, race));
    c.add(plainField(u"HTCost", &clsRace::HTCost, race));
    return c;
}

// ---- character ----------------------------------------------------------

NativeClass buildCharacterClass();
using CharacterObject = RecordObject<KVRCharacter, buildCharacterClass>;

KVRCharacter& ch(NativeObject& o) { return CharacterObject::of(o); }

NativeMember locationMember(const char16_t* name, const Text& (KVRCharacter::*get)(int16_t) const,
                            void (KVRCharacter::*set)(int16_t, Text))
{
    return nativeMember(
        name, {ArgKind::Int16},
        [get](NativeObject& o, std::span<Value> a) { return Value::string((ch(o).*get)(a[0].rawInteger())); },
        [get, set](NativeObject& o, std::span<Value> a, const Value& v) {
            Text value = v.toText();
            chargeCharacterGrowth(textBytes((ch(o).*get)(a[0].rawInteger())), textBytes(value));
            (ch(o).*set)(a[0].rawInteger(), std::move(value));
        });
}

NativeClass buildCharacterClass()
{
    NativeClass c(u"KVRCharacter");
    // `Char.Lists(6)` is the list itself: an index given to Lists goes to
    // the default member of the collection, as automation objects do.
    NativeMember lists = nativeMember(u"Lists", {ArgKind::Any}, [](NativeObject& o, std::span<Value> a) {
        if (a.empty() || a[0].deref().isMissing())
            return itemListsObject(ch(o).Lists);
        return itemListObject(ch(o).Lists->Item(a[0].deref().toInt32()));
    });
    lists.requiredArgs = 0;
    lists.set = [](NativeObject& o, std::span<Value>, const Value& v) {
        auto replacement = listsOf(v);
        if (!replacement)
            throw VbError(vberr::TypeMismatch);
        ch(o).Lists = std::move(replacement);
    };
    c.add(std::move(lists));
    NativeMember raceMember = nativeMember(u"Race", {}, [](NativeObject& o, std::span<Value>) {
        return raceObject(ch(o).Race);
    });
    raceMember.set = [](NativeObject& o, std::span<Value>, const Value& v) {
        auto replacement = raceOf(v);
        if (!replacement)
            throw VbError(vberr::TypeMismatch);
        ch(o).Race = std::move(replacement);
    };
    c.add(std::move(raceMember));
    c.add(nativeMember(u"ListItemPosByKey", {ArgKind::Int16, ArgKind::Int32, ArgKind::Int16},
                 [](NativeObject& o, std::span<Value> a) {
                     return Value::integer(
                         ch(o).ListItemPosByKey(a[0].rawInteger(), a[1].rawLong(), a[2].rawInteger()));
                 }));
    c.add(nativeMember(u"ListItemPosByNameAndExt", {ArgKind::Int16, ArgKind::Text, ArgKind::Int16},
                 [](NativeObject& o, std::span<Value> a) {
                     return Value::integer(
                         ch(o).ListItemPosByNameAndExt(a[0].rawInteger(), a[1].rawText(), a[2].rawInteger()));
                 }));
    c.add(plainField(u"DateCreated", &KVRCharacter::DateCreated, ch));
    c.add(plainField(u"Name", &KVRCharacter::Name, ch));
    c.add(plainField(u"Player", &KVRCharacter::Player, ch));
    c.add(plainField(u"InPlay", &KVRCharacter::InPlay, ch));
    c.add(plainField(u"RefreshStats", &KVRCharacter::RefreshStats, ch));
    c.add(plainField(u"RefreshSkills", &KVRCharacter::RefreshSkills, ch));
    c.add(plainField(u"RefreshSpells", &KVRCharacter::RefreshSpells, ch));
    c.add(plainField(u"RefreshAds", &KVRCharacter::RefreshAds, ch));
    c.add(plainField(u"RefreshEquipment", &KVRCharacter::RefreshEquipment, ch));
    c.add(nativeMember(
        u"RefreshType", {ArgKind::Int16},
        [](NativeObject& o, std::span<Value> a) { return Value::integer(ch(o).RefreshType(a[0].rawInteger())); },
        [](NativeObject& o, std::span<Value> a, const Value& v) {
            ch(o).setRefreshType(a[0].rawInteger(), v.toInt16());
        }));
    c.add(plainField(u"Portrait", &KVRCharacter::Portrait, ch));
    c.add(plainField(u"Description", &KVRCharacter::Description, ch));
    c.add(plainField(u"Notes", &KVRCharacter::Notes, ch));
    c.add(plainField(u"StatCost", &KVRCharacter::StatCost, ch));
    c.add(plainField(u"AdCost", &KVRCharacter::AdCost, ch));
    c.add(plainField(u"DisadCost", &KVRCharacter::DisadCost, ch));
    c.add(plainField(u"QuirkCost", &KVRCharacter::QuirkCost, ch));
    c.add(plainField(u"PowerCost", &KVRCharacter::PowerCost, ch));
    c.add(plainField(u"SkillCost", &KVRCharacter::SkillCost, ch));
    c.add(plainField(u"SpellCost", &KVRCharacter::SpellCost, ch));
    c.add(plainField(u"TotalCost", &KVRCharacter::TotalCost, ch));
    c.add(plainField(u"UnspentPoints", &KVRCharacter::UnspentPoints, ch));
    c.add(plainField(u"NEncMult", &KVRCharacter::NEncMult, ch));
    c.add(plainField(u"LEncMult", &KVRCharacter::LEncMult, ch));
    c.add(plainField(u"MEncMult", &KVRCharacter::MEncMult, ch));
    c.add(plainField(u"HEncMult", &KVRCharacter::HEncMult, ch));
    c.add(plainField(u"XEncMult", &KVRCharacter::XEncMult, ch));
    c.add(locationMember(u"PD", &KVRCharacter::PD, &KVRCharacter::setPD));
    c.add(locationMember(u"DR", &KVRCharacter::DR, &KVRCharacter::setDR));
    c.add(plainField(u"OtherPD", &KVRCharacter::OtherPD, ch));
    c.add(plainField(u"OtherDR", &KVRCharacter::OtherDR, ch));
    c.add(plainField(u"BaseSW", &KVRCharacter::BaseSW, ch));
    c.add(plainField(u"BaseTH", &KVRCharacter::BaseTH, ch));
    c.add(plainField(u"ParryUsing", &KVRCharacter::ParryUsing, ch));
    c.add(plainField(u"ParryAt", &KVRCharacter::ParryAt, ch));
    c.add(plainField(u"ParryScore", &KVRCharacter::ParryScore, ch));
    c.add(plainField(u"BlockUsing", &KVRCharacter::BlockUsing, ch));
    c.add(plainField(u"BlockAt", &KVRCharacter::BlockAt, ch));
    c.add(plainField(u"BlockScore", &KVRCharacter::BlockScore, ch));
    return c;
}

} // namespace

Value characterObject(std::shared_ptr<KVRCharacter> character)
{
    return CharacterObject::wrap(std::move(character));
}

Value raceObject(std::shared_ptr<clsRace> r)
{
    return RaceObject::wrap(std::move(r));
}

std::shared_ptr<clsRace> raceOf(const Value& value)
{
    return RaceObject::sharedOf(value);
}

} // namespace quillet
