#include "cli/json_writer.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(JsonWriter, NestsAndEscapes)
{
    JsonWriter json;
    json.beginObject();
    json.key("a");
    json.value(u"q\"\\\r\n\t\u0001\u00E9");
    json.key("b");
    json.beginArray();
    json.value(1LL);
    json.rawNumber("-2.5");
    json.null();
    json.endArray();
    json.key("c");
    json.beginArray();
    json.endArray();
    json.endObject();
    EXPECT_EQ(json.str(), "{\n  \"a\": \"q\\\"\\\\\\r\\n\\t\\u0001\xC3\xA9\",\n  \"b\": [\n    1,\n    -2.5,\n"
                          "    null\n  ],\n  \"c\": []\n}");
}
