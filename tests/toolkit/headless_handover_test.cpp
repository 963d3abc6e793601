#include <atomic>
#include <thread>

#include "core/scheme_lock.h"
#include "tests/toolkit/headless_spy.h"

namespace vn::toolkit::test {
namespace {

TEST(HeadlessHandOverTest, WithoutAWindowThreadWorkRunsWhereItIsAsked) {
  headless::Reset();
  std::thread other([] {
    EXPECT_TRUE(OnWindowThread());
    std::thread::id ranOn;
    RunOnWindowThread([&] { ranOn = std::this_thread::get_id(); });
    EXPECT_EQ(ranOn, std::this_thread::get_id());
  });
  other.join();
}

// Two threads hand work over while the window thread runs its loop; each
// holds the scheme lock meanwhile, as a chain does, and the text-change
// notification the work causes takes the lock again inside that chain.
TEST_F(HeadlessTest, TwoThreadsHandWorkToTheLoop) {
  Control& edit = Make(ControlKind::Edit);
  Control& bar = Make(ControlKind::ProgressBar);
  bar.SetRange(0, 1000);
  Spy& spy = Watch(edit, "e");
  const std::thread::id windowThread = std::this_thread::get_id();
  std::atomic<char> chainOwner{0};
  int changes = 0;
  int wrongChain = 0;
  char expected = 0;
  spy.onTextChanged = [&] {
    SchemeChain chain;  // would wait forever without the requester's loan
    ++changes;
    if (!scheme_lock::HeldByThisThread() || std::this_thread::get_id() != windowThread ||
        chainOwner.load() != expected) {
      ++wrongChain;
    }
  };
  constexpr int kRounds = 50;
  const auto worker = [&](char mark) {
    for (int i = 0; i < kRounds; ++i) {
      SchemeChain chain;
      chainOwner = mark;
      int done = 0;
      RunOnWindowThread([&] {
        expected = mark;
        edit.SetText(std::string(1, mark));
        bar.SetPosition(bar.Position() + 1);
        ++done;
      });
      EXPECT_EQ(done, 1);
      EXPECT_TRUE(scheme_lock::HeldByThisThread());
      EXPECT_EQ(headless::View(edit).text, std::string(1, mark));  // read through the window thread
    }
  };
  std::thread b(worker, 'b');
  std::thread c(worker, 'c');
  std::thread closer([&] {
    b.join();
    c.join();
    EXPECT_EQ(headless::View(bar).position, 2 * kRounds);
    RunOnWindowThread([&] { form->RequestClose(/*byScheme=*/true); });
  });
  Application::Run();
  closer.join();
  EXPECT_EQ(changes, 2 * kRounds);
  EXPECT_EQ(wrongChain, 0);
  EXPECT_FALSE(form->Exists());
}

TEST_F(HeadlessTest, HandOverIsServedWhileTheWindowThreadWaitsForTheLock) {
  Control& edit = Make(ControlKind::Edit);
  Spy& spy = Watch(edit, "e");
  std::thread::id changedOn;
  bool heldInChange = false;
  spy.onTextChanged = [&] {
    SchemeChain chain;
    changedOn = std::this_thread::get_id();
    heldInChange = scheme_lock::HeldByThisThread();
  };
  std::atomic<bool> holding{false};
  std::string seen;
  bool stillHeld = false;
  std::thread requester([&] {
    SchemeChain chain;
    holding = true;
    RunOnWindowThread([&] { edit.SetText("from afar"); });
    seen = headless::View(edit).text;
    stillHeld = scheme_lock::HeldByThisThread();
  });
  while (!holding) std::this_thread::yield();
  { SchemeChain chain; }  // waits for the requester, answering its hand-over meanwhile
  requester.join();
  EXPECT_EQ(seen, "from afar");
  EXPECT_TRUE(stillHeld);
  EXPECT_EQ(changedOn, std::this_thread::get_id());
  EXPECT_TRUE(heldInChange);
  EXPECT_EQ(log, (Log{"e:changed"}));
}

// The whole-program way: the program's window thread runs its loop, the test
// acts as the user from its own thread.
TEST(HeadlessProgramTest, AUserOnAnotherThreadDrivesTheProgram) {
  headless::Reset();
  Log log;
  Spy buttonSpy(log, "b");
  Spy editSpy(log, "e");
  std::unique_ptr<Form> form;
  std::unique_ptr<Control> button;
  std::unique_ptr<Control> edit;
  std::atomic<bool> ready{false};
  std::thread program([&] {
    form = Form::Create("Program");
    button = Control::Create(ControlKind::Button, *form, "Go", {});
    edit = Control::Create(ControlKind::Edit, *form, "", {});
    edit->SetBounds({0, 40, 100, 62});
    button->SetHandler(&buttonSpy);
    edit->SetHandler(&editSpy);
    form->SetVisible(true);
    ready = true;
    Application::Run();
  });
  while (!ready) std::this_thread::yield();
  EXPECT_FALSE(OnWindowThread());
  EXPECT_EQ(headless::FindWindow("Go"), button.get());
  EXPECT_TRUE(headless::Click(*button));
  EXPECT_TRUE(headless::Focus(*edit));
  EXPECT_TRUE(headless::Type("ab"));
  EXPECT_EQ(headless::View(*edit).text, "ab");
  EXPECT_EQ(headless::Focused(), edit.get());
  EXPECT_TRUE(headless::PressCloseBox(*form));
  program.join();

  headless::TakeOverWindowThread();
  EXPECT_FALSE(headless::View(*form).exists);
  EXPECT_TRUE(headless::Windows().empty());
  EXPECT_EQ(std::count(log.begin(), log.end(), "b:clicked"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "e:changed"), 2);
  edit.reset();
  button.reset();
  form.reset();
  headless::Reset();
}

TEST(HeadlessHandOverDeathTest, AnUnansweredActionEndsTheProgramWithAMessage) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        headless::Reset();
        headless::SetTimeout(std::chrono::milliseconds(50));
        std::unique_ptr<Form> form = Form::Create("Stuck");  // this thread is the window thread
        form->SetVisible(true);
        std::thread user([&] { headless::Click(*form); });
        user.join();  // and never serves
      },
      "did not take a user action in time");
}

}  // namespace
}  // namespace vn::toolkit::test
