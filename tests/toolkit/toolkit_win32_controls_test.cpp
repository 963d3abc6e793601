// The six control kinds as real windows: classes, styles, texts, bounds,
// items, ranges, caret, alignment, colours and fonts.
#include <algorithm>

#include "tests/toolkit/win32_test_support.h"

namespace vn::toolkit::test {
namespace {

using ControlsTest = ToolkitTest;

struct KindCase {
  const char* name;
  ControlKind kind;
  Control::Options options;
  const wchar_t* className;
  std::uint32_t style;
};

TEST_F(ControlsTest, EachKindHasItsClassAndStyle) {
  // The base styles with the clip bits (0x06000000) that every control gets.
  const KindCase cases[] = {
      {"label", ControlKind::Label, {}, L"Static", 0x5600018C},
      {"picture", ControlKind::Picture, {}, L"Static", 0x5600018C},
      {"button", ControlKind::Button, {}, L"Button", 0x56011000},
      {"edit", ControlKind::Edit, {}, L"Edit", 0x568100C0},
      {"edit password read-only", ControlKind::Edit, {.password = true, .readOnly = true}, L"Edit", 0x568108E0},
      {"editable combo", ControlKind::ComboBox, {.editable = true}, L"ComboBox", 0x56210202},
      {"sorted list combo", ControlKind::ComboBox, {.sorted = true}, L"ComboBox", 0x56210303},
      {"progress", ControlKind::ProgressBar, {}, L"msctls_progress32", 0x56000000},
      {"vertical smooth progress",
       ControlKind::ProgressBar,
       {.vertical = true, .smooth = true},
       L"msctls_progress32",
       0x56000005},
  };
  auto form = Form::Create("Форма");
  for (const KindCase& c : cases) {
    SCOPED_TRACE(c.name);
    CreationLog log;
    auto control = Control::Create(c.kind, *form, "", c.options);
    const HWND window = Hwnd(*control);
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(log.made().empty());
    EXPECT_EQ(::lstrcmpiW(log.made()[0].className.c_str(), c.className), 0) << "class";
    EXPECT_EQ(log.made()[0].style, c.style);
    // What the class keeps of it.
    EXPECT_EQ(control->Style() | WS_BORDER | WS_VSCROLL, c.style | WS_BORDER | WS_VSCROLL);
    EXPECT_EQ(control->Kind(), c.kind);
    EXPECT_EQ(::GetParent(window), Hwnd(*form));
  }
}

TEST_F(ControlsTest, CyrillicTextsReachTheWindowsAsTheirLetters) {
  auto form = Form::Create("Загрузчик");
  auto label = Control::Create(ControlKind::Label, *form, "Ошибка при передаче данных!", {});
  auto button = Control::Create(ControlKind::Button, *form, "Записать", {});
  auto edit = Control::Create(ControlKind::Edit, *form, "Выберите порт", {});
  auto picture = Control::Create(ControlKind::Picture, *form, "не показывается", {});

  // Whatever the system's ANSI code page, the windows hold these letters.
  EXPECT_EQ(WideText(Hwnd(*form)), L"Загрузчик");
  EXPECT_EQ(WideText(Hwnd(*label)), L"Ошибка при передаче данных!");
  EXPECT_EQ(WideText(Hwnd(*button)), L"Записать");
  EXPECT_EQ(WideText(Hwnd(*edit)), L"Выберите порт");
  EXPECT_EQ(WideText(Hwnd(*picture)), L"");

  EXPECT_EQ(label->Text(), "Ошибка при передаче данных!");
  EXPECT_EQ(button->Text(), "Записать");
  EXPECT_EQ(edit->Text(), "Выберите порт");
  EXPECT_EQ(picture->Text(), "");
}

TEST_F(ControlsTest, EveryProgramByteSurvivesTheRoundTrip) {
  // Each byte that code page 1251 gives a character (0x98 is its one gap).
  std::string all;
  for (int byte = 1; byte < 256; ++byte) {
    if (byte != 0x98) all.push_back(static_cast<char>(byte));
  }
  auto form = Form::Create("");
  auto edit = Control::Create(ControlKind::Edit, *form, "", {});
  auto label = Control::Create(ControlKind::Label, *form, "", {});
  for (Window* window :
       {static_cast<Window*>(form.get()), static_cast<Window*>(edit.get()), static_cast<Window*>(label.get())}) {
    window->SetText(all);
    EXPECT_EQ(window->Text(), all);
    window->SetText("");
    EXPECT_EQ(window->Text(), "");
  }
  // A zero byte ends a window text: what follows it is not shown.
  constexpr char kWithZero[] = "до\0после";
  edit->SetText(std::string(kWithZero, sizeof(kWithZero) - 1));
  EXPECT_EQ(edit->Text(), "до");
  // Long texts are not cut at the classic 32767 characters.
  const std::string longText(70000, 'Ж');
  edit->SetText(longText);
  EXPECT_EQ(edit->Text(), longText);
}

TEST_F(ControlsTest, BoundsVisibilityAndEnabledStateAreAsSet) {
  auto form = Form::Create("");
  form->SetBounds({100, 80, 500, 380});
  EXPECT_EQ(form->Bounds(), (Rect{100, 80, 500, 380}));
  auto button = Control::Create(ControlKind::Button, *form, "OK", {});
  // A control that is given no size keeps the one it was made with.
  EXPECT_GT(button->Bounds().Width(), 0);
  EXPECT_GT(button->Bounds().Height(), 0);
  auto edit = Control::Create(ControlKind::Edit, *form, "", {});
  EXPECT_EQ(edit->Bounds(), (Rect{0, 0, 100, 22}));

  button->SetBounds({245, 60, 360, 90});
  EXPECT_EQ(button->Bounds(), (Rect{245, 60, 360, 90}));
  EXPECT_EQ(button->ClientRect(), (Rect{0, 0, 115, 30}));

  EXPECT_TRUE(button->Visible());
  button->SetVisible(false);
  EXPECT_FALSE(button->Visible());
  EXPECT_FALSE(::IsWindowVisible(Hwnd(*button)));
  button->SetVisible(true);
  EXPECT_TRUE(button->Visible());

  EXPECT_TRUE(button->Enabled());
  button->SetEnabled(false);
  EXPECT_FALSE(button->Enabled());
  EXPECT_FALSE(::IsWindowEnabled(Hwnd(*button)));

  // Forms are made hidden.
  EXPECT_FALSE(form->Visible());
}

TEST_F(ControlsTest, StyleChangesReachTheWindow) {
  auto form = Form::Create("");
  auto button = Control::Create(ControlKind::Button, *form, "", {});
  button->SetStyle(button->Style() | BS_MULTILINE | 0x8000);
  EXPECT_EQ(static_cast<std::uint32_t>(::GetWindowLongW(Hwnd(*button), GWL_STYLE)), 0x5601B000u);
  button->SetExStyle(WS_EX_CLIENTEDGE);
  EXPECT_EQ(button->ExStyle() & WS_EX_CLIENTEDGE, static_cast<std::uint32_t>(WS_EX_CLIENTEDGE));
}

TEST_F(ControlsTest, ComboBoxKeepsItemsInOrderWithTheirData) {
  auto form = Form::Create("");
  auto combo = Control::Create(ControlKind::ComboBox, *form, "", {.editable = true});
  for (const char* name : {"COM1", "COM3", "COM4", "COM7"}) combo->AddItem(name);
  EXPECT_EQ(combo->ItemCount(), 4);
  EXPECT_EQ(combo->Selected(), -1);  // adding selects nothing
  EXPECT_EQ(combo->ItemText(0), "COM1");
  EXPECT_EQ(combo->ItemText(3), "COM7");
  EXPECT_EQ(combo->ItemText(4), "");
  EXPECT_EQ(combo->ItemText(-1), "");
  EXPECT_EQ(combo->ItemData(1), 0);  // items added without data answer 0
  EXPECT_EQ(combo->ItemData(4), -1);

  combo->SetItemData(1, 77);
  combo->Select(1);
  EXPECT_EQ(combo->Selected(), 1);
  EXPECT_EQ(combo->Text(), "COM3");  // the edit field shows the pick

  combo->SetItemText(1, "Порт 3");
  EXPECT_EQ(combo->ItemText(1), "Порт 3");
  EXPECT_EQ(combo->ItemData(1), 77);
  EXPECT_EQ(combo->Selected(), 1);
  EXPECT_EQ(combo->ItemCount(), 4);
  combo->SetItemText(9, "ничего");
  EXPECT_EQ(combo->ItemCount(), 4);

  EXPECT_EQ(combo->InsertItem(0, "COM0"), 0);
  EXPECT_EQ(combo->ItemText(0), "COM0");
  EXPECT_EQ(combo->InsertItem(99, "COM9"), 5);
  EXPECT_EQ(combo->ItemText(5), "COM9");

  combo->Select(6);
  EXPECT_EQ(combo->Selected(), -1);
  combo->Select(-5);
  EXPECT_EQ(combo->Selected(), -1);

  combo->BeginRebuild(64);
  EXPECT_EQ(combo->ItemCount(), 0);
  combo->AddItem("x");
  combo->EndRebuild();
  EXPECT_EQ(combo->ItemCount(), 1);
  combo->ClearItems();
  EXPECT_EQ(combo->ItemCount(), 0);
}

TEST_F(ControlsTest, SortedComboBoxSortsAndOtherKindsIgnoreItemCalls) {
  auto form = Form::Create("");
  auto combo = Control::Create(ControlKind::ComboBox, *form, "", {.sorted = true});
  combo->AddItem("b");
  combo->AddItem("a");
  EXPECT_EQ(combo->ItemText(0), "a");
  auto label = Control::Create(ControlKind::Label, *form, "", {});
  EXPECT_EQ(label->AddItem("x"), -1);
  EXPECT_EQ(label->ItemCount(), 0);
  EXPECT_EQ(label->Selected(), -1);
  EXPECT_EQ(label->Position(), 0);
}

TEST_F(ControlsTest, ProgressPositionIsClampedToTheRange) {
  auto form = Form::Create("");
  auto bar = Control::Create(ControlKind::ProgressBar, *form, "", {.smooth = true});
  bar->SetRange(0, 507);
  const struct {
    std::int32_t given;
    std::int32_t shown;
  } cases[] = {{0, 0}, {200, 200}, {507, 507}, {508, 507}, {-3, 0}, {INT32_MAX, 507}, {INT32_MIN, 0}};
  for (const auto& c : cases) {
    bar->SetPosition(c.given);
    EXPECT_EQ(bar->Position(), c.shown) << c.given;
    EXPECT_EQ(::SendMessageW(Hwnd(*bar), PBM_GETPOS, 0, 0), c.shown);
  }
  EXPECT_EQ(::SendMessageW(Hwnd(*bar), PBM_GETRANGE, FALSE, 0), 507);
}

TEST_F(ControlsTest, ProgressBarColours) {
  auto form = Form::Create("");
  auto bar = Control::Create(ControlKind::ProgressBar, *form, "", {});
  bar->SetBarColor(static_cast<Color>(0xFF000010u));  // system colour 16
  EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(Hwnd(*bar), PBM_GETBARCOLOR, 0, 0)), ::GetSysColor(16));
  bar->SetColor(0x00102030);
  EXPECT_EQ(static_cast<COLORREF>(::SendMessageW(Hwnd(*bar), PBM_GETBKCOLOR, 0, 0)), 0x102030u);
}

