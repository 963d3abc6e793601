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

std::string HighLow(std::uint16_t crc) { return {static_cast<char>(crc >> 8), static_cast<char>(crc & 0xFF)}; }

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

// The answer to each block of `image`, after a probe.
std::vector<Reply> Upload(DeviceModel& model, const std::string& image) {
  Feed(model, "VERS");
  std::vector<Reply> answers;
  for (std::size_t at = 0; at < image.size(); at += kBlockSize) answers.push_back(Feed(model, image.substr(at, kBlockSize)));
  return answers;
}

TEST(Crc16ModbusTest, CheckValueAndRunningUpdate) {
  EXPECT_EQ(Crc16Modbus("123456789"), 0x4B37);
  EXPECT_EQ(Crc16Modbus("56789", Crc16Modbus("1234")), 0x4B37);
}

TEST(DeviceModelTest, EachBlockFaultChangesOnlyItsBlock) {
  const std::string image = TestImage(3 * kBlockSize);
  std::vector<std::string> good;
  for (std::size_t block = 1; block <= 3; ++block) good.push_back(HighLow(ReferenceCrc(image.substr(0, block * kBlockSize))));
  const std::string g1 = good[0], g2 = good[1], g3 = good[2] + "FZ";
  struct Case {
    const char* name;
    void (*set)(DeviceConfig&);
    std::vector<Reply> expected;
    std::uint64_t blocks, extra;
  } const cases[] = {
      {"wrong-crc", [](DeviceConfig& c) { c.faults.wrongCrc = 2; },
       {{{0us, g1}}, {{0us, std::string{static_cast<char>(~g2[0]), static_cast<char>(~g2[1])}}}, {{0us, g3}}}, 3, 0},
      {"swap-crc", [](DeviceConfig& c) { c.faults.swapCrc = 2; },
       {{{0us, g1}}, {{0us, std::string{g2[1], g2[0]}}}, {{0us, g3}}}, 3, 0},
      {"trailing-cr", [](DeviceConfig& c) { c.faults.trailingCr = 3; }, {{{0us, g1}}, {{0us, g2}}, {{0us, g3 + "\r"}}}, 3, 0},
      {"split-answer", [](DeviceConfig& c) { c.faults.splitAnswer = 2; c.splitGap = 7ms; },
       {{{0us, g1}}, {{0us, g2.substr(0, 1)}, {7ms, g2.substr(1)}}, {{0us, g3}}}, 3, 0},
      // Block 3 came although block 2 got no answer.
      {"silent-from", [](DeviceConfig& c) { c.faults.silentFrom = 2; }, {{{0us, g1}}, {}, {}}, 3, kBlockSize},
      // Blocks 2 and 3 came after the device said it had all.
      {"early-fz", [](DeviceConfig& c) { c.faults.earlyFz = 1; }, {{{0us, g1 + "FZ"}}, {}, {}}, 1, 2 * kBlockSize},
  };
  for (const Case& c : cases) {
    DeviceConfig config;
    config.blocks = 3;
    c.set(config);
    DeviceModel model(config);
    EXPECT_EQ(Upload(model, image), c.expected) << c.name;
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
      {"PUX PUSK", true, 4, "unexpected bytes after final block"},
      {"PUSK\r\n", true, 2, "unexpected bytes after PUSK"},
      {"PUS", false, 3, "unexpected bytes after final block"},  // cut short by the end of the run
  };
  for (const Case& c : cases) {
    DeviceConfig config;
    config.blocks = 1;
    DeviceModel model(config);
    Upload(model, TestImage(kBlockSize));
    Feed(model, c.sent);
    model.Finish();
    EXPECT_EQ(model.Result().pusk, c.pusk) << c.sent;
    EXPECT_EQ(model.Result().extra, c.extra) << c.sent;
    EXPECT_EQ(model.Result().error, c.error) << c.sent;
    EXPECT_EQ(model.Result().bytes, kBlockSize) << c.sent;
  }
}

// --answer-after-pusk: after the grace the new firmware answers every
// "VERS" (its faults apply) and takes no image; other bytes are extra, not errors.
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
    DeviceConfig config;
    config.blocks = 1;
    DeviceModel model(config);
    Upload(model, TestImage(kBlockSize));
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
  DeviceConfig config;
  config.faults.lowercaseName = true;
  config.blocks = 1;
  DeviceModel model(config);
  Upload(model, TestImage(kBlockSize));
  model.Boot();  // no PUSK yet: not booted
  EXPECT_TRUE(Feed(model, "PUSK").empty());
  model.Boot();
  EXPECT_EQ(Feed(model, "VERS"), (Reply{Piece{0us, "brantelmoor X1 2.1"}}));
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
      {"no-blank", [](DeviceConfig& c) { c.faults.noBlank = true; }, {{0us, "BRANTELMOOR"}}},
      {"reply", [](DeviceConfig& c) { c.reply = " BRANTELMOOR  X1"; }, {{0us, " BRANTELMOOR  X1"}}},
      {"reply-in-two", [](DeviceConfig& c) { c.faults.replyInTwo = true; c.splitGap = 3ms; },
       {{0us, "BRANTELMOOR"}, {3ms, " X1 2.1"}}},
      {"reply-in-two, name only", [](DeviceConfig& c) { c.faults.replyInTwo = c.faults.noBlank = true; },
       {{0us, "BRANT"}, {50ms, "ELMOOR"}}},
      {"stray", [](DeviceConfig& c) { c.faults.strayAfterProbe = std::string("\x00\xFF", 2); c.strayDelay = 9ms; },
       {{0us, "BRANTELMOOR X1 2.1"}, {9ms, std::string("\x00\xFF", 2)}}},
      {"no-vers-reply", [](DeviceConfig& c) { c.faults.noVersReply = true; }, {}},
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

  DeviceModel held{DeviceConfig{}};
  Feed(held, "VERSVE");
  held.Finish();  // bytes held as a possible probe still count as image
  EXPECT_EQ(held.Result().bytes, 2U);
}

TEST(DeviceModelTest, SilentProbeKeepsCountingRequests) {
  DeviceConfig config;
  config.faults.noVersReply = true;
  DeviceModel model(config);
  EXPECT_TRUE(Feed(model, "VERS" + TestImage(300) + "VERSVERS").empty());
  EXPECT_EQ(model.Result().vers, 3U);
  EXPECT_EQ(model.Result().bytes, 0U);
}

}  // namespace
}  // namespace vn::sim
