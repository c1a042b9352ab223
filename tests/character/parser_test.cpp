#include "character/parser.h"
#include "common/vb_error.h"

#include <gtest/gtest.h>

#include <vector>

using namespace quillet;

namespace {

std::vector<Text> parts()
{
    std::vector<Text> out;
    for (int16_t i = 1; i <= SplitPartCount(); ++i)
        out.push_back(SplitPart(i));
    return out;
}

} // namespace

TEST(Splitter, BracketsProtectOnlyWhenAsked)
{
    SplitText(u"a(b,c),d", u",", SplitBrackets);
    EXPECT_EQ(parts(), (std::vector<Text>{u"a(b,c)", u"d"}));
    EXPECT_EQ(SplitSeparator(1), u",");
    EXPECT_EQ(SplitSeparator(2), u"");

    SplitText(u"a(b,c),d", u",", 0);
    EXPECT_EQ(parts(), (std::vector<Text>{u"a(b", u"c)", u"d"}));
}

TEST(Splitter, QuotesProtectAndParenthesesCountInsideQuotes)
{
    SplitText(u"x\"a,b\",y", u",", SplitBrackets | SplitQuotes);
    EXPECT_EQ(parts(), (std::vector<Text>{u"x\"a,b\"", u"y"}));
    // A quoted "(" still counts: depth stays at one and nothing later splits.
    SplitText(u"n(\"(\"),a,b", u",", SplitBrackets | SplitQuotes);
    EXPECT_EQ(SplitPartCount(), 1);
    // An unmatched ")" drives depth negative: no separator is recognised.
    EXPECT_EQ(CountSeparators(u")a,b", u",", SplitBrackets), 0);
}

TEST(Splitter, SeveralSeparatorsAndEmptyText)
{
    SplitText(u"x<y>z", u"<>", 0);
    EXPECT_EQ(parts(), (std::vector<Text>{u"x", u"y", u"z"}));
    EXPECT_EQ(SplitSeparator(1), u"<");
    EXPECT_EQ(SplitSeparator(2), u">");

    SplitText(u"", u",", 0);
    EXPECT_EQ(SplitPartCount(), 1);
    EXPECT_EQ(SplitPart(1), u"");
    EXPECT_EQ(SplitSeparator(1), u"");
    EXPECT_EQ(SplitPart(0), u"");
    EXPECT_EQ(SplitPart(7), u"");

    SplitText(u",", u",", 0);
    EXPECT_EQ(parts(), (std::vector<Text>{u"", u""}));
    EXPECT_EQ(CountSeparators(u"A,a", u"a", 0), 1) << "separators match with case";
}

TEST(Splitter, FindCloseParen)
{
    EXPECT_EQ(FindCloseParen(u"a(b)c)d"), 6);
    EXPECT_EQ(FindCloseParen(u"abc"), 0);
    EXPECT_EQ(FindCloseParen(u")x"), 1);
    EXPECT_EQ(FindCloseParen(u"\")\""), 2) << "quotes are not special";
}

TEST(Splitter, TextsOverTheLimitOverflow)
{
    const Text longest(32767, u'a');
    const Text tooLong(32768, u'a');
    EXPECT_NO_THROW(SplitText(longest, u",", 0));
    for (auto op : {+[](TextView t) { SplitText(t, u",", 0); }, +[](TextView t) { CountSeparators(t, u",", 1); },
                    +[](TextView t) { FindCloseParen(t); }}) {
        try {
            op(tooLong);
            ADD_FAILURE() << "no overflow";
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), vberr::Overflow);
        }
    }
}

TEST(Splitter, APartCountBeyond16BitsOverflowsAndKeepsTheLastResult)
{
    SplitText(u"a,b", u",", 0);
    const Text commas(32767, u',');
    EXPECT_EQ(CountSeparators(commas, u",", 0), 32767);
    try {
        SplitText(commas, u",", 0);
        ADD_FAILURE() << "32768 parts cannot be counted";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), vberr::Overflow);
    }
    EXPECT_EQ(SplitPartCount(), 2) << "the failed split left the last result alone";
    SplitText(commas.substr(1), u",", 0);
    EXPECT_EQ(SplitPartCount(), 32767);
}

TEST(Splitter, VisitingGivesTheSplitPartsAndLeavesTheLastSplitAlone)
{
    const TextView texts[] = {u"a(b,c),d", u"x\"a,b\",y", u"n(\"(\"),a,b", u"", u",", u" a , b ,", u")a,b"};
    for (const int32_t options : {0, SplitBrackets, SplitBrackets | SplitQuotes}) {
        for (const TextView text : texts) {
            SplitText(text, u",", options);
            const std::vector<Text> split = parts();
            SplitText(u"kept,here", u",", 0);
            std::vector<Text> visited;
            VisitSplitParts(text, u",", options, [&](TextView part) { visited.emplace_back(part); });
            EXPECT_EQ(visited, split) << toUtf8(text) << " options " << options;
            EXPECT_EQ(parts(), (std::vector<Text>{u"kept", u"here"}));
        }
    }
    int seen = 0;
    EXPECT_THROW(VisitSplitParts(Text(32767, u','), u",", 0, [&](TextView) { ++seen; }), VbError);
    EXPECT_EQ(seen, 0) << "the overflow comes before any part";
}
