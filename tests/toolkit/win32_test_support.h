#pragma once

// Shared by the Win32 toolkit tests: a fixture that leaves no application
// window or stray quit message behind, and a handler that records what it
// hears.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/win32_api.h"
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

// Delivers everything queued for this thread, as the message loop would.
inline void PumpMessages() {
  MSG message{};
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

// Records the class and the style that each window of this thread is asked
// to be made with: some classes change their style afterwards (an edit
// field draws its own border and drops WS_BORDER, a combo box gives its
// scroll bar to its list, top-level windows always clip their siblings).
class CreationLog {
 public:
  struct Made {
    std::wstring className;
    std::uint32_t style;
  };
  CreationLog() {
    current_ = this;
    hook_ = ::SetWindowsHookExW(WH_CBT, &Hook, nullptr, ::GetCurrentThreadId());
  }
  CreationLog(const CreationLog&) = delete;
  CreationLog& operator=(const CreationLog&) = delete;
  ~CreationLog() {
    ::UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  const std::vector<Made>& made() const { return made_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && current_ != nullptr) {
      const auto* creation = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
      current_->made_.push_back(
          {ClassName(reinterpret_cast<HWND>(wParam)), static_cast<std::uint32_t>(creation->lpcs->style)});
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline CreationLog* current_ = nullptr;
  HHOOK hook_ = nullptr;
  std::vector<Made> made_;
};

class RecordingHandler : public Handler {
 public:
  std::vector<std::uint32_t> hooked;  // message ids in arrival order
  std::vector<std::uintptr_t> closeParameters;
  std::vector<std::string> journal;  // notifications in arrival order
  std::vector<MouseEvent> mouse;     // every mouse notification
  std::vector<std::uint16_t> keysDown;
  std::vector<std::uint16_t> keysUp;
  std::string characters;
  int resized = 0;
  int shown = 0;
  int destroyed = 0;
  int clicked = 0;
  int textChanged = 0;
  int selectionChanged = 0;
  int painted = 0;

  std::function<bool(Message&)> onMessage;
  std::function<void(std::uint16_t&)> onKeyDown;
  std::function<void(char&)> onChar;
  std::function<void()> onTextChanged;
  std::function<void()> onSelectionChanged;
  std::function<void(Canvas&)> onPaint;

  bool HandleMessage(Message& message) override {
    hooked.push_back(message.id);
    if (message.id == message::Close) closeParameters.push_back(message.wParam);
    return onMessage ? onMessage(message) : false;
  }
  void MouseDown(const MouseEvent& e) override { Mouse("down", e); }
  void MouseMove(const MouseEvent& e) override { Mouse("move", e); }
  void MouseUp(const MouseEvent& e) override { Mouse("up", e); }
  void MouseWheel(const MouseEvent& e) override { Mouse("wheel", e); }
  void DoubleClick(const MouseEvent& e) override { Mouse("double", e); }
  void KeyDown(std::uint16_t& key) override {
    if (onKeyDown) onKeyDown(key);
    keysDown.push_back(key);
  }
  void KeyUp(std::uint16_t& key) override { keysUp.push_back(key); }
  void KeyChar(char& character) override {
    if (onChar) onChar(character);
    characters.push_back(character);
  }
  void Resized() override { Note("resized", resized); }
  void Shown() override { Note("shown", shown); }
  void Destroyed() override { Note("destroyed", destroyed); }
  void Clicked() override { Note("clicked", clicked); }
  void TextChanged() override {
    Note("text", textChanged);
    if (onTextChanged) onTextChanged();
  }
  void SelectionChanged() override {
    Note("selection", selectionChanged);
    if (onSelectionChanged) onSelectionChanged();
  }
  void Paint(Canvas& canvas) override {
    Note("paint", painted);
    if (onPaint) onPaint(canvas);
  }

 private:
  void Mouse(const char* what, const MouseEvent& e) {
    journal.push_back(what);
    mouse.push_back(e);
  }
  void Note(const char* what, int& counter) {
    journal.push_back(what);
    ++counter;
  }
};

// Every test starts without an application window, so its first form is
// the main form, and ends without one.
class ToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application::InitCommonControls();
    Clear();
  }
  void TearDown() override { Clear(); }

  static void Clear() {
    if (Application::HasMainWindow()) Application::MainWindow().Destroy();
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // A visible main form with its handler, placed on the screen.
  std::unique_ptr<Form> ShownForm(Handler* handler = nullptr) {
    auto form = Form::Create("Форма");
    form->SetHandler(handler);
    form->SetBounds({40, 40, 440, 340});
    form->SetVisible(true);
    ::SetForegroundWindow(Hwnd(*form));
    PumpMessages();
    return form;
  }
};

}  // namespace vn::toolkit::test
