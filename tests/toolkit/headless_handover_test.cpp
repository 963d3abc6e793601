#include <thread>

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
