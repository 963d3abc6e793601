// Colours, fonts, brushes and painting: canvases, bitmaps and icons.
#include <algorithm>

#include "toolkit/toolkit_win32_internal.h"

namespace vn::toolkit {
namespace {

class NativeBitmap final : public Bitmap {
 public:
  NativeBitmap(HBITMAP handle, std::int32_t width, std::int32_t height)
      : handle_(handle), width_(width), height_(height) {}
  std::int32_t Width() const override { return width_; }
  std::int32_t Height() const override { return height_; }
  HBITMAP Handle() const { return static_cast<HBITMAP>(handle_.Get()); }

 private:
  win32::GdiObject handle_;
  std::int32_t width_;
  std::int32_t height_;
};

class DeviceCanvas final : public Canvas {
 public:
  DeviceCanvas(HDC dc, win32::WindowState& window) : dc_(dc), window_(window) {}

  void FillRect(const Rect& rect) override {
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    ::FillRect(dc_, &area, window_.Brush());
  }

  void SetStretchMode(std::int32_t mode) override {
    ::SetStretchBltMode(dc_, mode);
    // Halftone stretching needs the brush origin reset after the mode is set.
    if (mode == HALFTONE) ::SetBrushOrgEx(dc_, 0, 0, nullptr);
  }

  void StretchDraw(const Bitmap& bitmap, const Rect& target) override {
    const auto* native = dynamic_cast<const NativeBitmap*>(&bitmap);
    if (native == nullptr || native->Handle() == nullptr) return;
    win32::MemoryDc source(dc_);
    if (source.Get() == nullptr) return;
    win32::Selection selected(source.Get(), native->Handle());
    ::StretchBlt(dc_, target.left, target.top, win32::Span(target.left, target.right),
                 win32::Span(target.top, target.bottom), source.Get(), 0, 0, native->Width(), native->Height(),
                 SRCCOPY);
  }

 private:
  HDC dc_;
  win32::WindowState& window_;
};

// Resource names are zero-terminated; a name with a zero byte inside names
// no resource.
bool UsableResourceName(std::string_view name) { return !name.empty() && name.find('\0') == std::string_view::npos; }

}  // namespace

namespace win32 {

COLORREF ResolveColor(Color color) {
  if (color < 0) return ::GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color) & 0x00FFFFFFu;
}

LOGFONTW ToLogFont(const Font& font) {
  LOGFONTW record{};
  record.lfHeight = font.height;
  record.lfWeight = font.weight;
  record.lfItalic = font.italic ? TRUE : FALSE;
  record.lfUnderline = font.underline ? TRUE : FALSE;
  record.lfStrikeOut = font.strikeOut ? TRUE : FALSE;
  record.lfCharSet = font.charSet;
  record.lfOutPrecision = OUT_DEFAULT_PRECIS;
  record.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  record.lfQuality = DEFAULT_QUALITY;
  record.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::wstring face = ToWide(font.faceName);
  const std::size_t length = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
  std::copy_n(face.begin(), length, record.lfFaceName);
  record.lfFaceName[length] = L'\0';
  return record;
}

Font FromLogFont(const LOGFONTW& record) {
  Font font;
  const std::wstring_view face(record.lfFaceName, ::wcsnlen(record.lfFaceName, LF_FACESIZE));
  font.faceName = FromWide(face);
  font.height = record.lfHeight;
  font.weight = record.lfWeight;
  font.italic = record.lfItalic != 0;
  font.underline = record.lfUnderline != 0;
  font.strikeOut = record.lfStrikeOut != 0;
  font.charSet = record.lfCharSet;
  return font;
}

Font DefaultFont() {
  LOGFONTW record{};
  if (::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(record), &record) == 0) return {};
  return FromLogFont(record);
}

void EraseBackground(WindowState& state, HDC dc) {
  RECT client{};
  ::GetClientRect(state.Hwnd(), &client);
  ::FillRect(dc, &client, state.Brush());
}

std::optional<LRESULT> AnswerColorMessage(WindowState& child, HDC dc, UINT message) {
  if (!child.colorSet && !child.fontSet && !child.transparent) return std::nullopt;
  ::SetTextColor(dc, ResolveColor(child.font.color));
  if (child.transparent) {
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
  }
  if (child.colorSet) {
    ::SetBkColor(dc, ResolveColor(child.color));
    return reinterpret_cast<LRESULT>(child.Brush());
  }
  // Only the text colour is ours: the class's usual background stays.
  const int background = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX ? COLOR_WINDOW : COLOR_BTNFACE;
  ::SetBkColor(dc, ::GetSysColor(background));
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(background));
}

bool PaintWithHandler(WindowState& state) {
  if (state.handler == nullptr) return false;
  PaintDc paint(state.Hwnd());
  if (paint.Get() == nullptr) return true;
  DeviceCanvas canvas(paint.Get(), state);
  state.handler->Paint(canvas);
  return true;
}

}  // namespace win32

std::unique_ptr<Bitmap> LoadBitmapResource(std::string_view name) {
  if (!UsableResourceName(name)) return nullptr;
  const std::wstring wide = win32::ToWide(name);
  const HBITMAP handle = ::LoadBitmapW(::GetModuleHandleW(nullptr), wide.c_str());
  if (handle == nullptr) return nullptr;
  BITMAP info{};
  if (::GetObjectW(handle, sizeof(info), &info) == 0) {
    ::DeleteObject(handle);
    return nullptr;
  }
  return std::make_unique<NativeBitmap>(handle, info.bmWidth, info.bmHeight);
}

std::shared_ptr<Icon> LoadIconResource(std::string_view name) {
  if (!UsableResourceName(name)) return nullptr;
  const std::wstring wide = win32::ToWide(name);
  const HICON handle = ::LoadIconW(::GetModuleHandleW(nullptr), wide.c_str());
  if (handle == nullptr) return nullptr;
  auto icon = std::make_shared<Icon>();
  icon->handle = handle;
  return icon;
}

}  // namespace vn::toolkit
