#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vn {

// Immutable byte string shared by reference count: the string payload of a
// value. Copies never allocate (short strings live inline, longer ones share
// one heap block whose count is atomic, so copies may cross threads). Any
// byte may occur, zero included; the bytes are always followed by a zero so
// that the zero-terminated text rules of the system can look one past the end.
class RcString {
 public:
  RcString() noexcept { inline_.bytes[0] = '\0'; }
  RcString(std::string_view text);  // NOLINT: implicit like std::string
  RcString(const char* text) : RcString(std::string_view(text)) {}  // NOLINT
  RcString(const std::string& text) : RcString(std::string_view(text)) {}  // NOLINT

  RcString(const RcString& other) noexcept;
  RcString(RcString&& other) noexcept;
  RcString& operator=(const RcString& other) noexcept;
  RcString& operator=(RcString&& other) noexcept;
  ~RcString();

  const char* data() const noexcept { return IsHeap() ? HeapBytes() : inline_.bytes; }
  std::size_t size() const noexcept { return IsHeap() ? heap_->size : inline_size_; }
  bool empty() const noexcept { return size() == 0; }
  std::string_view view() const noexcept { return {data(), size()}; }
  std::string str() const { return std::string(view()); }
  operator std::string_view() const noexcept { return view(); }  // NOLINT
  unsigned char operator[](std::size_t i) const noexcept {
    return static_cast<unsigned char>(data()[i]);
  }

  // True when both share one heap block; lets tests prove that copies share.
  bool SharesBufferWith(const RcString& other) const noexcept {
    return IsHeap() && heap_ == other.heap_;
  }

  friend bool operator==(const RcString& a, std::string_view b) noexcept {
    return a.view() == b;
  }
  friend bool operator==(const RcString& a, const char* b) noexcept {
    return a.view() == std::string_view(b);
  }

 private:
  struct Header {
    std::atomic<std::uint32_t> refs;
    std::size_t size;
  };
  static constexpr std::size_t kInlineCapacity = 22;
  static constexpr std::uint8_t kHeapMarker = 0xFF;

  bool IsHeap() const noexcept { return inline_size_ == kHeapMarker; }
  char* HeapBytes() const noexcept { return reinterpret_cast<char*>(heap_ + 1); }
  void Release() noexcept;

  struct InlineBytes {
    char bytes[kInlineCapacity + 1];
  };
  union {
    InlineBytes inline_;
    Header* heap_;
  };
  std::uint8_t inline_size_ = 0;
};

}  // namespace vn
