// The Win32 backend's own plain rule: the version classes.
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

}  // namespace
}  // namespace vn::toolkit::win32
