// The behaviour both serial backends share, against an echoing line peer:
// the component, then the device below it.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "components/serial/com_async.h"
#include "components/serial/serial_device.h"
#include "tests/components/serial/com_event_log.h"
#include "tests/components/serial/line_peer.h"
#include "tests/support/test_points.h"

namespace vn::test {
namespace {

using Entries = EventLog::Entries;

class ComAsyncLine : public LiveDispatchTest {
 protected:
  ComAsyncLine() {
    com.emplace();
    UseMainSchemeSettings(*com);
    com->Port = RcString(peer->PortName());
    WireAll(*com, log);
    openEvents.push_back("BeforeOpen");
    for (std::string& line : peer->LinesAtOpen()) openEvents.push_back(std::move(line));
    openEvents.push_back("Open:" + std::to_string(peer->PortNumber()));
  }

  bool AwaitEntry(const std::string& entry) const { return log.WaitForEntry(entry, peer->Patience()); }
  // Until at least `size` bytes have come back through onRead.
  bool AwaitEcho(std::size_t size) const {
    return log.WaitFor([&](const Entries& e) { return EventLog::Joined(e, "Read").size() >= size; },
                       peer->Patience());
  }

  std::unique_ptr<LinePeer> peer = MakeEchoingPeer();
  Entries openEvents;
  EventLog log;
  std::optional<TVNComAsync> com;  // last: destroyed first, while the log still exists
};

TEST_F(ComAsyncLine, OpenReportsTheLinesThenThePortAndCloseTakesThemBack) {
  Open(*com);
  EXPECT_EQ(log.Snapshot(), openEvents);
  EXPECT_TRUE(com->Opened());
  Open(*com);  // already open: nothing at all
  EXPECT_EQ(log.Snapshot().size(), openEvents.size());

  Close(*com);
  EXPECT_EQ(log.Since(openEvents.size()), kCloseEvents);
  EXPECT_FALSE(com->Opened());
  Close(*com);
  EXPECT_EQ(log.Snapshot().size(), openEvents.size() + kCloseEvents.size());
}

// Names that the check refuses are ComPtyTest's: there they lead to a device.
TEST_F(ComAsyncLine, NamesThatNoDeviceTakesOpenNothing) {
  // No such port, and the peer's port followed by a zero byte: cut at the
  // zero, that would be the peer's port.
  const std::string names[] = {"COM12A", "COM9", peer->PortName() + std::string("\0x", 2)};
  for (const std::string& name : names) {
    const std::size_t before = log.Snapshot().size();
    com->Port = RcString(name);
    Open(*com);
    EXPECT_EQ(log.Since(before), (Entries{"BeforeOpen", "Open:0"})) << name;
    EXPECT_EQ(com->CurrentPort(), name);
    EXPECT_FALSE(com->Opened()) << name;
    EXPECT_FALSE(serial::SerialDevice::CanOpen(name)) << name;
  }

  // None of them left the port held; the name's letter case does not matter.
  com->Port = RcString("com" + std::to_string(peer->PortNumber()));
  const std::size_t before = log.Snapshot().size();
  Open(*com);
  EXPECT_EQ(log.Since(before), openEvents);
}

TEST_F(ComAsyncLine, TransfersOnAClosedPortFireNothing) {
  Write(*com, "x");
  Read(*com, 5);
  EXPECT_TRUE(log.Snapshot().empty());
}

TEST_F(ComAsyncLine, BytesOfEveryValueComeBackFromTheEchoUnchanged) {
  WireReadBack(*com, log);
  Open(*com);
  std::string all;
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  }
  Write(*com, all);
  EXPECT_TRUE(EventLog::Contains(log.Snapshot(), "Write:512"));
  ASSERT_TRUE(AwaitEcho(all.size()));
  EXPECT_EQ(EventLog::Joined(log.Snapshot(), "Read"), all);
}

TEST_F(ComAsyncLine, ReadReturnsAtOnceWithWhatIsBuffered) {
  Open(*com);
  Write(*com, std::string("a\0c", 3));
  // onRxChar reports the queue without reading it; nothing reads meanwhile,
  // so the echo, even if it comes in pieces, ends up announced whole.
  ASSERT_TRUE(AwaitEntry("RxChar:3"));
  const std::size_t before = log.Snapshot().size();
  Read(*com, 10);
  Read(*com, 0);
  Entries reads = log.Since(before);
  // The reader goes on meanwhile: wine announces a queue that is not empty
  // again at every new wait, and a wait may end just before the read.
  std::erase_if(reads, [](const std::string& e) { return e.rfind("RxChar:", 0) == 0; });
  EXPECT_EQ(reads, (Entries{std::string("Read:a\0c", 8), "Read:"}));
}

TEST_F(ComAsyncLine, EnumerationLeavesOutThePortWhileItIsHeld) {
  const std::string listed = "Enum:" + peer->PortName();
  Enum(*com);
  EXPECT_TRUE(EventLog::Contains(log.Snapshot(), listed));

  Open(*com);
  ASSERT_TRUE(com->Opened());
  const std::size_t before = log.Snapshot().size();
  Enum(*com);
  EXPECT_FALSE(EventLog::Contains(log.Since(before), listed));
}

TEST_F(ComAsyncLine, ACloseFromAnotherThreadDuringASlowDispatchEndsTheReader) {
  SlowReceiver slow{log.Point("Read")};
  WireReadBack(*com, log);
  com->onRead = slow.Link();
  Open(*com);
  Write(*com, "x");
  ASSERT_TRUE(AwaitEntry("Read:x"));  // the reader now works inside its chain
  Write(*com, "y");                   // and more waits for it

  std::thread closer([this] { Close(*com); });
  closer.join();
  const Entries atClose = log.Snapshot();
  const auto closing = std::find(atClose.begin(), atClose.end(), "BeforeClose");
  ASSERT_NE(closing, atClose.end());
  EXPECT_EQ(Entries(closing, atClose.end()), kCloseEvents);

  com.reset();  // joins the reader: whatever it could still fire has been fired
  EXPECT_EQ(log.Snapshot(), atClose);
}

TEST_F(ComAsyncLine, ThePortOpensAgainAfterCloseWithAWorkingReader) {
  WireReadBack(*com, log);
  std::string echoed;
  for (const char* payload : {"first", "second", "third"}) {
    const std::size_t before = log.Snapshot().size();
    Open(*com);
    ASSERT_EQ(log.Since(before), openEvents) << payload;
    Write(*com, payload);
    echoed += payload;
    ASSERT_TRUE(AwaitEcho(echoed.size())) << payload;
    Close(*com);
  }
  EXPECT_EQ(EventLog::Joined(log.Snapshot(), "Read"), echoed);
}

// The device alone: what the component cannot tell.
TEST(SerialDeviceLine, ThePortIsExclusiveAndFreeAgainAtClose) {
  const std::unique_ptr<LinePeer> peer = MakeEchoingPeer();
  const std::string port = peer->PortName();
  EXPECT_TRUE(serial::SerialDevice::CanOpen(port));
  serial::PlatformError error;
  const std::shared_ptr<serial::SerialDevice> device = serial::SerialDevice::Open(port, &error);
  ASSERT_TRUE(device) << error.operation << ' ' << error.code;
  EXPECT_FALSE(serial::SerialDevice::CanOpen(port));
  EXPECT_FALSE(serial::SerialDevice::Open(port));

  device->Close();
  EXPECT_TRUE(serial::SerialDevice::CanOpen(port));  // though the object lives on
  // The closed object refuses work instead of touching a reused handle.
  EXPECT_FALSE(device->Write("x"));
  EXPECT_FALSE(device->Read(1));
  EXPECT_FALSE(device->Purge(serial::PurgeMode::Clear));
  EXPECT_FALSE(device->ApplyTimeouts(serial::LineTimeouts{}));
}

}  // namespace
}  // namespace vn::test
