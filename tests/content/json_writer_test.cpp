// The tool's JSON writer: commas, escapes, malformed UTF-8 and float printing.
#include "json_writer.h"

#include <gtest/gtest.h>

#include <limits>

namespace sonavera::tool {
namespace {

TEST(JsonWriter, NestsWithCommasInTheRightPlaces) {
  JsonWriter json;
  json.BeginObject().Key("a").Int(1).Key("b").BeginArray().EndArray().Key("c");
  json.BeginArray().BeginObject().Key("t").Float(0.5).EndObject().BeginObject().EndObject().EndArray();
  json.Key("d").IntArray(std::vector<int>{1, -2}).Key("e").Bool(false).EndObject();
  EXPECT_EQ(json.Text(), R"({"a":1,"b":[],"c":[{"t":0.5},{}],"d":[1,-2],"e":false})");
}

TEST(JsonWriter, EscapesStrings) {
  JsonWriter json;
  json.StringArray({"q\"b\\s/", "\n\r\t\b\f\x01\x1f", "\xE6\xAD\x8C", "\xB8\xE8x", "\xE6\xAD", "\xED\xA0\x80",
                    "\xC0\xAF", "\xF0\x9F\x8E\xA4", std::string("nul\0!", 5)});
  EXPECT_EQ(json.Text(),
            "[\"q\\\"b\\\\s/\",\"\\n\\r\\t\\b\\f\\u0001\\u001f\",\"\xE6\xAD\x8C\",\"\\ufffd\\ufffdx\","
            "\"\\ufffd\\ufffd\",\"\\ufffd\\ufffd\\ufffd\",\"\\ufffd\\ufffd\",\"\xF0\x9F\x8E\xA4\","
            "\"nul\\u0000!\"]");
}

TEST(JsonWriter, FloatsAsNineSignificantDigits) {
  JsonWriter json;
  json.FloatArray(std::vector<float>{0.1f, 62.5f, 130.0f, 1e-7f, 123456789.0f});
  json.FloatArray(std::vector<double>{std::numeric_limits<double>::quiet_NaN(),
                                      -std::numeric_limits<double>::infinity()});
  EXPECT_EQ(json.Text(), "[0.100000001,62.5,130,1.00000001e-07,123456792][null,null]");
}

}  // namespace
}  // namespace sonavera::tool
