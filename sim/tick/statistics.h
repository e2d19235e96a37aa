#pragma once

#include <string>

namespace murinex {

class Run;

// Turns the accumulators of the interval into one row of the statistics
// protocol and clears them. Returns the row as written (line end included).
std::string WriteStatRow(Run& run);

// Whether a column is a rate: divided by the number of mice times the interval.
bool IsRateColumn(int column);

}  // namespace murinex
