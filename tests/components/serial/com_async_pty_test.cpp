// The component on a pseudo-terminal that the test drives from the other end:
// what the shared suite (line_suite_test.cpp) cannot set up through an
// echoing peer, and the hostile ends of the line.
#include "components/serial/com_async.h"

#include <gtest/gtest.h>
#include <sys/file.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>

#include "tests/components/serial/com_event_log.h"
#include "tests/components/serial/pty_peer.h"
#include "tests/support/test_points.h"

namespace vn::test {
namespace {

using Entries = EventLog::Entries;

class ComPtyTest : public LiveDispatchTest {
 protected:
  // Wired as in the main window, on the pseudo-terminal's COM7.
  ComPtyTest() {
    com.emplace();
    UseMainSchemeSettings(*com);
    com->Port = "COM7";
    WireAll(*com, log);
  }

  PtyPeer peer;
  ScopedPortMap map{{peer.Entry("COM7")}};
  EventLog log;
  std::optional<TVNComAsync> com;  // last: destroyed first, while the log still exists
};

// Which names pass the check is PortName.Validation's table; here names that
// lead to the pseudo-terminal, so that only the check can stop them.
TEST_F(ComPtyTest, PortNamesAreCheckedBeforeAnyDeviceIsTouched) {
  ScopedPortMap everything({peer.Entry("COM0"), peer.Entry("COM256"), peer.Entry("COM12A")});
  for (const char* name : {"COM0", "COM256"}) {
    const std::size_t before = log.Snapshot().size();
    com->Port = name;
    Open(*com);
    EXPECT_EQ(log.Since(before), (Entries{"BeforeOpen", "Open:0"})) << name;
    EXPECT_FALSE(com->Opened()) << name;
  }
  // COM12A passes the check with 12.
  com->Port = "COM12A";
  const std::size_t before = log.Snapshot().size();
  Open(*com);
  EXPECT_EQ(log.Since(before), (Entries{"BeforeOpen", "Open:12"}));
}

// Which settings the line refuses is LineLimits' table; one of them here.
TEST_F(ComPtyTest, RefusedSettingsCloseThePortWithItsEventsThenReportFailure) {
  com->StopBits = 3;
  Open(*com);
  Entries expected = {"BeforeOpen"};
  expected.insert(expected.end(), kCloseEvents.begin(), kCloseEvents.end());
  expected.push_back("Open:0");
  EXPECT_EQ(log.Snapshot(), expected);
  EXPECT_FALSE(com->Opened());

  // Nothing was left holding the port.
  com->StopBits = 0;
  const std::size_t before = log.Snapshot().size();
  Open(*com);
  EXPECT_EQ(log.Since(before), (Entries{"BeforeOpen", "Open:7"}));
}

// The schemes set the Baud property; a chain long enough to reach the baud
// (DTR, RTS, then baud) no scheme sends.
TEST_F(ComPtyTest, AnIncomingValueGoesToDtrAndTheBaudIsThePropertyExactly) {
  Answer port;
  port.value = Str("COM7");
  com->PortPoint = port.Link();  // as the main window wires it

  // DTR takes the incoming 1; RTS and Baud have nothing left and use 0 and
  // the property, set exactly rather than as the nearest standard rate.
  Open(*com, Int(1));
  EXPECT_EQ(log.Snapshot(), (Entries{"BeforeOpen", "Open:7"}));
  EXPECT_EQ(peer.SlaveBaud(), 38462u);
  EXPECT_EQ(port.asked, 1);
}

TEST_F(ComPtyTest, BytesFromBeforeTheOpenAreDroppedWithoutAnEvent) {
  WireReadBack(*com, log);
  peer.Write("old");
  Open(*com);
  peer.Write("new");
  ASSERT_TRUE(log.WaitForEntry("Read:new"));
  EXPECT_EQ(log.Snapshot(), (Entries{"BeforeOpen", "Open:7", "RxChar:3", "Read:new"}));
}

TEST_F(ComPtyTest, EnumerationFollowsTheMapAndHonoursOtherProgramsLocks) {
  PtyPeer second;
  PtyPeer third;
  // Map order, not number order, is the listing order.
  ScopedPortMap three({peer.Entry("COM8"), second.Entry("COM7"), third.Entry("COM3"), {"COM4", "/nonexistent"}});
  com->EnumCheck = false;
  Enum(*com);
  EXPECT_EQ(log.Snapshot(), (Entries{"Enum:COM8", "Enum:COM7", "Enum:COM3", "Enum:COM4"}));

  ASSERT_EQ(::flock(third.SlaveFd(), LOCK_EX | LOCK_NB), 0);  // another program's lock
  com->EnumCheck = true;
  const std::size_t before = log.Snapshot().size();
  Enum(*com);
  EXPECT_EQ(log.Since(before), (Entries{"Enum:COM8", "Enum:COM7"}));
}

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

TEST_F(ComPtyTest, AFloodOfGarbageIsReadCompletelyAndInOrder) {
  ByteSink sink;
  WireReadBack(*com, log);
  com->onRead = sink.Link();
  Open(*com);
  ASSERT_TRUE(com->Opened());
  std::mt19937 rng(12345);
  std::string garbage(6u << 20, '\0');
  for (char& c : garbage) c = static_cast<char>(rng() & 0xFF);
  // The kernel's buffers hold the writer back whenever the reader lags, so
  // nothing between the two grows with the flood.
  std::thread writer([&] { peer.Write(garbage); });
  const bool complete = sink.WaitForSize(garbage.size(), std::chrono::seconds(60));
  writer.join();
  com.reset();  // before the sink goes; the reader has ended with it
  ASSERT_TRUE(complete) << sink.bytes.size() << " of " << garbage.size();
  EXPECT_EQ(sink.bytes.size(), garbage.size());
  EXPECT_TRUE(sink.bytes == garbage) << "the bytes differ";
}

TEST_F(ComPtyTest, TheOtherEndVanishingEndsTheReaderQuietly) {
  WireReadBack(*com, log);
  Open(*com);
  peer.Write("abc");
  ASSERT_TRUE(log.WaitForEntry("Read:abc"));
  peer.CloseMaster();

  // The port stays open in name; transfers fail before they start.
  Write(*com, "x");
  Read(*com, 4);
  Close(*com);
  com.reset();  // joins the reader: it must have ended by itself

  Entries expected = {"BeforeOpen", "Open:7", "RxChar:3", "Read:abc"};
  expected.insert(expected.end(), kCloseEvents.begin(), kCloseEvents.end());
  EXPECT_EQ(log.Snapshot(), expected);
}

// A close from another thread during a slow dispatch is the shared suite's
// (ComAsyncLine); here nobody closes, and the destructor must.
TEST_F(ComPtyTest, DestroyingDuringASlowDispatchIsClean) {
  SlowReceiver slow{log.Point("Read")};
  WireReadBack(*com, log);
  com->onRead = slow.Link();
  Open(*com);
  peer.Write("x");
  ASSERT_TRUE(log.WaitForEntry("Read:x"));
  peer.Write("y");
  const std::size_t before = log.Snapshot().size();
  com.reset();  // closes and joins while the reader sleeps or ends
  const Entries after = log.Since(before);
  // "Read:y" may come before the close takes the scheme; nothing after it.
  const auto closing = std::find(after.begin(), after.end(), "BeforeClose");
  EXPECT_EQ(Entries(closing, after.end()), kCloseEvents);
}

// A receiver may close the port from inside the reader's own chain: the
// reader must then end without waiting for itself.
struct CloseOnFirstRead {
  TVNComAsync* com = nullptr;
  int reads = 0;
  void doEvent(TData& /*data*/, std::uint16_t /*index*/) {
    if (reads++ == 0) Close(*com);
  }
  TPointLink Link() { return MakePoint<&CloseOnFirstRead::doEvent>(0, this); }
};

TEST_F(ComPtyTest, TheReadersOwnChainMayCloseThePort) {
  CloseOnFirstRead closer{&*com};
  WireReadBack(*com, log);
  com->onRead = log.Point("Read", closer.Link());
  Open(*com);
  peer.Write("x");
  ASSERT_TRUE(log.WaitForEntry("Close"));
  Entries expected = {"BeforeOpen", "Open:7", "RxChar:1", "Read:x"};
  expected.insert(expected.end(), kCloseEvents.begin(), kCloseEvents.end());
  EXPECT_EQ(log.Snapshot(), expected);

  Open(*com);  // from this thread, while the old reader may still be ending
  EXPECT_TRUE(com->Opened());
  peer.Write("y");
  EXPECT_TRUE(log.WaitForEntry("Read:y"));
  com.reset();  // before the closer goes
}

}  // namespace
}  // namespace vn::test
