#include "surface/rtf_reader.h"

#include "common/stop_request.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace quillet::surface {
namespace {

enum class Destination { Text, FontTable, ColourTable, Skip };

struct GroupState {
    FontStyle font;
    std::optional<Rgb> colour;  // empty: the automatic colour
    Align align = Align::Left;
    int unicodeSkip = 1;
    Destination destination = Destination::Text;
};

bool isLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

const std::set<std::string>& skippedDestinations()
{
    static const std::set<std::string> names = {
        "stylesheet", "info", "pict", "object", "header", "footer", "headerl", "headerr",
        "headerf", "footerl", "footerr", "footerf", "listtable", "listoverridetable", "rsidtbl",
        "generator", "xmlnstbl", "themedata", "colorschememapping", "latentstyles", "datastore",
        "fldinst", "filetbl", "revtbl", "pgdsctbl", "footnote", "annotation", "bkmkstart",
        "bkmkend", "template", "userprops", "docvar", "mmathPr", "pnseclvl", "pntext", "pntxta",
        "pntxtb", "listtext", "shp", "nonshppict",
    };
    return names;
}

class RtfReader {
public:
    RtfReader(TextView rtf, const FontStyle& baseFont, Rgb baseColour)
        : in_(rtf), baseFont_(baseFont), baseColour_(baseColour)
    {
        state_.font = baseFont;
    }

    std::vector<StyledParagraph> read()
    {
        while (pos_ < in_.size()) {
            pollStop();
            char16_t c = in_[pos_++];
            if (c == u'{') {
                beginGroup();
            } else if (c == u'}') {
                endGroup();
            } else if (c == u'\\') {
                controlWord();
            } else if (c == u'\r' || c == u'\n') {
                // Line ends in RTF source are not text.
            } else if (c == u'\t') {
                text(u"\t");
            } else {
                plainCharacter(c);
            }
        }
        if (!paragraph_.runs.empty())
            finishParagraph();
        return std::move(paragraphs_);
    }

private:
    void beginGroup()
    {
        // Each level keeps a copy of the formatting: a text of nothing but
        // "{" must not grow the stack without end.
        if (stack_.size() >= kMaxRtfGroupDepth)
            throw VbError(vberr::OutOfStack, u"Out of stack space: rich text nests groups more than " +
                                                 decimalText(kMaxRtfGroupDepth) + u" deep");
        stack_.push_back(state_);
    }

    void endGroup()
    {
        if (state_.destination == Destination::FontTable)
            commitFontName();
        if (stack_.empty())
            return;  // an unbalanced "}": ignore it
        state_ = stack_.back();
        stack_.pop_back();
    }

    void plainCharacter(char16_t c)
    {
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return;
        }
        switch (state_.destination) {
        case Destination::Text:
            text(Text(1, c));
            break;
        case Destination::FontTable:
            if (c == u';')
                commitFontName();
            else
                fontName_ += c;
            break;
        case Destination::ColourTable:
            if (c == u';') {
                colours_.push_back(colourEntry_);
                colourEntry_.reset();
            }
            break;
        case Destination::Skip:
            break;
        }
    }

    void commitFontName()
    {
        if (fontIndex_ >= 0) {
            Text name = trimSpaces(fontName_);
            if (!name.empty())
                fonts_[fontIndex_] = name;
        }
        fontName_.clear();
    }

