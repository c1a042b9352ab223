#include "common/vb_error.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(VbError, CarriesNumberAndEnglishDescription)
{
    const VbError e(vberr::InputPastEnd);
    EXPECT_EQ(e.number(), 62);
    EXPECT_EQ(e.description(), u"Input past end of file");
    EXPECT_STREQ(e.what(), "Error 62: Input past end of file");
    EXPECT_EQ(vbErrorDescription(5), u"Invalid procedure call or argument");
    EXPECT_EQ(vbErrorDescription(1025), u"Expected end of statement");
    EXPECT_EQ(vbErrorDescription(424242), u"Unknown runtime error");
    EXPECT_EQ(VbError(9999, u"custom").description(), u"custom");
}
