#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "components/win/simple_win.h"
#include "core/point_link.h"
#include "core/tdata.h"
#include "toolkit/toolkit.h"

namespace vn {

struct TFrameStyles {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  friend bool operator==(const TFrameStyles&, const TFrameStyles&) = default;
};

// The form's styles after BorderStyle `value` (0..9) replaced the frame bits
// of `current`; none for values above 9, which are ignored.
std::optional<TFrameStyles> FormBorderStyles(std::uint8_t value, TFrameStyles current);

// The main form: owns the application's top-level window, keeps the
// toolkit's application window in step with it, fires onCreate at start-up
// and onClose when it accepts a close, and decides whether a close asked for
// by the user is accepted. Created first by the main scheme; every other
// window component is placed on its window.
class TVNSimpleForm : public TVNSimpleWin {
 public:
  explicit TVNSimpleForm(toolkit::Window* parentWindow = nullptr);
  ~TVNSimpleForm() override;

  bool DragByClient = false;
  TPointLink KeepOpen;
  TPointLink onCreate;
  TPointLink onClose;

  void SetCaption(std::string_view caption);
  std::string Caption() const;
  void SetBorderStyle(std::uint8_t value);
  std::uint8_t BorderStyle() const { return borderStyle_; }
  void SetTaskbarHidden(std::uint8_t value);
  void SetIcon(const std::shared_ptr<toolkit::Icon>& icon);

  // Asks the form to close as the program itself: KeepOpen is not asked.
  void doClose(TData& data, std::uint16_t index);

  // Called once by the entry point after the scheme is built, before the
  // message loop: shows the application window as Visible says, makes
  // dispatch live and runs the start-up steps (the form's shows it).
  void Run();

  void MouseDown(const toolkit::MouseEvent& event) override;
  bool WindowMessage(toolkit::Message& message) override;
  void Init() override;

 private:
  void Startup();
  bool CloseDecision(toolkit::Message& message);

  std::uint8_t borderStyle_ = 0;
};

}  // namespace vn
