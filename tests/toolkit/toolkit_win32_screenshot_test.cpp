// A form with one control of each kind shown on the screen, for a person to
// look at: when the test runs under tests/toolkit/win32_toolkit_run.sh, the
// script saves a picture of the screen while the form is up.
#include <cstdlib>
#include <string>

#include "tests/toolkit/win32_test_support.h"

namespace vn::toolkit::test {
namespace {

using ScreenshotTest = ToolkitTest;

// The script's folder as wine shows it: the Unix root is drive Z:.
std::wstring WindowsPath(const char* unixPath, const wchar_t* file) {
  std::wstring path = L"Z:";
  for (const char* c = unixPath; *c != '\0'; ++c) path.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(*c));
  return path + L"\\" + file;
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Asks the script for a picture and waits, answering messages, until it
// has been taken.
bool TakeScreenshot() {
  const char* folder = std::getenv("VN_SCREENSHOT_DIR");
  if (folder == nullptr || *folder == '\0') return false;
  const std::wstring ready = WindowsPath(folder, L"ready");
  const std::wstring taken = WindowsPath(folder, L"taken");
  const HANDLE file = ::CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(file);
  for (int i = 0; i < 3000 && !FileExists(taken); ++i) {
    PumpMessages();
    ::Sleep(10);
  }
  return FileExists(taken);
}

TEST_F(ScreenshotTest, FormWithEveryKindOfControl) {
  auto form = Form::Create("Brantelmoor bootloader");
  form->SetIcon(LoadIconResource("QOLA"));
  form->SetBounds({200, 200, 816, 371});
  const Font font{.faceName = "MS Sans Serif", .height = -11, .weight = 400, .charSet = 1};
  const Font large{.faceName = "MS Sans Serif", .height = -13, .weight = 400, .charSet = 1};

  auto error = Control::Create(ControlKind::Label, *form, "Ошибка при передаче данных!", {});
  error->SetFont(large);
  error->SetColor(static_cast<Color>(0xFF00000Fu));
  error->SetBounds({0, 0, 610, 24});
  error->SetAlignment(2);
  error->SetAlign(Align::Top);
  auto combo = Control::Create(ControlKind::ComboBox, *form, "", {.editable = true});
  combo->SetFont(font);
  combo->SetBounds({10, 34, 95, 58});
  for (const char* name : {"COM1", "COM3"}) combo->AddItem(name);
  combo->Select(1);
  auto status =
      Control::Create(ControlKind::Edit, *form, "Выберите порт с подключённым устройством.", {.readOnly = true});
  status->SetFont(font);
  status->SetColor(static_cast<Color>(0xFF000016u));
  status->SetBounds({110, 34, 430, 59});
  auto button = Control::Create(ControlKind::Button, *form, "Записать", {});
  button->SetFont(font);
  button->SetBounds({5, 74, 90, 104});
  button->SetStyle(button->Style() | BS_MULTILINE);
  auto version = Control::Create(ControlKind::Label, *form, "Версия ПО для обновления:2.1(KELMI)", {});
  version->SetFont(font);
  version->SetBounds({110, 79, 382, 99});
  version->SetAutoSize(true);
  auto progress = Control::Create(ControlKind::ProgressBar, *form, "", {.smooth = true});
  progress->SetBounds({5, 114, 605, 144});
  progress->SetRange(0, 507);
  progress->SetBarColor(static_cast<Color>(0xFF000010u));
  progress->SetPosition(300);
  auto picture = Control::Create(ControlKind::Picture, *form, "", {});
  picture->SetBounds({560, 70, 605, 110});
  const auto bitmap = LoadBitmapResource("BITMAP0");
  Log log;
  Spy pictureHandler(log, "p");
  int painted = 0;
  pictureHandler.onPaint = [&](Canvas& canvas) {
    ++painted;
    canvas.SetStretchMode(4);
    if (bitmap != nullptr) canvas.StretchDraw(*bitmap, {0, 0, 45, 40});
  };
  picture->SetHandler(&pictureHandler);

  form->SetVisible(true);
  ::SetForegroundWindow(Hwnd(*form));
  ::UpdateWindow(Hwnd(*form));
  PumpMessages();
  EXPECT_TRUE(form->Visible());
  EXPECT_GE(painted, 1);
  if (!TakeScreenshot()) GTEST_SKIP() << "no screenshot script around this run";
}

}  // namespace
}  // namespace vn::toolkit::test
