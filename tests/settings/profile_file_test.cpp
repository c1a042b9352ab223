#include "settings/profile_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace quillet {
namespace {

std::optional<Text> valueIn(TextView fileText, TextView section, TextView key)
{
    return ProfileFile::fromText(fileText).value(section, key);
}

TEST(ProfileFile, MatchesWithoutCaseAndIgnoresBlanksAroundNamesAndValues)
{
    const TextView text = u"  [ options ]  \n\t DEBUG \t=  -1 \t\nPath = C:\\Program Files\\x \n";
    EXPECT_EQ(valueIn(text, u"Options", u"debug"), u"-1");
    EXPECT_EQ(valueIn(text, u"OPTIONS", u"path"), u"C:\\Program Files\\x");
    EXPECT_EQ(valueIn(text, u"Options", u"Missing"), std::nullopt);
    EXPECT_EQ(valueIn(text, u"Paths", u"Debug"), std::nullopt);
}

TEST(ProfileFile, CommentsAndLinesThatAreNotKeysAreNeverMatched)
{
    const TextView text = u"Debug=7\n"       // before any section
                          u"[Options]\n"
                          u";Debug=1\n"
                          u"  ; NoLogo=1\n"
                          u"Debug\n"         // no "="
                          u"=orphan\n"       // no key
                          u"[Paths]\n"
                          u"Debug=3\n";
    EXPECT_EQ(valueIn(text, u"Options", u"Debug"), std::nullopt);
    EXPECT_EQ(valueIn(text, u"Options", u"NoLogo"), std::nullopt);
    EXPECT_EQ(valueIn(text, u"Paths", u"Debug"), u"3");
}

TEST(ProfileFile, ValuesInMatchingQuotesAreReadWithoutThem)
{
    const TextView text = u"[S]\na=\"  padded  \"\nb=\"open\nc=\"\"\nd=say \"hi\"\ne=\n";
    EXPECT_EQ(valueIn(text, u"S", u"a"), u"  padded  ");
    EXPECT_EQ(valueIn(text, u"S", u"b"), u"\"open");
    EXPECT_EQ(valueIn(text, u"S", u"c"), u"");
    EXPECT_EQ(valueIn(text, u"S", u"d"), u"say \"hi\"");
    EXPECT_EQ(valueIn(text, u"S", u"e"), u"");
}

TEST(ProfileFile, TheFirstOfDuplicateKeysIsReadAndReplaced)
{
    ProfileFile file = ProfileFile::fromText(u"[Options]\nDebug=-1\ndebug=0\n[Options]\nDebug=5\nNoLogo=1\n");
    EXPECT_EQ(file.value(u"Options", u"Debug"), u"-1");
    // A repeated section is searched after the first one.
    EXPECT_EQ(file.value(u"Options", u"NoLogo"), u"1");

    ASSERT_TRUE(file.setValue(u"Options", u"DEBUG", u"0"));
    ASSERT_TRUE(file.setValue(u"options", u"NoLogo", u"-1"));
    EXPECT_EQ(file.toText(), u"[Options]\r\nDebug=0\r\ndebug=0\r\n[Options]\r\nDebug=5\r\nNoLogo=-1\r\n");
}

TEST(ProfileFile, NewKeysGoIntoTheirSectionAndNewSectionsAtTheEnd)
{
    ProfileFile file = ProfileFile::fromText(u"; settings\r\n"
                                             u"[Options]\r\n"
                                             u"Debug=0\r\n"
                                             u"Colour=blue\r\n"
                                             u"\r\n"
                                             u"; the paths\r\n"
                                             u"[Paths]\r\n"
                                             u"[Foreign]\r\n"
                                             u"x=1");
    ASSERT_TRUE(file.setValue(u"Options", u"NoLogo", u"-1"));
    ASSERT_TRUE(file.setValue(u"Paths", u"CharDir", u"/home/u/"));
    ASSERT_TRUE(file.setValue(u"Windows", u"LogLeft", u"960"));
    EXPECT_EQ(file.toText(), u"; settings\r\n"
                             u"[Options]\r\n"
                             u"Debug=0\r\n"
                             u"Colour=blue\r\n"
                             u"NoLogo=-1\r\n"
                             u"\r\n"
                             u"; the paths\r\n"
                             u"[Paths]\r\n"
                             u"CharDir=/home/u/\r\n"
                             u"[Foreign]\r\n"
                             u"x=1\r\n"
                             u"\r\n"
                             u"[Windows]\r\n"
                             u"LogLeft=960\r\n");
}

TEST(ProfileFile, ValuesThatWouldNotReadBackAreQuoted)
{
    ProfileFile file;
    for (TextView value : {TextView(u" lead"), TextView(u"trail\t"), TextView(u"\"quoted\""), TextView(u"\""),
                           TextView(u""), TextView(u"a = b ; c")}) {
        ASSERT_TRUE(file.setValue(u"S", u"k", value));
        EXPECT_EQ(ProfileFile::fromText(file.toText()).value(u"S", u"k"), Text(value));
    }
}

TEST(ProfileFile, NamesAndValuesThatCannotBeWrittenChangeNothing)
{
    ProfileFile file = ProfileFile::fromText(u"[S]\nk=1\n");
    const Text before = file.toText();
    EXPECT_FALSE(file.setValue(u"S", u"a=b", u"x"));
    EXPECT_FALSE(file.setValue(u"S", u"[k", u"x"));
    EXPECT_FALSE(file.setValue(u"S", u";k", u"x"));
    EXPECT_FALSE(file.setValue(u"S", u"  ", u"x"));
    EXPECT_FALSE(file.setValue(u"S", u"k", u"two\r\nlines"));
    EXPECT_FALSE(file.setValue(u"S]", u"k", u"x"));
    EXPECT_FALSE(file.setValue(u"", u"k", u"x"));
    EXPECT_EQ(file.toText(), before);
}

// Length of the longest common subsequence of two line lists.
size_t commonLines(const std::vector<Text>& a, const std::vector<Text>& b)
{
    std::vector<std::vector<size_t>> table(a.size() + 1, std::vector<size_t>(b.size() + 1, 0));
    for (size_t i = 1; i <= a.size(); ++i)
        for (size_t j = 1; j <= b.size(); ++j)
            table[i][j] = a[i - 1] == b[j - 1] ? table[i - 1][j - 1] + 1
                                               : std::max(table[i - 1][j], table[i][j - 1]);
    return table[a.size()][b.size()];
}

// Random files made of the characters that matter to the format, and
// random writes into them: whatever the file, a written value reads back
// as written, and at most the one replaced line of the file changes.
TEST(ProfileFile, AWrittenValueAlwaysReadsBackAndNothingElseMoves)
{
    std::mt19937 random(4711);
    auto pick = [&](TextView alphabet, size_t length) {
        Text out;
        for (size_t i = 0; i < length; ++i)
            out += alphabet[random() % alphabet.size()];
        return out;
    };
    const TextView fileAlphabet = u"[]=;\" \t\r\naAsSkK";
    const TextView nameAlphabet = u"[]=;\" \taAsSkK";
    int written = 0;
    for (int round = 0; round < 3000; ++round) {
        ProfileFile file = ProfileFile::fromText(pick(fileAlphabet, random() % 60));
        const std::vector<Text> before = file.lines();
        const Text section = pick(nameAlphabet, 1 + random() % 3);
        const Text key = pick(nameAlphabet, 1 + random() % 3);
        const Text value = pick(nameAlphabet, random() % 6);
        SCOPED_TRACE(toUtf8(ProfileFile(file).toText() + u"| " + section + u" | " + key + u" | " + value));
        if (!file.setValue(section, key, value)) {
            EXPECT_FALSE(ProfileFile::canWrite(section, key, value));
            EXPECT_EQ(file.lines(), before);
        } else {
            ++written;
            EXPECT_EQ(file.value(section, key), value);
            EXPECT_EQ(ProfileFile::fromText(file.toText()).value(section, key), value);
            EXPECT_GE(commonLines(before, file.lines()) + 1, before.size());
        }
        ASSERT_FALSE(::testing::Test::HasFailure());
    }
    EXPECT_GT(written, 1000);
}

} // namespace
} // namespace quillet
