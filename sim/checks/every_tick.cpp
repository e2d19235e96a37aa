#include "sim/checks/every_tick.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "agent/maus.h"
#include "agent/maus_fields.h"
#include "model/run.h"
#include "world/error.h"
#include "world/format.h"

namespace murinex {

namespace {

constexpr std::int32_t Int32Max = std::numeric_limits<std::int32_t>::max();

// Names the first field of a record that is not a finite number.
class NonFinite {
 public:
  NonFinite(const Run& run, std::string owner) : run_(run), owner_(std::move(owner)) {}
  // `part` names the record within its owner ("motive Hunger"); empty for the owner's own fields.
  void Part(std::string part) { part_ = std::move(part); }

  void operator()(const FieldInfo& f, double value) const {
    if (std::isfinite(value)) return;
    Fail(std::string(f.name) + (part_.empty() ? "" : " of " + part_) + " is not a finite number (" +
         FormatGeneral(value) + ")");
  }
  template <class Other>
  void operator()(const FieldInfo&, const Other&) const {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw InputError("", 0, "tick " + std::to_string(run_.TickCount) + ": " + owner_ + ": " + what);
  }

 private:
  const Run& run_;
  std::string owner_;
  std::string part_;
};

// Every real of a mouse through `visit`, record by record; `part(name)` is
// told which record comes next.
template <class Visit, class Part>
void MouseReals(const TMaus& m, Visit& visit, Part part) {
  MouseFields(m, visit);
  ActValFields(m, visit);
  ParamFields(m, visit);
  for (int i = 0; i < need::Count; ++i) {
    part([&] { return std::string("motive ") + NeedNames[i]; });
    MotiveFields(m.Motives[i], visit);
  }
  for (const auto& el : m.GoalMemory) {
    part([&] { return std::string("goal ") + GoalNames[el->GoalKind % goal::Count]; });
    GoalElementFields(*el, visit);
  }
  for (std::size_t k = 0; k < m.GoalLocations.size(); ++k) {
    part([&] { return "place " + std::to_string(k); });
    PlaceFields(m.GoalLocations[k], visit);
  }
  for (const TFrinEn& e : m.Relations) {
    part([&] { return "the relation towards mouse " + std::to_string(e.OtherID); });
    RelationFields(e, visit);
  }
  part([] { return std::string("a track point"); });
  for (const TProtocol& p : m.Protocol)
    TrackPointFields(p, visit);
  if (m.Embryo) {
    part([] { return std::string("the embryo"); });
    GenomeFields(*m.Embryo, visit);
  }
}

// Sums first: a healthy mouse costs one pass of additions.
void CheckMaus(const Run& run, const TMaus& m) {
  if (m.Age == Int32Max)
    NonFinite(run, "mouse " + std::to_string(m.ID)).Fail("Age has reached the largest integer");
  FiniteSum sum;
  MouseReals(m, sum, [](auto&&) {});
  if (sum.Finite()) return;
  NonFinite check(run, "mouse " + std::to_string(m.ID));
  MouseReals(m, check, [&check](auto name) { check.Part(name()); });
}

void CheckPatch(const Run& run, const TTerra& t, std::size_t index) {
  FiniteSum sum;
  PatchFields(t, sum);
  if (sum.Finite()) return;
  PatchFields(t, NonFinite(run, "patch " + std::to_string(index) + " \"" + t.Name + "\""));
}

// The sums of the statistics interval: a value read from a checkpoint or a
// large one added up may leave them infinite, and the row would print it.
void CheckStats(const Run& run) {
  FiniteSum sum;
  StatFields(run.Stats, sum);
  if (!sum.Finite()) StatFields(run.Stats, NonFinite(run, "the statistics sum"));
}

}  // namespace

void CheckRunState(const Run& run) {
  if (run.World)
    for (std::size_t i = 0; i < run.World->TerraList.size(); ++i)
      CheckPatch(run, *run.World->TerraList[i], i);
  for (const auto& m : run.Mice)
    CheckMaus(run, *m);
  CheckStats(run);
}

void CheckTickRoom(const Run& run) {
  if (run.TickCount == Int32Max)
    throw InputError("", 0,
                     "tick " + std::to_string(run.TickCount) +
                         ": the tick counter has reached the largest integer");
}

}  // namespace murinex
