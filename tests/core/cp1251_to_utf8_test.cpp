#include "core/cp1251_to_utf8.h"

#include <gtest/gtest.h>

#include <string>

#include "core/cp1251_literals.h"

namespace vn::test {
namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(Cp1251ToUtf8Test, ProgramTextsReadTheSameInUtf8) {
  // Literals here are compiled to Windows-1251, as the program's texts are.
  EXPECT_EQ(Cp1251ToUtf8("Записать"), Utf8(u8"Записать"));
  EXPECT_EQ(Cp1251ToUtf8("Выберите порт с подключённым устройством."),
            Utf8(u8"Выберите порт с подключённым устройством."));
  EXPECT_EQ(Cp1251ToUtf8("PUSK 2.1 (KELMI)"), "PUSK 2.1 (KELMI)");
}

TEST(Cp1251ToUtf8Test, BytesOutsideTheAlphabet) {
  struct Case {
    std::string bytes;
    std::string utf8;
  };
  const Case cases[] = {
      {"\xA8\xB8", Utf8(u8"Ёё")}, {"\xB9", Utf8(u8"№")},   {"\x88", Utf8(u8"€")},
      {"\xC0\xFF", Utf8(u8"Ая")}, {"\xA0", "\xC2\xA0"},
      {"\x98", "\xC2\x98"},       {std::string("a\0b", 3), std::string("a\0b", 3)}, {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Cp1251ToUtf8(c.bytes), c.utf8) << c.bytes;
}

}  // namespace
}  // namespace vn::test
