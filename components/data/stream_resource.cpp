#include "components/data/stream_resource.h"

#include "core/carried_blobs.h"

namespace vn {

std::unique_ptr<TMemStream> LoadStreamResource(std::string_view name) {
  auto stream = std::make_unique<TMemStream>();
  stream->Write(FindCarriedBlob(name));
  stream->Seek(0, TSeekOrigin::Begin);
  return stream;
}

}  // namespace vn
