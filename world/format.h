#pragma once

#include <cstdint>
#include <string>

namespace murinex {

// Number formatting for every protocol and dump. The output never depends on
// the locale: the decimal separator is always the point.

// An integer right-aligned in at least `width` characters.
std::string FormatInt(std::int64_t value, int width = 0);

// Fixed-point with `decimals` decimals, right-aligned in at least `width`
// characters, as printf's "%*.*f" writes the double. Only the value -0.0 itself
// loses its sign; a small negative value that rounds to zero keeps it ("-0.000").
std::string FormatFixed(double value, int width, int decimals);

// General format with up to 15 significant digits, as printf's "%.15g".
std::string FormatGeneral(double value);

// Exponent notation with `decimals` decimals, as printf's "%.*e".
std::string FormatExponent(double value, int decimals);

// Right-aligns text in at least `width` characters.
std::string PadLeft(const std::string& text, int width);

}  // namespace murinex
