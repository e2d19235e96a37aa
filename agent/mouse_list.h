#pragma once

// The run's mice as a list: a new mouse gets the next ID, a mouse is found by
// its ID, and a mouse that dies is taken out of the others' relations and seen
// lists. Other references to it are handles (model/mouse_list_type.h), which
// find nothing from then on.

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
// Takes mouse index out of the run, and out of every relation and seen list.
void RemoveMaus(Run& run, std::size_t index);

}  // namespace murinex
