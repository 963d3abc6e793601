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
