// Input and variable points of window components called from other threads
// than the window thread, as the serial reader and the timer call them.

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "components/win/combo_box.h"
#include "components/win/edit.h"
#include "components/win/label.h"
#include "components/win/progress_bar.h"
#include "core/conversions.h"
#include "core/scheme_lock.h"
#include "tests/components/win/win_test_fixture.h"

namespace vn::test {
namespace {

// Records each onChange with whether it ran inside the chain of the thread
// whose doText caused it.
struct ChangeWitness {
  std::atomic<int>* inside;  // number of the thread now inside doText, 0 none
  std::vector<std::string> texts;
  int outsideCallerChain = 0;
  void doEvent(TData& data, std::uint16_t) {
    if (!scheme_lock::HeldByThisThread() || inside->load() == 0) ++outsideCallerChain;
    texts.push_back(ToString(data).str());
  }
  TPointLink Link() { return MakePoint<&ChangeWitness::doEvent>(0, this); }
};

class WinThreadsTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    edit_ = std::make_unique<TVNEdit>(Parent());
    label_ = std::make_unique<TVNLabel>(Parent());
    bar_ = std::make_unique<TVNProgressBar>(Parent());
    combo_ = std::make_unique<TVNComboBox>(Parent());
    TVNEdit& edit = *edit_;
    TVNComboBox& combo = *combo_;
    edit.TextGetter = edit.OwnTextReader();
    edit.onChange = witness.Link();
    Place(edit, 0, 0, 100, 22);
    Place(*label_, 0, 30, 100, 22);
    bar_->Max = 1000;
    Place(*bar_, 0, 60, 100, 16);
    combo.Strings = "COM1\r\nCOM3";
    Place(combo, 0, 90, 100, 22);
    Start();
  }
  void TearDown() override {
    combo_.reset();
    bar_.reset();
    label_.reset();
    edit_.reset();
    WinTest::TearDown();
  }

  // One thread's work: every call's effect is visible when it returns
  // (gtest's checks may be made from any thread).
  void Work(int id, int rounds) {
    TVNEdit& edit = *edit_;
    TVNLabel& label = *label_;
    TVNProgressBar& bar = *bar_;
    TVNComboBox& combo = *combo_;
    for (int i = 0; i < rounds; ++i) {
      SchemeChain chain;  // as the reader thread runs one event
      const std::string text = "t" + std::to_string(id) + "-" + std::to_string(i);
      TData value = Str(text.c_str());
      inside = id;
      edit.doText(value, 0);
      inside = 0;
      TData read;
      edit.varText(read, 0);
      EXPECT_EQ(ChainText(read), "S:" + text);
      value = Str(text.c_str());
      label.doText(value, 0);
      value = Int(i % 2);
      label.doVisible(value, 0);
      edit.doEnabled(value, 0);
      const hl::WindowView shown = hl::View(*label.Control);
      EXPECT_EQ(shown.text, text);
      EXPECT_EQ(shown.visible, i % 2 == 1);
      EXPECT_EQ(hl::View(*edit.Control).enabled, i % 2 == 1);
      value = Int(id * 100 + i);
      bar.doPosition(value, 0);
      EXPECT_EQ(hl::View(*bar.Control).position, id * 100 + i);
      combo.varText(read, 0);
      EXPECT_EQ(ChainText(read), "S:COM1\r\nCOM3");
    }
  }

  std::atomic<int> inside{0};
  ChangeWitness witness{&inside};
  std::unique_ptr<TVNEdit> edit_;
  std::unique_ptr<TVNLabel> label_;
  std::unique_ptr<TVNProgressBar> bar_;
  std::unique_ptr<TVNComboBox> combo_;
};

TEST_F(WinThreadsTest, CallsFromTwoThreadsWhileTheWindowThreadRunsItsLoop) {
  constexpr int kRounds = 40;
  std::atomic<int> finished{0};
  auto worker = [&](int id) {
    Work(id, kRounds);
    if (++finished == 2) {
      TData none;
      form->doClose(none, 0);  // ends the message loop
    }
  };
  std::thread second(worker, 1), third(worker, 2);
  toolkit::Application::Run();
  second.join();
  third.join();
  EXPECT_EQ(witness.texts.size(), 2u * kRounds);
  EXPECT_EQ(witness.outsideCallerChain, 0);
  EXPECT_TRUE(form->WindowGone);
}

TEST_F(WinThreadsTest, CallsWhileTheWindowThreadWaitsForTheLockTheyHold) {
  std::atomic<bool> holding{false}, released{false};
  std::thread second([&] {
    SchemeChain chain;
    holding = true;
    Work(1, 10);  // every hand-over is answered from the window thread's wait
    released = true;
  });
  std::thread third([&] {
    while (!holding) std::this_thread::yield();
    Work(2, 10);  // waits for the lock, then hands over like the second
  });
  while (!holding) std::this_thread::yield();
  {
    SchemeChain windowChain;  // a notification on the window thread, say
    EXPECT_TRUE(released.load());  // the lock came free only after the second's work
  }
  // The third thread may still need the window thread.
  std::atomic<bool> done{false};
  std::thread joiner([&] {
    third.join();
    done = true;
  });
  EXPECT_TRUE(hl::ServeUntil([&] { return done.load(); }));
  joiner.join();
  second.join();
  EXPECT_EQ(witness.texts.size(), 20u);
  EXPECT_EQ(witness.outsideCallerChain, 0);
}

// An edit nobody listens to (the upload's hidden CRC field) takes a burst of
// texts from another thread without a wait on the window thread for each:
// reads answer the latest text at once, and the screen catches up.
TEST_F(WinThreadsTest, UnheardEditTakesABurstAndTheScreenCatchesUp) {
  TVNEdit hidden(Parent());
  hidden.TextGetter = hidden.OwnTextReader();
  Place(hidden, 0, 120, 100, 22);
  ASSERT_TRUE(hl::ServeUntil([] { return true; }));  // this thread is the window thread
  constexpr int kTexts = 2000;
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int i = 1; i <= kTexts; ++i) {
      SchemeChain chain;
      TData value = Str(std::to_string(i).c_str());
      hidden.doText(value, 0);
      TData read;
      hidden.varText(read, 0);
      EXPECT_EQ(ChainText(read), "S:" + std::to_string(i));
    }
    done = true;
  });
  // The window thread is busy elsewhere for the whole burst.
  while (!done) std::this_thread::yield();
  writer.join();
  EXPECT_TRUE(hl::ServeUntil([&] { return hl::View(*hidden.Control).text == std::to_string(kTexts); }));
}

// A queued screen update for an edit destroyed before the window thread
// came to it does nothing.
TEST_F(WinThreadsTest, QueuedEditUpdateOutlivedByItsEdit) {
  auto hidden = std::make_unique<TVNEdit>(Parent());
  Place(*hidden, 0, 120, 100, 22);
  TVNEdit survivor(Parent());
  Place(survivor, 0, 150, 100, 22);
  ASSERT_TRUE(hl::ServeUntil([] { return true; }));  // this thread is the window thread
  std::thread writer([&] {
    SchemeChain chain;
    TData value = Str("late");
    hidden->doText(value, 0);
    value = Str("late");
    survivor.doText(value, 0);  // queued behind the doomed edit's update
  });
  writer.join();
  hidden.reset();
  EXPECT_TRUE(hl::ServeUntil([&] { return hl::View(*survivor.Control).text == "late"; }));
}

}  // namespace
}  // namespace vn::test
