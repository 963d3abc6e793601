#pragma once

#include <cstdint>
#include <functional>

#include "components/win/win.h"
#include "core/point_link.h"
#include "core/rc_string.h"
#include "core/tdata.h"

namespace vn {

// Writes the text of an edit into a value; false when there is none.
using TTextGetter = std::function<bool(TData&)>;

// A one-line text field whose text other components set and read.
class TVNEdit : public TVNWin {
 public:
  explicit TVNEdit(toolkit::Window& parentWindow);

  bool ChangeArmed = false;   // the next text change is reported
  bool EnterPending = false;  // set during onEnter, cleared by doText
  TTextGetter TextGetter;     // the scheme gives it ReadText (OwnTextReader)
  bool Password = false;
  RcString Text;  // put into the field at Init
  bool ReadOnly = false;
  std::uint8_t Alignment = 0;  // 0 left, 1 right, 2 centred
  TPointLink Str;
  TPointLink onEnter;
  TPointLink onChange;

  // Sets the text and keeps the caret where it was.
  void doText(TData& data, std::uint16_t index);
  // Answers TextGetter's text, or NULL when it has none.
  void varText(TData& data, std::uint16_t index);

  // The field's current text as a String.
  bool ReadText(TData& data);
  TTextGetter OwnTextReader();

  void KeyDown(std::uint16_t& key) override;
  void Init() override;

 protected:
  void ChangeHandler() override;

 private:
  bool GetText(TData& text) const { return TextGetter && TextGetter(text); }
};

}  // namespace vn
