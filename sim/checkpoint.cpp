#include "sim/checkpoint.h"

#include <fstream>
#include <limits>
#include <sstream>
#include <unordered_map>
#include <vector>

#include "agent/lines.h"
#include "agent/maus.h"
#include "sim/run.h"
#include "sim/state_text.h"
#include "world/error.h"

namespace murinex {

namespace {

constexpr std::int64_t I32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t I32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t I64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t I64Max = std::numeric_limits<std::int64_t>::max();

// The two directions share one list of fields per record: Saver writes what
// it is given, Loader fills it. `what` names a value in error messages.
class Saver {
 public:
  static constexpr bool Loading = false;
  explicit Saver(StateWriter& out) : out_(out) {}

  void Begin(std::string_view key) { out_.Begin(key); }
  void End() { out_.End(); }
  void operator()(const std::int32_t& v, const char*) { out_.Int(v); }
  void operator()(const std::int64_t& v, const char*) { out_.Int(v); }
  void operator()(const std::uint32_t& v, const char*) { out_.Int(v); }
  void operator()(const bool& v, const char*) { out_.Int(v ? 1 : 0); }
  void operator()(const double& v, const char*) { out_.Real(v); }
  void operator()(const std::string& v, const char*) { out_.Text(v); }
  void operator()(const char& v, const char*) { out_.Int(static_cast<unsigned char>(v)); }
  // A byte that indexes a table of `count` entries.
  void Byte(const std::uint8_t& v, const char*, int) { out_.Int(v); }
  void Size(const std::size_t& n, const char*) { out_.Int(static_cast<std::int64_t>(n)); }

 private:
  StateWriter& out_;
};

class Loader {
 public:
  static constexpr bool Loading = true;
  explicit Loader(StateReader& in) : in_(in) {}

  void Begin(std::string_view key) { in_.Begin(key); }
  void End() { in_.End(); }
  void operator()(std::int32_t& v, const char* what) {
    v = static_cast<std::int32_t>(in_.Int(what, I32Min, I32Max));
  }
  void operator()(std::int64_t& v, const char* what) { v = in_.Int(what, I64Min, I64Max); }
  void operator()(std::uint32_t& v, const char* what) {
    v = static_cast<std::uint32_t>(in_.Int(what, 0, 0xFFFFFFFFll));
  }
  void operator()(bool& v, const char* what) { v = in_.Int(what, 0, 1) != 0; }
  void operator()(double& v, const char* what) { v = in_.Real(what); }
  void operator()(std::string& v, const char* what) { v = in_.Text(what); }
  void operator()(char& v, const char* what) { v = static_cast<char>(in_.Int(what, 0, 255)); }
  void Byte(std::uint8_t& v, const char* what, int count) {
    v = static_cast<std::uint8_t>(in_.Int(what, 0, count - 1));
  }
  // Every entry takes at least one byte of the text, so a bad count cannot
  // ask for more memory than the file itself.
  void Size(std::size_t& n, const char* what) {
    n = static_cast<std::size_t>(in_.Int(what, 0, in_.Remaining()));
  }
  StateReader& Reader() { return in_; }

