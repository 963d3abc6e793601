#pragma once

#include <cstdint>

#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

// What one doGet reads from the stream.
enum class TElementKind : std::uint8_t {
  Byte,  // one unsigned byte, delivered as an Integer 0..255
};

// Reads one element per request from a borrowed stream, from wherever its
// cursor stands; at the end of the stream the element is 0.
class TVNDataToFile {
 public:
  explicit TVNDataToFile(TElementKind kind = TElementKind::Byte) : ElementHandler(kind) {}

  const TElementKind ElementHandler;

  TPointLink Stream;
  TPointLink onGet;

  void doGet(TData& data, std::uint16_t index);
};

}  // namespace vn
