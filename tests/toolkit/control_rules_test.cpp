// The window rules both screens share, without a window.
#include "toolkit/control_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "toolkit/dock_layout.h"

namespace vn::toolkit::rules {
namespace {

TEST(ControlRulesTest, EachKindIsMadeOfItsClassWithItsStylesAndSize) {
  const struct {
    ControlKind kind;
    Control::Options options;
    std::string_view className;
    std::uint32_t style;  // with the clip bits 0x06000000 that every control gets
    Rect bounds;
  } cases[] = {
      {ControlKind::Label, {}, "STATIC", 0x5600018C, {0, 0, 64, 22}},
      {ControlKind::Picture, {}, "STATIC", 0x5600018C, {0, 0, 64, 64}},
      {ControlKind::Button, {}, "BUTTON", 0x56011000, {0, 0, 64, 22}},
      // An edit scrolls both ways whatever its options.
      {ControlKind::Edit, {}, "EDIT", 0x568100C0, {0, 0, 100, 22}},
      {ControlKind::Edit, {.password = true, .readOnly = true}, "EDIT", 0x568108E0, {0, 0, 100, 22}},
      {ControlKind::ComboBox, {}, "COMBOBOX", 0x56210203, {0, 0, 100, 22}},
      {ControlKind::ComboBox, {.editable = true, .sorted = true}, "COMBOBOX", 0x56210302, {0, 0, 100, 22}},
      {ControlKind::ProgressBar, {}, "msctls_progress32", 0x56000000, {0, 0, 300, 20}},
      {ControlKind::ProgressBar, {.vertical = true, .smooth = true}, "msctls_progress32", 0x56000005, {0, 0, 300, 20}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.kind) << " " << c.style);
    const ControlClass made = ClassOf(c.kind);
    EXPECT_EQ(made.className, c.className);
    EXPECT_EQ(CreationStyle(c.kind, c.options), c.style);
    EXPECT_EQ((Rect{0, 0, made.width, made.height}), c.bounds);
  }
}

TEST(ControlRulesTest, AlignmentReplacesTheClassBitsOfLabelsAndEdits) {
  const struct {
    ControlKind kind;
    std::uint32_t style;
    std::uint8_t alignment;
    std::uint32_t expected;
  } cases[] = {
      {ControlKind::Label, 0x5000018C, 0, 0x50000180},  // SS_LEFTNOWORDWRAP dropped: the text wraps
      {ControlKind::Label, 0x5000018C, 1, 0x50000182},  // SS_RIGHT
      {ControlKind::Label, 0x5000018C, 2, 0x50000181},  // SS_CENTER
      {ControlKind::Edit, 0x508100C2, 0, 0x508100C0},   // ES_LEFT
      {ControlKind::Edit, 0x508100C0, 1, 0x508100C2},   // ES_RIGHT
      {ControlKind::Edit, 0x508100CC, 2, 0x508100CD},   // ES_CENTER; other low bits kept
      {ControlKind::Button, 0x50011000, 1, 0x50011000},
      {ControlKind::Picture, 0x5000018C, 1, 0x5000018C},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AlignedStyle(c.kind, c.style, c.alignment), c.expected)
        << static_cast<int>(c.kind) << " " << int{c.alignment};
  }
}

TEST(ControlRulesTest, ADefaultButtonChangesOnlyItsButtonType) {
  EXPECT_EQ(PushButtonStyle(0x56013000, true), 0x56013001u);
  EXPECT_EQ(PushButtonStyle(0x56013001, false), 0x56013000u);
}

TEST(ControlRulesTest, ALabelFitsItsTextInTheDirectionsItsDockingLeavesFree) {
  const Rect at{10, 20, 500, 600};
  EXPECT_EQ(FittedToText(at, Align::None, 30, 13), (Rect{10, 20, 41, 34}));
  EXPECT_EQ(FittedToText(at, Align::Left, 30, 13), (Rect{10, 20, 41, 600}));
  EXPECT_EQ(FittedToText(at, Align::Bottom, 30, 13), (Rect{10, 20, 500, 34}));
  EXPECT_EQ(FittedToText(at, Align::Client, 30, 13), at);
  EXPECT_EQ(FittedToText({INT32_MAX - 1, 0, 0, 0}, Align::None, INT32_MAX, 0).right, INT32_MAX);
}

