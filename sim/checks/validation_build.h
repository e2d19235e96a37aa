#pragma once

// The run's invariants, checked after every tick in a validating build
// (MURINEX_VALIDATE, on in the sanitizer build): references between mice name
// living mice, route links agree with their indices, IDs and counters are
// consistent. A broken invariant is a fault of the program, not of its input.

#include <stdexcept>
#include <string>

namespace murinex {

class Run;

class InvariantError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// Throws InvariantError naming the first broken invariant.
void CheckInvariants(const Run& run);

// Whether this build checks the invariants after every tick.
constexpr bool ValidatingBuild() {
#ifdef MURINEX_VALIDATE
  return true;
#else
  return false;
#endif
}

}  // namespace murinex
