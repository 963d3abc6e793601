#include "core/rc_string.h"

#include <cstring>
#include <new>

namespace vn {

RcString::RcString(std::string_view text) {
  if (text.size() <= kInlineCapacity) {
    // An empty view may carry a null pointer, which memcpy must not see.
    if (!text.empty()) std::memcpy(inline_.bytes, text.data(), text.size());
    inline_.bytes[text.size()] = '\0';
    inline_size_ = static_cast<std::uint8_t>(text.size());
    return;
  }
  void* raw = ::operator new(sizeof(Header) + text.size() + 1);
  heap_ = new (raw) Header{{1}, text.size()};
  std::memcpy(HeapBytes(), text.data(), text.size());
  HeapBytes()[text.size()] = '\0';
  inline_size_ = kHeapMarker;
}

RcString::RcString(const RcString& other) noexcept : inline_size_(other.inline_size_) {
  if (other.IsHeap()) {
    heap_ = other.heap_;
    heap_->refs.fetch_add(1, std::memory_order_relaxed);
  } else {
    inline_ = other.inline_;
  }
}

RcString::RcString(RcString&& other) noexcept : inline_size_(other.inline_size_) {
  if (other.IsHeap()) {
    heap_ = other.heap_;
    other.inline_size_ = 0;
    other.inline_.bytes[0] = '\0';
  } else {
    inline_ = other.inline_;
  }
}

RcString& RcString::operator=(const RcString& other) noexcept {
  if (this != &other) {
    RcString copy(other);
    *this = std::move(copy);
  }
  return *this;
}

RcString& RcString::operator=(RcString&& other) noexcept {
  if (this != &other) {
    Release();
    inline_size_ = other.inline_size_;
    if (other.IsHeap()) {
      heap_ = other.heap_;
      other.inline_size_ = 0;
      other.inline_.bytes[0] = '\0';
    } else {
      inline_ = other.inline_;
    }
  }
  return *this;
}

RcString::~RcString() { Release(); }

void RcString::Release() noexcept {
  if (!IsHeap()) return;
  if (heap_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    heap_->~Header();
    ::operator delete(heap_);
  }
  inline_size_ = 0;
  inline_.bytes[0] = '\0';
}

}  // namespace vn
