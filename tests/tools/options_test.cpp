#include "tools/sim/options.h"

#include <gtest/gtest.h>

#include <vector>

namespace vn::sim {
namespace {

using namespace std::chrono_literals;

bool Parse(std::vector<std::string_view> args, Options& options, std::string& error) {
  return ParseOptions(args, options, error);
}

// The options whose loss no run of the simulator would notice: the others
// (--link, --save, --name, --baud, the block faults, ...) are made by the
// end-to-end runs and sim_adapter_test, which fail without them.
TEST(OptionsTest, EveryOptionReachesItsField) {
  std::string error;
  Options o;
  ASSERT_TRUE(Parse({"--blocks", "2", "--timeout", "0.25", "--grace-ms", "0", "--split-gap-ms", "5",
                     "--lowercase-name", "--no-blank", "--stray-after-probe", "00fF0d", "--stray-delay-ms", "8",
                     "--adapter-tick-ms", "0.5", "--adapter-buffer", "64", "--turnaround-max-ms", "20", "--seed",
                     "18446744073709551615"},
                    o, error))
      << error;
  const DeviceFaults& f = o.device.faults;
  EXPECT_EQ(o.device.blocks, 2U);
  EXPECT_EQ(o.timeout, 250ms);
  EXPECT_EQ(o.grace, 0ms);
  EXPECT_EQ(o.device.splitGap, 5ms);
  EXPECT_TRUE(f.lowercaseName && f.noBlank);
  EXPECT_EQ(f.strayAfterProbe, std::string("\x00\xFF\x0D", 3));
  EXPECT_EQ(o.device.strayDelay, 8ms);
  EXPECT_EQ(o.adapterTick, 500us);
  EXPECT_EQ(o.adapterBuffer, 64U);
  EXPECT_EQ(o.turnaroundMax, 20ms);
  EXPECT_EQ(o.seed, 18446744073709551615ULL);

  Options d;
  ASSERT_TRUE(Parse({"--device", "/dev/ttyS0", "--line-baud", "115200"}, d, error));
  EXPECT_EQ(d.devicePath + " " + std::to_string(d.lineBaud), "/dev/ttyS0 115200");
}

// One of each kind of refusal: every option of a kind shares its parser.
TEST(OptionsTest, UnusableArgumentsNameTheOption) {
  const std::vector<std::vector<std::string_view>> bad = {
      {"--blocks", "0"},          {"--blocks", "2x"},        {"--blocks"},
      {"--baud", "99999999999"},  {"--timeout", "-1"},       {"--stray-after-probe", "0"},
      {"--stray-after-probe", "zz"}, {"--echo=1"},           {"--bogus"},
      {"--save", ""},             {"--link", "a", "--device", "b"},
      {"--adapter-tick-ms", "0.0000001"},  // rounds to no time at all
      {"--adapter-tick-ms", "16ms"}, {"--adapter-tick-ms", "inf"}, {"--adapter-tick-ms", "nan"},
      {"--turnaround-max-ms", "1e3"}, {"--seed", "-1"},      {"--seed", "18446744073709551616"},
      // Options that each stand alone but not together; the message names the first.
      {"--answer-after-pusk", "--serve", "2"}, {"--answer-after-pusk", "--echo"}, {"--serve", "0", "--echo"},
      {"--gap-ms", "5"},  // a gap with a single device
  };
  for (const auto& args : bad) {
    Options o;
    std::string error;
    EXPECT_FALSE(Parse(args, o, error)) << args[0];
    EXPECT_NE(error.find(args[0].substr(0, args[0].find('='))), std::string::npos) << error;
  }
}

// The options of a line of devices, alone and together: the fields they set.
TEST(OptionsTest, LineOfDevices) {
  struct Case {
    std::vector<std::string_view> args;
    std::uint32_t serve = 1;
    std::chrono::nanoseconds gap = 1s;
    std::chrono::nanoseconds appearAfter = 0ns;
  };
  const std::vector<Case> cases = {
      {{"--serve", "3", "--gap-ms", "2.5"}, 3, 2500us},
      {{"--serve=0", "--gap-ms", "0", "--appear-after-ms", "700"}, 0, 0ns, 700ms},
      {{"--appear-after-ms", "0.5", "--echo"}, 1, 1s, 500us},
  };
  for (const Case& c : cases) {
    Options o;
    std::string error;
    const std::string what(c.args[0]);
    ASSERT_TRUE(Parse(c.args, o, error)) << what << ": " << error;
    EXPECT_EQ(o.serve, c.serve) << what;
    EXPECT_EQ(o.gap, c.gap) << what;
    EXPECT_EQ(o.appearAfter, c.appearAfter) << what;
  }
}

}  // namespace
}  // namespace vn::sim
