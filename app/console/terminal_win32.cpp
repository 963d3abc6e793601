#include <atomic>

#include "app/console/terminal.h"
#include "core/win32_api.h"

namespace vn::console {
namespace {

std::atomic<bool> gInterrupted{false};
bool gMovesCursor = false;

BOOL WINAPI OnConsoleEvent(DWORD /*event*/) {
  // Every console event (Ctrl+C, Ctrl+Break, the window closing) asks for
  // a clean stop; the main thread closes the port and exits.
  gInterrupted = true;
  return TRUE;
}

}  // namespace

void PrepareConsole() {
  // The program's texts are Windows-1251 bytes; the console shows them as
  // such once its output code page is 1251. Output to a file or a pipe
  // stays Windows-1251, as Windows tools expect.
  ::SetConsoleOutputCP(1251);
  ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  // Consoles before Windows 10 refuse the escapes; the lines then come one
  // after another instead.
  const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (::GetConsoleMode(output, &mode) != 0) {
    gMovesCursor = ::SetConsoleMode(output, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
  }
}

bool TerminalMovesCursor() { return gMovesCursor; }

bool OutputIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

std::string ForTerminal(std::string_view text) { return std::string(text); }

bool Interrupted() { return gInterrupted.load(); }

}  // namespace vn::console
