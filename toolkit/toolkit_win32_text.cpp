// Texts cross the window boundary here: inside the program they are
// Windows-1251 bytes, the wide window calls take UTF-16. Converting with the
// code page 1251 itself (rather than letting the narrow calls use the
// system's ANSI code page) shows Cyrillic right on every system.
#include <climits>

#include "toolkit/toolkit_win32_internal.h"

namespace vn::toolkit::win32 {
namespace {

constexpr UINT kProgramCodePage = 1251;

// The conversion calls count in int; longer texts are cut rather than
// misread as zero-terminated.
int ClampedLength(std::size_t size) { return size > INT_MAX / 2 ? INT_MAX / 2 : static_cast<int>(size); }

}  // namespace

std::wstring ToWide(std::string_view text) {
  if (text.empty()) return {};
  const int length = ClampedLength(text.size());
  const int needed = ::MultiByteToWideChar(kProgramCodePage, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  ::MultiByteToWideChar(kProgramCodePage, 0, text.data(), length, wide.data(), needed);
  return wide;
}

std::string FromWide(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = ClampedLength(text.size());
  const int needed = ::WideCharToMultiByte(kProgramCodePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  ::WideCharToMultiByte(kProgramCodePage, 0, text.data(), length, bytes.data(), needed, nullptr, nullptr);
  return bytes;
}

std::string WindowText(HWND window) {
  if (window == nullptr) return {};
  const int length = ::GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, wide.data(), length + 1);
  wide.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return FromWide(wide);
}

char WideCharToProgram(wchar_t character) {
  char byte = '?';
  ::WideCharToMultiByte(kProgramCodePage, 0, &character, 1, &byte, 1, nullptr, nullptr);
  return byte;
}

wchar_t ProgramCharToWide(char character) {
  wchar_t wide = L'?';
  ::MultiByteToWideChar(kProgramCodePage, 0, &character, 1, &wide, 1);
  return wide;
}

}  // namespace vn::toolkit::win32
