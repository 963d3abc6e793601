#include "components/data/str_mask.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using namespace std::string_literals;
using test::Recorder;

// The matcher written out plainly, recursion and all, on the texts with their
// added zero bytes: the yardstick for the iterative one on short cases.
bool ReferenceMatch(const std::string& t, std::size_t i, const std::string& p, std::size_t j) {
  for (; j < p.size(); ++i, ++j) {
    const auto token = static_cast<unsigned char>(p[j]);
    if (token == '*') {
      for (std::size_t k = i; k <= t.size(); ++k) {
        if (ReferenceMatch(t, k, p, j + 1)) return true;
      }
      return false;
    }
    if (i >= t.size()) return false;
    const auto b = static_cast<unsigned char>(t[i]);
    if (token == '#' ? b < '0' || b > '9' : token == '?' ? b == 0 : token != b) return false;
  }
  return i == t.size();
}

bool Reference(const std::string& text, const std::string& mask) {
  return ReferenceMatch(text + '\0', 0, mask + '\0', 0);
}

TEST(MaskMatches, TableThenAgreesWithPlainRecursiveMatcher) {
  const std::tuple<std::string, std::string, bool> cases[] = {  // mask, text, match
      {"a*b", "ab", true},     {"a*b", "axxb", true},    {"a*b", "a*b", true},     {"a*b", "abc", false},
      {"#?", "1x", true},      {"#?", "x1", false},      {"?", "", false},         {"", "", true},
      {"", "a", false},        {"*", "", true},          {"*", "\xFF\x80"s, true}, {"SZ", "SZ ", false},
      {"SZ", "xSZ", false},    {"SZ", "S", false},       {"*a*a*", "aa", true},    {"*a*a*", "a", false},
      {"##", "09", true},      {"##", "0:", false},      {"a*", "a\0\0"s, true},
      // The zero bytes: "?" never takes one, "*" and a zero in the mask do.
      {"a?b", "a\0b"s, false}, {"a*b", "a\0b"s, true},   {"a\0b"s, "a\0b"s, true}, {"a", "a\0"s, false},
      {"a\0"s, "a"s, false},
  };
  for (const auto& [mask, text, match] : cases) {
    EXPECT_EQ(MaskMatches(text, mask), match) << mask << " / " << text;
    EXPECT_EQ(Reference(text, mask), match) << "reference: " << mask << " / " << text;
  }

  std::mt19937 random(20240611);
  auto make = [&random](const std::string& alphabet, std::uint32_t maxLength) {  // small: they meet often
    std::string s(random() % (maxLength + 1), ' ');
    for (char& c : s) c = alphabet[random() % alphabet.size()];
    return s;
  };
  int matches = 0;
  for (int n = 0; n < 8000; ++n) {
    const std::string mask = make("ab1*?#\0"s, 7);
    const std::string text = make("ab1*\0"s, 8);
    const bool expected = Reference(text, mask);
    matches += expected ? 1 : 0;
    ASSERT_EQ(MaskMatches(text, mask), expected) << "mask '" << mask << "' text '" << text << "'";
  }
  EXPECT_GT(matches, 200);  // the comparison covered both outcomes
}

// Backtracking over every "*" would take exponential time on these, and one
// level of recursion per "*" would take stack.
TEST(MaskMatches, ManyStarsOnLongTextsFinish) {
  std::string mask;
  for (int k = 0; k < 30; ++k) mask += "*a";
  const std::string aa(20000, 'a');
  EXPECT_FALSE(MaskMatches(aa, mask + "b"));
  EXPECT_TRUE(MaskMatches(aa + "b", mask + "*b"));
  EXPECT_TRUE(MaskMatches(aa, std::string(100000, '*')));
  EXPECT_FALSE(MaskMatches(aa, std::string(100000, '*') + "b"));
}

class StrMaskTest : public test::LiveDispatchTest {
 protected:
  // Fires doCompare with `text`; answers the branch taken and what it handed on.
  std::string Compare(const std::string& text) {
    Recorder yes, no;
    mask.onTrue = yes.Link();
    mask.onFalse = no.Link();
    FireString(MakePoint<&TVNStrMask::doCompare>(0, &mask), RcString(text));
    if (yes.Count() + no.Count() != 1) return "fired " + std::to_string(yes.Count() + no.Count()) + " times";
    return yes.Count() == 1 ? "yes:" + yes.Last().SData.str() : "no:" + no.Last().SData.str();
  }

  TVNStrMask mask;
};

// The string is handed on as read, not folded.
TEST_F(StrMaskTest, OnlyIgnoreCaseOneFoldsLatinAndCyrillic) {
  const std::tuple<std::string, int, std::string, bool> cases[] = {  // mask, IgnoreCase, text, match
      {"SZ", 1, "sz", true},        {"SZ", 1, "Sz", true},         {"SZ", 1, "SZ ", false},
      {"SZ", 1, "xSZ", false},      {"\xC6\xA8*", 1, "\xE6\xB8\xCF", true},  // capital Zhe and Yo
      {"\xC6\xA8*", 1, "\xC6\xB8", true},
      {"A\0B"s, 1, "a\0B"s, true},  {"A\0B"s, 1, "a\0b"s, false},  // folding ends at the first zero byte
      {"\xC6z", 0, "\xE6z", false}, {"\xC6z", 2, "\xC6Z", false},  {"\xC6z", 255, "\xC6z", true},
  };
  for (const auto& [pattern, ignoreCase, text, match] : cases) {
    mask.Mask = RcString(pattern);
    mask.IgnoreCase = static_cast<std::uint8_t>(ignoreCase);
    EXPECT_EQ(Compare(text), (match ? "yes:" : "no:") + text) << pattern << " " << ignoreCase;
  }
}

TEST_F(StrMaskTest, DoMaskTakesTheValueAsTextAndFiresNothing) {
  mask.IgnoreCase = 1;
  Recorder any;
  mask.onTrue = mask.onFalse = any.Link();
  TData hex = test::Str("0A0B465A");
  FireEvent(MakePoint<&TVNStrMask::doMask>(0, &mask), hex);
  EXPECT_EQ(any.Count(), 0u);
  EXPECT_EQ(Compare("0a0b465a"), "yes:0a0b465a");
  EXPECT_EQ(Compare("0a0b465"), "no:0a0b465");
  TData number = test::Int(-42);
  FireEvent(MakePoint<&TVNStrMask::doMask>(0, &mask), number);
  EXPECT_EQ(Compare("-42"), "yes:-42");
}

TEST_F(StrMaskTest, ConnectedStrPointWinsOverIncomingValue) {
  mask.Mask = "FZ";
  test::Answer answer{test::Str("FZ")};
  mask.Str = answer.Link();
  EXPECT_EQ(Compare("other"), "yes:FZ");
  EXPECT_EQ(answer.asked, 1);
}

}  // namespace
}  // namespace vn
