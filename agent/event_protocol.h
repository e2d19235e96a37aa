#pragma once

#include <cstdint>
#include <string>

#include "agent/maus.h"
#include "world/geometry.h"

namespace murinex {

class Run;

// Whether lines of this mouse go to the behaviour protocol: a mouse is
// selected and the ID is the check mouse's.
bool ProtocolWanted(const Run& run, std::int32_t id);

// Writes one indented line of the behaviour protocol, if wanted.
void ProtocolLine(Run& run, std::int32_t id, int level, const std::string& text);

// "[x,y]".
std::string PointToStr(TPoint p);

// ProtocolLine, building the text only when the line is wanted: for every
// other mouse a call costs only the comparison.
template <class MakeText>
void Log(Run& run, const TMaus& m, int level, MakeText&& makeText) {
  if (ProtocolWanted(run, m.ID)) ProtocolLine(run, m.ID, level, makeText());
}

}  // namespace murinex
