#include "world/format.h"

#include <charconv>
#include <system_error>

namespace murinex {

namespace {

std::string ToChars(double value, std::chars_format style, int precision) {
  if (value == 0.0) value = 0.0;  // -0.0 is written without sign
  char buffer[512];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, style, precision);
  if (result.ec != std::errc()) return "?";
  return std::string(buffer, result.ptr);
}

}  // namespace

std::string PadLeft(const std::string& text, int width) {
  if (static_cast<int>(text.size()) >= width) return text;
  return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

std::string FormatInt(std::int64_t value, int width) {
  return PadLeft(std::to_string(value), width);
}

std::string FormatFixed(double value, int width, int decimals) {
  return PadLeft(ToChars(value, std::chars_format::fixed, decimals), width);
}

std::string FormatGeneral(double value) {
  return ToChars(value, std::chars_format::general, 15);
}

std::string FormatExponent(double value, int decimals) {
  return ToChars(value, std::chars_format::scientific, decimals);
}

}  // namespace murinex
