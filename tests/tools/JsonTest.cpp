#include "tools/Json.h"

#include <gtest/gtest.h>

TEST(Json, ParsesTheShapesTheToolReads) {
    json::Value v;
    std::string error;
    ASSERT_TRUE(json::parse(
        " {\"a\":[1,-2,3.5,1e2,9223372036854775808],\"s\":\"x\\u00e9\\ud83d\\ude00\\n\","
        "\"t\":true,\"n\":null} ",
        v, error))
        << error;
    const json::Value* a = v.find("a");
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->items.size(), 5u);
    EXPECT_TRUE(a->items[0].isInteger);
    EXPECT_EQ(a->items[1].integer, -2);
    EXPECT_FALSE(a->items[2].isInteger);
    EXPECT_FALSE(a->items[3].isInteger) << "an exponent makes it no plain integer";
    EXPECT_FALSE(a->items[4].isInteger) << "does not fit 64 bits";
    EXPECT_EQ(a->items[4].text, "9223372036854775808");
    EXPECT_EQ(v.find("s")->text, "xé😀\n");
    EXPECT_TRUE(v.find("t")->boolean);
    EXPECT_EQ(v.find("n")->type, json::Value::Type::Null);
    EXPECT_EQ(v.find("missing"), nullptr);
}

TEST(Json, ErrorsSayWhere) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"[1,2", "line 1, column 5: ',' or ']' is expected"},
        {"{\n  \"a\": 01}", "line 2, column 8: numbers do not start with 0"},
        {"[1] x", "line 1, column 5: unexpected text after the value"},
        {"\"\\ud800\"", "line 1, column 8: a surrogate pair is cut short"},
        {"", "line 1, column 1: a value is missing"},
        {"[tru]", "line 1, column 2: unknown word"},
    };
    for (const auto& c : cases) {
        json::Value v;
        std::string error;
        EXPECT_FALSE(json::parse(c.text, v, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
    std::string deep(100, '[');
    json::Value v;
    std::string error;
    EXPECT_FALSE(json::parse(deep + std::string(100, ']'), v, error));
    EXPECT_NE(error.find("nested too deeply"), std::string::npos);
}

TEST(Json, WritesEscapedStringsAndIntegers) {
    std::string out;
    json::appendString(out, "a\"b\\c\n\x01日本");
    out += ' ';
    json::appendInteger(out, -2147483648LL);
    EXPECT_EQ(out, "\"a\\\"b\\\\c\\n\\u0001日本\" -2147483648");
}
