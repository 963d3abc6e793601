#include "app/console/console_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vn::console {
namespace {

TEST(ConsoleTextTest, ProgressShowsCountsShareRateAndTimeLeft) {
  struct Case {
    Progress progress;
    std::string bar;
    std::string line;
  };
  const Case cases[] = {
      {{0, 508, 0.0}, "[..........]    0/508    0%  0.0 KiB/s  --:-- left", "block 0/508 (0%), 0.0 KiB/s"},
      // 254 blocks of 256 bytes in 8 s: 7.94 KiB/s, 8 s more for the rest.
      {{254, 508, 8.0}, "[#####.....]  254/508   50%  7.9 KiB/s  00:08 left",
       "block 254/508 (50%), 7.9 KiB/s, 8 s left"},
      {{508, 508, 30.0}, "[##########]  508/508  100%  4.2 KiB/s  00:00 left",
       "block 508/508 (100%), 4.2 KiB/s, 0 s left"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgressBar(c.progress, 10), c.bar);
    EXPECT_EQ(ProgressLine(c.progress), c.line);
  }
  EXPECT_EQ(ProgressBar({127, 508, 60.0}, 10).substr(0, 12), "[##........]");
  EXPECT_NE(ProgressBar({1, 508, 0.5}, 10).find("04:14 left"), std::string::npos);  // 507 blocks at 0.5 s each
}

TEST(ConsoleTextTest, JsonSummaryIsOneLineWithEscapedTexts) {
  Summary s{.command = "flash", .result = "transfer failed", .exitCode = 5, .port = "COM5", .device = "X\"1\\",
            .version = "2.1", .blocks = 3, .bytes = 768, .crc = "BF88", .seconds = 1.23456, .image = "fw.hex",
            .error = "line one\nline two\t"};
  EXPECT_EQ(JsonSummary(s),
            "{\"command\":\"flash\",\"result\":\"transfer failed\",\"exit_code\":5,\"port\":\"COM5\","
            "\"device\":\"X\\\"1\\\\\",\"version\":\"2.1\",\"blocks\":3,\"bytes\":768,\"crc\":\"BF88\","
            "\"seconds\":1.235,\"image\":\"fw.hex\",\"error\":\"line one\\nline two\\t\"}");
  s.error.clear();
  EXPECT_NE(JsonSummary(s).find("\"error\":null}"), std::string::npos);
}

}  // namespace
}  // namespace vn::console
