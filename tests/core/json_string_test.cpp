#include "core/json_string.h"

#include <gtest/gtest.h>

#include <string>

namespace vn {
namespace {

TEST(JsonStringTest, EscapesAndMakesWellFormedUtf8) {
  struct Case {
    std::string text;
    std::string json;
  };
  const Case cases[] = {
      {"", "\"\""},
      {"plain", "\"plain\""},
      {"say \"VERS\"", "\"say \\\"VERS\\\"\""},
      {"a\\b", "\"a\\\\b\""},
      {"line one\nline two\r\n\tend", "\"line one\\nline two\\r\\n\\tend\""},
      {std::string("nul\0bell\x07\x1f\x7f", 11), "\"nul\\u0000bell\\u0007\\u001f\x7f\""},
      // Cyrillic and a four-byte character pass as they are.
      {"\xD0\x9F\xD0\xBE\xD1\x80\xD1\x82 \xF0\x9F\x94\x8C", "\"\xD0\x9F\xD0\xBE\xD1\x80\xD1\x82 \xF0\x9F\x94\x8C\""},
      // Windows-1251 bytes, an overlong '/', a surrogate, a cut-off
      // character at the end: each ill-formed piece becomes one U+FFFD.
      {"\xCF\xEE\xF0\xF2", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"a\xC0\xAF" "b", "\"a\xEF\xBF\xBD\xEF\xBF\xBD" "b\""},
      {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"\xF4\x90\x80\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
      {"ok\xE2\x82", "\"ok\xEF\xBF\xBD\""},
      {"\xE2\x82\"", "\"\xEF\xBF\xBD\\\"\""},
  };
  for (const Case& c : cases) EXPECT_EQ(JsonString(c.text), c.json) << c.json;
}

}  // namespace
}  // namespace vn
