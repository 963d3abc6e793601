#include "app/program.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/main_scheme.h"
#include "components/serial/serial_port_map_posix.h"
#include "core/debug_message.h"
#include "core/dispatch.h"
#include "toolkit/headless_screen.h"

namespace vn {
namespace {

namespace hl = toolkit::headless;
using namespace std::chrono_literals;

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hl::Reset();
    serial::SetPortMap(std::vector<serial::PortMapEntry>{});  // no ports: nothing real is touched
  }
  void TearDown() override {
    serial::SetPortMap(std::nullopt);
    hl::Reset();
  }

  // Starts the program on a thread of its own, which becomes its window
  // thread, and waits until its form is on the screen.
  void Start(std::vector<const char*> argv) {
    argv_ = std::move(argv);
    program_ = std::thread([this] { exitCode_ = RunProgram<TClassSimpleForm_24FF170>(static_cast<int>(argv_.size()), argv_.data()); });
    ASSERT_TRUE(hl::WaitForWindowThread(5s));
    for (int i = 0; i < 2000 && !FormShown(); ++i) std::this_thread::sleep_for(5ms);
  }
  bool FormShown() {
    const toolkit::Form* form = hl::MainForm();
    return form != nullptr && hl::View(*form).onScreen;
  }
  void Finish() {
    program_.join();
    hl::TakeOverWindowThread();
  }

  std::vector<const char*> argv_;
  std::thread program_;
  int exitCode_ = -1;
};

TEST_F(ProgramTest, InfoBoxInsteadOfTheProgram) {
  const char* argv[] = {"brantelmoor", "/iv"};
  EXPECT_EQ(RunProgram<TClassSimpleForm_24FF170>(2, argv), 0);
  const std::vector<hl::ShownMessage> shown = hl::ShownMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Сделано в Vornik.");
  EXPECT_EQ(shown[0].caption, "Vornik Info");
  EXPECT_EQ(shown[0].ownerText, "");
  EXPECT_EQ(hl::MainForm(), nullptr);  // no scheme was built
}

TEST_F(ProgramTest, StartsShowsItsWindowAndEndsWhenClosed) {
  Start({"brantelmoor", "/IV"});
  ASSERT_TRUE(FormShown());
  toolkit::Form& form = *hl::MainForm();
  EXPECT_EQ(hl::View(form).text, "Brantelmoor bootloader");
  toolkit::Window* status = hl::FindWindow("Выберите порт с подключённым устройством.");
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(hl::View(*status).bounds, (toolkit::Rect{110, 10, 430, 35}));
  EXPECT_TRUE(DispatchLive());

  EXPECT_TRUE(hl::PressCloseBox(form));
  Finish();
  EXPECT_EQ(exitCode_, 0);
  EXPECT_FALSE(DispatchLive());
  EXPECT_FALSE(hl::View(form).exists);
  EXPECT_TRUE(hl::Windows().empty());
}

TEST_F(ProgramTest, DiagnosticsAreBoxesOwnedByTheWindow) {
  Start({"brantelmoor"});
  ASSERT_TRUE(FormShown());
  std::thread reporter([] { DebugMessage("Self destruction is not allowed !!!"); });
  reporter.join();  // shown by the window thread
  const std::vector<hl::ShownMessage> shown = hl::ShownMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Self destruction is not allowed !!!");
  EXPECT_EQ(shown[0].caption, "String-Debug");
  EXPECT_EQ(shown[0].ownerText, "Brantelmoor bootloader");
  EXPECT_TRUE(hl::PressCloseBox(*hl::MainForm()));
  Finish();
}

}  // namespace
}  // namespace vn
