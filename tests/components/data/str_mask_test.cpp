#include "components/data/str_mask.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using namespace std::string_literals;
using test::Recorder;

// The matcher written out plainly, recursion and all, on the texts with their
// added zero bytes: the yardstick for the iterative one on short cases.
bool ReferenceMatch(const std::string& t, std::size_t i, const std::string& p, std::size_t j) {
  while (i < t.size() || j < p.size()) {
    if (j >= p.size()) return false;
    const auto token = static_cast<unsigned char>(p[j]);
    if (token == '*') {
      if (ReferenceMatch(t, i, p, j + 1)) return true;
      for (std::size_t k = i + 1; k < t.size(); ++k) {
        if (ReferenceMatch(t, k, p, j + 1)) return true;
      }
      return false;
    }
    if (i >= t.size()) return false;
    const auto byte = static_cast<unsigned char>(t[i]);
    const bool ok = token == '#'   ? byte >= '0' && byte <= '9'
                    : token == '?' ? byte != 0
                                   : token == byte;
    if (!ok) return false;
    ++i;
    ++j;
  }
  return true;
}

bool Reference(const std::string& text, const std::string& mask) {
  return ReferenceMatch(text + '\0', 0, mask + '\0', 0);
}

TEST(MaskMatches, Table) {
  struct Case {
    std::string mask;
    std::string text;
    bool match;
  };
  const Case cases[] = {
      {"a*b", "ab", true},       {"a*b", "axxb", true},   {"a*b", "a*b", true},
      {"a*b", "abc", false},     {"#?", "1x", true},      {"#?", "x1", false},
      {"?", "", false},          {"", "", true},          {"", "a", false},
      {"*", "", true},           {"*", "anything", true}, {"*", "\xFF\x80"s, true},
      {"SZ", "SZ", true},        {"SZ", "SZ ", false},    {"SZ", "xSZ", false},
      {"SZ", "S", false},        {"**", "", true},        {"*a*a*", "aa", true},
      {"*a*a*", "a", false},     {"##", "09", true},      {"##", "0:", false},
      // The zero bytes: "?" never takes one, "*" and a zero in the mask do.
      {"a?b", "a\0b"s, false},   {"a*b", "a\0b"s, true},  {"a\0b"s, "a\0b"s, true},
      {"a", "a\0"s, false},      {"a\0"s, "a"s, false},   {"a*", "a\0\0"s, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MaskMatches(c.text, c.mask), c.match) << c.mask << " / " << c.text;
    EXPECT_EQ(Reference(c.text, c.mask), c.match) << "reference: " << c.mask << " / " << c.text;
  }
}

TEST(MaskMatches, AgreesWithPlainRecursiveMatcher) {
  // Small alphabets so that masks and texts meet often; mt19937 output is
  // the same everywhere, so the cases are too.
  const std::string maskBytes = "ab1*?#\0"s;
  const std::string textBytes = "ab1*\0"s;
  std::mt19937 random(20240611);
  auto make = [&random](const std::string& alphabet, std::uint32_t maxLength) {
    std::string s(random() % (maxLength + 1), ' ');
    for (char& c : s) c = alphabet[random() % alphabet.size()];
    return s;
  };
  int matches = 0;
  for (int n = 0; n < 40000; ++n) {
    const std::string mask = make(maskBytes, 7);
    const std::string text = make(textBytes, 8);
    const bool expected = Reference(text, mask);
    matches += expected ? 1 : 0;
    ASSERT_EQ(MaskMatches(text, mask), expected) << "mask '" << mask << "' text '" << text << "'";
  }
  EXPECT_GT(matches, 1000);  // the comparison covered both outcomes
}

TEST(MaskMatches, ManyStarsOnLongTextsFinish) {
  // Backtracking over every "*" would take exponential time on these, and
  // one level of recursion per "*" would take stack.
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
  // Fires doCompare with `text` as the incoming value; answers the branch.
  bool Compare(const std::string& text) {
    TData value = StringData(RcString(text));
    FireEvent(MakePoint<&TVNStrMask::doCompare>(0, &mask), value);
    EXPECT_EQ(yes.Count() + no.Count(), 1u);
    const bool matched = yes.Count() == 1;
    const Recorder& hit = matched ? yes : no;
    if (!hit.hits.empty()) {
      EXPECT_EQ(hit.Last().SData, text);  // as read, not folded
    }
    yes.hits.clear();
    no.hits.clear();
    return matched;
  }

  void SetUp() override {
    LiveDispatchTest::SetUp();
    mask.onTrue = yes.Link();
    mask.onFalse = no.Link();
  }

  TVNStrMask mask;
  Recorder yes;
  Recorder no;
};

TEST_F(StrMaskTest, IgnoreCaseOneFoldsLatinAndCyrillic) {
  mask.Mask = "SZ";
  mask.IgnoreCase = 1;
  EXPECT_TRUE(Compare("sz"));
  EXPECT_TRUE(Compare("Sz"));
  EXPECT_FALSE(Compare("SZ "));
  EXPECT_FALSE(Compare("xSZ"));

  mask.Mask = "\xC6\xA8*";  // capital Zhe and Yo
  EXPECT_TRUE(Compare("\xE6\xB8\xCF"));
  EXPECT_TRUE(Compare("\xC6\xB8"));
}

TEST_F(StrMaskTest, OnlyIgnoreCaseOneFolds) {
  mask.Mask = "\xC6z";
  for (std::uint8_t ignore : {0, 2, 255}) {
    mask.IgnoreCase = ignore;
    EXPECT_FALSE(Compare("\xE6z")) << int{ignore};
    EXPECT_FALSE(Compare("\xC6Z")) << int{ignore};
    EXPECT_TRUE(Compare("\xC6z")) << int{ignore};
  }
}

TEST_F(StrMaskTest, FoldingEndsAtFirstZeroByte) {
  mask.Mask = "A\0B"s;
  mask.IgnoreCase = 1;
  EXPECT_TRUE(Compare("a\0B"s));
  EXPECT_FALSE(Compare("a\0b"s));
}

TEST_F(StrMaskTest, DoMaskReplacesTheMaskWithTheValueAsText) {
  mask.IgnoreCase = 1;
  TData hex = test::Str("0A0B465A");
  FireEvent(MakePoint<&TVNStrMask::doMask>(0, &mask), hex);
  EXPECT_EQ(mask.Mask, "0A0B465A");
  EXPECT_TRUE(Compare("0a0b465a"));
  EXPECT_FALSE(Compare("0a0b465"));

  TData number = test::Int(-42);
  FireEvent(MakePoint<&TVNStrMask::doMask>(0, &mask), number);
  EXPECT_TRUE(Compare("-42"));
  EXPECT_EQ(yes.Count() + no.Count(), 0u);  // doMask itself fires nothing
}

TEST_F(StrMaskTest, ConnectedStrPointWinsOverIncomingValue) {
  mask.Mask = "FZ";
  test::Answer answer{test::Str("FZ")};
  mask.Str = answer.Link();
  EXPECT_TRUE(Compare("FZ"));
  TData incoming = test::Str("other");
  FireEvent(MakePoint<&TVNStrMask::doCompare>(0, &mask), incoming);
  ASSERT_EQ(yes.Count(), 1u);
  EXPECT_EQ(yes.Last().SData, "FZ");
  EXPECT_EQ(answer.asked, 2);
}

}  // namespace
}  // namespace vn
