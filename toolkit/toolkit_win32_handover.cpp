// Work that other threads hand to the window thread. It travels as a sent
// message to a hidden message-only window of the window thread: a thread
// answers sent messages whenever it looks at its queue, so the work runs in
// the message loop, in every modal loop (a window being dragged, a message
// box), and in the wait for the scheme lock, where the hook below looks at
// the queue.
#include <atomic>
#include <memory>
#include <thread>

#include "core/scheme_lock.h"
#include "toolkit/toolkit_win32_internal.h"

namespace vn::toolkit {
namespace {

std::atomic<DWORD> gWindowThread{0};
std::atomic<HWND> gHandOverWindow{nullptr};

struct HandOverRequest {
  const std::function<void()>* work;
  std::thread::id requester;
};

LRESULT CALLBACK HandOverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == win32::kHandOverMessage && lParam != 0) {
    const auto* request = reinterpret_cast<const HandOverRequest*>(lParam);
    // The requester holds the scheme lock and waits for us: notifications
    // that the work causes belong to its chain.
    scheme_lock::LockLoan loan(request->requester);
    (*request->work)();
    return 1;
  }
  if (message == win32::kPostedWorkMessage && lParam != 0) {
    const std::unique_ptr<std::function<void()>> work(reinterpret_cast<std::function<void()>*>(lParam));
    (*work)();
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

// Bounds one round of painting, should a window fail to validate itself.
constexpr int kPaintBatch = 32;

// Runs repeatedly on the window thread while it waits for the scheme lock:
// answers the messages other threads send (the hand-overs among them) and
// repaints, so the windows stay drawn and the system does not report the
// program as not responding while another thread runs a long chain.
void ServeWhileWaiting() {
  MSG message{};
  // Only sent messages: posted ones stay unseen for the message loop.
  ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  for (int i = 0; i < kPaintBatch && ::PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) {
    ::DispatchMessageW(&message);
  }
}

}  // namespace

namespace win32 {

void RegisterWindowThread() {
  DWORD expected = 0;
  if (!gWindowThread.compare_exchange_strong(expected, ::GetCurrentThreadId())) return;
  const HINSTANCE module = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &HandOverProcedure;
  windowClass.hInstance = module;
  windowClass.lpszClassName = L"VnToolkitHandOver";
  ::RegisterClassExW(&windowClass);
  // Lives as long as the process: other threads may hand work over until
  // the very end.
  const HWND window =
      ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
  gHandOverWindow.store(window);
  scheme_lock::SetThreadWaitHook(&ServeWhileWaiting);
}

}  // namespace win32

bool OnWindowThread() {
  const DWORD thread = gWindowThread.load();
  return thread == 0 || thread == ::GetCurrentThreadId();
}

void RunOnWindowThread(const std::function<void()>& work) {
  if (!work) return;
  const HWND target = gHandOverWindow.load();
  if (target == nullptr || OnWindowThread()) {
    work();
    return;
  }
  HandOverRequest request{&work, std::this_thread::get_id()};
  ::SendMessageW(target, win32::kHandOverMessage, 0, reinterpret_cast<LPARAM>(&request));
}

void PostToWindowThread(std::function<void()> work) {
  if (!work) return;
  const HWND target = gHandOverWindow.load();
  if (target == nullptr || OnWindowThread()) {
    work();
    return;
  }
  auto owned = std::make_unique<std::function<void()>>(std::move(work));
  // The window procedure takes the function over; if the message cannot be
  // queued, nobody will, and it goes here.
  if (::PostMessageW(target, win32::kPostedWorkMessage, 0, reinterpret_cast<LPARAM>(owned.get()))) owned.release();
}

}  // namespace vn::toolkit
