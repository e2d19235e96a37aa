#include "sim/persistence/checkpoint_mouse.h"

#include <vector>

#include "agent/maus.h"
#include "agent/maus_fields.h"
#include "model/lines.h"
#include "sim/persistence/checkpoint_io.h"
#include "world/error.h"

namespace murinex::checkpoint {

namespace {

// ---------------------------------------------------------------- one mouse: chart lines

// When a point of the lines was taken, and what its bands show.
template <class IO, class S>
void SampleFields(IO& io, S& sample) {
  io(sample.Tick, "tick of a sample");
  io.Byte(sample.Need, "need of a sample", need::Count);
  io.Byte(sample.Goal, "goal of a sample", goal::Count);
  io.Byte(sample.Action, "action of a sample", action::Count);
}

void SaveLines(Saver& io, const TLines& lines) {
  io.Begin("lines");
  io.Size(lines.GroupCount(), "group count");
  io.End();
  for (std::size_t g = 0; g < lines.GroupCount(); ++g) {
    const TLineGroup& group = lines.Group(g);
    io.Begin("group");
    io(group.Name, "group name");
    io.Size(group.Names.size(), "line count");
    for (const std::string& name : group.Names)
      io(name, "line name");
    io.End();
    for (const auto& line : group.Lines)
      SeriesRecord(io, *line);
  }
  for (auto band : {TLines::NeedBand, TLines::ActionBand, TLines::GoalBand})
    SeriesRecord(io, lines.BandSeries(band));
  io.Begin("samples");
  io.Size(lines.Samples().size(), "sample count");
  for (const TLineSample& sample : lines.Samples())
    SampleFields(io, sample);
  io.End();
}

void LoadLines(Loader& io, TLines& lines) {
  io.Begin("lines");
  std::size_t groups = 0;
  io.Size(groups, "group count");
  io.End();
  for (std::size_t g = 0; g < groups; ++g) {
    io.Begin("group");
    std::string groupName;
    io(groupName, "group name");
    std::vector<std::string> names;
    Elements(io, names, "line count", [&](std::string& name) { io(name, "line name"); });
    io.End();
    for (const std::string& name : names)
      SeriesRecord(io, lines.Line(groupName, name));
  }
  for (auto band : {TLines::NeedBand, TLines::ActionBand, TLines::GoalBand})
    SeriesRecord(io, lines.BandSeries(band));
  std::size_t samples = 0;
  io.Begin("samples");
  io.Size(samples, "sample count");
  for (std::size_t i = 0; i < samples; ++i) {
    TLineSample sample;
    SampleFields(io, sample);
    lines.AddSample(sample);
  }
  io.End();
}

// ---------------------------------------------------------------- one mouse: plain fields

template <class IO, class M>
void MouseValues(IO& io, M& m) {
  io.Begin("mouse");
  MouseFields(m, Through(io));
  io.End();
  io.Begin("actval");
  ActValFields(m, Through(io));
  io.End();
  io.Begin("params");
  ParamFields(m, Through(io));
  io.End();
  for (auto& mo : m.Motives) {
    io.Begin("motive");
    MotiveFields(mo, Through(io));
    io.End();
  }
}

template <class IO, class P, class Index>
void PlanRecord(IO& io, P& plan, Index& planIndex) {
  io.Begin("plan");
  io(planIndex, "PlanIndex");
  Elements(io, plan, "plan point count", [&](auto& p) {
    io(p.x, "x of a plan point");
    io(p.y, "y of a plan point");
  });
  io.End();
}

template <class IO, class E>
void ElementRecord(IO& io, E& el) {
  io.Begin("element");
  GoalElementFields(el, Through(io));
  io.End();
}

template <class IO, class T>
void TrackRecord(IO& io, T& track) {
  io.Begin("track");
  Elements(io, track, "track length", [&](auto& p) { TrackPointFields(p, Through(io)); });
  io.End();
}

// ---------------------------------------------------------------- one mouse: places

// Every place a mouse can reach: its list, the exploration target, the target
// and the rated place, and the places their routes lead on to (which may have
// left the list). Each place is written once, so shared places stay shared.
class PlaceTable {
 public:
  explicit PlaceTable(const TMaus& m) : pool_(m.GoalLocations) {
    for (const PlaceHandle place : m.GoalLocations.Handles())
      Add(place);
    Add(m.ExploreTarget);
    Add(m.TargetLoc);
    Add(m.RatedLoc);
    for (std::size_t i = 0; i < places_.size(); ++i)
      Add(pool_.At(places_[i]).Next);
  }
  const std::vector<PlaceHandle>& Places() const { return places_; }
  std::int64_t IndexOf(PlaceHandle place) const { return place ? index_.at(place.slot) : -1; }

