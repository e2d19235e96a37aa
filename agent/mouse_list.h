#pragma once

// The run's mice as a list: a new mouse gets the next ID, a mouse is found by
// its ID, and a mouse that dies is taken out after every reference to it held
// by the others has been cleared — in this one place, so that nothing can
// dangle.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace murinex {

class Run;
class TMaus;

// A new mouse with the next ID and its chart lines bound; not yet in the list.
std::unique_ptr<TMaus> NewMaus(Run& run);
// The first mouse with that ID, or none.
TMaus* MausById(const Run& run, std::int32_t id);
// Takes mouse index out of the run: every reference to it is cleared first.
void RemoveMaus(Run& run, std::size_t index);

}  // namespace murinex
