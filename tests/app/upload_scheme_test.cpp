#include "app/upload_scheme.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "components/data/stream_resource.h"
#include "core/conversions.h"
#include "core/scheme_lock.h"
#include "tests/support/test_points.h"
#include "tools/sim/crc16_modbus.h"

namespace vn::test {
namespace {

constexpr std::size_t kImageSize = 130048;
constexpr std::size_t kBlockSize = 256;

std::string Hex(std::string_view bytes) {
  std::string text;
  for (const char c : bytes) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(c));
    text += digits;
  }
  return text;
}

// The device's answer to a block: the running CRC, high byte first.
std::string Ack(std::uint16_t crc) {
  return {static_cast<char>(crc >> 8), static_cast<char>(crc & 0xFF)};
}

// Every string the upload sends, one entry per write.
struct Line {
  std::vector<std::string> writes;
  void doEvent(TData& data, std::uint16_t /*index*/) { writes.push_back(ToString(data).str()); }
};

// Keeps the running CRC as the main scheme's hidden edit does: it answers
// the last text stored, "FFFF" before the first.
struct CrcStore {
  std::vector<std::string> stored;
  void doText(TData& data, std::uint16_t /*index*/) { stored.push_back(ToString(data).str()); }
  void varText(TData& data, std::uint16_t /*index*/) {
    dtString(data, RcString(stored.empty() ? "FFFF" : stored.back()));
  }
};

// Failure reports may come from the watchdog's thread.
struct FailureLog {
  std::mutex mutex;
  std::vector<TData> reports;

  void doEvent(TData& data, std::uint16_t /*index*/) {
    const std::lock_guard lock(mutex);
    reports.push_back(data);
  }
  std::vector<TData> Reports() {
    const std::lock_guard lock(mutex);
    return reports;
  }
};

// The upload inside a container sized as the main scheme sizes it. Every
// call into it holds the scheme lock, as the window and reader threads do.
struct UploadBench {
  Recorder progress, success, replies;
  Line line;
  CrcStore crc;
  FailureLog failures;
  TVNMultiElementEx upload{nullptr};

  UploadBench() {
    upload.onEvent = {progress.Link(), MakePoint<&Line::doEvent>(0, &line), success.Link(),
                      MakePoint<&FailureLog::doEvent>(0, &failures), MakePoint<&CrcStore::doText>(0, &crc),
                      replies.Link()};
    upload.Data = {MakePoint<&CrcStore::varText>(0, &crc)};
    upload.InitInstances(&CreateUploadScheme);
  }
  void Work(std::uint16_t index, TData value) {
    const SchemeChain chain;
    upload.doWork(value, index);
  }
  void Answer(const std::string& bytes) { Work(0, StringData(RcString(bytes))); }
  bool WatchdogRunning() {
    const SchemeChain chain;
    return static_cast<TClassMultiElementEx_256A260&>(*upload.Instances.at(0).Scheme).Watchdog->Running();
  }
  std::string SentBytes(std::size_t first, std::size_t count) {
    std::string bytes;
    for (std::size_t i = first; i < first + count && i < line.writes.size(); ++i) bytes += line.writes[i];
    return bytes;
  }
};

class UploadSchemeTest : public LiveDispatchTest {
 protected:
  void SetUp() override {
    LiveDispatchTest::SetUp();
    const auto stream = LoadStreamResource("STREAM0");
    image_.assign(stream->Memory().begin(), stream->Memory().end());
    ASSERT_EQ(image_.size(), kImageSize);
  }
  std::string_view Image(std::size_t count) const { return std::string_view(image_).substr(0, count); }
  std::uint16_t CrcOf(std::size_t count) const { return sim::Crc16Modbus(Image(count)); }

  std::string image_;
};

