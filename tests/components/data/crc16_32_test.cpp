#include "components/data/crc16_32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <thread>

#include "components/data/hex_text.h"
#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using test::Recorder;

const std::string kDigits = "123456789";

// Bit-at-a-time CRCs, written independently of the table-driven code. They
// agree with it for polynomials no wider than the register.
std::uint32_t BitwiseCrc(std::uint8_t kind, std::uint32_t poly, std::uint32_t init,
                         const std::string& bytes) {
  std::uint32_t r = kind == 4 ? init : init & 0xFFFFu;
  if (bytes.empty() || kind > 4) return r;
  for (char c : bytes) {
    const auto b = static_cast<std::uint8_t>(c);
    if (kind == 3) {
      r ^= static_cast<std::uint32_t>(b) << 8;
      for (int i = 0; i < 8; ++i) r = ((r & 0x8000u) ? (r << 1) ^ poly : r << 1) & 0xFFFFu;
    } else {
      r ^= b;
      for (int i = 0; i < 8; ++i) r = (r & 1u) ? (r >> 1) ^ poly : r >> 1;
    }
  }
  const auto swap = [](std::uint32_t v) { return ((v & 0xFFu) << 8) | (v >> 8); };
  if (kind == 1) return swap(r);
  if (kind == 2) return swap(~r & 0xFFFFu);
  if (kind == 4) return ~r;
  return r;
}

std::string Crc(std::uint8_t kind, std::uint32_t poly, std::uint32_t init, std::string_view input,
                CrcInput form = CrcInput::RawBytes, bool swap = false) {
  return CrcToHex(kind, ComputeCrc(kind, poly, init, input, form), swap);
}

TEST(ComputeCrc, PublishedCheckValues) {
  struct Case {
    const char* name;
    std::uint8_t kind;
    std::uint32_t poly, init;
    bool swap;
    const char* expected;
  };
  const Case cases[] = {
      {"MODBUS", 0, 0xA001, 0xFFFF, false, "4B37"},
      {"MODBUS swapped", 0, 0xA001, 0xFFFF, true, "374B"},
      {"ARC", 0, 0xA001, 0x0000, false, "BB3D"},
      {"ARC, kind 1 exchanges", 1, 0xA001, 0x0000, false, "3DBB"},
      {"kind 1 exchanged back", 1, 0xA001, 0xFFFF, true, "4B37"},
      {"XMODEM", 3, 0x1021, 0x0000, false, "31C3"},
      {"IBM-3740", 3, 0x1021, 0xFFFF, false, "29B1"},
      {"CRC-32", 4, 0xEDB88320, 0xFFFFFFFF, false, "CBF43926"},
      {"X-25 swapped", 2, 0x8408, 0xFFFF, false, "6E90"},
      {"X-25", 2, 0x8408, 0xFFFF, true, "906E"},
  };
  for (const Case& c : cases) EXPECT_EQ(Crc(c.kind, c.poly, c.init, kDigits, CrcInput::RawBytes, c.swap), c.expected) << c.name;
}

TEST(ComputeCrc, MatchesBitwiseOnArbitraryBytes) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 200; ++round) {
    const auto kind = static_cast<std::uint8_t>(round % 5);
    const std::uint32_t poly = kind == 4 ? rng() : rng() & 0xFFFFu;
    const std::uint32_t init = rng();
    std::string bytes(rng() % 300, '\0');
    for (char& c : bytes) c = static_cast<char>(rng() & 0xFFu);  // zeros and 0x80-0xFF included
    EXPECT_EQ(ComputeCrc(kind, poly, init, bytes, CrcInput::RawBytes), BitwiseCrc(kind, poly, init, bytes))
        << "kind " << int{kind} << " poly " << poly << " length " << bytes.size();
  }
}

TEST(ComputeCrc, HexInputForms) {
  struct Case {
    const char* name;
    std::string input;
    CrcInput form;
    std::string bytes;  // what the input stands for
  };
  const std::string spaced = "31 32 33 34 35 36 37 38 39";
  const Case cases[] = {
      {"blanks removed", spaced, CrcInput::StrippedHex, kDigits},
      {"dollars removed", "$31$32$33", CrcInput::StrippedHex, "123"},
      {"lower case", "0a0b", CrcInput::StrippedHex, "\x0A\x0B"},
      {"odd length: last digit alone", "313", CrcInput::StrippedHex, "1\x03"},
      {"pair split by a blank", "3 1", CrcInput::StrippedHex, "1"},
      // Unstripped: pieces "31" " 3" "2 " "33" ... a piece starting with a blank is 0.
      {"blanks kept", spaced, CrcInput::HexText,
       std::string("\x31\x00\x02\x33\x00\x04\x35\x00\x06\x37\x00\x08\x39", 13)},
      {"1G is 1, G1 is 0", "1GG1", CrcInput::HexText, std::string("\x01\x00", 2)},
      {"a piece may start with $", "$3", CrcInput::HexText, "\x03"},
      {"zero byte in the text", std::string("1\0" "22", 4), CrcInput::HexText, std::string("\x01\x22", 2)},
      {"high bytes are no digits", "\xC0\xFF" "41", CrcInput::HexText, std::string("\x00\x41", 2)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ComputeCrc(0, 0xA001, 0xFFFF, c.input, c.form), BitwiseCrc(0, 0xA001, 0xFFFF, c.bytes)) << c.name;
  }
  EXPECT_EQ(Crc(0, 0xA001, 0xFFFF, "$31$32$33", CrcInput::StrippedHex), "7A75");
  EXPECT_EQ(Crc(0, 0xA001, 0xFFFF, "A", CrcInput::StrippedHex), "473F");
}

