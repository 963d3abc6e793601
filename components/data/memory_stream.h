#pragma once

#include <cstdint>
#include <memory>

#include "components/data/mem_stream.h"
#include "core/tdata.h"

namespace vn {

// Owns one stream and lends it: every asker receives a reference to the same
// stream, so they all share its cursor.
class TVNMemoryStream {
 public:
  TVNMemoryStream();

  // Frees the current stream and takes `stream`; none gives a fresh empty
  // stream, so the component always has one to lend.
  void SetStream(std::unique_ptr<TMemStream> stream);
  TMemStream& OwnedStream() const { return *stream_; }

  // Var point: answers a Stream value referring to the owned stream.
  void Stream(TData& data, std::uint16_t index);

 private:
  std::unique_ptr<TMemStream> stream_;
};

}  // namespace vn
