#include "cli/character_json.h"

namespace quillet {

namespace {

void currency(JsonWriter& json, const char* name, Currency value)
{
    json.key(name);
    json.rawNumber(toUtf8(value.toText()));
}

void number(JsonWriter& json, const char* name, long long value)
{
    json.key(name);
    json.value(value);
}

void text(JsonWriter& json, const char* name, const Text& value)
{
    json.key(name);
    json.value(value);
}

void writeRace(JsonWriter& json, const clsRace& r)
{
    json.beginObject();
    text(json, "Name", r.Name);
    number(json, "STAdj", r.STAdj);
    number(json, "STCost", r.STCost);
    number(json, "DXAdj", r.DXAdj);
    number(json, "DXCost", r.DXCost);
    number(json, "IQAdj", r.IQAdj);
    number(json, "IQCost", r.IQCost);
    number(json, "HTAdj", r.HTAdj);
    number(json, "HTCost", r.HTCost);
    json.endObject();
}

void writeLists(JsonWriter& json, const KVRCharacter& c, std::optional<VbError>& failure)
{
    json.beginArray();
    for (const auto& list : *c.Lists) {
        json.beginArray();
        for (const auto& item : *list) {
            json.beginObject();
            number(json, "IDKey", item->IDKey());
            text(json, "TagList", item->TagList());
            json.key("TagFullName");
            try {
                json.value(item->TagFullName());
            } catch (const VbError& e) {
                json.null();
                if (!failure)
                    failure = e;
            }
            json.endObject();
        }
        json.endArray();
    }
    json.endArray();
}

} // namespace

std::optional<VbError> writeCharacterJson(JsonWriter& json, const KVRCharacter& c)
{
    std::optional<VbError> failure;
    json.beginObject();
    text(json, "Name", c.Name);
    text(json, "Player", c.Player);
    text(json, "DateCreated", c.DateCreated);
    number(json, "InPlay", c.InPlay);
    text(json, "Portrait", c.Portrait);
    text(json, "Description", c.Description);
    text(json, "Notes", c.Notes);
    currency(json, "StatCost", c.StatCost);
    currency(json, "AdCost", c.AdCost);
    currency(json, "DisadCost", c.DisadCost);
    currency(json, "QuirkCost", c.QuirkCost);
    currency(json, "PowerCost", c.PowerCost);
    currency(json, "SkillCost", c.SkillCost);
    currency(json, "SpellCost", c.SpellCost);
    currency(json, "TotalCost", c.TotalCost);
    currency(json, "UnspentPoints", c.UnspentPoints);
    number(json, "NEncMult", c.NEncMult);
    number(json, "LEncMult", c.LEncMult);
    number(json, "MEncMult", c.MEncMult);
    number(json, "HEncMult", c.HEncMult);
    number(json, "XEncMult", c.XEncMult);
    json.key("PD");
    json.beginArray();
    for (int16_t i = 0; i < kBodyLocations; ++i)
        json.value(c.PD(i));
    json.endArray();
    json.key("DR");
    json.beginArray();
    for (int16_t i = 0; i < kBodyLocations; ++i)
        json.value(c.DR(i));
    json.endArray();
    text(json, "OtherPD", c.OtherPD);
    text(json, "OtherDR", c.OtherDR);
    text(json, "BaseSW", c.BaseSW);
    text(json, "BaseTH", c.BaseTH);
    text(json, "ParryUsing", c.ParryUsing);
    text(json, "ParryAt", c.ParryAt);
    number(json, "ParryScore", c.ParryScore);
    text(json, "BlockUsing", c.BlockUsing);
    text(json, "BlockAt", c.BlockAt);
    number(json, "BlockScore", c.BlockScore);
    number(json, "RefreshAds", c.RefreshAds);
    number(json, "RefreshStats", c.RefreshStats);
    number(json, "RefreshSkills", c.RefreshSkills);
    number(json, "RefreshSpells", c.RefreshSpells);
    number(json, "RefreshEquipment", c.RefreshEquipment);
    json.key("Race");
    writeRace(json, *c.Race);
    json.key("Lists");
    writeLists(json, c, failure);
    json.endObject();
    return failure;
}

} // namespace quillet
