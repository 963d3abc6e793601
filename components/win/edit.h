#pragma once

#include <cstdint>
#include <atomic>
#include <memory>
#include <mutex>
#include <string_view>
#include <string>
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
  ~TVNEdit() override;

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
  void TextChangedNow() override;

 private:
  bool GetText(TData& text) const { return TextGetter && TextGetter(text); }
  void SetMirror(std::string_view text);
  void ShowMirror();
  void ShowMirrorLater();

  // The field's text: what the component last put there, or what the field
  // took without it (typing). Reads answer from here on every thread;
  // asking the window thread for every read would cost a round trip each
  // (the upload reads the running CRC twice per byte).
  mutable std::mutex mirrorMutex_;
  std::string mirror_;
  bool mirrored_ = false;
  bool settingText_ = false;  // window thread: our own change is under way
  std::atomic<bool> showPending_{false};
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace vn
