#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "components/serial/com_async.h"
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

  void Open() {
    TData none;
    com->doOpen(none, 0);
  }
  void Close() {
    TData none;
    com->doClose(none, 0);
  }
  void Write(std::string_view bytes) {
    TData value = StringData(RcString(bytes));
    com->doWrite(value, 0);
  }
  void Read(std::int32_t count) {
    TData value = IntegerData(count);
    com->doRead(value, 0);
  }
  void Enum() {
    TData none;
    com->doEnum(none, 0);
  }
  Entries Since(std::size_t skip) const {
    Entries all = log.Snapshot();
    all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(skip, all.size())));
    return all;
  }
  bool Await(const std::function<bool(const Entries&)>& done) const { return log.WaitFor(done, peer->Patience()); }
  bool AwaitEntry(const std::string& entry) const {
    return Await([&](const Entries& e) { return EventLog::Contains(e, entry); });
  }
  // Until at least `size` bytes have come back through onRead.
  bool AwaitEcho(std::size_t size) const {
    return Await([&](const Entries& e) { return EventLog::Joined(e, "Read").size() >= size; });
  }

  std::unique_ptr<LinePeer> peer = MakeEchoingPeer();
  Entries openEvents;
  EventLog log;
  std::optional<TVNComAsync> com;  // last: destroyed first, while the log still exists
};

TEST_F(ComAsyncLine, OpenReportsTheLinesThenThePortAndCloseTakesThemBack) {
  Open();
  EXPECT_EQ(log.Snapshot(), openEvents);
  EXPECT_TRUE(com->Opened());
  Open();  // already open: nothing at all
  EXPECT_EQ(log.Snapshot().size(), openEvents.size());

  Close();
  EXPECT_EQ(Since(openEvents.size()), kCloseEvents);
  EXPECT_FALSE(com->Opened());
  Close();
  EXPECT_EQ(log.Snapshot().size(), openEvents.size() + kCloseEvents.size());
}

TEST_F(ComAsyncLine, NamesThatFailTheCheckOrTheDeviceOpenNothing) {
  const std::string names[] = {
      // Refused by the name check.
      "COM1234", "COM0", "COM256", "", "COM", "COM 5",
      // Passed by it, refused by the device: no such port, and the peer's
      // port followed by a zero byte.
      "COM12A", "COM9", peer->PortName() + std::string("\0", 1)};
  for (const std::string& name : names) {
    const std::size_t before = log.Snapshot().size();
    com->Port = RcString(name);
    Open();
    EXPECT_EQ(Since(before), (Entries{"BeforeOpen", "Open:0"})) << name;
    EXPECT_EQ(com->CurrentPort(), name);
    EXPECT_FALSE(com->Opened()) << name;
  }

  // None of them left the port held; the name's letter case does not matter.
  std::string lower = peer->PortName();
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  com->Port = RcString(lower);
  const std::size_t before = log.Snapshot().size();
  Open();
  EXPECT_EQ(Since(before), openEvents);
}

TEST_F(ComAsyncLine, TransfersOnAClosedPortFireNothing) {
  Write("x");
  Read(5);
  EXPECT_TRUE(log.Snapshot().empty());
}

TEST_F(ComAsyncLine, BytesOfEveryValueComeBackFromTheEchoUnchanged) {
  WireReadBack(*com, log);
  Open();
  std::string all;
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  }
  Write(all);
  EXPECT_TRUE(EventLog::Contains(log.Snapshot(), "Write:512"));
  ASSERT_TRUE(AwaitEcho(all.size()));
  EXPECT_EQ(EventLog::Joined(log.Snapshot(), "Read"), all);
}

TEST_F(ComAsyncLine, ReadReturnsAtOnceWithWhatIsBuffered) {
  Open();
  Write(std::string("a\0c", 3));
  // onRxChar reports the queue without reading it; nothing reads meanwhile,
  // so the echo, even if it comes in pieces, ends up announced whole.
  ASSERT_TRUE(AwaitEntry("RxChar:3"));
  const std::size_t before = log.Snapshot().size();
  Read(10);
  Read(0);
  Entries reads = Since(before);
  // The reader goes on meanwhile: wine announces a queue that is not empty
  // again at every new wait, and a wait may end just before the read.
  std::erase_if(reads, [](const std::string& e) { return e.rfind("RxChar:", 0) == 0; });
  EXPECT_EQ(reads, (Entries{std::string("Read:a\0c", 8), "Read:"}));
}

TEST_F(ComAsyncLine, EnumerationLeavesOutThePortWhileItIsHeld) {
  const std::string listed = "Enum:" + peer->PortName();
  Enum();
  EXPECT_TRUE(EventLog::Contains(log.Snapshot(), listed));

  Open();
  ASSERT_TRUE(com->Opened());
  std::size_t before = log.Snapshot().size();
  Enum();
  EXPECT_FALSE(EventLog::Contains(Since(before), listed));

  com->EnumCheck = false;  // every listed port, held or not
  before = log.Snapshot().size();
  Enum();
  EXPECT_TRUE(EventLog::Contains(Since(before), listed));
}

TEST_F(ComAsyncLine, ACloseFromAnotherThreadDuringASlowDispatchEndsTheReader) {
  SlowReceiver slow{log.Point("Read")};
  WireReadBack(*com, log);
  com->onRead = slow.Link();
  Open();
  Write("x");
  ASSERT_TRUE(AwaitEntry("Read:x"));  // the reader now works inside its chain
  Write("y");                         // and more waits for it

  std::thread closer([this] { Close(); });
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
    Open();
    ASSERT_EQ(Since(before), openEvents) << payload;
    Write(payload);
    echoed += payload;
    ASSERT_TRUE(AwaitEcho(echoed.size())) << payload;
    Close();
  }
  EXPECT_EQ(EventLog::Joined(log.Snapshot(), "Read"), echoed);
}

}  // namespace
}  // namespace vn::test
