#include <gtest/gtest.h>

#include <string>

#include "core/cp1251_literals.h"
#include "core/cp1251_to_utf8.h"
#include "core/json_string.h"
#include "core/text_helpers.h"

namespace vn {
namespace {

// Positions count from 1; 0 is "not found".
TEST(PosFrom, SearchesFromTheStartPosition) {
  EXPECT_EQ(PosFrom("b", "abcb", 1), 2u);
  EXPECT_EQ(PosFrom("b", "abcb", 3), 4u);
  EXPECT_EQ(PosFrom("b", "abcb", 5), 0u);
  EXPECT_EQ(PosFrom("", "abc", 1), 0u);
  EXPECT_EQ(PosFrom("abcd", "abc", 1), 0u);
  EXPECT_EQ(PosFrom("c", "abc", 0), 0u);
  EXPECT_EQ(PosFrom(std::string("\0", 1), std::string("a\0", 2), 1), 2u);
}

TEST(ReplaceAll, LongTextStaysLinear) {
  std::string s(1 << 20, '%');
  ReplaceAll(s, "%%", std::string_view("\0", 1));
  EXPECT_EQ(s.size(), 1u << 19);
}

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// Literals here are compiled to Windows-1251, as the program's texts are.
TEST(Cp1251ToUtf8Test, ProgramTextsAndBytesOutsideTheAlphabet) {
  struct Case {
    std::string bytes;
    std::string utf8;
  };
  const Case cases[] = {
      {"Записать", Utf8(u8"Записать")},
      {"Выберите порт с подключённым устройством.",
       Utf8(u8"Выберите порт с подключённым устройством.")},
      {"\xA8\xB8", Utf8(u8"Ёё")}, {"\xB9", Utf8(u8"№")},   {"\x88", Utf8(u8"€")},
      {"\xC0\xFF", Utf8(u8"Ая")}, {"\xA0", "\xC2\xA0"},
      {"\x98", "\xC2\x98"},       {std::string("a\0b", 3), std::string("a\0b", 3)}, {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Cp1251ToUtf8(c.bytes), c.utf8) << c.bytes;
}

TEST(JsonStringTest, EscapesAndMakesWellFormedUtf8) {
  struct Case {
    std::string text;
    std::string json;
  };
  const Case cases[] = {
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
