// The application window, forms, the message loop and what a form does for
// its controls: closing, keyboard Tab, focus memory.
#include "tests/toolkit/win32_test_support.h"

namespace vn::toolkit::test {
namespace {

using FormsTest = BehaviourTest;

TEST_F(FormsTest, ApplicationWindowIsACaptionedPopUpWithATrimmedSystemMenu) {
  Form& application = Application::MainWindow();
  const HWND window = Hwnd(application);
  // The system adds WS_CLIPSIBLINGS to every top-level window, and nothing
  // else to this one.
  EXPECT_EQ(static_cast<std::uint32_t>(::GetWindowLongW(window, GWL_STYLE)) & ~WS_CLIPSIBLINGS, 0x90CA0000u);
  EXPECT_EQ(&Application::MainWindow(), &application);  // one per process

  const HMENU menu = ::GetSystemMenu(window, FALSE);
  ASSERT_NE(menu, nullptr);
  EXPECT_NE(::GetMenuState(menu, SC_RESTORE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  for (const UINT removed : {SC_SIZE, SC_MOVE, SC_MAXIMIZE}) {
    EXPECT_EQ(::GetMenuState(menu, removed, MF_BYCOMMAND), static_cast<UINT>(-1)) << removed;
  }
  EXPECT_NE(::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));

  application.SetText("Загрузчик");
  EXPECT_EQ(WideText(window), L"Загрузчик");
  application.SetExStyle(0x81);
  EXPECT_EQ(application.ExStyle() & 0x81u, 0x81u);

  // Gone, it is made anew on demand.
  application.Destroy();
  EXPECT_FALSE(Application::HasMainWindow());
  EXPECT_NE(Hwnd(Application::MainWindow()), nullptr);
  EXPECT_TRUE(Application::HasMainWindow());
}

TEST_F(FormsTest, ClosingTheApplicationWindowAsksTheMainForm) {
  Spy& spy = Watch(*form, "f");
  spy.logged = {message::Close};
  spy.hook = [](Message& m) { return m.id == message::Close && m.wParam == 0; };
  // As the taskbar button's Close does.
  ::SendMessageW(Hwnd(Application::MainWindow()), WM_CLOSE, 0, 0);
  EXPECT_EQ(log, (Log{"f:0x10(0)"}));
  EXPECT_TRUE(Application::HasMainWindow());
  EXPECT_TRUE(form->Exists());
}

TEST_F(FormsTest, MinimizingTheFormMinimizesTheApplicationWindow) {
  Watch(*form, "f");
  ShowForm();
  log.clear();
  const HWND application = Hwnd(Application::MainWindow());
  ::SendMessageW(Hwnd(*form), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  PumpMessages();
  EXPECT_TRUE(::IsIconic(application));
  EXPECT_FALSE(::IsIconic(Hwnd(*form)));
  EXPECT_FALSE(::IsWindowVisible(Hwnd(*form)));  // hidden with its owner
  ::ShowWindow(application, SW_RESTORE);
  PumpMessages();
  EXPECT_TRUE(::IsWindowVisible(Hwnd(*form)));
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(std::count(log.begin(), log.end(), "f:shown"), 0);  // not shown by the program
}

TEST_F(FormsTest, TabTypedOnTheKeyboardMovesTheFocus) {
  ShowForm();
  Control& first = Make(ControlKind::Edit);
  Control& second = Make(ControlKind::Edit);
  second.SetBounds({0, 30, 100, 52});
  ::SetFocus(Hwnd(first));
  INPUT keys[2] = {};
  keys[0].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = VK_TAB;
  keys[1] = keys[0];
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, keys, sizeof(INPUT));
  PumpMessages();
  EXPECT_EQ(::GetFocus(), Hwnd(second));
  // The Tab made no character in either field.
  EXPECT_EQ(first.Text(), "");
  EXPECT_EQ(second.Text(), "");
}

TEST_F(FormsTest, FormGivesTheFocusBackToTheControlThatHadItLast) {
  ShowForm();
  Control& first = Make(ControlKind::Edit);
  Control& second = Make(ControlKind::Edit);
  ::SetFocus(Hwnd(second));
  ::SetFocus(Hwnd(*form));
  EXPECT_EQ(::GetFocus(), Hwnd(second));
  ::SetFocus(Hwnd(first));
  ::SetFocus(Hwnd(*form));
  EXPECT_EQ(::GetFocus(), Hwnd(first));
}

TEST_F(FormsTest, IconsComeFromTheModule) {
  const std::shared_ptr<Icon> icon = LoadIconResource("QOLA");
  ASSERT_NE(icon, nullptr);
  form->SetIcon(icon);
  Application::MainWindow().SetIcon(icon);
  const LRESULT formIcon = ::SendMessageW(Hwnd(*form), WM_GETICON, ICON_BIG, 0);
  EXPECT_NE(formIcon, 0);
  EXPECT_EQ(::SendMessageW(Hwnd(Application::MainWindow()), WM_GETICON, ICON_BIG, 0), formIcon);
  EXPECT_EQ(LoadIconResource("NO_SUCH_ICON"), nullptr);
  EXPECT_EQ(LoadIconResource(std::string("QOLA\0X", 6)), nullptr);
  EXPECT_EQ(LoadIconResource(""), nullptr);
}

// The end of the session ends the process: the test program runs this test
// again as a child, which says where it got to by its exit code.
TEST_F(FormsTest, EndOfTheSessionEndsTheProcess) {
  constexpr wchar_t kChildVariable[] = L"VN_TOOLKIT_END_SESSION_CHILD";
  if (::GetEnvironmentVariableW(kChildVariable, nullptr, 0) != 0) {
    ::SendMessageW(Hwnd(*form), WM_ENDSESSION, FALSE, 0);  // the session goes on
    ::SendMessageW(Hwnd(Application::MainWindow()), WM_ENDSESSION, TRUE, 0);
    ::ExitProcess(Application::HasMainWindow() ? 2 : 3);  // not reached when it works
  }
  wchar_t program[MAX_PATH] = {};
  ASSERT_NE(::GetModuleFileNameW(nullptr, program, MAX_PATH), 0u);
  std::wstring commandLine =
      std::wstring(L"\"") + program + L"\" --gtest_filter=FormsTest.EndOfTheSessionEndsTheProcess";
  ::SetEnvironmentVariableW(kChildVariable, L"1");
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child{};
  const BOOL started =
      ::CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child);
  ::SetEnvironmentVariableW(kChildVariable, nullptr);
  ASSERT_TRUE(started);
  EXPECT_EQ(::WaitForSingleObject(child.hProcess, 60000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  ::GetExitCodeProcess(child.hProcess, &exitCode);
  ::CloseHandle(child.hThread);
  ::CloseHandle(child.hProcess);
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace
}  // namespace vn::toolkit::test
