#include "script/lib/escape_text.h"
#include "script/lib/text_search.h"

#include "common/vb_error.h"

#include <gtest/gtest.h>

#include <vector>

using namespace quillet::script;
using quillet::Text;
using quillet::TextView;

namespace {

std::vector<Text> splitText(TextView text, TextView delimiter, long long limit, CompareMode mode)
{
    std::vector<Text> pieces;
    splitEach(text, delimiter, limit, mode, [&](TextView p) { pieces.emplace_back(p); });
    return pieces;
}

std::vector<Text> filterTexts(const std::vector<Text>& items, TextView find, bool include, CompareMode mode)
{
    std::vector<Text> out;
    for (const Text& item : items)
        if (filterKeeps(item, find, include, mode))
            out.push_back(item);
    return out;
}

} // namespace

TEST(TextSearch, FindHonoursStartAndCompareMode)
{
    EXPECT_EQ(findText(u"abcabc", u"c", 1, CompareMode::Binary), 3u);
    EXPECT_EQ(findText(u"abcabc", u"c", 4, CompareMode::Binary), 6u);
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

TEST(TextSearch, SplitLimitsAndEmptyCases)
{
    EXPECT_EQ(splitText(u"a,b,,c", u",", -1, CompareMode::Binary), (std::vector<Text>{u"a", u"b", u"", u"c"}));
    EXPECT_EQ(splitText(u"a,b,c", u",", 2, CompareMode::Binary), (std::vector<Text>{u"a", u"b,c"}));
    EXPECT_EQ(splitText(u"aXbxc", u"x", -1, CompareMode::Text), (std::vector<Text>{u"a", u"b", u"c"}));
    EXPECT_TRUE(splitText(u"", u",", -1, CompareMode::Binary).empty());
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
