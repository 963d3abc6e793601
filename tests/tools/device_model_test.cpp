#include "tools/sim/device_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/sim/crc16_modbus.h"

namespace vn::sim {
namespace {

using namespace std::chrono_literals;

// Bit by bit, unlike the table the simulator uses.
std::uint16_t ReferenceCrc(const std::string& bytes, std::uint16_t crc = 0xFFFF) {
  for (char c : bytes) {
    crc ^= static_cast<std::uint8_t>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
  }
  return crc;
}

std::string TestImage(std::size_t size) {
  std::string image(size, '\0');
  std::uint32_t state = 12345;
  for (char& c : image) {
    state = state * 1103515245U + 12345U;
    c = static_cast<char>(state >> 24);
  }
  return image;
}

Reply Feed(DeviceModel& model, const std::string& bytes) {
  Reply all;
  for (char c : bytes) {
    for (Piece& piece : model.Receive(static_cast<std::uint8_t>(c))) all.push_back(std::move(piece));
  }
  return all;
}

DeviceConfig OneBlock() {
  DeviceConfig config;
  config.blocks = 1;
  return config;
}

// A probe, then the one block of a device made by OneBlock().
void Upload(DeviceModel& model) { Feed(model, "VERS" + TestImage(kBlockSize)); }

// The table the simulator (and the CRC the device answers with) uses against
// the bit-by-bit definition, over a pseudo-random image at many lengths.
TEST(Crc16ModbusTest, TableMatchesTheBitwiseDefinition) {
  EXPECT_EQ(Crc16Modbus("123456789"), 0x4B37);
  EXPECT_EQ(Crc16Modbus("56789", Crc16Modbus("1234")), 0x4B37);
  const std::string image = TestImage(3 * kBlockSize);
  for (std::size_t size = 0; size <= image.size(); size += 61) {
    EXPECT_EQ(Crc16Modbus(image.substr(0, size)), ReferenceCrc(image.substr(0, size))) << size;
  }
}

// Each block fault spoils its own block's answer and no other; the device
// keeps taking bytes after a fault, as a real one would.
TEST(DeviceModelTest, EachBlockFaultChangesOnlyItsBlock) {
  const std::string image = TestImage(3 * kBlockSize);
  std::vector<std::string> good;  // each block's answer, high byte first
  for (std::size_t block = 1; block <= 3; ++block) {
    const std::uint16_t crc = ReferenceCrc(image.substr(0, block * kBlockSize));
    good.push_back({static_cast<char>(crc >> 8), static_cast<char>(crc & 0xFF)});
  }
  const std::string g1 = good[0], g2 = good[1], g3 = good[2] + "FZ";
  struct Case {
    const char* name;
    DeviceFaults faults;
    std::vector<Reply> expected;  // per block
    std::uint64_t blocks, extra;
  } const cases[] = {
      {"wrong-crc", {.wrongCrc = 2}, {{{0us, g1}}, {{0us, {static_cast<char>(~g2[0]), static_cast<char>(~g2[1])}}}, {{0us, g3}}}, 3, 0},
      {"swap-crc", {.swapCrc = 2}, {{{0us, g1}}, {{0us, {g2[1], g2[0]}}}, {{0us, g3}}}, 3, 0},
      {"trailing-cr", {.trailingCr = 3}, {{{0us, g1}}, {{0us, g2}}, {{0us, g3 + "\r"}}}, 3, 0},
      {"split-answer", {.splitAnswer = 2}, {{{0us, g1}}, {{0us, g2.substr(0, 1)}, {7ms, g2.substr(1)}}, {{0us, g3}}}, 3, 0},
      {"silent-from", {.silentFrom = 2}, {{{0us, g1}}, {}, {}}, 3, kBlockSize},  // block 3 came unanswered
      {"early-fz", {.earlyFz = 1}, {{{0us, g1 + "FZ"}}, {}, {}}, 1, 2 * kBlockSize},
  };
  for (const Case& c : cases) {
    DeviceConfig config;
    config.blocks = 3;
    config.faults = c.faults;
    config.splitGap = 7ms;
    DeviceModel model(config);
    Feed(model, "VERS");
    std::vector<Reply> replies;
    for (std::size_t block = 0; block < 3; ++block) replies.push_back(Feed(model, image.substr(block * kBlockSize, kBlockSize)));
    EXPECT_EQ(replies, c.expected) << c.name;
    EXPECT_EQ(model.Result().blocks, c.blocks) << c.name;
    EXPECT_EQ(model.Result().crc, ReferenceCrc(image.substr(0, c.blocks * kBlockSize))) << c.name;
    EXPECT_EQ(model.Result().extra, c.extra) << c.name;
  }
}

TEST(DeviceModelTest, WhatFollowsTheFinalAnswer) {
  struct Case {
    std::string sent;
    bool pusk;
    std::uint64_t extra;
    const char* error;
  } const cases[] = {
      {"PUSK", true, 0, ""},
      {"PPUSK", true, 1, "unexpected bytes after final block"},
      {"PUSK\r\n", true, 2, "unexpected bytes after PUSK"},
      {"PUS", false, 3, "unexpected bytes after final block"},  // cut short by the end of the run
  };
  for (const Case& c : cases) {
    DeviceModel model(OneBlock());
    Upload(model);
    Feed(model, c.sent);
    model.Finish();
    EXPECT_EQ(model.Result().pusk, c.pusk) << c.sent;
    EXPECT_EQ(model.Result().extra, c.extra) << c.sent;
    EXPECT_EQ(model.Result().error, c.error) << c.sent;
    EXPECT_EQ(model.Result().bytes, kBlockSize) << c.sent;
  }
}

// --answer-after-pusk: after the grace the new firmware answers every
// "VERS" and takes no image; other bytes are extra, not errors.
TEST(DeviceModelTest, BootedDeviceAnswersProbesOnly) {
  struct Case {
    std::string sent;
    Reply replies;
    std::uint32_t vers;  // the first probe, before the image, included
    std::uint64_t extra;
  } const cases[] = {
      {"VERSVERS", {Piece{0us, "BRANTELMOOR X1 2.1"}, Piece{0us, "BRANTELMOOR X1 2.1"}}, 3, 0},
      {"VExVVERS", {Piece{0us, "BRANTELMOOR X1 2.1"}}, 2, 4},
      {TestImage(kBlockSize), {}, 1, kBlockSize},
      {"VER", {}, 1, 3},  // cut short by the end of the run
  };
  for (const Case& c : cases) {
    DeviceModel model(OneBlock());
    Upload(model);
    Feed(model, "PUSK");
    model.Boot();
    EXPECT_EQ(Feed(model, c.sent), c.replies) << c.sent;
    model.Finish();
    EXPECT_TRUE(model.Launched());
    EXPECT_EQ(model.Result().vers, c.vers) << c.sent;
    EXPECT_EQ(model.Result().extra, c.extra) << c.sent;
    EXPECT_EQ(model.Result().bytes, kBlockSize) << c.sent;
    EXPECT_EQ(model.Result().error, "") << c.sent;
  }
}

TEST(DeviceModelTest, ProbeRepliesAndTheirFaults) {
  struct Case {
    const char* name;
    void (*set)(DeviceConfig&);
    Reply expected;
  };
  const Case cases[] = {
      {"custom", [](DeviceConfig& c) { c.name = "Dev"; c.designation = "D 9"; c.version = ""; }, {{0us, "Dev D 9 "}}},
      {"lowercase-name", [](DeviceConfig& c) { c.faults.lowercaseName = true; }, {{0us, "brantelmoor X1 2.1"}}},
      {"stray", [](DeviceConfig& c) { c.faults.strayAfterProbe = std::string("\x00\xFF", 2); c.strayDelay = 9ms; },
       {{0us, "BRANTELMOOR X1 2.1"}, {9ms, std::string("\x00\xFF", 2)}}},
  };
  for (const Case& c : cases) {
    DeviceConfig config;
    c.set(config);
    DeviceModel model(config);
    EXPECT_EQ(Feed(model, std::string("V\0VERVVERS", 10)), c.expected) << c.name;
    EXPECT_EQ(model.Result().vers, 1U) << c.name;
  }
}

TEST(DeviceModelTest, AnotherProbeBeforeTheImageIsAnsweredAgain) {
  DeviceModel model{DeviceConfig{}};
  Feed(model, "VERS");
  EXPECT_EQ(Feed(model, "VERS").size(), 1U);
  const std::string start = "VEX";  // looks like a probe until the third byte
  Feed(model, start);
  EXPECT_EQ(Feed(model, "VERS"), Reply{});  // image bytes now
  model.Finish();
  EXPECT_EQ(model.Result().vers, 2U);
  EXPECT_EQ(model.Result().bytes, 7U);
  EXPECT_EQ(model.Result().crc, ReferenceCrc("VEXVERS"));
}

}  // namespace
}  // namespace vn::sim
