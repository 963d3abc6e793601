#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vn {

enum class TSeekOrigin : std::uint8_t { Begin = 0, Current = 1, End = 2 };

// In-memory byte stream with one read/write cursor. Sizes and positions are
// 32-bit as in Stream values; 0 <= Position <= Size holds after every
// operation. A Stream TData only refers to a stream: whoever creates one
// owns it.
class TMemStream {
 public:
  std::span<const std::uint8_t> Memory() const { return memory_; }
  std::int32_t Size() const { return static_cast<std::int32_t>(memory_.size()); }
  std::int32_t Position() const { return position_; }

  // Moves the cursor and answers the new position. A target beyond the end
  // grows the stream to it (the new bytes are zero); a target before the
  // start is taken as 0, one beyond the 32-bit range as its largest value.
  // An origin outside the enumeration leaves the cursor where it is.
  std::int32_t Seek(std::int32_t offset, TSeekOrigin origin);
  std::int32_t GetSize() const { return Size(); }
  // Keeps the first bytes; growth adds zero bytes; a negative size is 0.
  void SetSize(std::int32_t size);
  // Copies as many bytes as the buffer holds or the stream has left from the
  // cursor and answers their number; the rest of the buffer is untouched.
  std::int32_t Read(std::span<std::uint8_t> buffer);
  // Writes at the cursor, growing the stream as needed, and answers the
  // number of bytes written: all of them unless the stream would pass the
  // 32-bit size limit, in which case only those that fit.
  std::int32_t Write(std::span<const std::uint8_t> bytes);

 private:
  std::vector<std::uint8_t> memory_;
  std::int32_t position_ = 0;
};

}  // namespace vn
