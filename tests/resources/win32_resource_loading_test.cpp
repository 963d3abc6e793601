#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

#include "core/win32_api.h"

namespace vn {
namespace {

// The program loads its picture and icon through these calls, which accept
// only resources of the right kind and a well-formed layout.

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using OwnedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

struct IconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using OwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

BITMAP BitmapInfo(HBITMAP bitmap) {
  BITMAP info{};
  EXPECT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
  return info;
}

TEST(ProgramResourcesOnWindows, IconGroupLoadsAtEachOfItsSizes) {
  EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), "QOLA"), nullptr);
  for (const int side : {16, 32}) {
    const OwnedIcon icon(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "QOLA", IMAGE_ICON, side, side, 0)));
    ASSERT_NE(icon, nullptr) << side;
    ICONINFO parts{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &parts)) << side;
    const OwnedBitmap colour(parts.hbmColor);
    const OwnedBitmap mask(parts.hbmMask);
    ASSERT_NE(colour, nullptr) << side;
    const BITMAP info = BitmapInfo(colour.get());
    EXPECT_EQ(info.bmWidth, side);
    EXPECT_EQ(info.bmHeight, side);
  }
}

}  // namespace
}  // namespace vn