TEST(ComputeCrc, EmptyInputGivesInitialValueWithoutFinalStep) {
  for (std::uint8_t kind : {0, 1, 2, 3, 5, 255}) {
    EXPECT_EQ(Crc(kind, 0xA001, 0xFFFF, ""), "FFFF") << int{kind};
    EXPECT_EQ(Crc(kind, 0xA001, 0x12345, ""), "2345") << int{kind};  // low 16 bits
  }
  EXPECT_EQ(Crc(4, 0xEDB88320, 0xFFFFFFFF, ""), "FFFFFFFF");
  // Nothing is left once blanks and "$" are gone: the input counts as empty.
  EXPECT_EQ(Crc(2, 0x8408, 0x1234, " $ $", CrcInput::StrippedHex), "1234");
}

TEST(ComputeCrc, KindsAboveFourKeepInitialValue) {
  EXPECT_EQ(Crc(5, 0xA001, 0xABCD1234, kDigits), "1234");
  EXPECT_EQ(Crc(5, 0xA001, 0xABCD1234, kDigits, CrcInput::RawBytes, /*swap=*/true), "3412");
  EXPECT_EQ(Crc(200, 0xEDB88320, 0xFFFFFFFF, kDigits), "FFFF");
}

TEST(ComputeCrc, OutputIsZeroPadded) {
  EXPECT_EQ(Crc(0, 0xA001, 0x0012, ""), "0012");
  EXPECT_EQ(Crc(0, 0xA001, 0xFFFF, "\xE1"), "087F");
  EXPECT_EQ(Crc(4, 0, 0x1, ""), "00000001");
  // 0x0012 swapped is 0x1200.
  EXPECT_EQ(Crc(0, 0xA001, 0x0012, "", CrcInput::RawBytes, true), "1200");
  EXPECT_EQ(Crc(3, 0x1021, 0, std::string(1, '\0')), "0000");
}

// Polynomials wider than the register are used as given, in 32 bits. Long
// inputs go through a full table and one-byte calls work entries out as
// needed: both must agree, also for such polynomials.
TEST(ComputeCrc, WidePolynomialShortAndLongInputsAgree) {
  std::string message;
  for (int b = 0; b < 200; ++b) message.push_back(static_cast<char>(b * 7));
  for (std::uint8_t kind : {0, 3}) {
    const std::uint32_t poly = kind == 0 ? 0xF001A001u : 0xFFFF1021u;
    std::uint32_t running = 0xFFFF;
    for (char c : message) running = ComputeCrc(kind, poly, running, std::string(1, c), CrcInput::RawBytes);
    EXPECT_EQ(running, ComputeCrc(kind, poly, 0xFFFF, message, CrcInput::RawBytes)) << int{kind};
  }
  // Shifted right, the high bits reach the low 16 (shifted left they never do).
  EXPECT_NE(ComputeCrc(0, 0xF001A001u, 0xFFFF, kDigits, CrcInput::RawBytes),
            ComputeCrc(0, 0xA001u, 0xFFFF, kDigits, CrcInput::RawBytes));
}

// The upload keeps the running CRC as text and feeds one byte per call, as
// hex of one or two digits; that must equal one pass over the message.
TEST(ComputeCrc, ChainingThroughInitText) {
  std::string message = kDigits;
  for (int b = 0; b < 256; ++b) message.push_back(static_cast<char>(b));
  for (std::uint8_t kind : {0, 3}) {
    const std::uint32_t poly = kind == 0 ? 0xA001 : 0x1021;
    std::string running = "FFFF";
    for (char c : message) {
      const std::string byteText = NumberToHex(static_cast<std::uint8_t>(c), 1);
      running = Crc(kind, poly, HexTextToNumber(running), byteText, CrcInput::StrippedHex);
    }
    EXPECT_EQ(running, Crc(kind, poly, 0xFFFF, message)) << int{kind};
  }
}

