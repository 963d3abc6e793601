#include <langinfo.h>
#include <signal.h>
#include <unistd.h>

#include <clocale>
#include <string>

#include <atomic>

#include "app/console/terminal.h"
#include "app/console/text_encoding_posix.h"

namespace vn::console {
namespace {

volatile sig_atomic_t gInterrupted = 0;

void OnInterrupt(int /*signal*/) { gInterrupted = 1; }

}  // namespace

void PrepareConsole() {
  // The terminal's character set comes from the user's locale.
  std::setlocale(LC_CTYPE, "");
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

bool TerminalMovesCursor() { return OutputIsTerminal(); }

std::string ForTerminal(std::string_view text) { return Cp1251To(text, ::nl_langinfo(CODESET)); }

bool Interrupted() { return gInterrupted != 0; }

}  // namespace vn::console
