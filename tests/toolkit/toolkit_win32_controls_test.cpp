// The control kinds as real windows: texts in the program's code page,
// capture and z-order, automatic size, styles, colours and fonts.
#include "tests/toolkit/win32_test_support.h"

namespace vn::toolkit::test {
namespace {

using ControlsTest = BehaviourTest;

TEST_F(ControlsTest, CyrillicTextsReachTheWindowsAsTheirLetters) {
  const auto titled = Form::Create("Загрузчик");
  Control& label = Make(ControlKind::Label, "Ошибка при передаче данных!");
  Control& button = Make(ControlKind::Button, "Записать");
  Control& edit = Make(ControlKind::Edit, "Выберите порт");

  // Whatever the system's ANSI code page, the windows hold these letters.
  EXPECT_EQ(WideText(Hwnd(*titled)), L"Загрузчик");
  EXPECT_EQ(WideText(Hwnd(label)), L"Ошибка при передаче данных!");
  EXPECT_EQ(WideText(Hwnd(button)), L"Записать");
  EXPECT_EQ(WideText(Hwnd(edit)), L"Выберите порт");
}

TEST_F(ControlsTest, EveryProgramByteSurvivesTheRoundTrip) {
  // Each byte that code page 1251 gives a character (0x98 is its one gap).
  std::string all;
  for (int byte = 1; byte < 256; ++byte) {
    if (byte != 0x98) all.push_back(static_cast<char>(byte));
  }
  Control& edit = Make(ControlKind::Edit);
  Control& label = Make(ControlKind::Label);
  for (Window* window : std::initializer_list<Window*>{form.get(), &edit, &label}) {
    window->SetText(all);
    EXPECT_EQ(window->Text(), all);
    window->SetText("");
    EXPECT_EQ(window->Text(), "");
  }
  // A zero byte ends a window text: what follows it is not shown.
  constexpr char kWithZero[] = "до\0после";
  edit.SetText(std::string(kWithZero, sizeof(kWithZero) - 1));
  EXPECT_EQ(edit.Text(), "до");
  // Long texts are not cut at the classic 32767 characters.
  const std::string longText(70000, 'Ж');
  edit.SetText(longText);
  EXPECT_EQ(edit.Text(), longText);
}

TEST_F(ControlsTest, StyleChangesReachTheWindow) {
  Control& button = Make(ControlKind::Button);
  button.SetStyle(button.Style() | BS_MULTILINE | 0x8000);
  EXPECT_EQ(static_cast<std::uint32_t>(::GetWindowLongW(Hwnd(button), GWL_STYLE)), 0x5601B000u);
  button.SetExStyle(WS_EX_CLIENTEDGE);
  EXPECT_EQ(button.ExStyle() & WS_EX_CLIENTEDGE, static_cast<std::uint32_t>(WS_EX_CLIENTEDGE));
}

TEST_F(ControlsTest, CaptureAndRaisingHidden) {
  ShowForm();
  Control& first = Make(ControlKind::Button);
  Control& second = Make(ControlKind::Button);
  first.SetMouseCapture(true);
  EXPECT_EQ(::GetCapture(), Hwnd(first));
  second.SetMouseCapture(false);  // not its capture to end
  EXPECT_EQ(::GetCapture(), Hwnd(first));
  first.SetMouseCapture(false);
  EXPECT_EQ(::GetCapture(), nullptr);

  second.SetBounds({5, 6, 50, 30});
  second.RaiseHidden();
  EXPECT_FALSE(second.Visible());
  EXPECT_EQ(second.Bounds(), (Rect{5, 6, 50, 30}));
  EXPECT_EQ(::GetWindow(Hwnd(*form), GW_CHILD), Hwnd(second));  // first in the z-order
}

TEST_F(ControlsTest, AutoSizedLabelFitsItsText) {
  Control& label = Make(ControlKind::Label, "CRC:");
  label.SetBounds({10, 150, 45, 170});
  label.SetAutoSize(true);
  const Rect shortBounds = label.Bounds();

  // The label's own measure of its text, plus one pixel (where it stays,
  // ControlRulesTest pins).
  SIZE extent{};
  {
    const HWND window = Hwnd(label);
    const HDC dc = ::GetDC(window);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0)));
    ::GetTextExtentPoint32W(dc, L"CRC:", 4, &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
  }
  EXPECT_EQ(shortBounds.Width(), extent.cx + 1);
  EXPECT_EQ(shortBounds.Height(), extent.cy + 1);

