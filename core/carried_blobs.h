#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace vn {

// The bytes of a blob the program carries, or an empty span when it has no
// blob of that name. On Windows the blobs are the module's resources of
// type 100; elsewhere they are compiled into the program.
std::span<const std::uint8_t> FindCarriedBlob(std::string_view name);

// Builds other than Windows: the table of compiled-in blobs, defined once
// per program by cmake/carried_blobs.cmake.
struct EmbeddedBlob {
  std::string_view name;
  std::span<const std::uint8_t> bytes;
};
std::span<const EmbeddedBlob> EmbeddedBlobs();

}  // namespace vn
