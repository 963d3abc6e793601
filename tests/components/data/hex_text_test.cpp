#include "components/data/hex_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vn {
namespace {

TEST(HexText, TextToNumber) {
  struct Case {
    std::string text;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {"$A001", 0xA001},   {"FFFF", 0xFFFF},       {"ffff", 0xFFFF},     {"", 0},
      {"$", 0},            {"$$1", 0},             {"1G", 1},            {" 1", 0},
      {"EDB88320", 0xEDB88320}, {"123456789", 0x23456789},  // high digits pushed out
      {std::string("A\0B", 3), 0xA},
  };
  for (const auto& c : cases) EXPECT_EQ(HexTextToNumber(c.text), c.expected) << c.text;
}

TEST(HexText, NumberToHexPadsAndWidens) {
  EXPECT_EQ(NumberToHex(0x4B37, 4), "4B37");
  EXPECT_EQ(NumberToHex(0x3C, 4), "003C");
  EXPECT_EQ(NumberToHex(0, 1), "0");
  EXPECT_EQ(NumberToHex(0, 0), "0");
  EXPECT_EQ(NumberToHex(0xFFFFFFFF, 1), "FFFFFFFF");
  EXPECT_EQ(NumberToHex(10, 20), "000A");  // 20 modulo 16
  EXPECT_EQ(NumberToHex(1, 16), "1");      // 16 modulo 16 is 0: one digit
}

TEST(HexText, BytesToHex) {
  EXPECT_EQ(BytesToHex(std::string("\x00\x1F\xA0", 3)), "001FA0");
  EXPECT_EQ(BytesToHex(""), "");
}

}  // namespace
}  // namespace vn
