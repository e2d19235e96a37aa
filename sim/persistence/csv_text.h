#pragma once

// The fields of the CSV tables a run writes (sim/persistence/life_records.h,
// sim/persistence/mouse_table.h).

#include <charconv>
#include <string>
#include <type_traits>

namespace murinex {

// An integer as it is; a real as the shortest text that reads back to the same bits.
template <class T>
std::string CsvNumber(T value) {
  if constexpr (std::is_integral_v<T>) {
    return std::to_string(value);
  } else {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
  }
}

// A text field: quoted when a comma, quote or line end would split it.
inline std::string CsvText(const std::string& value) {
  if (value.find_first_of(",\"\n\r") == std::string::npos) return value;
  std::string quoted = "\"";
  for (char c : value)
    quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace murinex
