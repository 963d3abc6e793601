#include "core/win32_api.h"

namespace vn {

std::wstring Cp1251ToWide(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(1251, 0, text.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(1251, 0, text.data(), length, wide.data(), needed);
  return wide;
}

}  // namespace vn