  label.SetText("CRC принятый: FFFF");
  EXPECT_GT(label.Bounds().Width(), shortBounds.Width());
  EXPECT_EQ(label.Bounds().Height(), shortBounds.Height());
}

// The brush and colours that the form answers for a child's colour message.
struct ColorAnswer {
  COLORREF brushColor = 0;
  bool nullBrush = false;
  COLORREF text = 0;
  COLORREF background = 0;
  int mode = 0;
};

ColorAnswer AskColors(Window& form, Window& child, UINT message) {
  ColorAnswer answer;
  const HDC dc = ::CreateCompatibleDC(nullptr);
  ::SetBkMode(dc, OPAQUE);
  const auto brush = reinterpret_cast<HBRUSH>(
      ::SendMessageW(Hwnd(form), message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Hwnd(child))));
  answer.nullBrush = brush == ::GetStockObject(NULL_BRUSH);
  LOGBRUSH record{};
  if (brush != nullptr && ::GetObjectW(brush, sizeof(record), &record) != 0) answer.brushColor = record.lbColor;
  answer.text = ::GetTextColor(dc);
  answer.background = ::GetBkColor(dc);
  answer.mode = ::GetBkMode(dc);
  ::DeleteDC(dc);
  return answer;
}

TEST_F(ControlsTest, ParentAnswersItsChildrensColourMessages) {
  Control& label = Make(ControlKind::Label);
  Control& edit = Make(ControlKind::Edit);

  label.SetColor(static_cast<Color>(0xFF00000Fu));  // system colour 15
  Font font = label.GetFont();
  font.color = 0x0000FF;  // red
  label.SetFont(font);
  ColorAnswer answer = AskColors(*form, label, WM_CTLCOLORSTATIC);
  EXPECT_EQ(answer.brushColor, ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(answer.background, ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(answer.text, RGB(255, 0, 0));

  edit.SetColor(0x00563412);
  answer = AskColors(*form, edit, WM_CTLCOLOREDIT);
  EXPECT_EQ(answer.brushColor, static_cast<COLORREF>(0x563412));
  EXPECT_EQ(answer.background, static_cast<COLORREF>(0x563412));

  label.SetTransparent(true);
  answer = AskColors(*form, label, WM_CTLCOLORSTATIC);
  EXPECT_TRUE(answer.nullBrush);
  EXPECT_EQ(answer.mode, TRANSPARENT);
}

TEST_F(ControlsTest, FontReachesTheWindow) {
  Control& label = Make(ControlKind::Label);
  const Font font{.faceName = "Tahoma", .height = -13, .weight = 700, .italic = true, .charSet = 204, .color = 5};
  label.SetFont(font);
  LOGFONTW record{};
  const auto handle = reinterpret_cast<HGDIOBJ>(::SendMessageW(Hwnd(label), WM_GETFONT, 0, 0));
  ASSERT_NE(::GetObjectW(handle, sizeof(record), &record), 0);
  EXPECT_EQ(std::wstring(record.lfFaceName), L"Tahoma");
  EXPECT_EQ(record.lfHeight, -13);
  EXPECT_EQ(record.lfWeight, 700);
  EXPECT_TRUE(record.lfItalic);
  EXPECT_FALSE(record.lfUnderline);
  EXPECT_EQ(record.lfCharSet, 204);
}

}  // namespace
}  // namespace vn::toolkit::test
