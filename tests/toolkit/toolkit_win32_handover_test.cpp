// Work handed to the window thread by other threads: in the message loop,
// in a modal loop, and while the window thread waits for the scheme lock
// that the requester holds.
#include <atomic>
#include <thread>

#include "core/scheme_lock.h"
#include "tests/toolkit/win32_test_support.h"

namespace vn::toolkit::test {
namespace {

using HandOverTest = BehaviourTest;

// Waits for a helper thread while answering what it hands over.
void JoinServing(std::thread& thread, const std::atomic<bool>& done) {
  while (!done.load()) {
    PumpMessages();
    ::Sleep(1);
  }
  thread.join();
}

HWND FindThreadWindow(DWORD thread, const wchar_t* className) {
  struct Search {
    const wchar_t* className;
    HWND found;
  } search{className, nullptr};
  ::EnumThreadWindows(
      thread,
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (ClassName(window) != s->className) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TEST_F(HandOverTest, OnTheWindowThreadTheWorkRunsAtOnce) {
  EXPECT_TRUE(OnWindowThread());
  bool ran = false;
  RunOnWindowThread([&] { ran = true; });
  EXPECT_TRUE(ran);
  RunOnWindowThread(nullptr);  // nothing to run
}

TEST_F(HandOverTest, WindowsRepaintWhileTheWindowThreadWaitsForTheLock) {
  ShowForm();
  Control& picture = Make(ControlKind::Picture);
  picture.SetBounds({10, 10, 60, 60});
  std::atomic<int> paints{0};
  Spy& handler = Watch(picture, "p");
  handler.onPaint = [&](Canvas& canvas) {
    canvas.FillRect({0, 0, 50, 50});
    ++paints;
  };
  PumpMessages();
  const HWND window = Hwnd(picture);

  std::atomic<bool> holding{false};
  std::atomic<bool> repainted{false};
  std::thread holder([&] {
    SchemeChain chain;
    const int before = paints.load();
    ::InvalidateRect(window, nullptr, TRUE);
    holding = true;
    for (int i = 0; i < 2000 && paints.load() == before; ++i) ::Sleep(5);
    repainted = paints.load() > before;
  });
  while (!holding.load()) std::this_thread::yield();
  { SchemeChain chain; }
  holder.join();
  EXPECT_TRUE(repainted.load());
}

TEST_F(HandOverTest, ServedInsideAMessageBox) {
  ShowForm();
  Control& label = Make(ControlKind::Label);
  const DWORD windowThread = ::GetCurrentThreadId();
  std::atomic<bool> closed{false};
  std::atomic<bool> done{false};
  HWND owner = nullptr;
  std::wstring message;
  std::thread helper([&] {
    for (int attempt = 0; attempt < 1000 && !closed.load(); ++attempt) {
      RunOnWindowThread([&] {
        const HWND box = FindThreadWindow(windowThread, L"#32770");
        if (box == nullptr) return;
        owner = ::GetWindow(box, GW_OWNER);
        wchar_t text[64] = {};
        ::GetDlgItemTextW(box, 0xFFFF, text, 64);
        message = text;
        label.SetText("закрыто");
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        closed = true;
      });
      if (!closed.load()) ::Sleep(10);
    }
    done = true;
  });
  Application::ShowMessage("Сообщение", "Заголовок", form.get());
  JoinServing(helper, done);

  EXPECT_TRUE(closed.load());
  EXPECT_EQ(owner, Hwnd(*form));
  EXPECT_EQ(message, L"Сообщение");
  EXPECT_EQ(label.Text(), "закрыто");
}

}  // namespace
}  // namespace vn::toolkit::test
