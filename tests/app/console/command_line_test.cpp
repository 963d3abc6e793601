#include "app/console/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vn::console {
namespace {

using Words = std::vector<std::string>;

// What no end-to-end run passes: the flasher's runs give --image, --json,
// --trace, --timeout, --log, several ports, --auto and watch --quiet.
TEST(CommandLineTest, AcceptedCommandLines) {
  std::string error;
  auto parsed = ParseCommandLine({"--simulate", "probe", "--", "--no-vers-reply", "--baud", "9600"}, error);
  ASSERT_TRUE(parsed) << error;
  EXPECT_EQ(parsed->command, "probe");
  EXPECT_EQ(parsed->simulate, 1);
  EXPECT_TRUE(parsed->ports.empty());
  EXPECT_EQ(parsed->simulatorOptions, (Words{"--no-vers-reply", "--baud", "9600"}));

  parsed = ParseCommandLine({"watch", "/dev/ttyUSB0", "--auto", "--all-ports", "--quiet"}, error);
  ASSERT_TRUE(parsed) << error;
  EXPECT_TRUE(parsed->autoPorts && parsed->allPorts && parsed->quiet);

  parsed = ParseCommandLine({"list"}, error);
  ASSERT_TRUE(parsed) << error;
  EXPECT_EQ(parsed->command, "list");
  parsed = ParseCommandLine({"flash", "--help"}, error);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->command, "help");
}

TEST(CommandLineTest, RefusedCommandLinesSayWhy) {
  struct Case {
    Words words;
    std::string error;
  };
  const Case cases[] = {
      {{}, "no command given"},
      {{"erase", "COM5"}, "unknown command erase"},
      {{"flash"}, "flash needs PORT, --auto or --simulate"},
      {{"watch", "--all-ports"}, "watch needs PORT or --auto"},
      {{"flash", "COM5", "--simulate"}, "--simulate takes the place of PORT"},
      {{"flash", "COM5", "--auto"}, "--auto takes the place of PORT"},  // watch takes both
      {{"probe", "COM5", "--all-ports"}, "--all-ports goes with --auto"},
      {{"flash", "--simulate", "65"}, "--simulate takes 1 to 64 devices"},
      {{"probe", "COM5", "--image", "fw.bin"}, "--image goes with flash and watch"},
      {{"flash", "COM5", "--quiet"}, "--quiet goes with watch"},
      {{"list", "COM5"}, "list takes no port and no options"},
      {{"flash", "COM5", "--verify"}, "unknown option --verify"},
      {{"flash", "COM5", "--image"}, "--image needs a value"},
      {{"probe", "COM5", "--timeout", "0"}, "--timeout takes seconds between 0 and 3600"},
      {{"probe", "COM5", "--timeout", "3s"}, "--timeout takes seconds between 0 and 3600"},
      {{"probe", "COM5", "--", "--baud", "9600"}, "options after -- are for --simulate"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseCommandLine(c.words, error));
    EXPECT_EQ(error, c.error);
  }
}

}  // namespace
}  // namespace vn::console
