#include "components/win/font.h"

#include <algorithm>

namespace vn {

namespace {
constexpr std::uint8_t kBold = 1;
constexpr std::uint8_t kItalic = 2;
constexpr std::uint8_t kUnderline = 4;
constexpr std::uint8_t kStrikeOut = 8;
constexpr std::int32_t kBoldWeight = 700;
}  // namespace

TFontRec MakeFont(const RcString& name, std::uint8_t size, std::uint8_t style,
                  toolkit::Color color, std::uint8_t charSet) {
  TFontRec rec;
  rec.Name = name;
  rec.Size = size;
  rec.Style = style;
  rec.Color = color;
  rec.CharSet = charSet;
  return rec;
}

std::int32_t FontHeightAt(std::int32_t points, std::int32_t dpi) {
  // 64 bits: a wild resolution must not overflow; the result still fits.
  const std::int64_t height = (std::int64_t{points} * dpi + 36) / -72;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(height, INT32_MIN, INT32_MAX));
}

std::int32_t FontHeight(std::int32_t points) {
  static const std::int32_t dpi = toolkit::Application::ScreenDpi();
  return FontHeightAt(points, dpi);
}

void SetFontStyle(toolkit::Font& font, std::uint8_t style) {
  if ((style & kBold) != 0) {
    font.weight = std::max(font.weight, kBoldWeight);
  } else if (font.weight >= kBoldWeight) {
    font.weight = 0;
  }
  font.italic = (style & kItalic) != 0;
  font.underline = (style & kUnderline) != 0;
  font.strikeOut = (style & kStrikeOut) != 0;
}

void ApplyFontRec(toolkit::Font& font, const TFontRec& rec) {
  font.color = rec.Color;
  SetFontStyle(font, rec.Style);
  font.faceName = rec.Name.str();
  font.height = FontHeight(rec.Size);
  font.charSet = rec.CharSet;
}

toolkit::Font ToToolkitFont(const TFontRec& rec) {
  toolkit::Font font;
  ApplyFontRec(font, rec);
  return font;
}

}  // namespace vn
