#pragma once

// The fields of the model's records are listed once, next to each record, as a
// function `XFields(record, visit)` that calls `visit(info, value)` for every
// field in a fixed order. The dump writers and readers, the checkpoint, the
// finiteness check and the named access to a mouse's values all walk these
// lists, so a field added to a record reaches all of them with one line.

#include <cmath>
#include <cstdint>
#include <string>

#include "world/input_ranges.h"

namespace murinex {

// How a field appears in a population or genome dump: right-aligned in `width`
// characters, a real with `decimals` decimals (Whole: rounded to an integer).
// Width 0: the field is not dumped.
struct DumpLayout {
  static constexpr std::int8_t Whole = -1;
  std::int8_t width = 0;
  std::int8_t decimals = Whole;
  bool Dumped() const { return width > 0; }
};

struct FieldInfo {
  const char* name;
  // The values that mean something, as the input files check them;
  // Field::Count: any finite real, or any value of the field's type.
  Field range = Field::Count;
  DumpLayout dump{};
  // For a byte that indexes a table (need, goal, action, facing): the table's size.
  std::uint16_t options = 0;

  bool HasRange() const { return range != Field::Count; }
};

// What a visitor of reals only needs: whether every real field of a record is
// finite, decided with one sum (finite only when every term is; large finite
// terms may overflow to infinity, in which case a field-by-field pass decides).
class FiniteSum {
 public:
  void operator()(const FieldInfo&, double value) { sum_ += value; }
  template <class Other>
  void operator()(const FieldInfo&, const Other&) {}
  bool Finite() const { return std::isfinite(sum_); }

 private:
  double sum_ = 0;
};

}  // namespace murinex
