#include "components/data/crc16_32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "components/data/hex_text.h"
#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using namespace std::string_literals;
const std::string kDigits = "123456789";

// Bit-at-a-time CRCs, written independently of the table-driven code.
std::uint32_t BitwiseCrc(std::uint8_t kind, std::uint32_t poly, std::uint32_t init, const std::string& bytes) {
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
  return kind == 1 ? swap(r) : kind == 2 ? swap(~r & 0xFFFFu) : kind == 4 ? ~r : r;
}

std::string Crc(std::uint8_t kind, std::uint32_t poly, std::uint32_t init, std::string_view input,
                CrcInput form = CrcInput::RawBytes, bool swap = false) {
  return CrcToHex(kind, ComputeCrc(kind, poly, init, input, form), swap);
}

TEST(ComputeCrc, CheckValuesAndEdgeCases) {
  struct Case {
    std::uint8_t kind;
    std::uint32_t poly, init;
    std::string input;
    bool swap;
    const char* expected;
    CrcInput form = CrcInput::RawBytes;
  };
  const Case cases[] = {
      // Published check values: MODBUS, ARC, XMODEM, IBM-3740, CRC-32, X-25.
      {0, 0xA001, 0xFFFF, kDigits, false, "4B37"}, {0, 0xA001, 0xFFFF, kDigits, true, "374B"},
      {0, 0xA001, 0x0000, kDigits, false, "BB3D"}, {1, 0xA001, 0x0000, kDigits, false, "3DBB"},
      {1, 0xA001, 0xFFFF, kDigits, true, "4B37"},  {3, 0x1021, 0x0000, kDigits, false, "31C3"},
      {3, 0x1021, 0xFFFF, kDigits, false, "29B1"}, {4, 0xEDB88320, 0xFFFFFFFF, kDigits, false, "CBF43926"},
      {2, 0x8408, 0xFFFF, kDigits, false, "6E90"}, {2, 0x8408, 0xFFFF, kDigits, true, "906E"},
      // Empty input: the initial value (low 16 bits) without the final step.
      {0, 0xA001, 0x12345, "", false, "2345"},     {2, 0xA001, 0xFFFF, "", false, "FFFF"},
      {4, 0xEDB88320, 0xFFFFFFFF, "", false, "FFFFFFFF"},
      {2, 0x8408, 0x1234, " $ $", false, "1234", CrcInput::StrippedHex},  // nothing left once stripped
      // Kinds above 4 keep the initial value.
      {5, 0xA001, 0xABCD1234, kDigits, false, "1234"}, {5, 0xA001, 0xABCD1234, kDigits, true, "3412"},
      {200, 0xEDB88320, 0xFFFFFFFF, kDigits, false, "FFFF"},
      // Zero padded.
      {0, 0xA001, 0xFFFF, "\xE1", false, "087F"}, {0, 0xA001, 0x0012, "", true, "1200"},
      {4, 0, 0x1, "", false, "00000001"},        {3, 0x1021, 0, "\0"s, false, "0000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Crc(c.kind, c.poly, c.init, c.input, c.form, c.swap), c.expected) << int{c.kind} << " " << c.input;
  }
}

// Lengths on both sides of the point where a full table is built.
TEST(ComputeCrc, MatchesBitwiseOnArbitraryBytes) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 100; ++round) {
    const auto kind = static_cast<std::uint8_t>(round % 5);
    const std::uint32_t poly = kind == 4 ? rng() : rng() & 0xFFFFu;
    const std::uint32_t init = rng();
    std::string bytes(rng() % 150, '\0');
    for (char& c : bytes) c = static_cast<char>(rng() & 0xFFu);
    EXPECT_EQ(ComputeCrc(kind, poly, init, bytes, CrcInput::RawBytes), BitwiseCrc(kind, poly, init, bytes))
        << "kind " << int{kind} << " length " << bytes.size();
  }
}

// The upload keeps the running CRC as text and feeds one byte per call, as hex
// of one or two digits; that must equal one pass (through the full table) over
// the message, also for polynomials wider than the register.
TEST(ComputeCrc, OneByteChainingEqualsOneCall) {
  std::string message = kDigits;
  for (int b = 0; b < 256; ++b) message.push_back(static_cast<char>(b * 7));
  for (std::uint32_t poly : {0xA001u, 0xF001A001u, 0x1021u, 0xFFFF1021u}) {
    const std::uint8_t kind = (poly & 0xFFFFu) == 0xA001u ? 0 : 3;
    std::string running = "FFFF";
    for (char c : message) {
      const std::string byteText = NumberToHex(static_cast<std::uint8_t>(c), 1);
      running = Crc(kind, poly, HexTextToNumber(running), byteText, CrcInput::StrippedHex);
    }
    EXPECT_EQ(running, Crc(kind, poly, 0xFFFF, message)) << poly;
  }
  // Shifted right, the high bits of a wide polynomial reach the low 16.
  EXPECT_NE(Crc(0, 0xF001A001u, 0xFFFF, kDigits), "4B37");
}

class CrcComponentTest : public test::LiveDispatchTest {};

// HexInput 0: raw bytes; 1: hex without blanks and "$"; other: hex cut in
// pairs from the first character, a pair not starting with a digit being 0.
TEST_F(CrcComponentTest, HexInputFormsAndSwap) {
  struct Case {
    std::uint8_t hexInput;
    bool swap;
    std::string input;
    std::string bytes;  // what the input stands for
  };
  const std::string spaced = "31 32 33 34 35 36 37 38 39";
  const Case cases[] = {
      {0, false, kDigits, kDigits},           {0, true, kDigits, kDigits},
      {1, false, spaced, kDigits},            {1, false, "$31$32$33", "123"},
      {1, false, "313", "1\x03"},  // the last digit alone
      {2, false, spaced, "\x31\0\x02\x33\0\x04\x35\0\x06\x37\0\x08\x39"s},
      {7, false, "$31$32$33", "\x03\x01\x32\x03\x03"}, {2, false, "1\0" "22"s, "\x01\x22"},
  };
  TVNCRC16_32 crc;
  crc.Poly = "$A001";
  crc.Init = "$FFFF";
  for (const Case& c : cases) {
    crc.HexInput = c.hexInput;
    crc.SwapBytes = c.swap;
    TData value = StringData(RcString(c.input));
    crc.doCRC(value, 0);
    EXPECT_EQ(value.SData, CrcToHex(0, BitwiseCrc(0, 0xA001, 0xFFFF, c.bytes), c.swap))
        << int{c.hexInput} << " " << c.input;
  }
}

// Connected points win over the properties and the incoming value (the
// upload keeps its running CRC behind InitPoint).
TEST_F(CrcComponentTest, ConnectedPointsWin) {
  TVNCRC16_32 crc;
  crc.Type = 3;
  crc.Poly = "$A001";
  crc.Init = "$FFFF";
  test::Answer data{test::Str("123456789")}, polyPoint{test::Str("1021")}, initPoint{test::Str("0")};
  crc.Data = data.Link();
  crc.PolyPoint = polyPoint.Link();
  crc.InitPoint = initPoint.Link();
  test::Recorder out;
  crc.onCRC = out.Link();
  FireString(MakePoint<&TVNCRC16_32::doCRC>(0, &crc), "ignored");
  ASSERT_EQ(out.Count(), 1u);
  EXPECT_EQ(out.Last().SData, "31C3");
  EXPECT_EQ(data.asked + polyPoint.asked + initPoint.asked, 3);
}

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

}  // namespace
}  // namespace vn
