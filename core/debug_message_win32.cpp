#include <string>
#include <string_view>

#include "core/debug_message.h"
#include "core/win32_api.h"

namespace vn {

void ShowPlatformDebugMessage(std::string_view text) {
  // Texts are Windows-1251 bytes; the wide call shows them right whatever
  // the system's ANSI code page is.
  const std::wstring wide = Cp1251ToWide(text);
  const std::wstring caption = Cp1251ToWide(DebugMessageCaption);
  MessageBoxW(nullptr, wide.c_str(), caption.c_str(), MB_OK);
}

}  // namespace vn
