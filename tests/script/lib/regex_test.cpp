#include "script/lib/regex.h"

#include "common/vb_error.h"

#include <gtest/gtest.h>

using namespace quillet::script;
using quillet::Text;
using quillet::TextView;

namespace {

// "whole|g1|g2..." of the first match, "-" for an unset group, "none"
// when nothing matches.
std::string first(TextView pattern, TextView text, RegexOptions options = {})
{
    Regex re(pattern, options);
    RegexBudget budget;
    auto m = re.search(text, 0, budget);
    if (!m)
        return "none";
    auto piece = [&](const RegexMatch::Span& s) {
        return s.matched() ? quillet::toUtf8(text.substr(s.start, s.end - s.start)) : std::string("-");
    };
    std::string out = piece(m->whole);
    for (const auto& g : m->groups)
        out += "|" + piece(g);
    return out;
}

int errorOf(TextView pattern)
{
    try {
        Regex re(pattern, {});
    } catch (const quillet::VbError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

// Matching through the RegExp object is in the golden lib_regexp.vbs, with
// its common patterns and syntax errors.
TEST(Regex, LiteralsClassesAndEscapes)
{
    EXPECT_EQ(first(u"b.d", u"abcde"), "bcd");
    EXPECT_EQ(first(u"a.c", u"a\nc"), "none");
    EXPECT_EQ(first(u"\\d+", u"ab 123 c"), "123");
    EXPECT_EQ(first(u"\\D\\W\\S", u"1a 1"), "a 1");
    EXPECT_EQ(first(u"\\w+", u"  foo_1 bar"), "foo_1");
    EXPECT_EQ(first(u"\\s", u"a\tb"), "\t");
    EXPECT_EQ(first(u"[a-c]+", u"xxabcabd"), "abcab");
    EXPECT_EQ(first(u"[^a-c ]+", u"abc xyz"), "xyz");
    EXPECT_EQ(first(u"[\\d.]+", u"v1.25x"), "1.25");
    EXPECT_EQ(first(u"[a\\-z]+", u"b-az"), "-az");
    EXPECT_EQ(first(u"[\\W]", u"ab!"), "!");
    EXPECT_EQ(first(u"\\x41\\u0042\\t", u"xAB\t"), "AB\t");
    EXPECT_EQ(first(u"\\.\\*\\(", u"a.*("), ".*(");
    EXPECT_EQ(first(u"a{", u"a{"), "a{");
}

TEST(Regex, AnchorsBoundariesAndMultiline)
{
    EXPECT_EQ(first(u"^b", u"a\nb"), "none");
    EXPECT_EQ(first(u"^b", u"a\nb", {false, true}), "b");
    EXPECT_EQ(first(u"a$", u"a\nb"), "none");
    EXPECT_EQ(first(u"a$", u"a\nb", {false, true}), "a");
    EXPECT_EQ(first(u"\\bcat\\b", u"concat cat"), "cat");
    EXPECT_EQ(first(u"\\Bcat", u"cat concat"), "cat");
    EXPECT_EQ(first(u"^$", u""), "");
}

TEST(Regex, QuantifiersGreedyAndLazy)
{
    EXPECT_EQ(first(u"<.+>", u"<a><b>"), "<a><b>");
    EXPECT_EQ(first(u"<.+?>", u"<a><b>"), "<a>");
    EXPECT_EQ(first(u"a{2,3}", u"aaaa"), "aaa");
    EXPECT_EQ(first(u"a{2,3}?", u"aaaa"), "aa");
    EXPECT_EQ(first(u"a{2,}", u"aaaaa"), "aaaaa");
    EXPECT_EQ(first(u"x{3}", u"xx"), "none");
    EXPECT_EQ(first(u"ab?c", u"ac"), "ac");
    EXPECT_EQ(first(u"(a*)*b", u"aab"), "aab|aa");
    EXPECT_EQ(first(u"(a|)+b", u"b"), "b|");
    EXPECT_EQ(first(u"(?:ab)+", u"ababa"), "abab");
    EXPECT_EQ(first(u"x*", u"abc"), "");
}

TEST(Regex, GroupsAlternationBackReferencesAndLookahead)
{
    EXPECT_EQ(first(u"cat|dog", u"hotdog"), "dog");
    EXPECT_EQ(first(u"(a)|(b)", u"b"), "b|-|b");
    EXPECT_EQ(first(u"(\\w)\\1", u"abccd"), "cc|c");
    EXPECT_EQ(first(u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)\\10", u"abcdefghijj"), "abcdefghijj|a|b|c|d|e|f|g|h|i|j");
    EXPECT_EQ(first(u"\\w+(?=!)", u"hi there!"), "there");
    EXPECT_EQ(first(u"\\d+(?!px)\\b", u"10px 20 em"), "20");
    EXPECT_EQ(first(u"(?=(\\w+))\\w", u"ab"), "a|ab");
}

TEST(Regex, IgnoreCase)
{
    EXPECT_EQ(first(u"HELLO", u"say hello", {true, false}), "hello");
    EXPECT_EQ(first(u"[A-C]+", u"xaBc", {true, false}), "aBc");
    EXPECT_EQ(first(u"(a)\\1", u"aA", {true, false}), "aA|a");
    EXPECT_EQ(first(u"[^a]", u"Ab", {true, false}), "b");
}

TEST(Regex, SyntaxErrorsHaveVbScriptNumbers)
{
    EXPECT_EQ(errorOf(u"a**"), 5018);
    EXPECT_EQ(errorOf(u"abc)"), 5017);
    EXPECT_EQ(errorOf(u"[z-a]"), 5021);
    EXPECT_EQ(errorOf(u"a{3,2}"), 5017);
    EXPECT_EQ(errorOf(u"(?<x>a)"), 5017);
    EXPECT_EQ(errorOf(u"a\\"), 5017);
    EXPECT_EQ(errorOf(Text(300, u'(') + Text(300, u')')), 5017);
    EXPECT_EQ(errorOf(Text(150, u'(') + Text(150, u')')), 0);
}

TEST(Regex, PathologicalPatternsStopWithAnError)
{
    Regex re(u"(a+)+b", {});
    RegexBudget budget(2'000'000);
    const Text text(40, u'a');
    try {
        re.search(text, 0, budget);
        FAIL() << "expected the step budget to run out";
    } catch (const quillet::VbError& e) {
        EXPECT_EQ(e.number(), 28);
    }
    // Long subjects with simple loops neither overflow nor run out.
    Regex simple(u"(?:ab)*c", {});
    RegexBudget big;
    Text longText;
    for (int i = 0; i < 200000; ++i)
        longText += u"ab";
    longText += u"c";
    auto m = simple.search(longText, 0, big);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->whole.end, static_cast<long long>(longText.size()));
}

TEST(Regex, ReplacementTokens)
{
    Regex re(u"(\\w+) (\\w+)", {});
    RegexBudget budget;
    const Text text = u"<john smith>";
    auto m = re.search(text, 0, budget);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(expandReplacement(u"$2, $1", text, *m), u"smith, john");
    EXPECT_EQ(expandReplacement(u"[$&]", text, *m), u"[john smith]");
    EXPECT_EQ(expandReplacement(u"$`|$'", text, *m), u"<|>");
    EXPECT_EQ(expandReplacement(u"$$1 $3 $0 $", text, *m), u"$1 $3 $0 $");
    EXPECT_EQ(expandReplacement(u"$12", text, *m), u"john2");
}

TEST(Regex, RandomPatternsCompileOrFailCleanly)
{
    // Patterns made of the syntax's own characters: every one either
    // compiles and matches within its budget, or raises a VBScript error.
    const char16_t alphabet[] = u"ab()[]{}*+?|^$\\.-,:=!0123dwsbBux";
    const size_t letters = sizeof(alphabet) / sizeof(char16_t) - 1;
    uint32_t state = 12345;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    int compiled = 0;
    for (int round = 0; round < 3000; ++round) {
        Text pattern;
        const size_t length = 1 + next() % 12;
        for (size_t k = 0; k < length; ++k)
            pattern.push_back(alphabet[next() % letters]);
        try {
            Regex re(pattern, {round % 2 == 0, round % 3 == 0});
            RegexBudget budget(200'000);
            re.search(u"aab-ba{1}(x)\n0123 ab", 0, budget);
            ++compiled;
        } catch (const quillet::VbError& e) {
            EXPECT_TRUE(e.number() == 28 || (e.number() >= 5017 && e.number() <= 5021)) << e.number();
        }
    }
    EXPECT_GT(compiled, 300);
}