 private:
  void Add(PlaceHandle place) {
    if (!place) return;
    pool_.At(place);  // throws for a handle that names no place
    if (index_.emplace(place.slot, places_.size()).second) places_.push_back(place);
  }
  const PlaceList& pool_;
  std::vector<PlaceHandle> places_;
  std::unordered_map<std::uint32_t, std::int64_t> index_;
};

std::int64_t ElementIndex(const TMaus& m, const TGoalMemEl* element) {
  if (!element) return -1;
  for (std::size_t i = 0; i < m.GoalMemory.size(); ++i)
    if (m.GoalMemory[i].get() == element) return static_cast<std::int64_t>(i);
  throw InputError(
      "", 0, "mouse " + std::to_string(m.ID) + " has a place of a goal element it does not own");
}

void SaveMemory(Saver& io, StateWriter& out, const TMaus& m) {
  io.Begin("goalmemory");
  io.Size(m.GoalMemory.size(), "element count");
  io.End();
  for (const auto& el : m.GoalMemory)
    ElementRecord(io, *el);
  const PlaceTable table(m);
  io.Begin("places");
  io.Size(table.Places().size(), "place count");
  io.End();
  for (const PlaceHandle handle : table.Places()) {
    const TGoalAvLoc& p = m.GoalLocations.At(handle);
    io.Begin("place");
    out.Int(ElementIndex(m, p.Element));
    out.Int(table.IndexOf(p.Next));
    PlaceFields(p, Through(io));
    io.End();
  }
  io.Begin("placelist");
  io.Size(m.GoalLocations.size(), "list length");
  for (const PlaceHandle place : m.GoalLocations.Handles())
    out.Int(table.IndexOf(place));
  io.End();
  io.Begin("placerefs");
  out.Int(table.IndexOf(m.ExploreTarget));
  out.Int(table.IndexOf(m.TargetLoc));
  out.Int(table.IndexOf(m.RatedLoc));
  io.End();
}

PlaceHandle PlaceAt(StateReader& in, const std::vector<PlaceHandle>& places, const char* what) {
  const std::int64_t index = in.Int(what, -1, static_cast<std::int64_t>(places.size()) - 1);
  return index < 0 ? PlaceHandle{} : places[static_cast<std::size_t>(index)];
}

// A route that leads back to itself is no route: every walk along it would go on
// for ever. Such a file is refused.
void RefuseRouteLoops(StateReader& in, const PlaceList& pool,
                      const std::vector<PlaceHandle>& places) {
  for (const PlaceHandle start : places) {
    std::size_t steps = 0;
    for (PlaceHandle p = pool.At(start).Next; p; p = pool.At(p).Next) {
      if (++steps > places.size()) in.Fail("a route of remembered places leads back to itself");
    }
  }
}

void LoadMemory(Loader& io, StateReader& in, TMaus& m) {
  std::size_t count = 0;
  io.Begin("goalmemory");
  io.Size(count, "element count");
  io.End();
  for (std::size_t i = 0; i < count; ++i) {
    m.GoalMemory.push_back(std::make_unique<TGoalMemEl>());
    ElementRecord(io, *m.GoalMemory.back());
  }
  io.Begin("places");
  io.Size(count, "place count");
  io.End();
  PlaceList& pool = m.GoalLocations;
  pool = PlaceList();
  std::vector<PlaceHandle> places(count);
  for (PlaceHandle& p : places)
    p = pool.New();
  const auto elements = static_cast<std::int64_t>(m.GoalMemory.size());
  for (const PlaceHandle handle : places) {
    TGoalAvLoc& p = pool.At(handle);
    io.Begin("place");
    const std::int64_t element = in.Int("goal element of a place", -1, elements - 1);
    p.Element = element < 0 ? nullptr : m.GoalMemory[static_cast<std::size_t>(element)].get();
    p.Next = PlaceAt(in, places, "next place");
    PlaceFields(p, Through(io));
    io.End();
  }
  RefuseRouteLoops(in, pool, places);
  io.Begin("placelist");
  io.Size(count, "list length");
  for (std::size_t i = 0; i < count; ++i) {
    const PlaceHandle place = PlaceAt(in, places, "place of the list");
    if (!place) in.Fail("the place list holds no place");
    pool.Append(place);
  }
  io.End();
  io.Begin("placerefs");
  m.ExploreTarget = PlaceAt(in, places, "exploration target");
  if (!m.ExploreTarget) in.Fail("the exploration target is missing");
  m.TargetLoc = PlaceAt(in, places, "TargetLoc");
  m.RatedLoc = PlaceAt(in, places, "RatedLoc");
  io.End();
}

// ---------------------------------------------------------------- one mouse: other mice

}  // namespace

MouseIndex::MouseIndex(const TMausList& mice) {
  for (std::size_t i = 0; i < mice.size(); ++i)
    positions_.emplace(Key(mice[i]->Handle), static_cast<std::int64_t>(i));
}

std::int64_t MouseIndex::Of(MouseHandle handle) const {
  const auto found = positions_.find(Key(handle));
  return found == positions_.end() ? -1 : found->second;
}

MouseHandle MouseAt(StateReader& in, const TMausList& mice, const char* what) {
  const std::int64_t i = in.Int(what, -1, static_cast<std::int64_t>(mice.size()) - 1);
  return i < 0 ? MouseHandle{} : mice[static_cast<std::size_t>(i)]->Handle;
}

namespace {

void SaveLinks(Saver& io, StateWriter& out, const MouseIndex& index, const TMaus& m) {
  io.Begin("links");
  out.Int(index.Of(m.Partner));
  out.Int(index.Of(m.Competitor));
  out.Int(index.Of(m.Miserablemaus));
  io.End();
  for (const TMausRefs* seen : {&m.SeenMice, &m.SeenFriends, &m.SeenEnemies, &m.SeenStrangers}) {
    io.Begin("seen");
    io.Size(seen->size(), "seen count");
    for (MouseHandle other : *seen)
      out.Int(index.Of(other));
    io.End();
  }
  io.Begin("relations");
  io.Size(m.Relations.size(), "relation count");
  io.End();
  for (const TFrinEn& e : m.Relations) {
    io.Begin("relation");
    out.Int(index.Of(e.Other));
    RelationFields(e, Through(io));
    io.End();
  }
}

void LoadLinks(Loader& io, StateReader& in, const TMausList& mice, TMaus& m) {
  io.Begin("links");
  m.Partner = MouseAt(in, mice, "Partner");
  m.Competitor = MouseAt(in, mice, "Competitor");
  m.Miserablemaus = MouseAt(in, mice, "Miserablemaus");
  io.End();
  for (TMausRefs* seen : {&m.SeenMice, &m.SeenFriends, &m.SeenEnemies, &m.SeenStrangers}) {
    io.Begin("seen");
    std::size_t n = 0;
    io.Size(n, "seen count");
    for (std::size_t i = 0; i < n; ++i) {
      seen->push_back(MouseAt(in, mice, "seen mouse"));
      if (seen->back() == MouseHandle{}) in.Fail("a seen list holds no mouse");
    }
    io.End();
  }
  std::size_t n = 0;
  io.Begin("relations");
  io.Size(n, "relation count");
  io.End();
  for (std::size_t i = 0; i < n; ++i) {
    TFrinEn e;
    io.Begin("relation");
    e.Other = MouseAt(in, mice, "other mouse of a relation");
    RelationFields(e, Through(io));
    io.End();
    m.Relations.push_back(e);
  }
}

}  // namespace

// ---------------------------------------------------------------- one mouse: all of it

void SaveMouse(StateWriter& out, const MouseIndex& index, const TMaus& m) {
  Saver io(out);
  MouseValues(io, m);
  io.Begin("genom");
  GenomeFields(*m.Genom, Through(io));
  io.End();
  io.Begin("embryo");
  io(m.Embryo != nullptr, "embryo present");
  if (m.Embryo) GenomeFields(*m.Embryo, Through(io));
  io.End();
  PlanRecord(io, m.Plan, m.PlanIndex);
  SaveMemory(io, out, m);
  SaveLinks(io, out, index, m);
  TrackRecord(io, m.Protocol);
  SaveLines(io, *m.Lines);
}

void LoadMouse(StateReader& in, const TMausList& mice, TMaus& m) {
  Loader io(in);
  MouseValues(io, m);
  io.Begin("genom");
  GenomeFields(*m.Genom, Through(io));
  io.End();
  io.Begin("embryo");
  bool embryo = false;
  io(embryo, "embryo present");
  if (embryo) {
    m.Embryo = std::make_unique<TGenom>();
    GenomeFields(*m.Embryo, Through(io));
  }
  io.End();
  PlanRecord(io, m.Plan, m.PlanIndex);
  LoadMemory(io, in, m);
  LoadLinks(io, in, mice, m);
  TrackRecord(io, m.Protocol);
  LoadLines(io, *m.Lines);
}

}  // namespace murinex::checkpoint
