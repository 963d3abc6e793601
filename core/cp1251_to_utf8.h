#pragma once

#include <string>
#include <string_view>

namespace vn {

// The program's texts are Windows-1251 bytes; terminals and logs on Linux
// read UTF-8. Every byte maps to one character (the code page's five
// unassigned bytes and the control bytes keep their code).
std::string Cp1251ToUtf8(std::string_view text);

}  // namespace vn
