#include "common/text.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(TextDecoding, Utf8RoundTripKeepsCodeUnits)
{
    const std::string utf8 = "Stra\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x8E\xB2";
    const Text t = fromUtf8(utf8);
    EXPECT_EQ(t.size(), 11u); // the die is a surrogate pair: two code units
    EXPECT_EQ(t[4], u'\u00DF');
    EXPECT_EQ(toUtf8(t), utf8);
}

TEST(TextDecoding, InvalidUtf8FallsBackToWindows1252)
{
    // 0x93/0x94 are curly quotes in Windows-1252, 0xDF is sharp s.
    EXPECT_EQ(decodeFileText("\x93Gro\xDF\x94"), u"\u201CGro\u00DF\u201D");
    EXPECT_EQ(decodeFileText("\x80\x81"), u"\u20AC\u0081");
    EXPECT_EQ(decodeFileText("plain"), u"plain");
    EXPECT_EQ(decodeFileText("\xEF\xBB\xBFwith bom"), u"with bom");
    // Overlong and surrogate encodings are not valid UTF-8.
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));
}

TEST(TextDecoding, AnyByteOfLongAsciiRunsMayStartASequence)
{
    // ASCII is read eight bytes at a time: a sequence (good, cut short, or
    // a lone Windows-1252 byte) at every place around those steps.
    const std::string ascii = "Skill number 12, Speciality 3";
    for (size_t at = 0; at <= ascii.size(); ++at) {
        const std::string before = ascii.substr(0, at), after = ascii.substr(at);
        const Text b = fromAscii(before), a = fromAscii(after);
        EXPECT_EQ(decodeFileText(before + "\xC3\xA9" + after), b + u"\u00E9" + a) << at;
        EXPECT_EQ(decodeFileText(before + "\xF0\x9F\x8E\xB2" + after), b + u"\U0001F3B2" + a) << at;
        EXPECT_FALSE(isValidUtf8(before + "\xE9" + after)) << at;
        EXPECT_EQ(decodeFileText(before + "\xE9" + after), b + u"\u00E9" + a) << at;
        EXPECT_EQ(fromUtf8(before + "\xC3"), b + u"\uFFFD") << at;
    }
}

TEST(TextDecoding, AUtf16ByteOrderMarkMakesTheRestUtf16)
{
    using namespace std::string_literals;
    EXPECT_EQ(decodeFileText("\xFF\xFEG\0r\0\xFC\0\x3D\xD8\x00\xDE"s), u"Gr\u00FC\U0001F600");
    EXPECT_EQ(decodeFileText("\xFE\xFF\0G\0r\0\xFC\xD8\x3D\xDE\x00"s), u"Gr\u00FC\U0001F600");
    EXPECT_EQ(decodeFileText("\xFF\xFEG\0r"s), u"G\uFFFD"); // a byte short
    EXPECT_EQ(decodeFileText("\xFF\xFE"s), u"");
    // A single 0xFF is still Windows-1252.
    EXPECT_EQ(decodeFileText("\xFFx"), u"\u00FFx");
}

TEST(TextDecoding, EveryWindows1252ByteRoundTrips)
{
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(windows1252Byte(windows1252Char(static_cast<unsigned char>(b))), b) << b;
    EXPECT_EQ(windows1252Char(0x9D), u'\u009D');
    EXPECT_EQ(windows1252Byte(u'\u0178'), 0x9F);
    EXPECT_EQ(windows1252Byte(u'\u03A9'), -1);
    EXPECT_EQ(windows1252Byte(u'\u0080'), -1); // its byte stands for the euro sign
}

TEST(TextDecoding, LoneSurrogateEncodesAsReplacement)
{
    const Text t{char16_t(0xD800), u'a'};
    EXPECT_EQ(toUtf8(t), "\xEF\xBF\xBD" "a");
}

TEST(TextCase, MapsLatinGreekCyrillic)
{
    EXPECT_EQ(lowerCase(u"ÄÖÜ ABC Ÿ Ł Ž ΣΩ ЖЁ"), u"äöü abc ÿ ł ž σω жё");
    EXPECT_EQ(upperCase(u"äöü abc ÿ ł ž σω жё"), u"ÄÖÜ ABC Ÿ Ł Ž ΣΩ ЖЁ");
    EXPECT_EQ(upperCase(u"ß"), u"ß"); // no one-to-one upper case
    EXPECT_TRUE(equalsIgnoreCase(u"[SYSTEM]", u"[system]"));
    EXPECT_FALSE(equalsIgnoreCase(u"abc", u"abd"));
    EXPECT_TRUE(startsWithIgnoreCase(u"CharName(Ann)", u"charname("));
}

TEST(TextTrim, OnlyBlanksAreRemoved)
{
    EXPECT_EQ(trimSpaces(u"  a b  "), u"a b");
    EXPECT_EQ(trimSpaces(u"\ta\t"), u"\ta\t");
    EXPECT_EQ(trimSpaces(u"   "), u"");
    EXPECT_EQ(trimLeftSpaces(u"  x "), u"x ");
    EXPECT_EQ(trimRightSpaces(u"  x "), u"  x");
    EXPECT_EQ(decimalText(-12), u"-12");
}
