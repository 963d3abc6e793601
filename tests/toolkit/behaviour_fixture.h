#pragma once

// A fresh screen for each behaviour test, whichever backend runs it: the
// suite speaks only the toolkit's own interface, and each backend's test
// program brings its SetUp and TearDown and its way of acting as the user.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/toolkit.h"

namespace vn::toolkit::test {

inline std::string Hex(std::uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%#x", value);
  return buffer;
}

using Log = std::vector<std::string>;

// A handler that writes what reaches it into a shared log, so that a test
// sees the order of the notifications of several windows.
class Spy final : public Handler {
 public:
  Spy(Log& log, std::string name) : log_(log), name_(std::move(name)) {}

  std::vector<std::uint32_t> logged;            // message ids written as "name:0x..(wParam)"
  std::function<bool(Message&)> hook;           // answers HandleMessage
  std::optional<std::uint16_t> keyDownBecomes;  // what KeyDown turns the code into
  std::function<void()> onSelection;            // runs inside SelectionChanged
  std::function<void()> onTextChanged;          // runs inside TextChanged
  std::function<void(char&)> onChar;            // runs inside KeyChar, before the note
  std::function<void(Canvas&)> onPaint;
  std::vector<MouseEvent> mouse;

  bool HandleMessage(Message& message) override {
    if (std::find(logged.begin(), logged.end(), message.id) != logged.end()) {
      Note(Hex(message.id) + "(" + std::to_string(message.wParam) + ")");
    }
    return hook && hook(message);
  }
  void MouseDown(const MouseEvent& e) override { Mouse("down", e); }
  void MouseMove(const MouseEvent& e) override { Mouse("move", e); }
  void MouseUp(const MouseEvent& e) override { Mouse("up", e); }
  void MouseWheel(const MouseEvent& e) override { Mouse("wheel", e); }
  void DoubleClick(const MouseEvent& e) override { Mouse("double", e); }
  void KeyDown(std::uint16_t& key) override {
    Note("keydown " + std::to_string(key));
    if (keyDownBecomes) key = *keyDownBecomes;
  }
  void KeyUp(std::uint16_t& key) override { Note("keyup " + std::to_string(key)); }
  void KeyChar(char& c) override {
    if (onChar) onChar(c);
    Note("char " + std::to_string(static_cast<unsigned char>(c)));
  }
  void Resized() override { Note("resized"); }
  void Shown() override { Note("shown"); }
  void Destroyed() override { Note("destroyed"); }
  void Clicked() override { Note("clicked"); }
  void TextChanged() override {
    Note("changed");
    if (onTextChanged) onTextChanged();
  }
  void SelectionChanged() override {
    Note("selection");
    if (onSelection) onSelection();
  }
  void Paint(Canvas& canvas) override {
    if (onPaint) onPaint(canvas);
  }
  void Note(const std::string& what) { log_.push_back(name_ + ":" + what); }

 private:
  void Mouse(const char* what, const MouseEvent& e) {
    mouse.push_back(e);
    Note(what);
  }
  Log& log_;
  std::string name_;
};

class BehaviourTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Shows the form on the screen, ready for keys.
  void ShowForm();
  void GiveFocus(Window& window);
  // Down, the character that the key types (letters, digits, space, Enter,
  // Backspace) and up, on the focused window, with Shift held if asked;
  // what the key causes through the message queue happens in between.
  void PressKey(std::uint16_t key, bool shift = false);
  bool HasFocus(Window& window);
  // The pointer moves into the window; the left button goes down and up.
  void Click(Window& window);

  Control& Make(ControlKind kind, std::string_view text = "", const Control::Options& options = {}) {
    controls.push_back(Control::Create(kind, *form, text, options));
    return *controls.back();
  }
  Spy& Watch(Window& window, const std::string& name) {
    spies.push_back(std::make_unique<Spy>(log, name));
    window.SetHandler(spies.back().get());
    return *spies.back();
  }

  // The log and the spies outlive the windows, which may still report
  // their destruction while the screen is cleared.
  Log log;
  std::vector<std::unique_ptr<Spy>> spies;
  std::unique_ptr<Form> form;
  std::vector<std::unique_ptr<Control>> controls;
};

}  // namespace vn::toolkit::test
