#include "app/console/firmware_image.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "tests/app/console/intel_hex.h"

namespace vn::console {
namespace {

using Bytes = std::vector<std::uint8_t>;

using test::HexLines;

// A short name: the tables below are made of records.
constexpr auto Rec = &test::HexRecord;
const std::string& kEof = test::kHexEof;

std::string ErasedImage() { return std::string(kImageSize, '\xFF'); }

void Put(std::string& image, std::size_t at, const Bytes& data) {
  for (std::size_t i = 0; i < data.size(); ++i) image[at + i] = static_cast<char>(data[i]);
}

TEST(FirmwareImageHex, SegmentAndLinearAddressesLandWhereExpected) {
  const Bytes low = {0x00, 0x11, 0xFF, 0x33};
  const Bytes seg = {0xA0, 0xA1, 0xA2};
  const Bytes lin = {0x5A, 0xC3};
  Bytes top(16);
  for (std::size_t i = 0; i < top.size(); ++i) top[i] = static_cast<std::uint8_t>(0xE0 + i);
  const std::vector<std::string> records = {
      Rec(0x00, 0x0000, low),
      Rec(0x00, 0xFFF0, top),             // ends exactly at the segment's last byte
      Rec(0x02, 0x0000, {0x10, 0x00}),    // segment 0x1000: base 0x10000
      Rec(0x00, 0x0010, seg),
      Rec(0x04, 0x0000, {0x00, 0x01}),    // base 0x10000
      Rec(0x00, 0x1234, lin),
      Rec(0x00, 0xFBF0, top),             // the image's last 16 bytes
      Rec(0x00, 0x0020, {}),              // defines nothing
      kEof};
  std::string expected = ErasedImage();
  Put(expected, 0x0000, low);
  Put(expected, 0xFFF0, top);
  Put(expected, 0x10010, seg);
  Put(expected, 0x11234, lin);
  Put(expected, 0x1FBF0, top);

  std::string lower = HexLines(records);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string spaced = "\n \t\n";
  for (const std::string& r : records) spaced += "  " + r + "\t \r\n\r\n";
  const struct {
    const char* name;
    std::string text;
  } kForms[] = {{"LF", HexLines(records)},
                {"lower case", lower},
                {"blanks and blank lines", spaced},
                {"no final line end", HexLines(records).substr(0, HexLines(records).size() - 1)}};
  for (const auto& form : kForms) {
    SCOPED_TRACE(form.name);
    const FirmwareImage image = ParseFirmwareImage(form.text);
    ASSERT_TRUE(image.ok) << image.error;
    EXPECT_TRUE(image.hex);
    EXPECT_EQ(image.used, low.size() + 2 * top.size() + seg.size() + lin.size());
    EXPECT_TRUE(image.bytes == expected);
  }
}

TEST(FirmwareImageHex, OneByteRecordsFillTheWholeImage) {
  std::string text;
  std::string expected(kImageSize, '\0');
  for (std::size_t at = 0; at < kImageSize; ++at) {
    if (at % 0x10000 == 0) text += Rec(0x04, 0, {0, static_cast<std::uint8_t>(at >> 16)}) + "\n";
    const auto value = static_cast<std::uint8_t>(at * 7 + (at >> 8));
    text += Rec(0x00, static_cast<std::uint16_t>(at & 0xFFFF), {value}) + "\n";
    expected[at] = static_cast<char>(value);
  }
  text += kEof + "\n" + std::string(std::size_t{8} << 20, '\n');  // a long tail must not slow it down
  const FirmwareImage image = ParseFirmwareImage(text);
  ASSERT_TRUE(image.ok) << image.error;
  EXPECT_EQ(image.used, kImageSize);
  EXPECT_TRUE(image.bytes == expected);
}

TEST(FirmwareImageHex, ErrorsNameTheLine) {
  std::string badSum = Rec(0x00, 0x0100, {0x01, 0x02});  // checksum FA
  badSum.replace(badSum.size() - 2, 2, "3A");
  const Bytes sixteen(16, 0x55);
  const struct {
    const char* name;
    std::string text;
    std::string error;
  } kCases[] = {
      {"bad character", "\n" + Rec(0, 0, {1}) + "\n:0100000G01FE\n", "line 3: 'G' at column 9 is not a hex digit"},
      {"no colon", Rec(0, 0, {1}) + "\n01000000FF\n", "line 2: a record starts with ':', not '0'"},
      {"odd length", ":0100000001F\n", "line 1: odd number of hex digits (11)"},
      {"too short", Rec(0, 0, {1}) + "\n\n:00000001\n", "line 3: record too short: 4 bytes, a record has at least 5"},
      {"count mismatch", ":0200000001FD\n", "line 1: count says 2 data bytes, the record holds 1"},
      {"checksum", "\r\n" + badSum + "\r\n", "line 2: checksum is 3A, the record needs FA"},
      {"type 03", Rec(0x03, 0, {0, 0, 0, 0}) + "\n", "line 1: record type 03 is not supported"},
      {"short 02", Rec(0x02, 0, {0x10}) + "\n", "line 1: address record (type 02) holds 1 data bytes, not 2"},
      {"garbage after end", Rec(0, 0, {1}) + "\n" + kEof + "\n x\n", "line 3: data after the end-of-file record on line 2"},
      {"overlap", Rec(0, 0x10, sixteen) + "\n" + Rec(0, 0x30, {1}) + "\n" + Rec(0, 0x1E, {1, 2, 3}) + "\n" + kEof,
       "line 3: byte 0x1E was already defined on line 1"},
      {"straddles the end", Rec(0x02, 0, {0x1F, 0xBF}) + "\n" + Rec(0, 0x0008, sixteen) + "\n" + kEof,
       "line 2: data at 0x1FBF8..0x1FC07 lies beyond the 130048-byte image"},
      {"far beyond", Rec(0x04, 0, {0xFF, 0xFF}) + "\n" + Rec(0, 0xFFFF, {1}) + "\n" + kEof,
       "line 2: data at 0xFFFFFFFF..0xFFFFFFFF lies beyond the 130048-byte image"},
      {"wraps the segment", Rec(0, 0xFFF8, sixteen) + "\n" + kEof,
       "line 1: 16 bytes at offset 0xFFF8 run past the end of the 64 KiB segment"},
      {"no end record", Rec(0, 0, {1}) + "\n", "the end-of-file record (type 01) is missing"},
      {"no data", "\n" + Rec(0x04, 0, {0, 1}) + "\n" + kEof + "\n", "the HEX file defines no data"},
      // A HEX file with a stray byte is refused, not flashed as text.
      {"stray byte at the end", HexLines({Rec(0, 0, {0x41}), Rec(0, 1, {0x42}), kEof}) + "\x80",
       "line 4: character 0x80 cannot be in an Intel HEX file"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const FirmwareImage image = ParseFirmwareImage(c.text);
    EXPECT_FALSE(image.ok);
    EXPECT_EQ(image.error, c.error);
  }
}

TEST(FirmwareImageBinary, PaddedOrRefusedBySize) {
  const struct {
    std::size_t size;
    bool ok;
    std::string error;
  } kCases[] = {{1, true, ""},
                {kImageSize, true, ""},
                {0, false, "image is empty"},
                {kImageSize + 1, false, "image is 130049 bytes, more than the 130048 the device takes"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.size);
    std::string content(c.size, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 31 + 1);
    const FirmwareImage image = ParseFirmwareImage(content);
    ASSERT_EQ(image.ok, c.ok);
    EXPECT_EQ(image.error, c.error);
    if (!c.ok) continue;
    EXPECT_FALSE(image.hex);
    EXPECT_EQ(image.used, c.size);
    EXPECT_TRUE(image.bytes == content + std::string(kImageSize - c.size, '\xFF'));
  }
}

TEST(FirmwareImageDetection, HexOnlyWhenAllTextAndStartsWithColon) {
  const std::string hex = HexLines({Rec(0, 0, {0x41}), kEof});
  const struct {
    const char* name;
    std::string content;
    bool hex;
  } kCases[] = {{"plain", hex, true},
                {"leading blank lines", " \r\n\t\n" + hex, true},
                {"colon then zero byte", std::string(":\0\x01\x02", 4), false},
                {"byte-order mark and Ctrl+Z around", "\xEF\xBB\xBF" + hex + "\x1A\x1A", true},
                {"colon after other text", "x" + hex, false}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const FirmwareImage image = ParseFirmwareImage(c.content);
    ASSERT_TRUE(image.ok) << image.error;
    EXPECT_EQ(image.hex, c.hex);
    EXPECT_EQ(image.used, c.hex ? 1 : c.content.size());
    EXPECT_EQ(image.bytes[0], c.hex ? 'A' : c.content[0]);
  }
}

// Reading a file whole is FlashE2eTest.ImageFileArrivesWhole's (and the
// wine runs' on Windows); a missing file is told with its path and reason.
TEST(FirmwareImageLoad, AMissingFileIsNamedWithTheReason) {
  const std::string missing = (std::filesystem::temp_directory_path() / "vn_no_such_firmware.bin").string();
  const FirmwareImage none = LoadFirmwareImage(missing);
  EXPECT_FALSE(none.ok);
  EXPECT_EQ(none.error, "cannot open " + missing + ": " + std::generic_category().message(ENOENT));
}

}  // namespace
}  // namespace vn::console
