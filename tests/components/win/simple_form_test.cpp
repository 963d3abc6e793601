#include "components/win/simple_form.h"

#include <optional>

#include "components/win/button.h"
#include "core/startup.h"
#include "tests/components/win/win_test_fixture.h"

namespace vn::test {
namespace {

using toolkit::Rect;
using FormTest = WinTest;

TEST(FormBorderStylesTest, ReplacesOnlyTheFrameBits) {
  struct Case {
    std::uint8_t value;
    TFrameStyles styles;
  };
  // Every frame bit set beforehand, plus bits that must stay (system menu,
  // visible; layered, top-most).
  const TFrameStyles before{0x10C70000 | 0x00080000, 0x181 | 0x80000 | 0x8};
  const Case cases[] = {
      {0, {0x10080000, 0x80008}},           {1, {0x10CA0000, 0x80008}},
      {2, {0x10CF0000, 0x80008}},           {3, {0x10C80000, 0x80108}},
      {4, {0x10C80000, 0x80088}},           {5, {0x10CC0000, 0x80088}},
      {6, {0x10080000, 0x80009}},           {7, {0x100C0000, 0x80088}},
      {8, {0x10080000, 0x80209}},           {9, {0x100C0000, 0x80208}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormBorderStyles(c.value, before), c.styles) << int{c.value};
  }
  EXPECT_EQ(FormBorderStyles(10, before), std::nullopt);
  EXPECT_EQ(FormBorderStyles(255, before), std::nullopt);
}

TEST_F(FormTest, CaptionBorderTaskbarAndIcon) {
  toolkit::Form& application = toolkit::Application::MainWindow();
  form->SetCaption("Brantelmoor bootloader");
  EXPECT_EQ(hl::View(*form->Control).text, "Brantelmoor bootloader");
  EXPECT_EQ(hl::View(application).text, "Brantelmoor bootloader");

  form->SetBorderStyle(1);
  EXPECT_EQ(hl::View(*form->Control).style & 0x00C70000u, 0x00C20000u);  // minimize box, fixed
  form->SetBorderStyle(12);  // ignored
  EXPECT_EQ(form->BorderStyle(), 1);
  EXPECT_EQ(hl::View(*form->Control).style & 0x00C70000u, 0x00C20000u);

  form->SetTaskbarHidden(2);
  EXPECT_NE(hl::View(application).exStyle, 0x81u);
  form->SetTaskbarHidden(1);
  EXPECT_EQ(hl::View(application).exStyle, 0x81u);

  form->SetIcon(toolkit::LoadIconResource("QOLA"));
  EXPECT_EQ(hl::View(application).iconName, hl::View(*form->Control).iconName);
}

// Records whether the form was visible when onCreate came.
struct CreateProbe {
  TVNSimpleForm* form;
  Journal* journal;
  void doEvent(TData&, std::uint16_t) {
    journal->push_back(form->Control->Visible() ? "create (visible)" : "create (hidden)");
    FireString(echo, "fired during onCreate");
  }
  TPointLink echo;
  TPointLink Link() { return MakePoint<&CreateProbe::doEvent>(0, this); }
};

TEST_F(FormTest, OnCreateFiresOnceBeforeTheFormIsShown) {
  Journal journal;
  ChainLog echo{&journal, "echo"};
  CreateProbe probe{form.get(), &journal, echo.Link()};
  form->onCreate = probe.Link();
  Start();
  EXPECT_EQ(journal, (Journal{"create (hidden)", "echo=S:fired during onCreate"}));
  EXPECT_TRUE(hl::View(*form->Control).visible);
  EXPECT_TRUE(hl::View(toolkit::Application::MainWindow()).visible);
  RunStartup();  // the start-up list is spent
  EXPECT_EQ(journal.size(), 2u);
}

TEST_F(FormTest, CloseBoxRespectsKeepOpenButDoCloseDoesNot) {
  Journal journal;
  ChainLog closed{&journal, "close"};
  Answer keepOpen{Int(1)};
  form->KeepOpen = keepOpen.Link();
  form->onClose = closed.Link();
  Start();
  EXPECT_TRUE(hl::PressCloseBox(*form->Control));
  EXPECT_TRUE(form->Control->Exists());
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(keepOpen.asked, 1);

  TData none;
  form->doClose(none, 0);
  EXPECT_EQ(keepOpen.asked, 1);  // not asked
  EXPECT_EQ(journal, (Journal{"close=N"}));
  EXPECT_TRUE(form->WindowGone);
  EXPECT_FALSE(toolkit::Application::HasMainWindow());
  EXPECT_FALSE(DispatchLive());
}

// The close box with KeepOpen unconnected closes the form.
TEST_F(FormTest, NothingFiresAfterOnClose) {
  TVNButton button(Parent());
  Recorder clicks, closed;
  button.onClick = clicks.Link();
  form->onClose = closed.Link();
  Place(button, 10, 10, 75, 25);
  Start();
  hl::PressCloseBox(*form->Control);
  ASSERT_EQ(closed.Count(), 1u);
  EXPECT_TRUE(form->WindowGone);
  EXPECT_TRUE(button.ControlGone);
  FireInteger(button.onClick, 5);  // as a late timer tick or serial event would
  EXPECT_EQ(clicks.Count(), 0u);
}

TEST_F(FormTest, TheApplicationWindowFollowsMovesAndWidth) {
  Journal journal;
  ChainLog moved{&journal, "move"};
  form->onMove = moved.Link();
  Start();
  toolkit::Form& application = toolkit::Application::MainWindow();
  const Rect before = application.Bounds();
  form->Control->SetBounds({50, 60, 450, 360});
  EXPECT_EQ(application.Bounds(), (Rect{50, 60, 50 + before.Width(), 60 + before.Height()}));
  EXPECT_EQ(journal, (Journal{"move=N"}));
  form->Control->SetBounds({50, 60, 550, 460});
  EXPECT_EQ(application.Bounds(), (Rect{50, 60, 550, 60 + before.Height()}));
}

TEST_F(FormTest, DragByClientStartsAMoveAndReportsThePress) {
  Recorder downs;
  form->onMouseDown = downs.Link();
  form->DragByClient = true;
  Start();
  hl::MouseDown(*form->Control, hl::Button::Right, 20, 20);
  EXPECT_EQ(hl::View(*form->Control).dragStarts, 1);
  ASSERT_EQ(downs.Count(), 1u);
  EXPECT_EQ(ChainText(downs.Last()), "I:1");
}

}  // namespace
}  // namespace vn::test
