#pragma once

// The image the programs carry, and a comparison that says where a saved
// copy went wrong instead of printing two 127 KB strings.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "components/data/stream_resource.h"

namespace vn::test {

inline std::string FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

inline const std::string& CarriedImage() {
  static const std::string image = [] {
    const auto stream = LoadStreamResource("STREAM0");  // kept alive while its memory is copied
    const auto bytes = stream->Memory();
    return std::string(bytes.begin(), bytes.end());
  }();
  return image;
}

// Whether the file at `path` holds exactly the carried image.
inline ::testing::AssertionResult HoldsCarriedImage(const std::string& path) {
  const std::string got = FileBytes(path);
  const std::string& want = CarriedImage();
  if (got == want) return ::testing::AssertionSuccess();
  const auto differ = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
  return ::testing::AssertionFailure() << path << " holds " << got.size() << " bytes, the image " << want.size()
                                       << "; they first differ at offset " << (differ.first - got.begin());
}

}  // namespace vn::test
