#include "components/serial/com_async.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>

#include "components/serial/serial_device.h"
#include "tests/components/serial/com_event_log.h"
#include "tests/components/serial/pty_peer.h"
#include "tests/support/test_points.h"

namespace vn::test {
namespace {

using Entries = EventLog::Entries;

// Collects received bytes without keeping one log entry per byte.
struct ByteSink {
  std::mutex mutex;
  std::condition_variable grown;
  std::string bytes;

  void doEvent(TData& data, std::uint16_t /*index*/) {
    {
      std::lock_guard lock(mutex);
      bytes.append(ToString(data).view());
    }
    grown.notify_all();
  }
  TPointLink Link() { return MakePoint<&ByteSink::doEvent>(0, this); }
  bool WaitForSize(std::size_t size, std::chrono::seconds limit) {
    std::unique_lock lock(mutex);
    return grown.wait_for(lock, limit, [&] { return bytes.size() >= size; });
  }
};

std::string RandomBytes(std::mt19937& rng, std::size_t size) {
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(rng() & 0xFF);
  return bytes;
}

class ComHostileTest : public LiveDispatchTest {
 protected:
  ComHostileTest() {
    com.emplace();
    UseMainSchemeSettings(*com);
    com->Port = "COM7";
    WireAll(*com, log);
    WireReadBack(*com, log);
  }
  void Open() {
    TData none;
    com->doOpen(none, 0);
  }

  PtyPeer peer;
  ScopedPortMap map{{peer.Entry("COM7")}};
  EventLog log;
  std::optional<TVNComAsync> com;
};

TEST_F(ComHostileTest, AFloodOfGarbageIsReadCompletelyAndInOrder) {
  ByteSink sink;
  com->onRead = sink.Link();
  Open();
  ASSERT_TRUE(com->Opened());
  std::mt19937 rng(12345);
  const std::string garbage = RandomBytes(rng, 6u << 20);
  // The kernel's buffers hold the writer back whenever the reader lags, so
  // nothing between the two grows with the flood.
  std::thread writer([&] { peer.Write(garbage); });
  const bool complete = sink.WaitForSize(garbage.size(), std::chrono::seconds(60));
  writer.join();
  com.reset();  // before the sink goes
  ASSERT_TRUE(complete) << sink.bytes.size() << " of " << garbage.size();
  std::lock_guard lock(sink.mutex);
  EXPECT_EQ(sink.bytes.size(), garbage.size());
  EXPECT_TRUE(sink.bytes == garbage) << "the bytes differ";
}

TEST_F(ComHostileTest, TheOtherEndVanishingEndsTheReaderQuietly) {
  Open();
  peer.Write("abc");
  ASSERT_TRUE(log.WaitForEntry("Read:abc"));
  peer.CloseMaster();

  // The port stays open in name; transfers fail before they start.
  TData bytes = Str("x");
  com->doWrite(bytes, 0);
  TData count = Int(4);
  com->doRead(count, 0);
  TData none;
  com->doClose(none, 0);
  com.reset();  // joins the reader: it must have ended by itself

  Entries expected = {"BeforeOpen", "Open:7", "RxChar:3", "Read:abc"};
  expected.insert(expected.end(), kCloseEvents.begin(), kCloseEvents.end());
  EXPECT_EQ(log.Snapshot(), expected);
}

TEST_F(ComHostileTest, PortNamesOfAnyLengthAndBytesAreSafe) {
  std::vector<std::string> names = {std::string("COM7\0", 5), "COM7\xFF", "COM07", " COM7", "COM7 ",
                                    std::string(100000, '7'), "COM\x80", std::string("\0\0\0", 3)};
  std::mt19937 rng(99);
  for (int i = 0; i < 200; ++i) {
    std::string name = RandomBytes(rng, rng() % 12);
    if (i % 2 == 0) name = "COM" + name;
    if (name.size() == 4 && (name[3] == '7') && (name[0] | 0x20) == 'c') continue;  // would be the port
    names.push_back(std::move(name));
  }
  for (const std::string& name : names) {
    const std::size_t before = log.Snapshot().size();
    com->Port = name;
    Open();
    const Entries entries = log.Snapshot();
    EXPECT_EQ(Entries(entries.begin() + static_cast<std::ptrdiff_t>(before), entries.end()),
              (Entries{"BeforeOpen", "Open:0"}));
    EXPECT_FALSE(com->Opened());
    EXPECT_FALSE(serial::SerialDevice::CanOpen(name));
  }
  com->Port = "cOM7";
  Open();
  EXPECT_TRUE(com->Opened());
}

}  // namespace
}  // namespace vn::test
