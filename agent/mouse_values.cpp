#include "agent/mouse_values.h"

#include <type_traits>

namespace murinex {

std::vector<std::string> MouseValueNames() {
  const TMaus probe(0);
  std::vector<std::string> names;
  MouseValues(probe, [&names](std::string_view name, const auto&) { names.emplace_back(name); });
  return names;
}

std::optional<double> MouseNumber(const TMaus& m, std::string_view name) {
  std::optional<double> found;
  MouseValues(m, [&](std::string_view field, const auto& value) {
    if constexpr (std::is_arithmetic_v<std::decay_t<decltype(value)>>)
      if (!found && field == name) found = static_cast<double>(value);
  });
  return found;
}

}  // namespace murinex