TEST_F(ControlsTest, CaptureAndRaisingHidden) {
  auto form = ShownForm();
  auto first = Control::Create(ControlKind::Button, *form, "", {});
  auto second = Control::Create(ControlKind::Button, *form, "", {});
  first->SetMouseCapture(true);
  EXPECT_EQ(::GetCapture(), Hwnd(*first));
  second->SetMouseCapture(false);  // not its capture to end
  EXPECT_EQ(::GetCapture(), Hwnd(*first));
  first->SetMouseCapture(false);
  EXPECT_EQ(::GetCapture(), nullptr);

  second->SetBounds({5, 6, 50, 30});
  second->RaiseHidden();
  EXPECT_FALSE(second->Visible());
  EXPECT_EQ(second->Bounds(), (Rect{5, 6, 50, 30}));
  EXPECT_EQ(::GetWindow(Hwnd(*form), GW_CHILD), Hwnd(*second));  // first in the z-order
}

TEST_F(ControlsTest, EditCaretIsKeptWithinTheText) {
  auto form = Form::Create("");
  auto edit = Control::Create(ControlKind::Edit, *form, "абвгде", {});
  edit->SetCaret(3);
  EXPECT_EQ(edit->Caret(), 3);
  edit->SetCaret(100);
  EXPECT_EQ(edit->Caret(), 6);
  edit->SetCaret(-1);
  EXPECT_EQ(edit->Caret(), 0);
}

