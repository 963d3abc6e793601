#include "core/tdata.h"

#include <cstdint>
#include <memory>

namespace vn {

const TData EmptyData{};

void dtNull(TData& data) {
  data.DataType = TagNull;
  data.DeferredPoint = nullptr;
  data.Next = nullptr;
}

void dtInteger(TData& data, std::int32_t value) {
  data.DataType = TagInteger;
  data.IData = value;
  data.DeferredPoint = nullptr;
  data.Next = nullptr;
}

void dtString(TData& data, const RcString& value) {
  data.DataType = TagString;
  data.SData = value;
  data.DeferredPoint = nullptr;
  data.Next = nullptr;
}

void dtStream(TData& data, TMemStream* stream) {
  data.DataType = TagStream;
  data.IData = static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(stream));
  data.StreamRef = stream;
  data.DeferredPoint = nullptr;
  data.Next = nullptr;
}

TData IntegerData(std::int32_t value) {
  TData data;
  dtInteger(data, value);
  return data;
}

TData StringData(const RcString& value) {
  TData data;
  dtString(data, value);
  return data;
}

void CopyData(TData& dest, const TData& source) {
  dest = source;
  dest.Next = nullptr;
  TData* last = &dest;
  const TData* from = &source;
  while (from->DataType != TagNull && from->Next != nullptr) {
    from = from->Next;
    auto node = std::make_unique<TData>(*from);
    node->Next = nullptr;
    last->Next = node.release();  // the chain owns it until FreeData
    last = last->Next;
  }
}

void FreeData(TData& head) {
  TData* node = head.Next;
  head.Next = nullptr;
  while (node != nullptr) {
    std::unique_ptr<TData> owned(node);
    node = owned->Next;
  }
}

}  // namespace vn
