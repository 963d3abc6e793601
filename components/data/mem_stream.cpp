#include "components/data/mem_stream.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace vn {
namespace {

constexpr std::int64_t kMaxSize = std::numeric_limits<std::int32_t>::max();

}  // namespace

std::int32_t TMemStream::Seek(std::int32_t offset, TSeekOrigin origin) {
  std::int64_t base = 0;
  switch (origin) {
    case TSeekOrigin::Begin: base = 0; break;
    case TSeekOrigin::Current: base = position_; break;
    case TSeekOrigin::End: base = Size(); break;
    default: return position_;
  }
  // Summed in 64 bits so that no offset can overflow.
  const auto target =
      static_cast<std::int32_t>(std::clamp<std::int64_t>(base + offset, 0, kMaxSize));
  if (target > Size()) SetSize(target);
  position_ = target;
  return position_;
}

void TMemStream::SetSize(std::int32_t size) {
  if (size <= 0) {
    std::vector<std::uint8_t>().swap(memory_);  // an empty stream holds no buffer
  } else {
    memory_.resize(static_cast<std::size_t>(size));
  }
  position_ = std::min(position_, Size());
}

std::int32_t TMemStream::Read(std::span<std::uint8_t> buffer) {
  const auto available = static_cast<std::size_t>(Size() - position_);
  const std::size_t count = std::min(buffer.size(), available);
  std::copy_n(memory_.begin() + position_, count, buffer.begin());
  position_ += static_cast<std::int32_t>(count);
  return static_cast<std::int32_t>(count);
}

std::int32_t TMemStream::Write(std::span<const std::uint8_t> bytes) {
  const auto room = static_cast<std::size_t>(kMaxSize - position_);
  const std::size_t count = std::min(bytes.size(), room);
  const std::int64_t end = std::int64_t{position_} + static_cast<std::int64_t>(count);
  if (end > Size()) SetSize(static_cast<std::int32_t>(end));
  std::copy_n(bytes.begin(), count, memory_.begin() + position_);
  position_ = static_cast<std::int32_t>(end);
  return static_cast<std::int32_t>(count);
}

}  // namespace vn
