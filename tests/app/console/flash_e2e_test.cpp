// The command-line flasher end to end against the device simulator, as a
// production script would run it.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/console/flasher_process.h"
#include "tests/app/console/intel_hex.h"
#include "tests/support/carried_image.h"
#include "app/console/simulator_process.h"

namespace vn::test {
namespace {

using namespace std::chrono_literals;
using sim::SummaryField;
using Words = std::vector<std::string>;

constexpr std::size_t kImageSize = 130048;

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary);
  file << bytes;
}

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "/flash_" + name; }

struct Outcome {
  int code;
  std::string out;
  std::string err;
  std::string device;  // the simulator's summary
};

Outcome Flasher(const Words& arguments, std::chrono::milliseconds limit = 120s) {
  FlasherProcess flasher(arguments);
  const int code = flasher.Finish(limit);
  return {code, flasher.Out(), flasher.Err(), flasher.DeviceSummary()};
}

TEST(FlashE2eTest, CarriedImageWholeWithJsonSummary) {
  const std::string saved = TempPath("carried.bin");
  const Outcome run = Flasher({"flash", "--simulate", "--json", "--", "--save", saved});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(SummaryField(run.out, "result"), "\"success\"") << run.out;
  EXPECT_EQ(SummaryField(run.out, "exit_code"), "0");
  EXPECT_EQ(SummaryField(run.out, "blocks"), "508");
  EXPECT_EQ(SummaryField(run.out, "bytes"), "130048");
  EXPECT_EQ(SummaryField(run.out, "crc"), "\"BD97\"");
  EXPECT_EQ(SummaryField(run.out, "device"), "\"X1\"");
  EXPECT_EQ(SummaryField(run.out, "image"), "\"carried\"");
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << "--json keeps standard output to the summary";
  EXPECT_EQ(SummaryField(run.device, "pusk"), "true") << run.device;
  EXPECT_EQ(SummaryField(run.device, "extra"), "0");
  EXPECT_TRUE(HoldsCarriedImage(saved));
}

// A binary file differs from a HEX file only in parsing, which the image
// tests cover; the HEX file, with CRLF line ends and an address record,
// shows the file going through the flasher to the device unaltered.
TEST(FlashE2eTest, ImageFileArrivesWhole) {
  // Data at the start and, through an extended linear address, in the last
  // 16 bytes of the image.
  const std::string path = TempPath("image.hex");
  WriteFile(path, HexLines({HexRecord(0, 0, {1, 2, 3, 4, 5}), HexRecord(4, 0, {0, 1}),
                            HexRecord(0, 0xFBF0, std::vector<std::uint8_t>(16, 0x5A)), kHexEof},
                           "\r\n"));
  std::string expected(kImageSize, '\xFF');
  expected.replace(0, 5, "\x01\x02\x03\x04\x05");
  expected.replace(kImageSize - 16, 16, std::string(16, '\x5A'));

  const std::string saved = TempPath("received.bin");
  const Outcome run = Flasher({"flash", "--simulate", "--image", path, "--", "--save", saved});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(SummaryField(run.device, "pusk"), "true") << run.device;
  EXPECT_TRUE(FileBytes(saved) == expected) << "the image arrived altered";
}

// The device alone decides where the transfer ends: a final answer after a
// few blocks is a success, told with the blocks it took.
TEST(FlashE2eTest, DeviceEndingEarlyIsTold) {
  const Outcome run = Flasher({"flash", "--simulate", "--json", "--", "--early-fz", "5"});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(SummaryField(run.out, "blocks"), "5") << run.out;
  EXPECT_NE(run.err.find("the device ended the transfer after 5 of 508 blocks"), std::string::npos) << run.err;
  EXPECT_EQ(SummaryField(run.device, "pusk"), "true") << run.device;
}

TEST(FlashE2eTest, ProbeTellsTheDeviceOrWhyNot) {
  struct Case {
    Words arguments;
    int code;
    std::string said;  // on standard output (0) or standard error
  };
  const Case cases[] = {
      {{"probe", "--simulate", "--", "--designation", "X7", "--version", "3.0"}, 0, "X7, firmware 3.0"},
      {{"probe", "--simulate", "--timeout", "0.5", "--", "--no-vers-reply"}, 4, "no device answered \"VERS\""},
      {{"probe", "--simulate", "--", "--name", "OTHERDEVICE"}, 4, "did not answer as a Brantelmoor"},
      {{"probe", "/dev/no-such-serial-device"}, 3, "no such device"},
      {{"flash", "COM250"}, 3, "COM250 does not exist"},
  };
  for (const Case& c : cases) {
    const Outcome run = Flasher(c.arguments);
    EXPECT_EQ(run.code, c.code) << c.arguments[1] << run.err;
    EXPECT_NE((c.code == 0 ? run.out : run.err).find(c.said), std::string::npos) << run.out << run.err;
  }
}

// Each kind of bad image is the parser's tests' matter; here one shows the
// exit code, the line named and that no device was started.
TEST(FlashE2eTest, BadImageIsRefusedBeforeAnyPortIsOpened) {
  std::string badChecksum = HexLines({HexRecord(0, 0, {0x11, 0x22}), kHexEof});
  badChecksum[14] = badChecksum[14] == '0' ? '1' : '0';  // last digit of the first record's checksum
  const std::string path = TempPath("checksum.hex");
  WriteFile(path, badChecksum);
  const Outcome run = Flasher({"flash", "--simulate", "--image", path});
  EXPECT_EQ(run.code, 6) << run.err;
  EXPECT_NE(run.err.find("line 1"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("simulated device"), std::string::npos) << "no device may be touched";
}

TEST(FlashE2eTest, CtrlCClosesThePortAndSaysTheUpdateWasInterrupted) {
  // A slow device: 20 ms before each answer, ten seconds for the update.
  FlasherProcess flasher({"flash", "--simulate", "--", "--turnaround-us", "20000"});
  ASSERT_TRUE(flasher.WaitForOutput("writing", 20s)) << flasher.Err();
  std::this_thread::sleep_for(1s);
  flasher.Interrupt();
  EXPECT_EQ(flasher.Finish(30s), 130) << flasher.Err();
  EXPECT_NE(flasher.Err().find("the port is closed; the device holds a partial image"), std::string::npos) << flasher.Err();
  const std::string device = flasher.DeviceSummary();
  EXPECT_EQ(SummaryField(device, "pusk"), "false") << device;
  EXPECT_EQ(SummaryField(device, "error"), "\"host hung up\"") << device;
}

TEST(FlashE2eTest, TraceShowsEveryExchangeWithTimes) {
  const Outcome run = Flasher({"probe", "--simulate", "--trace"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.err.find(" > 56 45 52 53\n"), std::string::npos) << run.err;  // "VERS"
  EXPECT_NE(run.err.find(" < 42 52 41 4E"), std::string::npos) << run.err;    // "BRAN..."
}

}  // namespace
}  // namespace vn::test
