#include "components/data/memory_stream.h"

#include <utility>

namespace vn {

TVNMemoryStream::TVNMemoryStream() : stream_(std::make_unique<TMemStream>()) {}

void TVNMemoryStream::SetStream(std::unique_ptr<TMemStream> stream) {
  stream_ = stream ? std::move(stream) : std::make_unique<TMemStream>();
}

void TVNMemoryStream::Stream(TData& data, std::uint16_t /*index*/) {
  dtStream(data, stream_.get());
}

}  // namespace vn
