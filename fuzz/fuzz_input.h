#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vn::fuzz {

// Cuts a fuzzer's input into fields: single control bytes and texts that end
// at a 0xFF separator (or at the end), so every field can take any other byte.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size)
      : rest_(reinterpret_cast<const char*>(data), size) {}

  std::uint8_t Byte() {
    if (rest_.empty()) return 0;
    const auto byte = static_cast<std::uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return byte;
  }

  std::string_view Text() {
    const std::size_t end = rest_.find('\xFF');
    const std::string_view text = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    return text;
  }

  std::string_view Rest() const { return rest_; }

 private:
  std::string_view rest_;
};

}  // namespace vn::fuzz
