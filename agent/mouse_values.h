#pragma once

// Every single value of a mouse by name, from the field lists: the mouse's own
// fields ("Age", "x", "Arousal"), its action values ("Pregnant"), its person
// parameters ("Carefactor"), each motive's fields ("Hunger.Ist") and each gene
// ("gene.Hunger.Weight", "gene.Carefactor"). Tables of mice and the scripting
// interface read mice through these names.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "agent/maus_fields.h"

namespace murinex {

// Calls visit(name, value) for every value in a fixed order; `value` is a
// number (double, integer, bool or byte) or a text (Lineage, a motive's Name).
template <class V>
void MouseValues(const TMaus& m, V&& visit) {
  const auto plain = [&visit](const FieldInfo& f, const auto& value) {
    // A need, goal or action is a number to a table.
    if constexpr (std::is_enum_v<std::decay_t<decltype(value)>>)
      visit(f.name, static_cast<std::uint8_t>(value));
    else
      visit(f.name, value);
  };
  MouseFields(m, plain);
  ActValFields(m, plain);
  ParamFields(m, plain);
  for (int i = 0; i < need::Count; ++i) {
    const std::string prefix = std::string(NeedNames[i]) + ".";
    MotiveFields(m.Motives[i],
                 [&](const FieldInfo& f, const auto& value) { visit(prefix + f.name, value); });
  }
  GenomeFields(*m.Genom, [&](const FieldInfo& f, const auto& value) {
    visit(std::string("gene.") + f.name, value);
  });
}

// The names MouseValues gives, in its order.
std::vector<std::string> MouseValueNames();

// The number of the value called `name`; none for a text or an unknown name.
std::optional<double> MouseNumber(const TMaus& m, std::string_view name);

}  // namespace murinex