TEST(ComputeCrc, InstancesOnTwoThreadsDoNotInterfere) {
  const auto work = [](std::uint8_t kind, std::uint32_t poly, std::uint32_t init, const char* expected,
                       int* failures) {
    TVNCRC16_32 crc;
    crc.Type = kind;
    crc.Poly = NumberToHex(poly, 1);
    crc.Init = NumberToHex(init, 1);
    for (int i = 0; i < 2000; ++i) {
      TData value = test::Str(kDigits.c_str());
      crc.doCRC(value, 0);
      if (value.SData != expected) ++*failures;
    }
  };
  int failuresA = 0;
  int failuresB = 0;
  std::thread a(work, std::uint8_t{0}, 0xA001u, 0xFFFFu, "4B37", &failuresA);
  std::thread b(work, std::uint8_t{4}, 0xEDB88320u, 0xFFFFFFFFu, "CBF43926", &failuresB);
  a.join();
  b.join();
  EXPECT_EQ(failuresA, 0);
  EXPECT_EQ(failuresB, 0);
}

class CrcComponentTest : public test::LiveDispatchTest {};

TEST_F(CrcComponentTest, UploadSettingsOverHexText) {
  TVNCRC16_32 crc;
  crc.HexInput = 1;
  crc.Poly = "$A001";
  crc.Init = "$FFFF";
  Recorder out;
  crc.onCRC = out.Link();
  FireString(MakePoint<&TVNCRC16_32::doCRC>(7, &crc), "31 32 33 34 35 36 37 38 39");
  ASSERT_EQ(out.Count(), 1u);
  EXPECT_EQ(out.Last().DataType, TagString);
  EXPECT_EQ(out.Last().SData, "4B37");
}

TEST_F(CrcComponentTest, HexInputSelectsForm) {
  struct Case {
    std::uint8_t hexInput;
    const char* input;
    std::string expected;
  };
  // Any other HexInput takes the "$" as part of the pieces: "$3" "1$" "32" "$3" "3".
  const std::string unstripped = CrcToHex(0, BitwiseCrc(0, 0xA001, 0xFFFF, "\x03\x01\x32\x03\x03"), false);
  const Case cases[] = {{0, "123456789", "4B37"}, {1, "$31$32$33", "7A75"}, {1, "A", "473F"},
                        {2, "313233343536373839", "4B37"}, {7, "$31$32$33", unstripped}};
  for (const Case& c : cases) {
    TVNCRC16_32 crc;
    crc.HexInput = c.hexInput;
    crc.Poly = "$A001";
    crc.Init = "$FFFF";
    TData value = test::Str(c.input);
    crc.doCRC(value, 0);
    EXPECT_EQ(value.DataType, TagString | DeferredFlag);
    EXPECT_EQ(value.DeferredPoint, &crc.onCRC);
    EXPECT_EQ(value.SData, c.expected) << int{c.hexInput} << " " << c.input;
  }
}

// Data, then Poly, then Init: unconnected points with empty properties take
// the incoming chain's values in that order.
TEST_F(CrcComponentTest, ReadsDataPolyInitInOrder) {
  TVNCRC16_32 crc;
  crc.Type = 3;
  TData init = test::Str("$FFFF");
  TData poly = test::Str("$1021");
  poly.Next = &init;
  TData value = test::Str("123456789");
  value.Next = &poly;
  crc.doCRC(value, 0);
  EXPECT_EQ(value.SData, "29B1");
}

TEST_F(CrcComponentTest, ConnectedPointsWinOverProperties) {
  TVNCRC16_32 crc;
  crc.Type = 3;
  crc.Poly = "$A001";
  crc.Init = "$FFFF";
  test::Answer data{test::Str("123456789")};
  test::Answer poly{test::Str("1021")};
  test::Answer init{test::Str("0")};
  crc.Data = data.Link();
  crc.PolyPoint = poly.Link();
  crc.InitPoint = init.Link();
  TData value = test::Str("ignored");
  crc.doCRC(value, 0);
  EXPECT_EQ(value.SData, "31C3");
  EXPECT_EQ(data.asked + poly.asked + init.asked, 3);
}

// As the upload wires it: Init is pulled from where the last result was stored.
TEST_F(CrcComponentTest, ChainsOneHexByteAtATimeThroughInitPoint) {
  TVNCRC16_32 crc;
  crc.HexInput = 1;
  crc.Poly = "$A001";
  crc.Init = "$0";
  test::Answer stored{test::Str("FFFF")};
  crc.InitPoint = stored.Link();
  Recorder out;
  crc.onCRC = out.Link();
  const auto doCRC = MakePoint<&TVNCRC16_32::doCRC>(0, &crc);
  for (char c : kDigits) {
    FireString(doCRC, RcString(NumberToHex(static_cast<std::uint8_t>(c), 1)));
    ASSERT_EQ(out.Last().SData.size(), 4u);
    stored.value = out.Last();
  }
  EXPECT_EQ(out.Count(), kDigits.size());
  EXPECT_EQ(out.Last().SData, "4B37");
}

}  // namespace
}  // namespace vn
