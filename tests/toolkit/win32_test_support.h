#pragma once

// Shared by the Win32 toolkit tests, which use the behaviour suite's
// fixture and Spy: native handles, wide texts and the message queue.

#include <gtest/gtest.h>

#include <string>

#include "core/win32_api.h"
#include "tests/toolkit/behaviour_fixture.h"
#include "toolkit/toolkit.h"

#include <commctrl.h>

namespace vn::toolkit::test {

inline HWND Hwnd(Window& window) { return static_cast<HWND>(window.NativeHandle()); }

inline std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

inline std::wstring WideText(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Destroying the application window takes every form and control with it;
// its messages are then dropped so that none reaches the next test.
inline void ClearScreen() {
  if (Application::HasMainWindow()) Application::MainWindow().Destroy();
  MSG message{};
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

// Delivers everything queued for this thread, as the message loop would.
inline void PumpMessages() {
  MSG message{};
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace vn::toolkit::test