TEST_F(ControlsTest, LabelAlignmentLetsTheTextWrap) {
  auto form = Form::Create("");
  auto label = Control::Create(ControlKind::Label, *form, "", {});
  const struct {
    std::uint8_t alignment;
    std::uint32_t bits;
  } cases[] = {{1, SS_RIGHT}, {2, SS_CENTER}, {0, SS_LEFT}};
  for (const auto& c : cases) {
    label->SetAlignment(c.alignment);
    EXPECT_EQ(label->Style() & 0x0Fu, c.bits);
    EXPECT_EQ(label->Style() & ~0x0Fu, 0x56000180u);
  }
}

TEST_F(ControlsTest, EditAlignmentKeepsTextBoundsAndHandler) {
  auto form = Form::Create("");
  auto edit = Control::Create(ControlKind::Edit, *form, "", {.readOnly = true});
  RecordingHandler handler;
  edit->SetHandler(&handler);
  edit->SetText("справа");
  edit->SetBounds({10, 10, 120, 35});
  edit->SetAlignment(1);
  EXPECT_EQ(edit->Style() & (ES_RIGHT | ES_CENTER), static_cast<std::uint32_t>(ES_RIGHT));
  EXPECT_EQ(edit->Style() & ES_READONLY, static_cast<std::uint32_t>(ES_READONLY));
  EXPECT_EQ(edit->Text(), "справа");
  EXPECT_EQ(edit->Bounds(), (Rect{10, 10, 120, 35}));
  edit->SetAlignment(2);
  EXPECT_EQ(edit->Style() & (ES_RIGHT | ES_CENTER), static_cast<std::uint32_t>(ES_CENTER));
  const int before = handler.textChanged;
  edit->SetText("новый");
  EXPECT_EQ(handler.textChanged, before + 1);
}

