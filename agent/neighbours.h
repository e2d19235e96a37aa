#pragma once

// The other mice around a mouse: looking around (the seen lists), the mouse
// close enough to meet, cries for help within earshot, free ground, and the
// friend or competitor to head for.

#include <cstddef>
#include <span>

namespace murinex {

class Run;
class TMaus;
struct TPoint;

// Closer than this, another mouse in view is met.
inline constexpr double CloseDistance = 25;

// Fills the four seen lists with the other mice within depth and width of heading.
void LookForNeighbours(Run& run, TMaus& m, double heading, double width, double depth);
// The first other mouse in list order closer than 25 within the view of heading.
TMaus* CloseMouse(const Run& run, const TMaus& m, double heading);
bool CompetitorClose(const Run& run, const TMaus& m, double heading);
// A friend crying for help within twice the sight width, if the mouse listens.
TMaus* HeardHelpCry(Run& run, TMaus& m);
// The mice m's relations name, each once, into `out` in the order of the run's
// list, and how many they are; SIZE_MAX when no pass is running (their places
// in the list are not known) or they do not fit into `out`.
std::size_t RelatedInListOrder(const Run& run, const TMaus& m, std::span<TMaus*> out);
// Whether other is within sight and the terrain between them can be walked.
bool MouseVisible(const Run& run, const TMaus& m, const TMaus& other);
// Whether another mouse stands closer than 16 to point.
bool Occupied(const Run& run, const TMaus& m, TPoint point);
// The best-liked seen friend, or none.
TMaus* FindFriend(const Run& run, const TMaus& m);
// The nearest seen enemy with less courage, or none.
TMaus* FindCompetitor(const Run& run, const TMaus& m);

}  // namespace murinex
