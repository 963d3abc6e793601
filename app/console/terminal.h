#pragma once

#include <string>
#include <string_view>

namespace vn::console {

// Sets the console up for the program's texts (Windows: the console's code
// page) and lets Ctrl+C and termination requests raise the interrupt flag
// instead of killing the process, so the port is closed on the way out.
void PrepareConsole();

// Whether a person is watching: standard output is a terminal.
bool OutputIsTerminal();

// Whether the terminal takes the cursor controls that redraw several lines
// in place (ANSI escapes; a Windows console once asked to).
bool TerminalMovesCursor();

// A program text (Windows-1251) in the terminal's encoding.
std::string ForTerminal(std::string_view text);

// Raised by Ctrl+C or a termination request; never lowered.
bool Interrupted();

}  // namespace vn::console
