#include "character/character_file.h"

#include "character/kvr_character.h"

namespace quillet {

namespace {

struct HeaderEntry {
    const char16_t* header;
    Section section;
};

constexpr HeaderEntry kHeaders[] = {
    {u"[system]", Section::System},
    {u"[system notes]", Section::SystemNotes},
    {u"[general]", Section::General},
    {u"[points]", Section::Points},
    {u"[race]", Section::Race},
    {u"[stats]", Section::Stats},
    {u"[attributes]", Section::Stats},
    {u"[ads]", Section::Ads},
    {u"[advantages]", Section::Ads},
    {u"[disads]", Section::Disads},
    {u"[disadvantages]", Section::Disads},
    {u"[quirks]", Section::Quirks},
    {u"[powers]", Section::Powers},
    {u"[skills]", Section::Skills},
    {u"[spells]", Section::Spells},
    {u"[packages]", Section::Packages},
    {u"[packageitems]", Section::PackageItems},
    {u"[pd/dr]", Section::PdDr},
    {u"[misc]", Section::Misc},
    {u"[basedamage]", Section::BaseDamage},
    {u"[encmults]", Section::EncMults},
};

constexpr const char16_t* kLocations[] = {u"head", u"body", u"arms", u"legs", u"hands", u"feet"};

} // namespace

Section sectionOfHeader(TextView lowerCasedHeader)
{
    for (const auto& entry : kHeaders)
        if (lowerCasedHeader == entry.header)
            return entry.section;
    return Section::Unknown;
}

int16_t itemListOfSection(Section section)
{
    switch (section) {
    case Section::Stats: return ListAttributes;
    case Section::Ads: return ListAdvantages;
    case Section::Disads: return ListDisadvantages;
    case Section::Quirks: return ListQuirks;
    case Section::Powers: return ListPowers;
    case Section::Skills: return ListSkills;
    case Section::Spells: return ListSpells;
    default: return 0;
    }
}

int16_t bodyLocationOfName(TextView name)
{
    const Text lower = lowerCase(name);
    for (int16_t i = 0; i < static_cast<int16_t>(std::size(kLocations)); ++i)
        if (lower == kLocations[i])
            return i;
    return -1;
}

} // namespace quillet
