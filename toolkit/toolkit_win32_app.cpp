// The process-wide part: common controls, the application window that
// stands for the program on the taskbar, and the message loop.
#include <atomic>
#include <mutex>

#include "toolkit/toolkit_win32_internal.h"

namespace vn::toolkit {
namespace {

std::unique_ptr<Form>& ApplicationForm() {
  static std::unique_ptr<Form> form;
  return form;
}

// The application window's state, owned by ApplicationForm() for the whole
// process once it has been made.
win32::WindowState* gApplication = nullptr;

// A pop-up with caption, system menu and minimize box, visible from the
// start; it has no height, so only its taskbar button shows.
constexpr DWORD kApplicationStyle = 0x90CA0000;

bool ApplicationWindowExists() {
  return gApplication != nullptr && gApplication->Hwnd() != nullptr && ::IsWindow(gApplication->Hwnd());
}

void MakeApplicationWindow(win32::WindowState& state) {
  if (ApplicationWindowExists()) return;
  win32::RegisterWindowThread();
  win32::RegisterWindowClasses();
  state.mainForm = nullptr;
  state.destroyingItself = false;
  state.serial = win32::NextSerial();
  const HWND window = ::CreateWindowExW(0, win32::ApplicationClassName(), L"", kApplicationStyle, 0, 0, 0, 0, nullptr,
                                        nullptr, ::GetModuleHandleW(nullptr), &state);
  if (window == nullptr) return;
  // The window can be neither sized, moved nor maximized, and it is never
  // in the restored-from-maximized state that Restore would undo.
  const HMENU menu = ::GetSystemMenu(window, FALSE);
  if (menu != nullptr) {
    ::EnableMenuItem(menu, SC_RESTORE, MF_BYCOMMAND | MF_GRAYED);
    ::DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
    ::DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
    ::DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
  }
}

using InitCommonControlsExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

}  // namespace

namespace win32 {

WindowState* ApplicationState() { return gApplication; }

bool IsMainForm(HWND form) { return gApplication != nullptr && form != nullptr && gApplication->mainForm == form; }

void CloseApplicationWindow() {
  if (ApplicationWindowExists()) {
    gApplication->destroyingItself = true;
    gApplication->window.Reset();  // destroys the forms it owns first
  }
  ::PostQuitMessage(0);
}

// Closing the taskbar button asks the main form, so that the form's
// keep-open rule applies as for its own close box.
void OnApplicationCloseRequest() {
  const HWND form = gApplication != nullptr ? gApplication->mainForm : nullptr;
  if (form != nullptr && ::IsWindow(form)) {
    ::SendMessageW(form, WM_CLOSE, 0, 0);
  } else {
    CloseApplicationWindow();
  }
}

void OnEndSession() {
  if (ApplicationWindowExists()) gApplication->window.Reset();
  ::ExitProcess(0);
}

void ActivateMainForm() {
  const HWND form = gApplication != nullptr ? gApplication->mainForm : nullptr;
  if (form != nullptr && ::IsWindowVisible(form) && ::IsWindowEnabled(form)) ::SetActiveWindow(form);
}

int ClassifyVersion(std::uint32_t platform, std::uint32_t major, std::uint32_t minor) {
  if (platform == VER_PLATFORM_WIN32_WINDOWS) return (major > 4 || (major == 4 && minor >= 10)) ? 2 : 1;
  if (platform == VER_PLATFORM_WIN32_NT) {
    if (major <= 4) return 3;
    if (major == 5) return minor == 0 ? 4 : 5;
    return 6;
  }
  return 0;
}

const wchar_t* ApplicationClassName() { return L"VnToolkitApplication"; }
const wchar_t* FormClassName() { return L"VnToolkitForm"; }

void RegisterWindowClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &OwnWindowProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    windowClass.lpszClassName = ApplicationClassName();
    ::RegisterClassExW(&windowClass);
    // The background is painted with the form's own colour (WM_ERASEBKGND).
    windowClass.style = CS_DBLCLKS;
    windowClass.lpszClassName = FormClassName();
    ::RegisterClassExW(&windowClass);
  });
}

}  // namespace win32

void Application::InitCommonControls() {
  win32::RegisterWindowThread();
  static std::once_flag once;
  std::call_once(once, [] {
    ::InitCommonControls();
    // The extended start-up registers the newer classes; systems whose
    // library lacks it have only what the call above registered.
    const HMODULE library = ::GetModuleHandleW(L"comctl32.dll");
    if (library == nullptr) return;
    const FARPROC found = ::GetProcAddress(library, "InitCommonControlsEx");
    if (found == nullptr) return;
    INITCOMMONCONTROLSEX classes{};
    static_assert(sizeof(classes) == 8);
    classes.dwSize = sizeof(classes);
    classes.dwICC = 255;
    // FARPROC stands for any function; the generic function pointer type in
    // between keeps the compiler from checking the cast against it.
    const auto generic = reinterpret_cast<void (*)()>(found);
    reinterpret_cast<InitCommonControlsExFunction>(generic)(&classes);
  });
}

Form& Application::MainWindow() {
  std::unique_ptr<Form>& form = ApplicationForm();
  if (form == nullptr) {
    auto impl = std::make_unique<Window::Impl>(win32::Role::Application);
    gApplication = impl.get();
    form.reset(new Form(std::move(impl)));
  }
  MakeApplicationWindow(*gApplication);
  return *form;
}

bool Application::HasMainWindow() { return ApplicationWindowExists(); }

void Application::Run() {
  MainWindow();
  bool terminated = false;
  MSG message{};
  while (!terminated) {
    // What is already queued comes first: a message that was only peeked
    // at (while the thread waited for the scheme lock) would not end a
    // WaitMessage.
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        terminated = true;
        break;
      }
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (!terminated) ::WaitMessage();
  }
  if (ApplicationWindowExists()) {
    gApplication->destroyingItself = true;
    gApplication->window.Reset();
  }
}

void Application::CloseMainForm() { win32::CloseApplicationWindow(); }

int Application::VersionClass() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (!::GetVersionExA(&version)) return 0;
  return win32::ClassifyVersion(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}

int Application::ScreenDpi() {
  static std::atomic<int> cached{0};
  int dpi = cached.load(std::memory_order_relaxed);
  if (dpi == 0) {
    win32::WindowDc screen(nullptr);
    dpi = screen.Get() != nullptr ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    if (dpi <= 0) dpi = 96;
    cached.store(dpi, std::memory_order_relaxed);
  }
  return dpi;
}

void Application::ShowMessage(std::string_view text, std::string_view caption, Window* owner) {
  const HWND ownerWindow = owner != nullptr ? static_cast<HWND>(owner->NativeHandle()) : nullptr;
  const std::wstring wideText = win32::ToWide(text);
  const std::wstring wideCaption = win32::ToWide(caption);
  ::MessageBoxW(ownerWindow, wideText.c_str(), wideCaption.c_str(), MB_OK);
}

}  // namespace vn::toolkit
