#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vn {

// Compares as zero-terminated texts (the first zero byte ends either), folding
// only a..z to upper case: folded byte of a minus folded byte of b at the first
// difference, else 0.
int CompareNoCase(std::string_view a, std::string_view b);

// First position (1-based) at or after `start` where `pattern` occurs in
// `text`; 0 when there is none, when the pattern is empty or start < 1.
std::size_t PosFrom(std::string_view pattern, std::string_view text, std::size_t start);

// Decides whether the occurrence at `pos` (0-based) in `text` is replaced.
// `text` is the text before this call's replacements: from `pos` on it equals
// the text being edited, which is all a filter may look at.
using ReplaceFilter = bool (*)(const void* context, std::string_view text, std::size_t pos);

// Replaces every occurrence of `pattern` from left to right; the search goes
// on after the inserted text, or one byte further when the filter declines.
// One pass over the text, so long texts with many matches stay linear.
void ReplaceAll(std::string& text, std::string_view pattern, std::string_view replacement,
                ReplaceFilter filter = nullptr, const void* context = nullptr);

}  // namespace vn
