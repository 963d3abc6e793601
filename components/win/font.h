#pragma once

#include <cstdint>

#include "core/rc_string.h"
#include "toolkit/toolkit.h"

namespace vn {

// The font description that window components keep as their Font property.
struct TFontRec {
  RcString Name;
  std::uint8_t Size = 0;   // points
  std::uint8_t Style = 0;  // bit 0 bold, 1 italic, 2 underline, 3 strike-out
  toolkit::Color Color = 0;
  std::uint8_t CharSet = 0;
};

TFontRec MakeFont(const RcString& name, std::uint8_t size, std::uint8_t style,
                  toolkit::Color color, std::uint8_t charSet);

// Character height in pixels for a point size, negative as the platform's
// font record wants it: (points * dpi + 36) / -72, truncating.
std::int32_t FontHeightAt(std::int32_t points, std::int32_t dpi);
// As FontHeightAt with the screen's resolution, asked once.
std::int32_t FontHeight(std::int32_t points);

// Makes the font carry exactly the style bits: bold raises the weight to at
// least 700, no bold drops a bold weight back to normal.
void SetFontStyle(toolkit::Font& font, std::uint8_t style);

// Applies the description to a font in the order colour, style, face,
// height, character set; what the description does not say is kept.
void ApplyFontRec(toolkit::Font& font, const TFontRec& rec);
toolkit::Font ToToolkitFont(const TFontRec& rec);

}  // namespace vn
