#include "components/data/data_to_file.h"

#include <span>

#include "components/data/mem_stream.h"
#include "core/dispatch.h"

namespace vn {

void TVNDataToFile::doGet(TData& data, std::uint16_t /*index*/) {
  TMemStream* stream = ReadPointStream(Stream);
  if (stream == nullptr) return;
  std::uint8_t byte = 0;  // stays 0 when the stream is at its end
  stream->Read(std::span(&byte, 1));
  DeferData(data, onGet, IntegerData(byte));
}

}  // namespace vn