TEST(ControlRulesTest, ATabPlaceMovesTheLaterSiblingsBack) {
  std::int32_t a = 1, b = 2, c = 3, own = 4;
  std::int32_t* places[] = {&a, &b, &c, &own};
  EXPECT_EQ(TakeTabPlace(places, own, 2, 5), 5);
  EXPECT_EQ((std::vector<std::int32_t>{a, b, c, own}), (std::vector<std::int32_t>{1, 3, 4, 2}));
  // A place past every sibling's moves the next free place behind it.
  EXPECT_EQ(TakeTabPlace(places, own, 9, 5), 10);
  EXPECT_EQ((std::vector<std::int32_t>{a, b, c, own}), (std::vector<std::int32_t>{1, 3, 4, 9}));
  // The last place there is stays the last.
  std::int32_t full = INT32_MAX, mine = 1;
  std::int32_t* crowded[] = {&full, &mine};
  EXPECT_EQ(TakeTabPlace(crowded, mine, INT32_MAX, 2), INT32_MAX);
  EXPECT_EQ(full, INT32_MAX);
}

TEST(ControlRulesTest, TabCyclesThroughTheStopsBothWays) {
  const struct {
    std::ptrdiff_t current, count;
    bool backwards;
    std::ptrdiff_t next;
  } cases[] = {
      {-1, 3, false, 0}, {-1, 3, true, 2}, {0, 3, false, 1}, {2, 3, false, 0},
      {0, 3, true, 2},   {1, 3, true, 0},  {0, 1, false, 0}, {-1, 0, false, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NextTabStop(c.current, c.count, c.backwards), c.next) << c.current << "/" << c.count;
  }
}

Rect Docked(const Rect& client, std::int32_t spacing, std::vector<DockItem> items, std::size_t which) {
  DockLayout(client, spacing, items);
  return items.at(which).bounds;
}

TEST(DockLayoutTest, SidesAreTakenTopBottomLeftRightThenClient) {
  const Rect client{0, 0, 200, 100};
  // Given in an order other than the one they are placed in.
  const std::vector<DockItem> items = {
      {Align::Client, {}},          {Align::Right, {0, 0, 20, 5}},
      {Align::Left, {0, 0, 30, 5}}, {Align::Bottom, {0, 0, 5, 10}},
      {Align::Top, {0, 0, 5, 15}},  {Align::None, {7, 8, 9, 10}},
  };
  EXPECT_EQ(Docked(client, 0, items, 4), (Rect{0, 0, 200, 15}));
  EXPECT_EQ(Docked(client, 0, items, 3), (Rect{0, 90, 200, 100}));
  EXPECT_EQ(Docked(client, 0, items, 2), (Rect{0, 15, 30, 90}));
  EXPECT_EQ(Docked(client, 0, items, 1), (Rect{180, 15, 200, 90}));
  EXPECT_EQ(Docked(client, 0, items, 0), (Rect{30, 15, 180, 90}));
  EXPECT_EQ(Docked(client, 0, items, 5), (Rect{7, 8, 9, 10}));
  // With spacing around and between them.
  EXPECT_EQ(Docked(client, 2, items, 4), (Rect{2, 2, 198, 17}));
  EXPECT_EQ(Docked(client, 2, items, 0), (Rect{34, 19, 176, 86}));
}

TEST(DockLayoutTest, SameSideStacksInOrderAndExtremesStayBounded) {
  const Rect client{0, 0, 100, 100};
  const std::vector<DockItem> two = {{Align::Top, {0, 0, 1, 10}}, {Align::Top, {0, 0, 1, 20}}};
  EXPECT_EQ(Docked(client, 0, two, 1), (Rect{0, 10, 100, 30}));
  std::vector<DockItem> huge(3, DockItem{Align::Left, {INT32_MIN, 0, INT32_MAX, 1}});
  huge.push_back({Align::Client, {}});
  DockLayout(client, INT32_MAX, huge);
  for (const DockItem& item : huge) {
    EXPECT_LE(item.bounds.right, 1 << 24);
    EXPECT_GE(item.bounds.left, -(1 << 24));
  }
}

}  // namespace
}  // namespace vn::toolkit::rules