 private:
  StateReader& in_;
};

// A list of plain values: its size, then each element through `each`.
template <class IO, class Vector, class Each>
void Elements(IO& io, Vector& list, const char* what, Each each) {
  std::size_t n = list.size();
  io.Size(n, what);
  if constexpr (IO::Loading) list.resize(n);
  for (auto& element : list)
    each(element);
}

template <class IO, class Array>
void Reals(IO& io, Array& values, const char* what) {
  for (auto& v : values)
    io(v, what);
}

// ---------------------------------------------------------------- run-wide records

template <class IO, class R>
void RunRecord(IO& io, R& run) {
  io.Begin("run");
  io(run.TaskName, "task name");
  io(run.PopulationFileName, "population file name");
  io(run.WorldFileName, "world file name");
  io(run.SettingsFileName, "settings file name");
  io(run.TickInterval, "tick interval");
  io(run.StartTick, "start tick");
  io(run.TickCount, "tick count");
  io(run.IdCounter, "ID counter");
  io(run.CheckMausId, "check mouse ID");
  io(run.DumpNumber, "dump number");
  io(run.StatRowCount, "statistics row count");
  io(run.StatInterval, "statistics interval");
  io(run.Births, "births");
  for (auto& deaths : run.DeathsBy)
    io(deaths, "deaths");
  io.End();
}

template <class IO>
void GeneratorRecord(IO& io, std::uint32_t& seed) {
  io.Begin("random");
  io(seed, "seed");
  io.End();
}

template <class IO, class R>
void StatsRecord(IO& io, R& run) {
  io.Begin("stats");
  for (int i = 0; i < stat::Count; ++i) {
    if constexpr (IO::Loading)
      io(run.Stats.Slot(i), "statistics sum");
    else
      io(run.Stats[static_cast<stat::Column>(i)], "statistics sum");
  }
  io.End();
}

template <class IO, class Rows>
void RangeRows(IO& io, const char* key, Rows& rows) {
  io.Begin(key);
  for (auto& row : rows) {
    io(row.scale, "range scale");
    io(row.minimum, "range minimum");
    io(row.maximum, "range maximum");
  }
  io.End();
}

template <class IO, class S>
void SettingsRecords(IO& io, S& settings) {
  io.Begin("life");
  for (auto& row : settings.LifeSettings) {
    io(row.whole, "life setting");
    io(row.real, "life setting");
  }
  io.End();
  RangeRows(io, "motweights", settings.MotWeightRanges);
  RangeRows(io, "person", settings.PersonRanges);
  RangeRows(io, "reserve", settings.ReserveRanges);
  RangeRows(io, "basalmetabol", settings.BasalMetaBolRanges);
  io.Begin("actions");
  for (auto& row : settings.ActionSettings) {
    io(row.hungerCost, "hunger cost");
    io(row.thirstCost, "thirst cost");
    io(row.colour, "action colour");
  }
  io.End();
  io.Begin("goalneeds");
  for (auto& row : settings.GoalNeedMatrix)
    Reals(io, row, "goal-need value");
  io.End();
}

template <class IO, class T>
void PatchRecord(IO& io, T& terra) {
  io.Begin("patch");
  io(terra.Name, "patch name");
  std::uint8_t kind = terra.Kind;
  io.Byte(kind, "patch kind", KindHealingHerbs + 1);
  if constexpr (IO::Loading) {
    if (kind < KindSand) io.Reader().Fail("a patch kind must be 1 to 6");
    terra.Kind = kind;
  }
  io(terra.Area, "patch area");
  io(terra.Amount, "patch amount");
  io(terra.Level, "patch level");
  io(terra.Growth, "patch growth");
  io(terra.Decay, "patch decay");
  io(terra.Colour, "patch colour");
  io(terra.Centre.x, "patch centre");
  io(terra.Centre.y, "patch centre");
  Elements(io, terra.Seasons, "season count", [&](auto& season) {
    io(season.FirstDay, "first day of a season");
    io(season.EndDay, "end day of a season");
  });
  Elements(io, terra.Points, "point count", [&](auto& p) {
    io(p.x, "x of a patch point");
    io(p.y, "y of a patch point");
  });
  io.End();
}

void SaveWorld(Saver& io, const TWorld& world) {
  io.Begin("world");
  io(world.WorldWidth, "world width");
  io(world.WorldHeight, "world height");
  io.Size(world.TerraList.size(), "patch count");
  io.End();
  for (const auto& terra : world.TerraList)
    PatchRecord(io, *terra);
}

std::unique_ptr<TWorld> LoadWorld(Loader& io) {
  auto world = std::make_unique<TWorld>();
  io.Begin("world");
  io(world->WorldWidth, "world width");
  io(world->WorldHeight, "world height");
  std::size_t count = 0;
  io.Size(count, "patch count");
  io.End();
  if (world->WorldWidth <= 0 || world->WorldHeight <= 0 ||
      static_cast<std::int64_t>(world->WorldWidth) * world->WorldHeight > MaxWorldPixels)
    io.Reader().Fail("the world size is out of range");
  if (count == 0 || count >= 0xFFFFFF) io.Reader().Fail("the patch count is out of range");
  for (std::size_t i = 0; i < count; ++i) {
    auto terra = std::make_unique<TTerra>();
    PatchRecord(io, *terra);
    world->TerraList.push_back(std::move(terra));
  }
  world->FirstTerra = world->TerraList.front().get();
  world->BuildLookup();
  return world;
}

// ---------------------------------------------------------------- chart lines

template <class IO, class L>
void SeriesRecord(IO& io, L& line) {
  io.Begin("series");
  io(line.Title, "line title");
  io(line.Colour, "line colour");
  Elements(io, line.Values, "point count", [&](auto& v) { io(v, "line value"); });
  Elements(io, line.Colours, "colour count", [&](auto& c) { io(c, "point colour"); });
  io.End();
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
}

template <class IO, class S>
void SumLineRecord(IO& io, S& line) {
  io.Begin("sumline");
  io(line.Name, "summary line name");
  io(line.Sum, "summary line sum");
  io(line.Count, "summary line count");
  io.End();
  SeriesRecord(io, line.Series);
}

void SaveSumLines(Saver& io, const TSumLines& lines) {
  io.Begin("sumlines");
  io(lines.PageLength(), "page length");
  io(lines.PointsOnPage(), "points on the page");
  io(lines.PageOffset(), "page offset");
  io.Size(lines.Size(), "summary line count");
  io.End();
  for (std::size_t i = 0; i < lines.Size(); ++i)
    SumLineRecord(io, lines.At(i));
}

void LoadSumLines(Loader& io, TSumLines& lines) {
  double length = 0, offset = 0;
  std::int32_t points = 0;
  std::size_t count = 0;
  io.Begin("sumlines");
  io(length, "page length");
  io(points, "points on the page");
  io(offset, "page offset");
  io.Size(count, "summary line count");
  io.End();
  lines.SetPage(length, points, offset);
  for (std::size_t i = 0; i < count; ++i) {
    TSumLine line;
    SumLineRecord(io, line);
    TSumLine& kept = lines.SumLine(line.Name);
    if (kept.Series.Count() > 0 || kept.Count > 0)
      io.Reader().Fail("the summary line \"" + line.Name + "\" is there twice");
    kept = std::move(line);
  }
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

using MouseIndex = std::unordered_map<const TMaus*, std::int64_t>;

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

// ---------------------------------------------------------------- files

// The protocol files in the order of SavedOutputs.
std::array<const OutFile*, 5> OutputsOf(const Run& run) {
  return {&run.BirthLog, &run.StatProto, &run.KofiProt, &run.Behaviour, &run.AggProt};
}
std::array<OutFile*, 5> OutputsOf(Run& run) {
  return {&run.BirthLog, &run.StatProto, &run.KofiProt, &run.Behaviour, &run.AggProt};
}

template <class IO, class S>
void OutputRecord(IO& io, S& saved) {
  io.Begin("output");
  io(saved.name, "file name");
  std::int64_t length = static_cast<std::int64_t>(saved.length);
  io(length, "file length");
  if constexpr (IO::Loading) {
    if (length < 0) io.Reader().Fail("a file length must not be negative");
    saved.length = static_cast<std::uint64_t>(length);
  }
  io(saved.open, "file open");
  io.End();
}

std::string ReadWholeFile(const std::filesystem::path& path, const std::string& displayName) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError(displayName, 0, "cannot open file");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw InputError(displayName, 0, "cannot read file");
  return std::move(text).str();
}

// The state of `from`, read from a checkpoint, becomes the state of `into`;
// the run's folder, switches, files and listeners stay.
void TakeState(Run& into, Run& from) {
  into.TaskName = from.TaskName;
  into.PopulationFileName = from.PopulationFileName;
  into.WorldFileName = from.WorldFileName;
  into.SettingsFileName = from.SettingsFileName;
  into.TickInterval = from.TickInterval;
  into.settings = from.settings;
  into.random = from.random;
  into.World = std::move(from.World);
  into.Mice = std::move(from.Mice);
  into.IdCounter = from.IdCounter;
  into.TickCount = from.TickCount;
  into.StartTick = from.StartTick;
  into.CheckMausId = from.CheckMausId;
  into.Busy = false;
  into.DumpNumber = from.DumpNumber;
  into.StatRowCount = from.StatRowCount;
  into.StatInterval = from.StatInterval;
  into.Stats = from.Stats;
  into.SumLines = std::move(from.SumLines);
  into.Births = from.Births;
  for (int i = 0; i < 5; ++i)
    into.DeathsBy[i] = from.DeathsBy[i];
  into.SelectMaus(from.SelectedMaus);
  from.SelectedMaus = nullptr;
}

// Every saved file must still hold at least what the run had written then.
void CheckOutputs(const Run& run, const SavedOutputs& outputs) {
  for (const SavedOutput& saved : outputs) {
    if (!saved.open) continue;
    std::error_code error;
    const auto size = std::filesystem::file_size(run.WorkDir / saved.name, error);
    if (error)
      throw InputError(saved.name, 0,
                       "cannot resume: the file is missing (" + error.message() + ")");
    if (size < saved.length)
      throw InputError(saved.name, 0,
                       "cannot resume: the file holds " + std::to_string(size) +
                           " bytes, fewer than the " + std::to_string(saved.length) +
                           " it had at the checkpoint");
  }
}

}  // namespace

std::string CheckpointName(const std::string& taskName) {
  return "data/checkpoint-" + taskName + ".mxc";
}

std::filesystem::path CheckpointPath(const std::filesystem::path& workDir,
                                     const std::string& taskName) {
  return workDir / CheckpointName(taskName);
}

std::string CheckpointText(const Run& run) {
  if (!run.World) throw InputError("", 0, "there is no world to save yet");
  StateWriter out(CheckpointFormat, CheckpointVersion);
  Saver io(out);
  RunRecord(io, run);
  std::uint32_t seed = run.random.Seed();
  GeneratorRecord(io, seed);
  StatsRecord(io, run);
  SettingsRecords(io, run.settings);
  SaveWorld(io, *run.World);
  SaveSumLines(io, run.SumLines);
  MouseIndex index;
  for (std::size_t i = 0; i < run.Mice.size(); ++i)
    index.emplace(run.Mice[i].get(), static_cast<std::int64_t>(i));
  io.Begin("mice");
  io.Size(run.Mice.size(), "mouse count");
  io.End();
  for (const auto& m : run.Mice)
    SaveMouse(out, index, *m);
  io.Begin("selected");
  out.Int(run.SelectedMaus ? IndexOfMouse(index, run.SelectedMaus, *run.SelectedMaus) : -1);
  io.End();
  for (const OutFile* file : OutputsOf(run)) {
    SavedOutput saved{file->Name(), file->Length(), file->IsOpen()};
    OutputRecord(io, saved);
  }
  return out.Finish();
}

SavedOutputs ReadCheckpointText(Run& fresh, const std::string& text,
                                const std::string& displayName) {
  StateReader in(text, displayName, CheckpointFormat, CheckpointVersion);
  Loader io(in);
  RunRecord(io, fresh);
  std::uint32_t seed = 0;
  GeneratorRecord(io, seed);
  fresh.random.SetSeed(seed);
  StatsRecord(io, fresh);
  SettingsRecords(io, fresh.settings);
  fresh.World = LoadWorld(io);
  LoadSumLines(io, fresh.SumLines);
  std::size_t count = 0;
  io.Begin("mice");
  io.Size(count, "mouse count");
  io.End();
  fresh.Mice.clear();
  for (std::size_t i = 0; i < count; ++i)
    fresh.Mice.push_back(std::make_unique<TMaus>(0));
  for (auto& m : fresh.Mice)
    LoadMouse(in, fresh.Mice, *m);
  io.Begin("selected");
  fresh.SelectedMaus = MouseAt(in, fresh.Mice, "selected mouse");
  io.End();
  SavedOutputs outputs;
  for (SavedOutput& saved : outputs)
    OutputRecord(io, saved);
  if (!in.AtEnd()) in.Fail("unexpected records after the last output file");
  return outputs;
}

void WriteCheckpoint(Run& run) {
  const std::string text = CheckpointText(run);
  for (OutFile* file : OutputsOf(run))
    file->Sync();
  const std::string name = CheckpointName(run.TaskName);
  WriteFileAtomically((run.WorkDir / name).string(), name, text, true);
}

bool HasCheckpoint(const std::filesystem::path& workDir, const std::string& taskName) {
  std::error_code error;
  return std::filesystem::exists(CheckpointPath(workDir, taskName), error);
}

void ResumeFromCheckpoint(Run& run, const std::string& taskName,
                          const std::function<void(const Run& saved)>& accept) {
  const std::string name = CheckpointName(taskName);
  const std::string text = ReadWholeFile(run.WorkDir / name, name);
  Run loaded(run.WorkDir);
  const SavedOutputs outputs = ReadCheckpointText(loaded, text, name);
  if (loaded.TaskName != taskName)
    throw InputError(name, 0,
                     "the checkpoint belongs to the task \"" + loaded.TaskName + "\", not to \"" +
                         taskName + "\"");
  CheckOutputs(run, outputs);
  if (accept) accept(loaded);
  TakeState(run, loaded);
  const std::array<OutFile*, 5> files = OutputsOf(run);
  for (std::size_t i = 0; i < files.size(); ++i)
    if (outputs[i].open)
      files[i]->Reopen((run.WorkDir / outputs[i].name).string(), outputs[i].name,
                       outputs[i].length);
}

}  // namespace murinex
