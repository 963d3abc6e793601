#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vn {
namespace test {

// The picture "BITMAP0" as a packed DIB: its BITMAPINFOHEADER, then the
// pixels. On Windows that is what a bitmap resource holds; the compiled-in
// blob elsewhere is the whole .bmp file, whose 14-byte file header is
// checked and dropped. Empty when the picture is missing or its file header
// is wrong.
std::span<const std::uint8_t> CarriedPictureDib();

// One image of the icon group "QOLA": the size and depth its directory
// entry states, and the image itself (BITMAPINFOHEADER, colour rows, mask
// rows), empty when the entry points outside what the program carries.
struct IconImage {
  int width = 0;
  int height = 0;
  int bitCount = 0;
  std::span<const std::uint8_t> image;
};

// Every image the icon group's directory lists, in directory order; empty
// when the program carries no such icon group.
std::vector<IconImage> CarriedIconImages();

}  // namespace test
}  // namespace vn
