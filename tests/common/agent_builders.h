#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "agent/maus.h"
#include "model/run.h"
#include "tests/common/test_run.h"

namespace murinex::test {

// SetNeed (setting a need's level with its deviation and urgency) is in test_run.h.

// Makes the next regulation see no change of the total need strength (with
// BasMeta 0 nothing drains), so competence keeps the value a test gives it.
void SettleNeeds(TMaus& m);

// A place of a test's mouse: converts to its handle, reaches its fields through ->.
struct TestPlace {
  PlaceList* list = nullptr;
  PlaceHandle handle;

  TGoalAvLoc* operator->() const { return &list->At(handle); }
  TGoalAvLoc& operator*() const { return list->At(handle); }
  operator PlaceHandle() const { return handle; }
  operator TGoalAvLoc&() const { return list->At(handle); }
};

// Appends a remembered place of kind at pos, just recalled (LastRecall is the
// current tick), with quality 1 ('+', '-') or 0 ('0').
TestPlace AddPlace(Run& run, TMaus& m, goal::Goal kind, TPoint pos, char sign = '+',
                   double retention = 1, double progress = 1);

// Lists a copy of place at the end of list.
PlaceHandle AppendPlace(PlaceList& list, const TGoalAvLoc& place);

// Appends entries to the mouse's track, all at one point, each fully vivid.
void FillTrack(TMaus& m, int entries, TPoint at);

// Remembers the names of the wave files played.
class SoundLog : public SoundSink {
 public:
  void PlayWave(const std::string& name) override { names.push_back(name); }
  std::vector<std::string> names;
};

}  // namespace murinex::test
