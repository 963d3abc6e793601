#include <algorithm>

#include "core/carried_blobs.h"

namespace vn {
namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Windows looks resource names up without regard to ASCII letter case; the
// compiled-in table answers the same names.
bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

}  // namespace

std::span<const std::uint8_t> FindCarriedBlob(std::string_view name) {
  for (const EmbeddedBlob& blob : EmbeddedBlobs()) {
    if (SameName(blob.name, name)) return blob.bytes;
  }
  return {};
}

}  // namespace vn
