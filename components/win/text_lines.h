#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vn {

// The lines of a text: a line ends at CR, an LF right after the CR belongs
// to the separator, and a final separator makes no empty last line. A lone
// LF is part of the line. The empty text has no lines.
std::vector<std::string_view> SplitLines(std::string_view text);

// The items joined with CR LF after each; the final CR LF is dropped unless
// the last item is empty, so that SplitLines gives the items back.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace vn
