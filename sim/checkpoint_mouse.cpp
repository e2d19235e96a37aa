#include "sim/checkpoint_mouse.h"

#include <vector>

#include "agent/maus.h"
#include "model/lines.h"
#include "sim/checkpoint_io.h"
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
void MouseHead(IO& io, M& m) {
  io.Begin("mouse");
  io(m.ID, "ID");
  io(m.Age, "Age");
  io(m.Generation, "Generation");
  io(m.BirthTick, "BirthTick");
  io(m.MotherID, "MotherID");
  io(m.Lineage, "Lineage");
  io(m.MovedForHelp, "MovedForHelp");
  io(m.GoalChanged, "GoalChanged");
  io(m.Smiling, "Smiling");
  io(m.Attacked, "Attacked");
  io(m.HasNextGoal, "HasNextGoal");
  io(m.Dying, "Dying");
  io(m.OnHelpMission, "OnHelpMission");
  io(m.Afraid, "Afraid");
  io(m.Dares, "Dares");
  io(m.CompAttack, "CompAttack");
  io(m.KeepConsuming, "KeepConsuming");
  io.Byte(m.HelpCry, "HelpCry", 5);
  io.End();
}

template <class IO, class M>
void MouseState(IO& io, M& m) {
  io.Begin("state");
  io(m.SumWeights, "SumWeights");
  io(m.TotNeedStrength, "TotNeedStrength");
  io(m.PrevTotNeedStrength, "PrevTotNeedStrength");
  io(m.Heading, "Heading");
  io(m.Damage, "Damage");
  io(m.Jul, "Jul");
  io.Byte(m.Need, "Need", need::Count);
  io(m.Threat.value, "Threat");
  io(m.Threat.direction, "Threat direction");
  io(m.Support.value, "Support");
  io(m.Support.direction, "Support direction");
  io.Byte(m.Goal, "Goal", goal::Count);
  io.Byte(m.PrevGoal, "PrevGoal", goal::Count);
  io.Byte(m.Action, "Action", action::Count);
  io.Byte(m.LastAction, "LastAction", action::Count);
  io.Byte(m.Facing, "Facing", 8);
  io(m.Position.x, "x of Position");
  io(m.Position.y, "y of Position");
  io(m.StuckAt.x, "x of StuckAt");
  io(m.StuckAt.y, "y of StuckAt");
  io(m.Arousal, "Arousal");
  io(m.Inhib, "Inhib");
  io.End();
  io.Begin("actval");
  Reals(io, m.ActVal, "ActVal");
  io.End();
  io.Begin("params");
  Reals(io, m.Params, "person parameter");
  io.End();
}

template <class IO, class Mo>
void MotiveRecord(IO& io, Mo& mo) {
  io.Begin("motive");
  io(mo.Name, "motive name");
  io(mo.Reserve, "Reserve");
  io(mo.MaxReserve, "MaxReserve");
  io(mo.Ist, "Ist");
  io(mo.Soll, "Soll");
  io(mo.Deviation, "Deviation");
  io(mo.Urgency, "Urgency");
  io(mo.BasMeta, "BasMeta");
  io(mo.Leak, "Leak");
  io(mo.Weight, "Weight");
  io(mo.EpComp, "EpComp");
  io(mo.DevChange, "DevChange");
  io.End();
}

template <class IO, class G>
void GenomeFields(IO& io, G& g) {
  Reals(io, g.MotWeights, "MotWeights gene");
  Reals(io, g.PersonGenes, "person gene");
  for (auto& v : g.ReserveGenes)
    io(v, "reserve gene");
  Reals(io, g.BasMetaGenes, "BasMeta gene");
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
  io.Byte(el.GoalKind, "GoalKind", goal::Count);
  Reals(io, el.Values, "goal value");
  io(el.Expectation, "Expectation");
  io.End();
}

