#include "settings/profile_file.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace quillet
