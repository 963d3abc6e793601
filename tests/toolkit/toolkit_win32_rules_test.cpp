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
      {2, 4, 0, 3},   // NT 4
      {2, 5, 0, 4},   // 2000
      {2, 5, 1, 5},   // XP
      {2, 6, 0, 6},   // Vista
      {0, 3, 10, 0},  // Win32s
      {3, 6, 0, 0},   // CE
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClassifyVersion(c.platform, c.major, c.minor), c.expected)
        << c.platform << " " << c.major << "." << c.minor;
  }
  // Wine presents itself as a Windows of the NT family, version 6 or later.
  EXPECT_EQ(Application::VersionClass(), 6);
}

}  // namespace
}  // namespace vn::toolkit::win32