template <class IO, class T>
void TrackRecord(IO& io, T& track) {
  io.Begin("track");
  Elements(io, track, "track length", [&](auto& p) {
    io(p.X, "X of a track point");
    io(p.Y, "Y of a track point");
    io.Byte(p.Goal, "Goal of a track point", 256);
    io.Byte(p.Action, "Action of a track point", 256);
    io(p.Vividness, "Vividness");
  });
  io.End();
}

// ---------------------------------------------------------------- one mouse: places

// Every place a mouse can reach: its list, the exploration target, the target
// and the rated place, and the places their routes lead on to (which may have
// left the list). Each place is written once, so shared places stay shared.
class PlaceTable {
 public:
  explicit PlaceTable(const TMaus& m) {
    for (const auto& place : m.GoalLocations)
      Add(place.get());
    Add(m.ExploreTarget.get());
    Add(m.TargetLoc.get());
    Add(m.RatedLoc.get());
    for (std::size_t i = 0; i < places_.size(); ++i)
      Add(places_[i]->Next.get());
  }
  const std::vector<const TGoalAvLoc*>& Places() const { return places_; }
  std::int64_t IndexOf(const TGoalAvLoc* place) const { return place ? index_.at(place) : -1; }

 private:
  void Add(const TGoalAvLoc* place) {
    if (place && index_.emplace(place, places_.size()).second) places_.push_back(place);
  }
  std::vector<const TGoalAvLoc*> places_;
  std::unordered_map<const TGoalAvLoc*, std::int64_t> index_;
};

std::int64_t ElementIndex(const TMaus& m, const TGoalMemEl* element) {
  if (!element) return -1;
  for (std::size_t i = 0; i < m.GoalMemory.size(); ++i)
    if (m.GoalMemory[i].get() == element) return static_cast<std::int64_t>(i);
  throw InputError(
      "", 0, "mouse " + std::to_string(m.ID) + " has a place of a goal element it does not own");
}

template <class IO, class P>
void PlaceFields(IO& io, P& p) {
  io(p.Quality, "Quality");
  io(p.Sign, "Sign");
  io(p.NextIndex, "NextIndex");
  io(p.Pos.x, "x of a place");
  io(p.Pos.y, "y of a place");
  io(p.Retention, "Retention");
  io(p.LastRecall, "LastRecall");
  io(p.Progress, "Progress");
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
  for (const TGoalAvLoc* p : table.Places()) {
    io.Begin("place");
    out.Int(ElementIndex(m, p->Element));
    out.Int(table.IndexOf(p->Next.get()));
    PlaceFields(io, *p);
    io.End();
  }
  io.Begin("placelist");
  io.Size(m.GoalLocations.size(), "list length");
  for (const auto& place : m.GoalLocations)
    out.Int(table.IndexOf(place.get()));
  io.End();
  io.Begin("placerefs");
  out.Int(table.IndexOf(m.ExploreTarget.get()));
  out.Int(table.IndexOf(m.TargetLoc.get()));
  out.Int(table.IndexOf(m.RatedLoc.get()));
  io.End();
}

