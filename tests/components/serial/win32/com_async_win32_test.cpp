#include "components/serial/com_async.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/scheme_lock.h"
#include "tests/components/serial/com_event_log.h"
#include "tests/components/serial/win32/sim_port.h"
#include "tests/support/test_points.h"

namespace vn::test {
namespace {

using Entries = EventLog::Entries;

const std::string kOpened = "Open:" + std::to_string(kSimPortNumber);

// The simulator's lines are all on (the pty shim says so): each is reported
// at open.
const Entries kOpenEvents = {"BeforeOpen", "CTS:1", "DSR:1", "RLSD:1", kOpened};

// An onRead receiver that takes its time, as a chain that updates windows
// does; it records first, so the test knows when the reader is inside.
struct SlowReceiver {
  TPointLink record;
  void doEvent(TData& data, std::uint16_t /*index*/) {
    FireEvent(record, data);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  TPointLink Link() { return MakePoint<&SlowReceiver::doEvent>(0, this); }
};

class ComWin32Test : public LiveDispatchTest {
 protected:
  ComWin32Test() {
    com.emplace();
    UseMainSchemeSettings(*com);
    com->Port = kSimPort;
    WireAll(*com, log);
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
  bool Await(const std::function<bool(const Entries&)>& done) const { return log.WaitFor(done, kWinePatience); }
  bool AwaitEntry(const std::string& entry) const {
    return Await([&](const Entries& e) { return EventLog::Contains(e, entry); });
  }
  // Until at least `size` bytes have come back through onRead.
  bool AwaitEcho(std::size_t size) const {
    return Await([&](const Entries& e) { return EventLog::Joined(e, "Read").size() >= size; });
  }

  EventLog log;
  std::optional<TVNComAsync> com;  // last: destroyed first, while the log still exists
};

TEST_F(ComWin32Test, OpenReportsTheLinesThenThePortAndCloseTakesThemBack) {
  Open();
  EXPECT_EQ(log.Snapshot(), kOpenEvents);
  EXPECT_TRUE(com->Opened());
  EXPECT_TRUE(com->CTSState() && com->DSRState() && com->RLSDState());
  Open();  // already open: nothing at all
  EXPECT_EQ(log.Snapshot().size(), kOpenEvents.size());

  Close();
  EXPECT_EQ(Since(kOpenEvents.size()), kCloseEvents);
  EXPECT_FALSE(com->Opened());
  Close();
  EXPECT_EQ(log.Snapshot().size(), kOpenEvents.size() + kCloseEvents.size());
}

TEST_F(ComWin32Test, NamesThatFailTheCheckOrTheDeviceOpenNothing) {
  const std::string names[] = {
      // Refused by the name check.
      "COM1234", "COM0", "COM256", "", "COM", "COM 5",
      // Passed by it, refused by the device: no such port, and the
      // simulator's port followed by a zero byte.
      "COM12A", "COM9", std::string("COM5\0", 5)};
  for (const std::string& name : names) {
    const std::size_t before = log.Snapshot().size();
    com->Port = name;
    Open();
    EXPECT_EQ(Since(before), (Entries{"BeforeOpen", "Open:0"})) << name;
    EXPECT_EQ(com->CurrentPort(), name);
    EXPECT_FALSE(com->Opened()) << name;
  }

  // None of them left the port held; the device path keeps the name's case.
  com->Port = "com5";
  const std::size_t before = log.Snapshot().size();
  Open();
  EXPECT_EQ(Since(before), kOpenEvents);
}

TEST_F(ComWin32Test, BytesOfEveryValueComeBackFromTheEchoUnchanged) {
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

TEST_F(ComWin32Test, ReadReturnsAtOnceWithWhatIsBuffered) {
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

TEST_F(ComWin32Test, EnumerationLeavesOutThePortWhileItIsHeld) {
  Enum();
  EXPECT_TRUE(EventLog::Contains(log.Snapshot(), std::string("Enum:") + kSimPort));

  Open();
  ASSERT_TRUE(com->Opened());
  std::size_t before = log.Snapshot().size();
  Enum();
  EXPECT_FALSE(EventLog::Contains(Since(before), std::string("Enum:") + kSimPort));

  com->EnumCheck = false;  // every listed port, held or not
  before = log.Snapshot().size();
  Enum();
  EXPECT_TRUE(EventLog::Contains(Since(before), std::string("Enum:") + kSimPort));
}

TEST_F(ComWin32Test, ACloseFromAnotherThreadDuringASlowDispatchEndsTheReader) {
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

TEST_F(ComWin32Test, ThePortOpensAgainAfterCloseWithAWorkingReader) {
  WireReadBack(*com, log);
  std::string echoed;
  for (const char* payload : {"first", "second", "third"}) {
    const std::size_t before = log.Snapshot().size();
    Open();
    ASSERT_EQ(Since(before), kOpenEvents) << payload;
    Write(payload);
    echoed += payload;
    ASSERT_TRUE(AwaitEcho(echoed.size())) << payload;
    Close();
  }
  EXPECT_EQ(EventLog::Joined(log.Snapshot(), "Read"), echoed);
}

}  // namespace
}  // namespace vn::test
