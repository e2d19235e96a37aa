#pragma once

#include <QColor>
#include <cstdint>

namespace murinex {

// The simulation keeps colours as 0x00BBGGRR.
inline QColor BgrColour(std::uint32_t c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace murinex
