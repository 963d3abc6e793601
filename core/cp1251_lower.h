#pragma once

#include <string>

namespace vn {

// Lower-cases Windows-1251 text in place up to its first zero byte: A-Z and
// the Cyrillic capitals, by a fixed table of our own so that every platform
// folds alike whatever its locale.
void LowerCp1251(std::string& text);

unsigned char LowerCp1251(unsigned char c);

}  // namespace vn
