#include "script/lib/escape_text.h"
#include "script/lib/text_search.h"

#include "common/vb_error.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <vector>

using namespace quillet::script;
using quillet::Text;
using quillet::TextView;

namespace {

// Replace's whole result: the text itself when nothing is replaced in it.
Text replaceText(TextView text, TextView find, TextView replacement, size_t start, long long count,
                 CompareMode mode, size_t maxLength = TextView::npos)
{
    std::optional<Text> replaced = replacedText(text, find, replacement, start, count, mode, maxLength);
    return replaced ? std::move(*replaced) : Text(text);
}

std::vector<Text> splitText(TextView text, TextView delimiter, long long limit, CompareMode mode)
{
    std::vector<Text> pieces;
    splitEach(text, delimiter, limit, mode, [&](TextView p) { pieces.emplace_back(p); });
    return pieces;
}

std::vector<Text> filterTexts(const std::vector<Text>& items, TextView find, bool include, CompareMode mode)
{
    const TextFinder finder(find, mode);
    std::vector<Text> out;
    for (const Text& item : items)
        if ((finder.find(item, 0) != TextFinder::npos) == include)
            out.push_back(item);
    return out;
}

// Where `pattern` occurs at `at` in `text` by the plain definition.
bool occursAt(TextView text, size_t at, TextView pattern, CompareMode mode)
{
    if (at + pattern.size() > text.size())
        return false;
    for (size_t k = 0; k < pattern.size(); ++k) {
        const char16_t a = text[at + k];
        const char16_t b = pattern[k];
        if (mode == CompareMode::Text ? quillet::lowerChar(a) != quillet::lowerChar(b) : a != b)
            return false;
    }
    return true;
}

} // namespace

// Texts of few distinct units, where patterns recur and overlap: the cases
// that make naive searches slow and skip tables wrong.  U+0160 shares the
// skip table's bucket with 'a', and folds to U+0161 in Text mode.
TEST(TextFinder, AgreesWithTheDefinitionOnRepetitiveTexts)
{
    std::mt19937 random(18);
    const Text units = u"abA\u0160";
    auto randomText = [&](size_t length, size_t kinds) {
        Text t;
        for (size_t i = 0; i < length; ++i)
            t += units[random() % kinds];
        return t;
    };
    for (int round = 0; round < 4000; ++round) {
        const Text text = randomText(random() % 48, 1 + round % 4);
        Text pattern = randomText(1 + random() % 9, 1 + round % 4);
        if (round % 3 == 0 && !text.empty()) {
            // A piece of the text itself, so that there is a match.
            const size_t from = random() % text.size();
            pattern = text.substr(from, 1 + random() % (text.size() - from));
        }
        // The two-way search on its own, which the finder only turns to
        // after many partial matches.
        const TwoWayPattern<char16_t> twoWay(pattern, false);
        for (const CompareMode mode : {CompareMode::Binary, CompareMode::Text}) {
            const TextFinder forward(pattern, mode);
            const TextFinder backward(pattern, mode, true);
            for (size_t from = 0; from <= text.size(); ++from) {
                size_t first = TextFinder::npos;
                for (size_t at = from; at < text.size() && first == TextFinder::npos; ++at)
                    if (occursAt(text, at, pattern, mode))
                        first = at;
                ASSERT_EQ(first, forward.find(text, from)) << quillet::toUtf8(text) << " / " << quillet::toUtf8(pattern);
                if (mode == CompareMode::Binary) {
                    ASSERT_EQ(first, twoWay.find([&](size_t i) { return text[i]; }, text.size(), from))
                        << quillet::toUtf8(text) << " / " << quillet::toUtf8(pattern);
                }
                const size_t end = from;
                size_t last = TextFinder::npos;
                for (size_t at = end + 1; at-- > 0 && last == TextFinder::npos;)
                    if (at + pattern.size() <= end && occursAt(text, at, pattern, mode))
                        last = at;
                ASSERT_EQ(last, backward.findLast(text, end)) << quillet::toUtf8(text) << " / " << quillet::toUtf8(pattern);
            }
        }
    }
}

// A long pattern that almost matches everywhere: a naive search compares
// it some 2 * 10^10 times; this one stays linear, both ways and folded.
TEST(TextFinder, LongNearlyMatchingPatternsInLongTexts)
{
    const Text text = Text(2000000, u'a') + u"b" + Text(1000, u'a');
    const Text pattern = Text(20000, u'a') + u"b";
    EXPECT_EQ(findText(text, pattern, 1, CompareMode::Binary), 2000000u - 20000u + 1);
    EXPECT_EQ(findText(text, u"A" + pattern.substr(1), 1, CompareMode::Text), 2000000u - 20000u + 1);
    EXPECT_EQ(findText(text, pattern + u"c", 1, CompareMode::Binary), 0u);
    EXPECT_EQ(findTextReverse(text, pattern, text.size(), CompareMode::Binary), 2000000u - 20000u + 1);
    EXPECT_EQ(findTextReverse(text, u"B" + Text(1000, u'A'), text.size(), CompareMode::Text), 2000001u);
    EXPECT_EQ(findTextReverse(text, u"b" + Text(1001, u'a'), text.size(), CompareMode::Binary), 0u);
    EXPECT_EQ(replaceText(text, pattern, u"x", 1, -1, CompareMode::Binary).size(), text.size() - pattern.size() + 1);
    EXPECT_EQ(splitText(text, pattern, -1, CompareMode::Text).size(), 2u);
}

