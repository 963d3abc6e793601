#include "components/serial/com_async.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "tests/components/serial/com_event_log.h"
#include "tests/components/serial/pty_peer.h"
#include "core/scheme_lock.h"
#include "tests/support/test_points.h"

namespace vn::test {
namespace {

using Entries = EventLog::Entries;

// An onRead receiver that closes the port from inside the reader's chain.
struct CloseOnFirstRead {
  TVNComAsync* com = nullptr;
  int reads = 0;
  void doEvent(TData& /*data*/, std::uint16_t /*index*/) {
    if (reads++ > 0) return;
    TData none;
    com->doClose(none, 0);
  }
  TPointLink Link() { return MakePoint<&CloseOnFirstRead::doEvent>(0, this); }
};

class ComThreadsTest : public LiveDispatchTest {
 protected:
  // A component wired as in the main window, onRead going to `onRead`.
  void Build(TPointLink onRead) {
    com.emplace();
    UseMainSchemeSettings(*com);
    com->Port = "COM7";
    WireAll(*com, log);
    WireReadBack(*com, log);
    com->onRead = onRead;
  }
  void Open() {
    TData none;
    com->doOpen(none, 0);
  }
  void Close() {
    TData none;
    com->doClose(none, 0);
  }

  // Where `entry` first occurs.
  static std::size_t Find(const Entries& entries, const std::string& entry, std::size_t from = 0) {
    return static_cast<std::size_t>(std::find(entries.begin() + static_cast<std::ptrdiff_t>(from), entries.end(), entry) -
                                    entries.begin());
  }
  static Entries Slice(const Entries& entries, std::size_t from, std::size_t count) {
    return Entries(entries.begin() + static_cast<std::ptrdiff_t>(from),
                   entries.begin() + static_cast<std::ptrdiff_t>(std::min(entries.size(), from + count)));
  }

  PtyPeer peer;
  ScopedPortMap map{{peer.Entry("COM7")}};
  EventLog log;
  std::optional<TVNComAsync> com;
};

TEST_F(ComThreadsTest, DestroyingDuringOrRightAfterCloseIsClean) {
  for (const bool closeFirst : {false, true}) {
    SlowReceiver slow{log.Point("Read")};
    Build(slow.Link());
    Open();
    peer.Write("x");
    ASSERT_TRUE(log.WaitForEntry("Read:x"));
    peer.Write("y");
    const std::size_t before = log.Snapshot().size();
    if (closeFirst) Close();
    com.reset();  // closes (when still open) and joins while the reader sleeps or ends
    const Entries after = log.Snapshot();
    // "Read:y" may come before the close takes the scheme; nothing after it.
    const std::size_t closing = Find(after, "BeforeClose", before);
    EXPECT_EQ(Slice(after, closing, after.size()), kCloseEvents) << closeFirst;
  }
}

TEST_F(ComThreadsTest, TheReadersOwnChainMayCloseThePort) {
  CloseOnFirstRead closer;
  Build(log.Point("Read", closer.Link()));
  closer.com = &*com;
  Open();
  peer.Write("x");
  ASSERT_TRUE(log.WaitForEntry("Close"));
  Entries expected = {"BeforeOpen", "Open:7", "RxChar:1", "Read:x"};
  expected.insert(expected.end(), kCloseEvents.begin(), kCloseEvents.end());
  EXPECT_EQ(log.Snapshot(), expected);
  {
    SchemeChain chain;  // the reader's chain has ended once the scheme is free
    EXPECT_FALSE(com->Opened());
  }

  Open();  // from this thread, while the old reader may still be ending
  EXPECT_TRUE(com->Opened());
  peer.Write("y");
  EXPECT_TRUE(log.WaitForEntry("Read:y"));
  com.reset();  // before the closer goes
}

}  // namespace
}  // namespace vn::test
