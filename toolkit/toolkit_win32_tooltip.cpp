// A tooltip window of its own for one control.
#include <algorithm>
#include <cstddef>

#include "toolkit/toolkit_win32_internal.h"

namespace vn::toolkit {
namespace {

// The tool record of the oldest version: newer record sizes are refused by
// common controls libraries that predate them.
constexpr UINT kToolRecordSize = offsetof(TTTOOLINFOW, lpszText) + sizeof(LPWSTR);

// Delays travel in the low 16 bits of the message parameter.
LPARAM Delay(std::int32_t milliseconds) { return static_cast<LPARAM>(std::clamp(milliseconds, 0, 0x7FFF)); }

class NativeTooltip final : public Tooltip {
 public:
  NativeTooltip(HWND control, const Style& style) : control_(control) {
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    tip_.Adopt(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr, module,
                                 nullptr));
    const HWND tip = tip_.Get();
    if (tip == nullptr) return;
    const LOGFONTW record = win32::ToLogFont(style.font);
    font_ = win32::GdiObject(::CreateFontIndirectW(&record));
    if (font_.Valid()) ::SendMessageW(tip, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    ::SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    TOOLINFOW tool = Record();
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tip, TTM_SETTIPTEXTCOLOR, win32::ResolveColor(style.font.color), 0);
    ::SendMessageW(tip, TTM_SETTIPBKCOLOR, win32::ResolveColor(style.background), 0);
    ::SendMessageW(tip, TTM_SETDELAYTIME, TTDT_INITIAL, Delay(style.initialDelayMs));
    ::SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, Delay(style.autoPopDelayMs));
    RECT margin{style.margin, style.margin, style.margin, style.margin};
    ::SendMessageW(tip, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
  }

  ~NativeTooltip() override {
    // The tip goes with its owner (the control's form) when that goes first.
    if (tip_.Get() != nullptr && ::IsWindow(tip_.Get())) {
      TOOLINFOW tool = Record();
      ::SendMessageW(tip_.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
      tip_.Reset();
    } else {
      tip_.Release();
    }
    font_.Reset();  // only once no window uses it
  }

  void SetText(std::string_view text) override {
    text_ = win32::ToWide(text);
    if (tip_.Get() == nullptr || !::IsWindow(tip_.Get())) return;
    TOOLINFOW tool = Record();
    ::SendMessageW(tip_.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }

  std::string Text() const override {
    // Up to the first zero: the tip shows no more than that.
    return win32::FromWide(std::wstring_view(text_.c_str()));
  }

 private:
  TOOLINFOW Record() {
    TOOLINFOW tool{};
    tool.cbSize = kToolRecordSize;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRANSPARENT;
    tool.hwnd = control_;
    tool.uId = reinterpret_cast<UINT_PTR>(control_);
    tool.lpszText = text_.data();
    return tool;
  }

  HWND control_;
  win32::GdiObject font_;
  win32::UniqueWindow tip_;
  std::wstring text_;
};

}  // namespace

std::unique_ptr<Tooltip> Tooltip::Create(Window& control, const Style& style) {
  const auto window = static_cast<HWND>(control.NativeHandle());
  if (window == nullptr) return nullptr;
  Application::InitCommonControls();
  return std::make_unique<NativeTooltip>(window, style);
}

}  // namespace vn::toolkit
