#include "components/serial/com_async.h"

#include <gtest/gtest.h>
#include <sys/file.h>

#include <string>
#include <vector>

#include "tests/components/serial/com_event_log.h"
#include "tests/components/serial/pty_peer.h"
#include "tests/support/test_points.h"

namespace vn::test {
namespace {

using Entries = EventLog::Entries;

class ComPtyTest : public LiveDispatchTest {
 protected:
  ComPtyTest() {
    UseMainSchemeSettings(com);
    WireAll(com, log);
  }

  void Open(TData value = TData{}) { com.doOpen(value, 0); }
  void Close() {
    TData none;
    com.doClose(none, 0);
  }
  void Write(std::string_view bytes) {
    TData value = StringData(RcString(bytes));
    com.doWrite(value, 0);
  }
  void Read(std::int32_t count) {
    TData value = Int(count);
    com.doRead(value, 0);
  }
  // The entries that came after the first `skip`.
  Entries Since(std::size_t skip) const {
    Entries all = log.Snapshot();
    all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(skip, all.size())));
    return all;
  }

  PtyPeer peer;
  ScopedPortMap map{{peer.Entry("COM7")}};
  EventLog log;
  TVNComAsync com;  // last: destroyed first, while the log still exists
};

TEST_F(ComPtyTest, PortNamesAreCheckedBeforeAnyDeviceIsTouched) {
  // Every name below leads to the pseudo-terminal: only the check stops it.
  std::vector<serial::PortMapEntry> entries;
  for (const char* name : {"COM7", "COM0", "COM256", "COM", "COM 3", "COM1234", ""}) {
    entries.push_back(peer.Entry(name));
  }
  ScopedPortMap everything(entries);
  struct Case {
    std::string name;
    std::int32_t opened;
  };
  const Case cases[] = {{"com7", 7}, {"COM0", 0},    {"COM256", 0}, {"COM", 0},
                        {"COM 3", 0}, {"COM1234", 0}, {"", 0},       {"COM12A", 0}};
  for (const Case& c : cases) {
    const std::size_t before = log.Snapshot().size();
    com.Port = c.name;
    Open();
    EXPECT_EQ(Since(before), (Entries{"BeforeOpen", "Open:" + std::to_string(c.opened)})) << c.name;
    EXPECT_EQ(com.CurrentPort(), c.name);
    EXPECT_EQ(com.Opened(), c.opened != 0) << c.name;
    Close();
  }

  // COM12A passes the check with 12; it failed above only for want of a device.
  ScopedPortMap lettered({peer.Entry("COM12A")});
  com.Port = "COM12A";
  const std::size_t before = log.Snapshot().size();
  Open();
  EXPECT_EQ(Since(before), (Entries{"BeforeOpen", "Open:12"}));
}

TEST_F(ComPtyTest, RefusedSettingsCloseThePortWithItsEventsThenReportFailure) {
  com.Port = "COM7";
  struct Case {
    const char* what;
    void (*spoil)(TVNComAsync&);
  };
  const Case cases[] = {
      {"9 data bits", [](TVNComAsync& c) { c.DataBits = 4; }},
      {"parity 7", [](TVNComAsync& c) { c.Parity = 7; }},
      {"stop bits 3", [](TVNComAsync& c) { c.StopBits = 3; }},
      {"baud 0", [](TVNComAsync& c) { c.Baud = 0; }},
  };
  Entries expected = {"BeforeOpen"};
  expected.insert(expected.end(), kCloseEvents.begin(), kCloseEvents.end());
  expected.push_back("Open:0");
  for (const Case& c : cases) {
    UseMainSchemeSettings(com);
    c.spoil(com);
    const std::size_t before = log.Snapshot().size();
    Open();
    EXPECT_EQ(Since(before), expected) << c.what;
    EXPECT_FALSE(com.Opened()) << c.what;
  }
  // Nothing was left holding the port.
  UseMainSchemeSettings(com);
  const std::size_t before = log.Snapshot().size();
  Open();
  EXPECT_EQ(Since(before), (Entries{"BeforeOpen", "Open:7"}));
}

TEST_F(ComPtyTest, ControlIndexesAndBaudComeFromTheIncomingValueWhenUnconnected) {
  Answer port;
  port.value = Str("COM7");
  com.PortPoint = port.Link();  // as the main window wires it

  // DTR takes the incoming 1; RTS and Baud have nothing left and use 0 and
  // the property.
  Open(Int(1));
  ASSERT_TRUE(EventLog::Contains(log.Snapshot(), "Open:7"));
  EXPECT_EQ(peer.SlaveBaud(), 38462u);
  Close();

  // With the Baud property empty the chain's third value reaches it, so the
  // first two went to DTR and RTS, in that order.
  com.Baud = 0;
  TData baud = Int(57600);
  TData rts = Int(1);
  rts.Next = &baud;
  TData dtr = Int(2);
  dtr.Next = &rts;
  const std::size_t before = log.Snapshot().size();
  Open(dtr);
  EXPECT_EQ(Since(before), (Entries{"BeforeOpen", "Open:7"}));
  EXPECT_EQ(peer.SlaveBaud(), 57600u);
  EXPECT_EQ(port.asked, 2);
}

TEST_F(ComPtyTest, BytesFromBeforeTheOpenAreDroppedWithoutAnEvent) {
  WireReadBack(com, log);
  com.Port = "COM7";
  peer.Write("old");
  Open();
  peer.Write("new");
  ASSERT_TRUE(log.WaitForEntry("Read:new"));
  EXPECT_EQ(log.Snapshot(), (Entries{"BeforeOpen", "Open:7", "RxChar:3", "Read:new"}));
}

TEST_F(ComPtyTest, OutputEmptyFollowsAWriteWhenRequested) {
  com.Port = "COM7";
  com.EvTxEmpty = true;
  Open();
  Write("ping");
  EXPECT_TRUE(log.WaitForEntry("TxEmpty"));
  EXPECT_EQ(peer.Read(4), "ping");
}

TEST_F(ComPtyTest, EnumerationFollowsTheMapAndHonoursOtherProgramsLocks) {
  PtyPeer second;
  PtyPeer third;
  // Map order, not number order, is the listing order.
  ScopedPortMap three({peer.Entry("COM8"), second.Entry("COM7"), third.Entry("COM3"), {"COM4", "/nonexistent"}});
  TData none;
  com.EnumCheck = false;
  com.doEnum(none, 0);
  EXPECT_EQ(log.Snapshot(), (Entries{"Enum:COM8", "Enum:COM7", "Enum:COM3", "Enum:COM4"}));

  ASSERT_EQ(::flock(third.SlaveFd(), LOCK_EX | LOCK_NB), 0);  // another program's lock
  com.EnumCheck = true;
  const std::size_t before = log.Snapshot().size();
  com.doEnum(none, 0);
  EXPECT_EQ(Since(before), (Entries{"Enum:COM8", "Enum:COM7"}));
}

}  // namespace
}  // namespace vn::test
