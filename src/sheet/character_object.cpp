// The character and its race for scripts.
#include "sheet/character_objects.h"

#include "script/host_object.h"
#include "sheet/native_members.h"
#include "sheet/record_object.h"

namespace quillet {

using script::ArgKind;
using script::NativeClass;
using script::NativeMember;
using script::NativeObject;
using script::Value;

namespace {

// Plain fields of a record, read and written through a member pointer.
template <typename Record, typename Self>
NativeMember textField(const char16_t* name, Text Record::*field, Self self)
{
    return nativeMember(
        name, {}, [field, self](NativeObject& o, std::span<Value>) { return Value::string(self(o).*field); },
        [field, self](NativeObject& o, std::span<Value>, const Value& v) { self(o).*field = v.toText(); });
}

template <typename Record, typename Self>
NativeMember int16Field(const char16_t* name, int16_t Record::*field, Self self)
{
    return nativeMember(
        name, {}, [field, self](NativeObject& o, std::span<Value>) { return Value::integer(self(o).*field); },
        [field, self](NativeObject& o, std::span<Value>, const Value& v) { self(o).*field = v.toInt16(); });
}

template <typename Record, typename Self>
NativeMember int32Field(const char16_t* name, int32_t Record::*field, Self self)
{
    return nativeMember(
        name, {}, [field, self](NativeObject& o, std::span<Value>) { return Value::longInt(self(o).*field); },
        [field, self](NativeObject& o, std::span<Value>, const Value& v) { self(o).*field = v.toInt32(); });
}

template <typename Record, typename Self>
NativeMember currencyField(const char16_t* name, Currency Record::*field, Self self)
{
    return nativeMember(
        name, {}, [field, self](NativeObject& o, std::span<Value>) { return Value::currency(self(o).*field); },
        [field, self](NativeObject& o, std::span<Value>, const Value& v) { self(o).*field = v.toCurrency(); });
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
    c.add(textField(u"Name", &clsRace::Name, race));
    c.add(int16Field(u"STAdj", &clsRace::STAdj, race));
    c.add(int32Field(u"STCost", &clsRace::STCost, race));
    c.add(int16Field(u"DXAdj", &clsRace::DXAdj, race));
    c.add(int32Field(u"DXCost", &clsRace::DXCost, race));
    c.add(int16Field(u"IQAdj", &clsRace::IQAdj, race));
    c.add(int32Field(u"IQCost", &clsRace::IQCost, race));
    c.add(int16Field(u"HTAdj", &clsRace::HTAdj, race));
    c.add(int32Field(u"HTCost", &clsRace::HTCost, race));
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
        [set](NativeObject& o, std::span<Value> a, const Value& v) { (ch(o).*set)(a[0].rawInteger(), v.toText()); });
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
    c.add(textField(u"DateCreated", &KVRCharacter::DateCreated, ch));
    c.add(textField(u"Name", &KVRCharacter::Name, ch));
    c.add(textField(u"Player", &KVRCharacter::Player, ch));
    c.add(int16Field(u"InPlay", &KVRCharacter::InPlay, ch));
    c.add(int16Field(u"RefreshStats", &KVRCharacter::RefreshStats, ch));
    c.add(int16Field(u"RefreshSkills", &KVRCharacter::RefreshSkills, ch));
    c.add(int16Field(u"RefreshSpells", &KVRCharacter::RefreshSpells, ch));
    c.add(int16Field(u"RefreshAds", &KVRCharacter::RefreshAds, ch));
    c.add(int16Field(u"RefreshEquipment", &KVRCharacter::RefreshEquipment, ch));
    c.add(nativeMember(
        u"RefreshType", {ArgKind::Int16},
        [](NativeObject& o, std::span<Value> a) { return Value::integer(ch(o).RefreshType(a[0].rawInteger())); },
        [](NativeObject& o, std::span<Value> a, const Value& v) {
            ch(o).setRefreshType(a[0].rawInteger(), v.toInt16());
        }));
    c.add(textField(u"Portrait", &KVRCharacter::Portrait, ch));
    c.add(textField(u"Description", &KVRCharacter::Description, ch));
    c.add(textField(u"Notes", &KVRCharacter::Notes, ch));
    c.add(currencyField(u"StatCost", &KVRCharacter::StatCost, ch));
    c.add(currencyField(u"AdCost", &KVRCharacter::AdCost, ch));
    c.add(currencyField(u"DisadCost", &KVRCharacter::DisadCost, ch));
    c.add(currencyField(u"QuirkCost", &KVRCharacter::QuirkCost, ch));
    c.add(currencyField(u"PowerCost", &KVRCharacter::PowerCost, ch));
    c.add(currencyField(u"SkillCost", &KVRCharacter::SkillCost, ch));
    c.add(currencyField(u"SpellCost", &KVRCharacter::SpellCost, ch));
    c.add(currencyField(u"TotalCost", &KVRCharacter::TotalCost, ch));
    c.add(currencyField(u"UnspentPoints", &KVRCharacter::UnspentPoints, ch));
    c.add(int16Field(u"NEncMult", &KVRCharacter::NEncMult, ch));
    c.add(int16Field(u"LEncMult", &KVRCharacter::LEncMult, ch));
    c.add(int16Field(u"MEncMult", &KVRCharacter::MEncMult, ch));
    c.add(int16Field(u"HEncMult", &KVRCharacter::HEncMult, ch));
    c.add(int16Field(u"XEncMult", &KVRCharacter::XEncMult, ch));
    c.add(locationMember(u"PD", &KVRCharacter::PD, &KVRCharacter::setPD));
    c.add(locationMember(u"DR", &KVRCharacter::DR, &KVRCharacter::setDR));
    c.add(textField(u"OtherPD", &KVRCharacter::OtherPD, ch));
    c.add(textField(u"OtherDR", &KVRCharacter::OtherDR, ch));
    c.add(textField(u"BaseSW", &KVRCharacter::BaseSW, ch));
    c.add(textField(u"BaseTH", &KVRCharacter::BaseTH, ch));
    c.add(textField(u"ParryUsing", &KVRCharacter::ParryUsing, ch));
    c.add(textField(u"ParryAt", &KVRCharacter::ParryAt, ch));
    c.add(int16Field(u"ParryScore", &KVRCharacter::ParryScore, ch));
    c.add(textField(u"BlockUsing", &KVRCharacter::BlockUsing, ch));
    c.add(textField(u"BlockAt", &KVRCharacter::BlockAt, ch));
    c.add(int16Field(u"BlockScore", &KVRCharacter::BlockScore, ch));
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
