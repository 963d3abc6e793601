// The Win32 backend's plain rules: version classes and docking arithmetic.
#include <gtest/gtest.h>

#include "toolkit/toolkit_win32_internal.h"

namespace vn::toolkit::win32 {
namespace {

TEST(VersionClassTest, ClassifiesPlatformAndVersion) {
  const struct {
    std::uint32_t platform, major, minor;
    int expected;
  } cases[] = {
      {1, 4, 0, 1},   // Windows 95
      {1, 4, 10, 2},  // Windows 98
      {1, 4, 90, 2},  // Windows Me
      {2, 3, 51, 3},  // NT 3.51
      {2, 4, 0, 3},   // NT 4
      {2, 5, 0, 4},   // 2000
      {2, 5, 1, 5},   // XP
      {2, 5, 2, 5},   // Server 2003
      {2, 6, 0, 6},   // Vista
      {2, 10, 0, 6},  // 10
      {0, 3, 10, 0},  // Win32s
      {3, 6, 0, 0},   // CE
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClassifyVersion(c.platform, c.major, c.minor), c.expected)
        << c.platform << " " << c.major << "." << c.minor;
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
}  // namespace vn::toolkit::win32
