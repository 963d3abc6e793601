#include "app/console/text_encoding_posix.h"

#include <gtest/gtest.h>

#include <string>

#include "core/cp1251_literals.h"

namespace vn::console {
namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(TextEncodingTest, ProgramTextsInTheTerminalsCharacterSet) {
  const std::string text = "Записать PUSK";  // Windows-1251 here, as in the program
  struct Case {
    std::string codeset;
    std::string shown;
  };
  const Case cases[] = {
      {"UTF-8", Utf8(u8"Записать PUSK")},
      {"ANSI_X3.4-1968", Utf8(u8"Записать PUSK")},  // the C locale: logs read UTF-8
      {"KOI8-R", "\xFA\xC1\xD0\xC9\xD3\xC1\xD4\xD8 PUSK"},
      {"CP1251", text},
      {"NO-SUCH-SET", Utf8(u8"Записать PUSK")},
  };
  for (const Case& c : cases) EXPECT_EQ(Cp1251To(text, c.codeset), c.shown) << c.codeset;
  // A set without Cyrillic loses the letters, not the rest of the line.
  const std::string latin = Cp1251To(text, "ISO-8859-1");
  EXPECT_EQ(latin.substr(latin.size() - 5), " PUSK");
  EXPECT_EQ(latin.find('\xD0'), std::string::npos);
}

}  // namespace
}  // namespace vn::console
