#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "app/console/terminal.h"
#include "core/cp1251_to_utf8.h"

namespace vn::console {
namespace {

volatile sig_atomic_t gInterrupted = 0;

void OnInterrupt(int /*signal*/) { gInterrupted = 1; }

}  // namespace

void PrepareConsole() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // A reader of our output that goes away (a pager closed early) must not
  // kill the process with the port still open.
  signal(SIGPIPE, SIG_IGN);
}

bool OutputIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }

// Linux terminals, logs and pipes speak UTF-8.
std::string ForTerminal(std::string_view text) { return Cp1251ToUtf8(text); }

bool Interrupted() { return gInterrupted != 0; }

}  // namespace vn::console
