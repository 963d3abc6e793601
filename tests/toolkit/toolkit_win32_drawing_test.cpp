// Bitmaps, painting through a control's handler, and tooltips.
#include <algorithm>

#include "tests/toolkit/win32_test_support.h"

namespace vn::toolkit::test {
namespace {

using DrawingTest = BehaviourTest;

TEST_F(DrawingTest, BitmapResourceKnowsItsSize) {
  const auto bitmap = LoadBitmapResource("BITMAP0");
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), 290);
  EXPECT_EQ(bitmap->Height(), 290);
  EXPECT_EQ(LoadBitmapResource("NO_SUCH_BITMAP"), nullptr);
  EXPECT_EQ(LoadBitmapResource(std::string("BITMAP0\0", 8)), nullptr);
  EXPECT_EQ(LoadBitmapResource(""), nullptr);
}

// The colour of one pixel of the module's bitmap, read without the toolkit.
COLORREF ResourcePixel(int x, int y) {
  const HBITMAP bitmap = ::LoadBitmapW(::GetModuleHandleW(nullptr), L"BITMAP0");
  const HDC dc = ::CreateCompatibleDC(nullptr);
  const HGDIOBJ old = ::SelectObject(dc, bitmap);
  const COLORREF color = ::GetPixel(dc, x, y);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::DeleteObject(bitmap);
  return color;
}

TEST_F(DrawingTest, PictureControlPaintsThroughItsHandler) {
  ShowForm();
  form->SetBounds({0, 0, 700, 500});
  Control& picture = Make(ControlKind::Picture);
  picture.SetBounds({10, 10, 400, 310});
  picture.SetColor(0x0000FF);  // red
  const auto bitmap = LoadBitmapResource("BITMAP0");
  ASSERT_NE(bitmap, nullptr);
  Spy& handler = Watch(picture, "p");
  int painted = 0;
  handler.onPaint = [&](Canvas& canvas) {
    ++painted;
    canvas.FillRect({0, 0, 390, 300});
    canvas.SetStretchMode(3);
    canvas.StretchDraw(*bitmap, {100, 5, 390, 295});  // the picture's own size
  };
  picture.Repaint();
  PumpMessages();
  ASSERT_GE(painted, 1);

  const HDC dc = ::GetDC(Hwnd(picture));
  EXPECT_EQ(::GetPixel(dc, 50, 150), RGB(255, 0, 0));
  for (const POINT p : {POINT{0, 0}, POINT{145, 145}, POINT{60, 200}, POINT{289, 100}}) {
    EXPECT_EQ(::GetPixel(dc, 100 + p.x, 5 + p.y), ResourcePixel(p.x, p.y)) << p.x << "," << p.y;
  }
  ::ReleaseDC(Hwnd(picture), dc);
}

std::vector<HWND> TipWindows() {
  std::vector<HWND> found;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        if (ClassName(window) == L"tooltips_class32") reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST_F(DrawingTest, TooltipIsOwnedByTheFormAndHasItsText) {
  ShowForm();
  Control& button = Make(ControlKind::Button);
  const std::vector<HWND> before = TipWindows();
  auto tip = Tooltip::Create(button, {});
  ASSERT_NE(tip, nullptr);
  tip->SetText("Подсказка");
  EXPECT_EQ(tip->Text(), "Подсказка");

  std::vector<HWND> made = TipWindows();
  std::erase_if(made, [&](HWND w) { return std::find(before.begin(), before.end(), w) != before.end(); });
  ASSERT_EQ(made.size(), 1u);
  const HWND window = made[0];
  // Asked to be owned by the control, a pop-up is owned by its top-level window.
  EXPECT_EQ(::GetWindow(window, GW_OWNER), Hwnd(*form));
  EXPECT_EQ(::SendMessageW(window, TTM_GETTOOLCOUNT, 0, 0), 1);

  wchar_t text[80] = {};
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V1_SIZE;
  tool.hwnd = Hwnd(button);
  tool.uId = reinterpret_cast<UINT_PTR>(Hwnd(button));
  tool.lpszText = text;
  ::SendMessageW(window, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(std::wstring(text), L"Подсказка");

  tip.reset();
  EXPECT_FALSE(::IsWindow(window));
}

}  // namespace
}  // namespace vn::toolkit::test