    void controlWord()
    {
        if (pos_ >= in_.size())
            return;
        char16_t c = in_[pos_];
        if (!isLetter(c)) {
            ++pos_;
            controlSymbol(c);
            return;
        }
        std::string word;
        while (pos_ < in_.size() && isLetter(in_[pos_]))
            word += static_cast<char>(in_[pos_++]);
        std::optional<int> param;
        bool negative = false;
        if (pos_ < in_.size() && in_[pos_] == u'-' && pos_ + 1 < in_.size() && isDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        if (pos_ < in_.size() && isDigit(in_[pos_])) {
            long value = 0;
            while (pos_ < in_.size() && isDigit(in_[pos_])) {
                if (value < 100000000)
                    value = value * 10 + (in_[pos_] - u'0');
                ++pos_;
            }
            param = static_cast<int>(negative ? -value : value);
        }
        if (pos_ < in_.size() && in_[pos_] == u' ')
            ++pos_;  // the delimiting blank belongs to the control word
        apply(word, param);
    }

    void controlSymbol(char16_t c)
    {
        switch (c) {
        case u'\\':
        case u'{':
        case u'}':
            plainCharacter(c);
            break;
        case u'~':
            plainCharacter(u'\u00A0');
            break;
        case u'_':
            plainCharacter(u'-');
            break;
        case u'\'':
            hexByte();
            break;
        case u'*':
            state_.destination = Destination::Skip;
            break;
        case u'\r':
        case u'\n':
            apply("par", std::nullopt);
            break;
        default:
            break;  // \- (optional hyphen) and unknown symbols draw nothing
        }
    }

    void hexByte()
    {
        auto hexValue = [](char16_t h) -> int {
            if (isDigit(h))
                return h - u'0';
            if (h >= u'a' && h <= u'f')
                return h - u'a' + 10;
            if (h >= u'A' && h <= u'F')
                return h - u'A' + 10;
            return -1;
        };
        int value = 0;
        int digits = 0;
        while (digits < 2 && pos_ < in_.size() && hexValue(in_[pos_]) >= 0) {
            value = value * 16 + hexValue(in_[pos_++]);
            ++digits;
        }
        if (digits == 0)
            return;
        std::string byte(1, static_cast<char>(value));
        Text decoded = fromWindows1252(byte);
        if (!decoded.empty())
            plainCharacter(decoded.front());
    }

    void apply(const std::string& word, std::optional<int> param)
    {
        const int n = param.value_or(1);
        const bool on = n != 0;
        if (state_.destination == Destination::FontTable) {
            if (word == "f")
                fontIndex_ = n;
            else if (word == "par" || word == "line")
                return;
            return;
        }
        if (state_.destination == Destination::ColourTable) {
            int value = std::clamp(n, 0, 255);
            Rgb entry = colourEntry_.value_or(0);
            if (word == "red")
                colourEntry_ = (entry & 0xFFFF00u) | static_cast<Rgb>(value);
            else if (word == "green")
                colourEntry_ = (entry & 0xFF00FFu) | (static_cast<Rgb>(value) << 8);
            else if (word == "blue")
                colourEntry_ = (entry & 0x00FFFFu) | (static_cast<Rgb>(value) << 16);
            return;
        }
        if (word == "fonttbl") {
            state_.destination = Destination::FontTable;
            fontIndex_ = -1;
            fontName_.clear();
        } else if (word == "colortbl") {
            state_.destination = Destination::ColourTable;
            colours_.clear();
            colourEntry_.reset();
        } else if (skippedDestinations().count(word)) {
            state_.destination = Destination::Skip;
        } else if (state_.destination == Destination::Skip) {
            return;
        } else if (word == "b") {
            state_.font.bold = on;
        } else if (word == "i") {
            state_.font.italic = on;
        } else if (word == "ul") {
            state_.font.underline = on;
        } else if (word == "ulnone") {
            state_.font.underline = false;
        } else if (word == "strike") {
            state_.font.strikeout = on;
        } else if (word == "plain") {
            state_.font = FontStyle{baseFont_.name, baseFont_.size};
            state_.colour.reset();
        } else if (word == "fs") {
            if (param && *param > 0)
                state_.font.size = *param / 2.0;
        } else if (word == "f") {
            auto it = fonts_.find(n);
            if (it != fonts_.end())
                state_.font.name = it->second;
        } else if (word == "cf") {
            if (n > 0 && static_cast<size_t>(n) < colours_.size() && colours_[static_cast<size_t>(n)])
                state_.colour = colours_[static_cast<size_t>(n)];
            else
                state_.colour.reset();
        } else if (word == "par") {
            finishParagraph();
            return;
        } else if (word == "pard") {
            state_.align = Align::Left;
        } else if (word == "ql") {
            state_.align = Align::Left;
        } else if (word == "qc") {
            state_.align = Align::Center;
        } else if (word == "qr") {
            state_.align = Align::Right;
        } else if (word == "qj") {
            state_.align = Align::Justify;
        } else if (word == "line") {
            text(u"\n");
        } else if (word == "tab") {
            text(u"\t");
        } else if (word == "uc") {
            state_.unicodeSkip = std::max(0, n);
        } else if (word == "u" && param) {
            int code = *param < 0 ? *param + 65536 : *param;
            text(Text(1, static_cast<char16_t>(code)));
            pendingSkip_ = state_.unicodeSkip;
        } else if (word == "emdash") {
            text(u"\u2014");
        } else if (word == "endash") {
            text(u"\u2013");
        } else if (word == "bullet") {
            text(u"\u2022");
        } else if (word == "lquote") {
            text(u"\u2018");
        } else if (word == "rquote") {
            text(u"\u2019");
        } else if (word == "ldblquote") {
            text(u"\u201C");
        } else if (word == "rdblquote") {
            text(u"\u201D");
        }
    }

    void text(const Text& t)
    {
        if (state_.destination != Destination::Text)
            return;
        Rgb colour = state_.colour.value_or(baseColour_);
        auto& runs = paragraph_.runs;
        if (!runs.empty() && runs.back().font == state_.font && runs.back().colour == colour)
            runs.back().text += t;
        else
            runs.push_back({t, state_.font, colour});
        paragraph_.align = state_.align;
    }

    void finishParagraph()
    {
        if (paragraph_.runs.empty()) {
            // An empty paragraph still takes a line in the font in effect.
            paragraph_.runs.push_back({Text(), state_.font, state_.colour.value_or(baseColour_)});
        }
        paragraph_.align = state_.align;
        paragraphs_.push_back(std::move(paragraph_));
        paragraph_ = StyledParagraph{};
    }

    TextView in_;
    size_t pos_ = 0;
    FontStyle baseFont_;
    Rgb baseColour_;
    GroupState state_;
    std::vector<GroupState> stack_;
    std::map<int, Text> fonts_;
    int fontIndex_ = -1;
    Text fontName_;
    std::vector<std::optional<Rgb>> colours_;
    std::optional<Rgb> colourEntry_;
    int pendingSkip_ = 0;
    StyledParagraph paragraph_;
    std::vector<StyledParagraph> paragraphs_;
};

} // namespace

std::vector<StyledParagraph> readRtf(TextView rtf, const FontStyle& baseFont, Rgb baseColour)
{
    return RtfReader(rtf, baseFont, baseColour).read();
}

} // namespace quillet::surface