TEST_F(UploadSchemeTest, CorrectAnswersWalkThroughTheWholeImageAndEndWithPusk) {
  UploadBench bench;
  EXPECT_FALSE(bench.WatchdogRunning());
  bench.Work(1, TData{});
  EXPECT_TRUE(bench.WatchdogRunning());
  EXPECT_EQ(bench.progress.Count() + bench.success.Count() + bench.failures.Reports().size(), 0u);
  const std::size_t blocks = kImageSize / kBlockSize;
  for (std::size_t block = 1; block < blocks; ++block) {
    ASSERT_EQ(bench.line.writes.size(), block * kBlockSize);
    bench.Answer(Ack(CrcOf(block * kBlockSize)));
  }
  ASSERT_EQ(bench.line.writes.size(), kImageSize);
  const std::string final = Ack(CrcOf(kImageSize)) + "FZ";
  bench.Answer(final);

  ASSERT_EQ(bench.line.writes.size(), kImageSize + 1);
  EXPECT_EQ(bench.line.writes.back(), "PUSK");
  EXPECT_TRUE(bench.SentBytes(0, kImageSize) == Image(kImageSize)) << "the image went out altered";
  for (std::size_t i = 0; i < kImageSize; ++i) ASSERT_EQ(bench.line.writes[i].size(), 1u) << i;

  ASSERT_EQ(bench.progress.Count(), blocks - 1);
  for (std::size_t i = 0; i < bench.progress.Count(); ++i) {
    ASSERT_EQ(bench.progress.hits[i].value.DataType, TagInteger);
    ASSERT_EQ(bench.progress.hits[i].value.IData, static_cast<std::int32_t>(i + 1));
  }
  // The running CRC is stored after every byte.
  ASSERT_EQ(bench.crc.stored.size(), kImageSize);
  std::uint16_t running = sim::kCrc16ModbusInit;
  for (std::size_t i = 0; i < kImageSize; ++i) {
    running = sim::Crc16ModbusUpdate(running, static_cast<std::uint8_t>(image_[i]));
    ASSERT_EQ(bench.crc.stored[i], Hex(Ack(running))) << "after byte " << i;
  }

  ASSERT_EQ(bench.success.Count(), 1u);
  EXPECT_EQ(ToString(bench.success.Last()).str(), Hex(final));
  EXPECT_EQ(bench.replies.Count(), blocks);
  EXPECT_TRUE(bench.failures.Reports().empty());
  EXPECT_FALSE(bench.WatchdogRunning());
}

// A wrong CRC is also shown end to end by the program's and the flasher's
// failure tests. Before the start nothing is awaited, so even an end marker
// is stray.
TEST_F(UploadSchemeTest, EveryOtherAnswerIsRejectedAndSendsNothingMore) {
  const std::uint16_t crc = CrcOf(kBlockSize);
  const std::string hi(1, static_cast<char>(crc >> 8));
  const std::string lo(1, static_cast<char>(crc & 0xFF));
  struct Case {
    const char* name;
    bool started;
    std::vector<std::string> reads;
  };
  const Case cases[] = {
      // Each read is judged, and reported, on its own.
      {"split over two reads", true, {hi, lo}},
      {"wrong CRC", true, {Ack(static_cast<std::uint16_t>(crc ^ 0x0100))}},
      {"swapped CRC bytes", true, {lo + hi}},
      {"trailing CR", true, {hi + lo + "\r"}},
      {"end marker on a wrong CRC", true, {Ack(static_cast<std::uint16_t>(crc ^ 1)) + "FZ"}},
      {"end marker alone", true, {"FZ"}},
      {"end marker in small letters", true, {hi + lo + "fz"}},
      {"bytes before the start", false, {"\x12\x34"}},
      {"end marker before the start", false, {"FZ"}},
      {"start marker before the start", false, {"SZ"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UploadBench bench;
    if (c.started) bench.Work(1, TData{});
    for (const std::string& read : c.reads) bench.Answer(read);

    const std::vector<TData> reports = bench.failures.Reports();
    ASSERT_EQ(reports.size(), c.reads.size());
    for (std::size_t i = 0; i < reports.size(); ++i) EXPECT_EQ(ToString(reports[i]).str(), Hex(c.reads[i]));
    EXPECT_EQ(bench.line.writes.size(), c.started ? kBlockSize : 0u);
    EXPECT_EQ(bench.progress.Count() + bench.success.Count(), 0u);
    ASSERT_EQ(bench.replies.Count(), c.reads.size());
    EXPECT_EQ(ToString(bench.replies.Last()).str(), c.reads.back());
    if (!c.started) {
      EXPECT_FALSE(bench.WatchdogRunning()) << "a stray answer started the upload";
    }
  }
}

}  // namespace
}  // namespace vn::test
