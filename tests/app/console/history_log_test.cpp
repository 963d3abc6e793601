#include "app/console/history_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace vn::console {
namespace {

namespace fs = std::filesystem;

LogRecord Sample() {
  return {.timeUtc = "2026-12-07T10:15:02Z", .host = "line-3", .port = "COM33 (/dev/ttyUSB0)",
          .adapter = "FTDI FT232R USB UART (0403:6001, serial A50285BI)", .device = "BR-2", .version = "2.1",
          .imageName = "fw.hex", .imageSize = 130048, .imageCrc = "BF88", .result = "success", .exitCode = 0,
          .blocks = 508, .seconds = 34.56789};
}

TEST(HistoryLogFormat, TheFileNameChoosesCsvOrJsonLines) {
  const std::pair<const char*, LogFormat> cases[] = {
      {"run.csv", LogFormat::Csv},           {"C:\\logs\\line.Csv", LogFormat::Csv}, {"run.jsonl", LogFormat::JsonLines},
      {"run.csv.old", LogFormat::JsonLines}, {"csv", LogFormat::JsonLines},
  };
  for (const auto& [path, format] : cases) EXPECT_EQ(LogFormatOf(path), format) << path;
}

// A record as a JSON line and as a CSV row under its header. Records of
// failures, their exit code and error text, are read back by the gang test
// from a real log.
TEST(HistoryLogFormat, ARecordIsOneLineInEitherFormat) {
  EXPECT_EQ(FormatJsonRecord(Sample()),
            "{\"time\":\"2026-12-07T10:15:02Z\",\"host\":\"line-3\",\"port\":\"COM33 (/dev/ttyUSB0)\","
            "\"adapter\":\"FTDI FT232R USB UART (0403:6001, serial A50285BI)\",\"device\":\"BR-2\","
            "\"version\":\"2.1\",\"image\":\"fw.hex\",\"image_size\":130048,\"image_crc\":\"BF88\","
            "\"result\":\"success\",\"exit_code\":0,\"blocks\":508,\"seconds\":34.568,\"error\":null}\n");
  EXPECT_EQ(CsvHeader(),
            "time,host,port,adapter,device,version,image,image_size,image_crc,result,exit_code,blocks,seconds,error\r\n");
  EXPECT_EQ(FormatCsvRecord(Sample()),
            "2026-12-07T10:15:02Z,line-3,COM33 (/dev/ttyUSB0),\"FTDI FT232R USB UART (0403:6001, serial A50285BI)\","
            "BR-2,2.1,fw.hex,130048,BF88,success,0,508,34.568,\r\n");
}

// How a text comes out as a CSV field: quoted only where it must be, and
// well-formed UTF-8 like the JSON lines.
TEST(HistoryLogFormat, CsvFieldsAreQuotedWhereNeededAndWellFormed) {
  struct Case {
    std::string text;
    std::string csv;
  };
  const Case cases[] = {
      {"say \"VERS\"", "\"say \"\"VERS\"\"\""},
      {"a\\b", "a\\b"},
      {"two,parts", "\"two,parts\""},
      {"line one\nline two\r\n\tend", "\"line one\nline two\r\n\tend\""},
      {"\xCF\xEE", "\xEF\xBF\xBD\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    LogRecord r = Sample();
    r.device = c.text;
    const std::string csv = FormatCsvRecord(r);
    EXPECT_NE(csv.find("A50285BI)\"," + c.csv + ",2.1,fw.hex,"), std::string::npos) << csv;
  }
}

TEST(HistoryLogFormat, TimesAreUtcToTheWholeSecond) {
  using std::chrono::system_clock;
  using namespace std::chrono_literals;
  const std::pair<system_clock::time_point, const char*> cases[] = {
      {system_clock::time_point{}, "1970-01-01T00:00:00Z"},
      {system_clock::time_point{1709251199s + 999ms}, "2024-02-29T23:59:59Z"},
      {system_clock::time_point{951868800s}, "2000-03-01T00:00:00Z"},
  };
  for (const auto& [time, text] : cases) EXPECT_EQ(UtcTimeText(time), text);
}

class LogFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    root_ = fs::temp_directory_path() / ("vn_log_" + std::to_string(random()) + std::to_string(random()));
    ASSERT_TRUE(fs::create_directory(root_));
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(root_, ec);
  }