TEST(TextSearch, FindHonoursStartAndCompareMode)
{
    EXPECT_EQ(findText(u"abcabc", u"C", 1, CompareMode::Binary), 0u);
    EXPECT_EQ(findText(u"abcabc", u"C", 1, CompareMode::Text), 3u);
    EXPECT_EQ(findText(u"abc", u"", 2, CompareMode::Binary), 2u);
    EXPECT_EQ(findText(u"", u"", 1, CompareMode::Binary), 0u);
    EXPECT_EQ(findText(u"abc", u"a", 9, CompareMode::Binary), 0u);
    EXPECT_EQ(findTextReverse(u"abcabc", u"bc", 6, CompareMode::Binary), 5u);
    EXPECT_EQ(findTextReverse(u"abcabc", u"bc", 5, CompareMode::Binary), 2u);
    EXPECT_EQ(findTextReverse(u"abcabc", u"BC", 6, CompareMode::Text), 5u);
    EXPECT_EQ(findTextReverse(u"abc", u"abcd", 3, CompareMode::Binary), 0u);
    EXPECT_THROW(compareModeFrom(2), quillet::VbError);
}

TEST(TextSearch, ReplaceDropsTextBeforeStartAndCounts)
{
    EXPECT_EQ(replaceText(u"aXbXcX", u"X", u"-", 1, -1, CompareMode::Binary), u"a-b-c-");
    EXPECT_EQ(replaceText(u"aXbXcX", u"X", u"-", 3, -1, CompareMode::Binary), u"b-c-");
    EXPECT_EQ(replaceText(u"aXbXcX", u"X", u"-", 1, 2, CompareMode::Binary), u"a-b-cX");
    EXPECT_EQ(replaceText(u"axbXc", u"X", u"", 1, -1, CompareMode::Text), u"abc");
    EXPECT_EQ(replaceText(u"aaa", u"aa", u"b", 1, -1, CompareMode::Binary), u"ba");
    EXPECT_EQ(replaceText(u"abc", u"", u"z", 1, -1, CompareMode::Binary), u"abc");
    EXPECT_EQ(replaceText(u"abc", u"b", u"z", 4, -1, CompareMode::Binary), u"");
    EXPECT_THROW(replaceText(u"aaaa", u"a", u"bbb", 1, -1, CompareMode::Binary, 10), quillet::VbError);
}

// Nothing comes back exactly when the result would be the whole text as it
// was, so that a caller may hand back what it holds.
TEST(TextSearch, ReplacedTextIsNothingOnlyForTheWholeTextUnchanged)
{
    EXPECT_EQ(replacedText(u"abc", u"x", u"y", 1, -1, CompareMode::Binary), std::nullopt);
    EXPECT_EQ(replacedText(u"abc", u"", u"y", 1, -1, CompareMode::Binary), std::nullopt);
    EXPECT_EQ(replacedText(u"abc", u"b", u"y", 1, 0, CompareMode::Binary), std::nullopt);
    EXPECT_EQ(replacedText(u"abc", u"x", u"y", 2, -1, CompareMode::Binary), std::optional<Text>(u"bc"));
    EXPECT_EQ(replacedText(u"abc", u"B", u"B", 1, -1, CompareMode::Text), std::optional<Text>(u"aBc"));
    EXPECT_EQ(replacedText(u"", u"x", u"y", 1, -1, CompareMode::Binary), std::optional<Text>(u""));
}

TEST(TextSearch, SplitLimitsAndEmptyCases)
{
    EXPECT_EQ(splitText(u"a,b,c", u",", 2, CompareMode::Binary), (std::vector<Text>{u"a", u"b,c"}));
    EXPECT_EQ(splitText(u"abc", u"", -1, CompareMode::Binary), (std::vector<Text>{u"abc"}));
    EXPECT_EQ(splitText(u"a,b", u",", 1, CompareMode::Binary), (std::vector<Text>{u"a,b"}));
}

TEST(TextSearch, CompareAndFilter)
{
    EXPECT_EQ(compareText(u"abc", u"abd", CompareMode::Binary), -1);
    EXPECT_EQ(compareText(u"B", u"a", CompareMode::Binary), -1);
    EXPECT_EQ(compareText(u"B", u"a", CompareMode::Text), 1);
    EXPECT_EQ(compareText(u"ABC", u"abc", CompareMode::Text), 0);
    EXPECT_EQ(compareText(u"ab", u"abc", CompareMode::Binary), -1);
    const std::vector<Text> items{u"Apple", u"banana", u"cherry"};
    EXPECT_EQ(filterTexts(items, u"an", true, CompareMode::Binary), (std::vector<Text>{u"banana"}));
    EXPECT_EQ(filterTexts(items, u"A", false, CompareMode::Text), (std::vector<Text>{u"cherry"}));
    EXPECT_EQ(reverseText(u"abc"), u"cba");
}

TEST(EscapeText, RoundTripsAndKeepsMalformedSequences)
{
    EXPECT_EQ(escapeText(u"a b+c/é\x263A"), u"a%20b+c/%E9%u263A");
    EXPECT_EQ(unescapeText(u"a%20b+c/%E9%u263A"), u"a b+c/é\x263A");
    EXPECT_EQ(unescapeText(u"100%zz %u12 %"), u"100%zz %u12 %");
}
