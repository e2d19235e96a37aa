#pragma once

#include <cstdint>

#include "agent/goal_memory.h"
#include "world/geometry.h"

namespace murinex {

class Run;
class TMaus;

// The need that goal kind serves most, by the mouse's goal memory.
need::Need BestNeedOf(Run& run, TMaus& m, goal::Goal kind);
// The place's strength faded by the time since its last recall; stamps LastRecall.
double FadeRetention(Run& run, TGoalAvLoc& place, double rate);
// Fades the place, draws whether it comes to mind and reinforces it if so.
bool Recall(Run& run, TMaus& m, TGoalAvLoc& place);
// Within sight, reachable over terrain, and recalled (the recall only when the
// first two hold).
bool LocUsable(Run& run, TMaus& m, TGoalAvLoc& place);
// Remembers a resource place; true when a new place was created.
bool RememberGoalPlace(Run& run, TMaus& m, goal::Goal kind, TPoint point);
void RememberPainPlace(Run& run, TMaus& m, goal::Goal kind, TPoint point);
// Lays waypoints towards place along the part of the recent path the mouse remembers.
void LearnRoute(Run& run, TMaus& m, PlaceHandle place, goal::Goal kind);
// Distance from point to the nearest place of kind; 100000 without one.
double NearestKind(const TMaus& m, goal::Goal kind, TPoint point);
// The best remembered place for goal, or none; forgotten candidates are deleted.
PlaceHandle FindGoalLoc(Run& run, TMaus& m, goal::Goal goalKind);
bool RecentlyVisited(Run& run, TMaus& m, TPoint point);
void GiveUpGoal(Run& run, TMaus& m);
// The per-tick fading of relations and goal values.
void Forget(TMaus& m);

inline constexpr double SamePlaceDistance = 15;
inline constexpr double WaypointSpacing = 50;
inline constexpr double FarAway = 100000;

}  // namespace murinex