TEST_F(ControlsTest, AutoSizedLabelFitsItsText) {
  auto form = Form::Create("");
  auto label = Control::Create(ControlKind::Label, *form, "CRC:", {});
  label->SetBounds({10, 150, 45, 170});
  label->SetAutoSize(true);
  const Rect shortBounds = label->Bounds();
  EXPECT_EQ(shortBounds.left, 10);
  EXPECT_EQ(shortBounds.top, 150);

  // The label's own measure of its text, plus one pixel.
  SIZE extent{};
  {
    const HWND window = Hwnd(*label);
    const HDC dc = ::GetDC(window);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0)));
    ::GetTextExtentPoint32W(dc, L"CRC:", 4, &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
  }
  EXPECT_EQ(shortBounds.Width(), extent.cx + 1);
  EXPECT_EQ(shortBounds.Height(), extent.cy + 1);

  label->SetText("CRC принятый: FFFF");
  EXPECT_GT(label->Bounds().Width(), shortBounds.Width());
  EXPECT_EQ(label->Bounds().Height(), shortBounds.Height());
}

TEST_F(ControlsTest, DockedControlsFillTheirSides) {
  auto form = Form::Create("");
  form->SetBounds({0, 0, 400, 300});
  form->SetAlignSpacing(4);
  const Rect client = form->ClientRect();
  auto top = Control::Create(ControlKind::Label, *form, "", {});
  top->SetBounds({0, 0, 50, 24});
  top->SetAlign(Align::Top);
  auto left = Control::Create(ControlKind::Label, *form, "", {});
  left->SetBounds({0, 0, 30, 10});
  left->SetAlign(Align::Left);
  auto rest = Control::Create(ControlKind::Label, *form, "", {});
  rest->SetAlign(Align::Client);

  EXPECT_EQ(top->Bounds(), (Rect{4, 4, client.right - 4, 28}));
  EXPECT_EQ(left->Bounds(), (Rect{4, 32, 34, client.bottom - 4}));
  EXPECT_EQ(rest->Bounds(), (Rect{38, 32, client.right - 4, client.bottom - 4}));

  // A hidden docked control gives its place up.
  top->SetVisible(false);
  EXPECT_EQ(left->Bounds(), (Rect{4, 4, 34, client.bottom - 4}));
  // The layout follows the form's size.
  form->SetBounds({0, 0, 500, 300});
  EXPECT_EQ(rest->Bounds().right, form->ClientRect().right - 4);
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
  auto form = Form::Create("");
  auto label = Control::Create(ControlKind::Label, *form, "", {});
  auto edit = Control::Create(ControlKind::Edit, *form, "", {});

  label->SetColor(static_cast<Color>(0xFF00000Fu));  // system colour 15
  Font font = label->GetFont();
  font.color = 0x0000FF;  // red
  label->SetFont(font);
  ColorAnswer answer = AskColors(*form, *label, WM_CTLCOLORSTATIC);
  EXPECT_EQ(answer.brushColor, ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(answer.background, ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(answer.text, RGB(255, 0, 0));

  edit->SetColor(0x00563412);
  answer = AskColors(*form, *edit, WM_CTLCOLOREDIT);
  EXPECT_EQ(answer.brushColor, static_cast<COLORREF>(0x563412));
  EXPECT_EQ(answer.background, static_cast<COLORREF>(0x563412));

  label->SetTransparent(true);
  answer = AskColors(*form, *label, WM_CTLCOLORSTATIC);
  EXPECT_TRUE(answer.nullBrush);
  EXPECT_EQ(answer.mode, TRANSPARENT);
}

TEST_F(ControlsTest, FontReachesTheWindow) {
  auto form = Form::Create("");
  auto label = Control::Create(ControlKind::Label, *form, "", {});
  const Font font{.faceName = "Tahoma", .height = -13, .weight = 700, .italic = true, .charSet = 204, .color = 5};
  label->SetFont(font);
  EXPECT_EQ(label->GetFont(), font);
  LOGFONTW record{};
  const auto handle = reinterpret_cast<HGDIOBJ>(::SendMessageW(Hwnd(*label), WM_GETFONT, 0, 0));
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