TGoalLocPtr PlaceAt(StateReader& in, const std::vector<TGoalLocPtr>& places, const char* what) {
  const std::int64_t index = in.Int(what, -1, static_cast<std::int64_t>(places.size()) - 1);
  return index < 0 ? nullptr : places[static_cast<std::size_t>(index)];
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
  std::vector<TGoalLocPtr> places(count);
  for (auto& p : places)
    p = std::make_shared<TGoalAvLoc>();
  const auto elements = static_cast<std::int64_t>(m.GoalMemory.size());
  for (auto& p : places) {
    io.Begin("place");
    const std::int64_t element = in.Int("goal element of a place", -1, elements - 1);
    p->Element = element < 0 ? nullptr : m.GoalMemory[static_cast<std::size_t>(element)].get();
    p->Next = PlaceAt(in, places, "next place");
    PlaceFields(io, *p);
    io.End();
  }
  io.Begin("placelist");
  io.Size(count, "list length");
  for (std::size_t i = 0; i < count; ++i) {
    m.GoalLocations.push_back(PlaceAt(in, places, "place of the list"));
    if (!m.GoalLocations.back()) in.Fail("the place list holds no place");
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

MouseIndex IndexMice(const TMausList& mice) {
  MouseIndex index;
  for (std::size_t i = 0; i < mice.size(); ++i)
    index.emplace(mice[i].get(), static_cast<std::int64_t>(i));
  return index;
}

std::int64_t IndexOfMouse(const MouseIndex& index, const TMaus* other, const TMaus& m) {
  if (!other) return -1;
  const auto found = index.find(other);
  if (found == index.end())
    throw InputError("", 0,
                     "mouse " + std::to_string(m.ID) + " refers to a mouse that is not in the run");
  return found->second;
}

TMaus* MouseAt(StateReader& in, const TMausList& mice, const char* what) {
  const std::int64_t i = in.Int(what, -1, static_cast<std::int64_t>(mice.size()) - 1);
  return i < 0 ? nullptr : mice[static_cast<std::size_t>(i)].get();
}

namespace {

void SaveLinks(Saver& io, StateWriter& out, const MouseIndex& index, const TMaus& m) {
  io.Begin("links");
  out.Int(IndexOfMouse(index, m.Partner, m));
  out.Int(IndexOfMouse(index, m.Competitor, m));
  out.Int(IndexOfMouse(index, m.Miserablemaus, m));
  io.End();
  for (const TMausRefs* seen : {&m.SeenMice, &m.SeenFriends, &m.SeenEnemies, &m.SeenStrangers}) {
    io.Begin("seen");
    io.Size(seen->size(), "seen count");
    for (const TMaus* other : *seen)
      out.Int(IndexOfMouse(index, other, m));
    io.End();
  }
  io.Begin("relations");
  io.Size(m.Relations.size(), "relation count");
  io.End();
  for (const TFrinEn& e : m.Relations) {
    io.Begin("relation");
    io(e.OtherID, "OtherID");
    out.Int(IndexOfMouse(index, e.OtherMaus, m));
    io(e.Friendship, "Friendship");
    io(e.Enmity, "Enmity");
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
      if (!seen->back()) in.Fail("a seen list holds no mouse");
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
    io(e.OtherID, "OtherID");
    e.OtherMaus = MouseAt(in, mice, "other mouse of a relation");
    io(e.Friendship, "Friendship");
    io(e.Enmity, "Enmity");
    io.End();
    m.Relations.push_back(e);
  }
}

}  // namespace

// ---------------------------------------------------------------- one mouse: all of it

void SaveMouse(StateWriter& out, const MouseIndex& index, const TMaus& m) {
  Saver io(out);
  MouseHead(io, m);
  MouseState(io, m);
  for (const TMotiv& mo : m.Motives)
    MotiveRecord(io, mo);
  io.Begin("genom");
  GenomeFields(io, *m.Genom);
  io.End();
  io.Begin("embryo");
  io(m.Embryo != nullptr, "embryo present");
  if (m.Embryo) GenomeFields(io, *m.Embryo);
  io.End();
  PlanRecord(io, m.Plan, m.PlanIndex);
  SaveMemory(io, out, m);
  SaveLinks(io, out, index, m);
  TrackRecord(io, m.Protocol);
  SaveLines(io, *m.Lines);
}

void LoadMouse(StateReader& in, const TMausList& mice, TMaus& m) {
  Loader io(in);
  MouseHead(io, m);
  MouseState(io, m);
  for (TMotiv& mo : m.Motives)
    MotiveRecord(io, mo);
  io.Begin("genom");
  GenomeFields(io, *m.Genom);
  io.End();
  io.Begin("embryo");
  bool embryo = false;
  io(embryo, "embryo present");
  if (embryo) {
    m.Embryo = std::make_unique<TGenom>();
    GenomeFields(io, *m.Embryo);
  }
  io.End();
  PlanRecord(io, m.Plan, m.PlanIndex);
  LoadMemory(io, in, m);
  LoadLinks(io, in, mice, m);
  TrackRecord(io, m.Protocol);
  LoadLines(io, *m.Lines);
}

}  // namespace murinex::checkpoint
