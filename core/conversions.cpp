#include "core/conversions.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace vn {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

RcString IntegerToText(std::int32_t value) {
  char buffer[16];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return RcString(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

}  // namespace

std::int32_t TextToInteger(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  std::uint32_t value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

double TextToReal(std::string_view text) {
  double value = 0.0;
  double scale = 1.0;
  bool fraction = false;
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) i = 1;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      const int digit = c - '0';
      if (fraction) {
        scale *= 0.1;
        value += digit * scale;
      } else {
        value = value * 10.0 + digit;
      }
    } else if (c == '.') {
      if (fraction) break;
      fraction = true;
    } else if (c == 'e' || c == 'E') {
      value *= std::pow(10.0, TextToInteger(text.substr(i + 1)));
      break;
    }
  }
  return negative ? -value : value;
}

std::int32_t RoundReal(double value) {
  if (std::isnan(value)) return 0;
  const double rounded = std::nearbyint(value);  // default mode: halves to even
  if (rounded >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (rounded <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(rounded);
}

RcString RealToText(double value) {
  if (value == 0.0) return RcString("0");
  if (std::isnan(value)) return RcString("NAN");
  if (std::isinf(value)) return RcString(value < 0 ? "-INF" : "INF");

  // 15 significant digits in scientific form, then laid out as plain decimals.
  char sci[32];
  std::snprintf(sci, sizeof sci, "%.14e", std::fabs(value));
  std::string digits;
  const char* p = sci;
  for (; *p != 'e'; ++p) {
    if (IsDigit(*p)) digits.push_back(*p);
  }
  const int exponent = std::atoi(p + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string text = value < 0 ? "-" : "";
  const int digitCount = static_cast<int>(digits.size());
  if (exponent < 0) {
    text += "0.";
    text.append(static_cast<std::size_t>(-exponent - 1), '0');
    text += digits;
  } else if (exponent + 1 >= digitCount) {
    text += digits;
    text.append(static_cast<std::size_t>(exponent + 1 - digitCount), '0');
  } else {
    text += digits.substr(0, static_cast<std::size_t>(exponent + 1));
    text += '.';
    text += digits.substr(static_cast<std::size_t>(exponent + 1));
  }
  return RcString(text);
}

std::int32_t ToInteger(const TData& data) {
  switch (data.DataType) {
    case TagInteger: return data.IData;
    case TagString: return TextToInteger(data.SData.view());
    case TagReal: return RoundReal(data.RData);
    default: return 0;
  }
}

RcString ToString(const TData& data) {
  switch (data.DataType) {
    case TagInteger: return IntegerToText(data.IData);
    case TagString: return data.SData;
    case TagReal: return RealToText(data.RData);
    default: return RcString();
  }
}

double ToReal(const TData& data) {
  switch (data.DataType) {
    case TagInteger: return data.IData;
    case TagString: return TextToReal(data.SData.view());
    case TagReal: return data.RData;
    default: return 0.0;
  }
}

TMemStream* ToStream(const TData& data) {
  return data.DataType == TagStream ? data.StreamRef : nullptr;
}

std::int32_t ToIndex(const TData& data) {
  switch (data.DataType) {
    case TagInteger: return data.IData;
    case TagString: {
      const std::string_view text = data.SData.view();
      if (text.empty()) return -1;
      const std::int32_t value = TextToInteger(text);
      if (value == 0 && text[0] != '0') return -1;
      return value;
    }
    case TagReal: return RoundReal(data.RData);
    default: return -1;
  }
}

bool ToBool(const TData& data) {
  return !(data.DataType == TagInteger && data.IData == 0);
}

}  // namespace vn
