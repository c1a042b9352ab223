#include "character/file_io.h"

#include "character/character_file.h"
#include "character/character_file_error.h"
#include "character/kvr_character.h"
#include "character/parser.h"
#include "character/portrait_path.h"
#include "common/file_system.h"
#include "common/text_lines.h"
#include "common/vb_error.h"
#include "common/vb_number.h"

#include <memory>

namespace quillet {

namespace {

// Appends a cleaned physical line to the logical line and trims the result
// in place, so that a long run of continuation lines stays linear.
void appendTrimmed(Text& logical, TextView physical)
{
    logical += trimSpaces(BlankTabsAndNuls(physical));
    size_t end = logical.size();
    while (end > 0 && logical[end - 1] == u' ')
        --end;
    logical.resize(end);
    size_t begin = 0;
    while (begin < logical.size() && logical[begin] == u' ')
        ++begin;
    if (begin > 0)
        logical.erase(0, begin);
}

Text nextLogicalLine(TextLines& lines)
{
    Text logical;
    while (!lines.atEnd()) {
        appendTrimmed(logical, lines.next());
        if (logical.empty())
            break;
        const char16_t last = logical.back();
        if (last == u'_')
            logical.pop_back();
        else if (last != u',' && last != u'|')
            break;
    }
    return trimSpaces(logical);
}

// An element or prefixed value less its last character: the closing
// parenthesis of a well-formed one.  Nothing to remove is an invalid
// argument, as is an element without "(".
Text withoutLastChar(TextView text)
{
    if (text.empty())
        throw VbError(vberr::InvalidCall);
    return Text(text.substr(0, text.size() - 1));
}

struct KeyValue {
    Text key;   // lower-cased
    Text value; // as written, trimmed
};

KeyValue splitElement(TextView element)
{
    const Text body = trimSpaces(withoutLastChar(element));
    const size_t open = body.find(u'(');
    if (open == Text::npos)
        throw VbError(vberr::InvalidCall);
    return {lowerCase(trimSpaces(TextView(body).substr(0, open))), trimSpaces(TextView(body).substr(open + 1))};
}

int16_t number16(TextView value) { return toInt16(leadingNumber(value)); }
int32_t number32(TextView value) { return toInt32(leadingNumber(value)); }
Currency currency(TextView value) { return Currency::fromDouble(leadingNumber(value)); }

class CharacterFileReader {
public:
    CharacterFileReader(KVRCharacter& character, const CharacterFileContext& context, ReaderUi& ui)
        : character_(character), context_(context), ui_(ui)
    {
    }

    void read(TextView content)
    {
        TextLines lines(content);
        while (!lines.atEnd()) {
            ui_.doEvents();
            const size_t firstLine = lines.linesRead() + 1;
            const Text line = nextLogicalLine(lines);
            const Text lower = lowerCase(line);
            if (!lower.empty() && lower[0] == u'[') {
                section_ = sectionOfHeader(lower);
                if (section_ == Section::PdDr)
                    location_ = 0;
                continue;
            }
            if (lower.empty())
                continue;
            try {
                readLine(line, lower);
            } catch (const VbError& e) {
                throw CharacterFileError(e, firstLine, lines.linesRead());
            }
        }
    }

private:
    KVRCharacter& character() { return character_; }

    void readLine(const Text& line, const Text& lower)
    {
        switch (section_) {
        case Section::Stats:
        case Section::Ads:
        case Section::Disads:
        case Section::Quirks:
        case Section::Powers:
        case Section::Skills:
        case Section::Spells:
            addItemLine(line);
            break;
        case Section::General:
            readGeneralLine(line, lower);
            break;
        case Section::System:
        case Section::Points:
        case Section::Race:
        case Section::EncMults:
        case Section::PdDr:
        case Section::BaseDamage:
        case Section::Misc:
            readKeyList(line);
            break;
        case Section::SystemNotes:
        case Section::Packages:
        case Section::PackageItems:
        case Section::Unknown:
            break;
        }
    }

    void addItemLine(const Text& line)
    {
        auto item = std::make_shared<clsItem>();
        item->NewTagList(line);
        character().list(itemListOfSection(section_)).Add(std::move(item));
    }

    void readGeneralLine(const Text& line, const Text& lower)
    {
        static constexpr const char16_t* kPrefixes[] = {u"charname(",    u"playername(", u"portraitfile(",
                                                        u"charinplay(",  u"description(", u"notes("};
        for (size_t k = 0; k < std::size(kPrefixes); ++k) {
            const TextView prefix = kPrefixes[k];
            if (lower.compare(0, prefix.size(), prefix) != 0)
                continue;
            Text value = withoutLastChar(TextView(line).substr(prefix.size()));
            switch (k) {
            case 0: character().Name = std::move(value); break;
            case 1: character().Player = std::move(value); break;
            case 2: setPortrait(value); break;
            case 3: character().InPlay = number16(value); break;
            case 4:
                ExpandParagraphMarks(value, context_.paraMarker, context_.crlf);
                character().Description = std::move(value);
                break;
            case 5:
                ExpandParagraphMarks(value, context_.paraMarker, context_.crlf);
                character().Notes = std::move(value);
                break;
            }
            return;
        }
    }

    void setPortrait(const Text& value)
    {
        character().Portrait = resolvePortraitPath(value, context_.path);
        if (!FileExists(character().Portrait)) {
            ui_.messageBox(u"Character portrait file " + character().Portrait + u" was not found.");
            character().Portrait.clear();
        }
        ui_.setPortraitFileName(character().Portrait);
    }