  static std::vector<std::string> Lines(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(stream, line);) lines.push_back(line + "\n");
    return lines;
  }

  fs::path root_;
};

// Writers that start together, each with a log of its own on one file (as
// flashers on a line do).
template <typename Write>
void RunTogether(Write write) {
  std::atomic<int> ready{0};
  const auto run = [&](int writer) {
    // A spin, not a yield: the first to arrive must be running, not
    // rescheduled, when the second lets both go.
    ready.fetch_add(1);
    while (ready.load() < 2) {
    }
    write(writer);
  };
  std::thread first(run, 0);
  std::thread second(run, 1);
  first.join();
  second.join();
}

TEST_F(LogFolder, LinesOfTwoWritersNeverInterleave) {
  constexpr int kRecords = 500;
  const std::string path = (root_ / "history.jsonl").string();
  // Long lines, so that a line written in pieces would show.
  const auto record = [](int writer, int n) {
    LogRecord r = Sample();
    r.port = "COM" + std::to_string(33 + writer);
    r.blocks = n;
    r.error = std::string(3000, static_cast<char>('a' + writer));
    return r;
  };
  RunTogether([&](int writer) {
    std::string error;
    const std::unique_ptr<HistoryLog> log = HistoryLog::Open(path, error);
    ASSERT_NE(log, nullptr) << error;
    for (int n = 0; n < kRecords; ++n) ASSERT_TRUE(log->Append(record(writer, n), error)) << error;
  });

  std::vector<std::string> expected;
  for (int writer = 0; writer < 2; ++writer) {
    for (int n = 0; n < kRecords; ++n) expected.push_back(FormatJsonRecord(record(writer, n)));
  }
  std::vector<std::string> lines = Lines(path);
  ASSERT_EQ(lines.size(), expected.size());
  std::sort(lines.begin(), lines.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_TRUE(lines == expected) << "a line is torn, mixed or missing";
}

// Two writers that open a new CSV log at the same moment both find it
// empty unless the look and the header's write exclude each other; without
// that, most rounds get a second header.
TEST_F(LogFolder, TwoWritersStartingANewCsvLogWriteOneHeader) {
  constexpr int kRounds = 20;
  for (int round = 0; round < kRounds; ++round) {
    const std::string path = (root_ / ("round" + std::to_string(round) + ".csv")).string();
    RunTogether([&](int /*writer*/) {
      std::string error;
      const std::unique_ptr<HistoryLog> log = HistoryLog::Open(path, error);
      ASSERT_NE(log, nullptr) << error;
      ASSERT_TRUE(log->Append(Sample(), error)) << error;
    });
    ASSERT_EQ(Lines(path),
              (std::vector<std::string>{CsvHeader(), FormatCsvRecord(Sample()), FormatCsvRecord(Sample())}))
        << "round " << round;
  }
}

// A missing folder is GangE2eTest.BadInputIsRefusedClearly's, through the flasher.
TEST_F(LogFolder, ALogInAReadOnlyFolderIsRefusedAtOpen) {
  const fs::path locked = root_ / "locked";
  fs::create_directory(locked);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  if (std::ofstream(locked / "probe")) {
    GTEST_SKIP() << "this user may write anywhere (root), or folders have no such right";
  }
  std::string error;
  EXPECT_EQ(HistoryLog::Open((locked / "history.jsonl").string(), error), nullptr);
  EXPECT_NE(error.find("read-only"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(locked / "history.jsonl"));
}

}  // namespace
}  // namespace vn::console
