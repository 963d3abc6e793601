#pragma once

// The one place that includes <windows.h>; platform files include this.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace vn {

// The program's texts are Windows-1251; wide calls need UTF-16.
std::wstring Cp1251ToWide(std::string_view text);

}  // namespace vn