    void readKeyList(const Text& line)
    {
        SplitElements(line, elements_);
        for (size_t i = 1; i < elements_.size(); ++i) {
            const KeyValue kv = splitElement(elements_[i]);
            setKey(kv.key, kv.value);
        }
    }

    void setKey(const Text& key, const Text& value)
    {
        KVRCharacter& c = character();
        switch (section_) {
        case Section::Points: setPoints(c, key, value); break;
        case Section::Race: setRace(*c.Race, key, value); break;
        case Section::EncMults: setEncMult(c, key, value); break;
        case Section::PdDr: setPdDr(c, key, value); break;
        case Section::BaseDamage:
            if (key == u"baseswing")
                c.BaseSW = value;
            else if (key == u"basethrust")
                c.BaseTH = value;
            break;
        case Section::Misc: setMisc(c, key, value); break;
        default: break; // [system]: taken apart, nothing stored
        }
    }

    static void setPoints(KVRCharacter& c, const Text& key, const Text& value)
    {
        static const std::pair<const char16_t*, Currency KVRCharacter::*> kKeys[] = {
            {u"attributes", &KVRCharacter::StatCost}, {u"ads", &KVRCharacter::AdCost},
            {u"disads", &KVRCharacter::DisadCost},    {u"quirks", &KVRCharacter::QuirkCost},
            {u"powers", &KVRCharacter::PowerCost},    {u"skills", &KVRCharacter::SkillCost},
            {u"spells", &KVRCharacter::SpellCost},    {u"total", &KVRCharacter::TotalCost},
            {u"unspent", &KVRCharacter::UnspentPoints},
        };
        for (const auto& [name, member] : kKeys)
            if (key == name)
                c.*member = currency(value);
    }

    static void setRace(clsRace& r, const Text& key, const Text& value)
    {
        if (key == u"name") r.Name = value;
        else if (key == u"st") r.STAdj = number16(value);
        else if (key == u"stcost") r.STCost = number32(value);
        else if (key == u"dx") r.DXAdj = number16(value);
        else if (key == u"dxcost") r.DXCost = number32(value);
        else if (key == u"iq") r.IQAdj = number16(value);
        else if (key == u"iqcost") r.IQCost = number32(value);
        else if (key == u"ht") r.HTAdj = number16(value);
        else if (key == u"htcost") r.HTCost = number32(value);
    }

    static void setEncMult(KVRCharacter& c, const Text& key, const Text& value)
    {
        if (key == u"nencmult") c.NEncMult = number16(value);
        else if (key == u"lencmult") c.LEncMult = number16(value);
        else if (key == u"mencmult") c.MEncMult = number16(value);
        else if (key == u"hencmult") c.HEncMult = number16(value);
        else if (key == u"xencmult") c.XEncMult = number16(value);
    }

    void setPdDr(KVRCharacter& c, const Text& key, const Text& value)
    {
        if (key == u"name") location_ = bodyLocationOfName(value);
        else if (key == u"pd") { if (location_ >= 0) c.setPD(location_, value); }
        else if (key == u"dr") { if (location_ >= 0) c.setDR(location_, value); }
        else if (key == u"otherpd") c.OtherPD = value;
        else if (key == u"otherdr") c.OtherDR = value;
    }

    static void setMisc(KVRCharacter& c, const Text& key, const Text& value)
    {
        if (key == u"parrywith") c.ParryUsing = value;
        else if (key == u"parryat") c.ParryAt = value;
        else if (key == u"parryscore") c.ParryScore = number16(value);
        else if (key == u"blockwith") c.BlockUsing = value;
        else if (key == u"blockat") c.BlockAt = value;
        else if (key == u"blockscore") c.BlockScore = number16(value);
    }

    KVRCharacter& character_;
    const CharacterFileContext& context_;
    ReaderUi& ui_;
    Section section_ = Section::Unknown;
    int16_t location_ = 0;
    std::vector<Text> elements_;
};

} // namespace

Text BlankTabsAndNuls(TextView text)
{
    Text out(text);
    for (auto& c : out)
        if (c == u'\0' || c == u'\t')
            c = u' ';
    return out;
}

void ExpandParagraphMarks(Text& text, TextView paraMarker, TextView crlf)
{
    if (text.empty() || paraMarker.empty())
        return;
    Text out;
    size_t from = 0;
    for (size_t p = text.find(paraMarker); p != Text::npos; p = text.find(paraMarker, from)) {
        out.append(text, from, p - from);
        out += crlf;
        from = p + paraMarker.size();
    }
    if (from == 0)
        return;
    out.append(text, from, Text::npos);
    text = std::move(out);
}

void SplitElements(TextView line, std::vector<Text>& elements)
{
    SplitText(line, u",", SplitBrackets);
    const int16_t n = SplitPartCount();
    elements.assign(static_cast<size_t>(n) + 1, Text());
    for (int16_t i = 1; i <= n; ++i)
        elements[static_cast<size_t>(i)] = SplitPart(i);
}

bool IsCharacterFileHeader(TextView firstLine)
{
    return lowerCase(trimSpaces(firstLine)) == u"[system]";
}

void ReadCharacterContent(KVRCharacter& character, TextView content, const CharacterFileContext& context, ReaderUi& ui)
{
    CharacterFileReader(character, context, ui).read(content);
}

} // namespace quillet
