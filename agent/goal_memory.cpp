#include "agent/goal_memory.h"

#include "agent/place_list.h"
#include "model/settings.h"

namespace murinex {

TGoalMemEl& FindElement(TGoalMemory& memory, const Settings& settings, goal::Goal kind) {
  for (auto& element : memory)
    if (element->GoalKind == kind) return *element;
  return NewElement(memory, settings, kind);
}

TGoalMemEl& NewElement(TGoalMemory& memory, const Settings& settings, goal::Goal kind) {
  auto element = std::make_unique<TGoalMemEl>();
  element->GoalKind = kind;
  if (kind < settings.GoalNeedMatrix.size()) element->Values = settings.GoalNeedMatrix[kind];
  memory.push_back(std::move(element));
  return *memory.back();
}

void DeleteLoc(PlaceList& places, std::size_t index) {
  if (index >= places.size()) return;
  const auto deleted = static_cast<std::int32_t>(index);
  for (std::size_t i = index + 1; i < places.size(); ++i) {
    TGoalAvLoc& place = places[i];
    if (place.NextIndex == deleted) {
      place.NextIndex = -2;
      place.Next = {};
    } else if (place.NextIndex > deleted) {
      --place.NextIndex;
    }
  }
  places.Erase(index);
}

void PurgeLocs(PlaceList& places) {
  std::size_t i = 0;
  while (i < places.size()) {
    if (places[i].Retention <= ForgottenRetention)
      DeleteLoc(places, i);  // the next candidate has moved into index i
    else
      ++i;
  }
}

}  // namespace murinex
