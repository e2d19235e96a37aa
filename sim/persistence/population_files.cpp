#include "sim/persistence/population_files.h"

#include <ctime>
#include <type_traits>

#include "agent/maus.h"
#include "agent/maus_fields.h"
#include "agent/memory.h"
#include "model/out_file.h"
#include "model/run.h"
#include "world/error.h"
#include "world/format.h"
#include "world/input_ranges.h"
#include "world/text_reader.h"

namespace murinex {

namespace {

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

goal::Goal ReadGoalKind(TextReader& in, const std::string& what) {
  const std::int32_t kind = in.ReadInt(what);
  const auto low = static_cast<std::uint8_t>(kind & 0xFF);
  if (low >= goal::Count)
    in.Fail("expected a goal kind 0 to 10 (" + what + "), found " + std::to_string(kind));
  return static_cast<goal::Goal>(low);
}

// Reads the dumped fields of a record's list in their order, each checked
// against its range; `what(field, n)` names the n-th value read in error messages.
template <class Namer>
class FieldReader {
 public:
  FieldReader(TextReader& in, Namer what) : in_(in), what_(std::move(what)) {}

  void operator()(const FieldInfo& f, double& v) {
    if (!f.dump.Dumped()) return;
    v = f.HasRange() ? ReadReal(in_, f.range, Name(f)) : in_.ReadReal(Name(f));
  }
  void operator()(const FieldInfo& f, std::int32_t& v) {
    if (!f.dump.Dumped()) return;
    v = f.HasRange() ? ReadInt(in_, f.range, Name(f)) : in_.ReadInt(Name(f));
  }
  // A byte keeps the low eight bits of what is written; those must index its table.
  void operator()(const FieldInfo& f, std::uint8_t& v) {
    if (!f.dump.Dumped()) return;
    if (f.options == goal::Count) {
      v = ReadGoalKind(in_, Name(f));
      return;
    }
    const std::string what = Name(f);
    v = static_cast<std::uint8_t>(in_.ReadInt(what) & 0xFF);
    if (v >= f.options) in_.Fail("expected " + what + " below " + std::to_string(f.options));
  }
  // A need, goal, action or terrain kind is read as its byte.
  template <class E>
  requires std::is_enum_v<E>
  void operator()(const FieldInfo& f, E& v) {
    std::uint8_t byte = static_cast<std::uint8_t>(v);
    (*this)(f, byte);
    v = static_cast<E>(byte);
  }
  void operator()(const FieldInfo& f, std::string& v) {
    if (!f.dump.Dumped()) return;
    v = in_.ReadWord();
    ++read_;
  }

 private:
  // Counts the value as read: the name is built only when needed, and each is asked once.
  std::string Name(const FieldInfo& f) { return what_(f, read_++); }

  TextReader& in_;
  Namer what_;
  int read_ = 0;
};

void ReadHead(Run& run, TMaus& m, TextReader& in) {
  in.SkipBlankLines();
  if (in.AtEndOfFile()) in.Fail("expected a mouse record, found end of file");
  m.Lineage = in.ReadWord();
  m.ID = ReadInt(in, Field::Id, "ID");
  m.Age = ReadInt(in, Field::Age, "Age of mouse " + std::to_string(m.ID));
  m.MotherID = ReadInt(in, Field::Id, "MotherID of mouse " + std::to_string(m.ID));
  m.BirthTick = ReadInt(in, Field::BirthTick, "BirthTick of mouse " + std::to_string(m.ID));
  in.NextLine();
  if (m.ID > run.IdCounter) run.IdCounter = m.ID;
  m.Position.x = ReadInt(in, Field::Position, "x of Position");
  m.Position.y = ReadInt(in, Field::Position, "y of Position");
  in.NextLine();
}

void ReadActVal(TMaus& m, TextReader& in) {
  in.SkipBlankLines();
  in.ReadLine("the \"ActVal\" label line");
  const std::string of = " of mouse " + std::to_string(m.ID);
  ActValFields(m, FieldReader(in, [&](const FieldInfo&, int slot) {
                 return "ActVal slot " + std::to_string(slot) + of;
               }));
  // A fraction would be written as 0 and the embryo's lines misread.
  if (m.Pregnant() != 0 && m.Pregnant() != 1)
    FailRange(in, in.Line(), Field::Pregnant, "ActVal slot 6" + of, m.Pregnant());
  in.NextLine();
}

void ReadEmbryo(TMaus& m, TextReader& in) {
  in.SkipBlankLines();
  const int labelLine = in.Line();
  const std::string label = in.AtEndOfFile() ? "" : in.ReadLine("the \"Genom\" label line");
  if (Trim(label).rfind("Genom", 0) != 0)
    throw InputError(in.Name(), labelLine,
                     "mouse " + std::to_string(m.ID) +
                         " is pregnant: expected its \"Genom\" section, found \"" + Trim(label) +
                         "\"");
  m.Embryo = std::make_unique<TGenom>();
  in.SkipBlankLines();
  FieldReader read(in,
                   [](const FieldInfo& f, int) { return std::string("embryo gene ") + f.name; });
  // The lines of the need genes, then those of the person genes.
  int count = 0;
  GenomeFields(*m.Embryo, [&](const FieldInfo& f, auto& value) {
    read(f, value);
    if (++count == 3 * need::Count || count == GenomeFieldCount) in.NextLine();
  });
}

void ReadMotives(TMaus& m, TextReader& in) {
  in.SkipBlankLines();
  m.SumWeights = 0;
  for (int i = 0; i < need::Count; ++i) {
    TMotiv& mo = m.Motives[i];
    const std::string of = std::string(" of motive line ") + std::to_string(i);
    MotiveFields(mo, FieldReader(in, [&](const FieldInfo& f, int) { return f.name + of; }));
    in.NextLine();
    m.SumWeights += mo.Weight;
  }
}

void ReadParams(TMaus& m, TextReader& in) {
  in.NextLine();
  int j = 0;
  ParamFields(m, [&](const FieldInfo& f, double& value) {
    value = ReadReal(in, f.range, std::string("person parameter ") + f.name);
    if (j % 2 == 1 || j == param::Count - 1) in.NextLine();
    ++j;
  });
}

void ReadGoalMemory(TMaus& m, TextReader& in) {
  in.SkipBlankLines();
  in.ReadLine("the \"--- Goals ---\" header");
  while (!in.AtBlankLineStart()) {
    auto el = std::make_unique<TGoalMemEl>();
    GoalElementFields(*el, FieldReader(in, [](const FieldInfo&, int n) {
      return n == 0 ? std::string("goal kind of a goal-memory row")
                    : "goal value for need " + std::to_string(n - 1);
    }));
    in.NextLine();
    m.GoalMemory.push_back(std::move(el));
  }
}

void ReadPlaces(Run& run, TMaus& m, TextReader& in, std::int32_t startTick) {
  in.SkipBlankLines();
  in.ReadLine("the \" --- Memory ---\" header");
  while (!in.AtBlankLineStart()) {
    const PlaceHandle handle = m.GoalLocations.New();
    TGoalAvLoc& place = m.GoalLocations.At(handle);
    const int line = in.Line();
    const std::string row = "place row " + std::to_string(m.GoalLocations.size());
    in.ReadInt("row number of a place row");
    place.Pos.x = ReadInt(in, Field::Position, "x of " + row);
    place.Pos.y = ReadInt(in, Field::Position, "y of " + row);
    place.Retention = ReadReal(in, Field::Retention, "Retention of " + row);
    place.LastRecall = ReadInt(in, Field::LastRecall, "LastRecall of " + row);
    // A recall after the start would make the next fading restore strength.
    if (place.LastRecall > startTick)
      in.Fail("LastRecall of " + row + " (" + std::to_string(place.LastRecall) +
              ") lies after the start tick " + std::to_string(startTick));
    place.NextIndex = in.ReadInt("NextIndex of " + row);
    place.Progress = ReadReal(in, Field::Progress, "Progress of " + row);
    const goal::Goal kind = ReadGoalKind(in, "goal kind of " + row);
    place.Quality = ReadReal(in, Field::Quality, "Quality of " + row);
    if (in.RestOfLineBlank())
      in.Fail("expected the sign of " + row + ", found the end of the line");
    const int signLine = in.Line();
    place.Sign = Trim(in.ReadLine("sign of " + row))[0];
    // Written back after three blanks: a control character would not survive.
    if (place.Sign < '!' || place.Sign > '~')
      throw InputError(in.Name(), signLine,
                       "the sign of " + row + " must be a visible character such as +, - or 0");
    place.Element = &FindElement(m.GoalMemory, run.settings, kind);
    const auto index = static_cast<std::int32_t>(m.GoalLocations.size());
    if (place.NextIndex >= index)
      throw InputError(in.Name(), line,
                       row + ": NextIndex " + std::to_string(place.NextIndex) +
                           " must name an earlier place of the list");
    m.GoalLocations.Append(handle);
  }
  for (TGoalAvLoc& place : m.GoalLocations)
    if (place.NextIndex >= 0) place.Next = m.GoalLocations.HandleAt(place.NextIndex);
  PurgeLocs(m.GoalLocations);
}

void ReadRelations(TMaus& m, TextReader& in) {
  in.SkipBlankLines();
  in.ReadWord();
  const std::int32_t n = ReadInt(in, Field::EntryCount, "number of FriEns entries");
  for (std::int32_t k = 0; k < n; ++k) {
    TFrinEn e;
    RelationFields(e, FieldReader(in, [](const FieldInfo& f, int) {
                     return std::string(f.name) + " of a FriEns entry";
                   }));
    m.Relations.push_back(e);
  }
}

void ReadTrack(TMaus& m, TextReader& in) {
  in.SkipBlankLines();
  in.ReadWord();
  const std::int32_t n = ReadInt(in, Field::EntryCount, "number of Protocol entries");
  for (std::int32_t k = 0; k < n; ++k) {
    TProtocol p;
    TrackPointFields(p, FieldReader(in, [](const FieldInfo& f, int) {
                       return std::string(f.name) + " of a Protocol entry";
                     }));
    m.Protocol.push_back(p);
  }
}

}  // namespace

void ReadMaus(Run& run, TMaus& m, TextReader& in) {
  ReadMaus(run, m, in, run.TickCount);
}

void ReadMaus(Run& run, TMaus& m, TextReader& in, std::int32_t startTick) {
  ReadHead(run, m, in);
  ReadActVal(m, in);
  if (m.Pregnant() > 0) ReadEmbryo(m, in);
  ReadMotives(m, in);
  ReadParams(m, in);
  ReadGoalMemory(m, in);
  ReadPlaces(run, m, in, startTick);
  ReadRelations(m, in);
  ReadTrack(m, in);
  m.Action = action::NoAction;
  m.StuckAt = NoPoint;
}

// ---------------------------------------------------------------- writing

namespace {

// Fields of the dumps have fixed widths and no separator: a value that fills
// its column or is wider keeps one blank before it, so it never runs into the
// field before it and the dump always reads back.
std::string Column(std::string text, int w) {
  if (static_cast<int>(text.size()) >= w) return " " + text;
  return PadLeft(text, w);
}
std::string I(std::int64_t v, int w) {
  return Column(std::to_string(v), w);
}
std::string R(double v, int w, int d) {
  return Column(FormatFixed(v, 0, d), w);
}

// A field in its dump column; fields a dump does not hold write nothing.
template <class T>
std::string Put(const FieldInfo& f, const T& v) {
  if (!f.dump.Dumped()) return "";
  if constexpr (std::is_same_v<T, std::string>)
    return Column(v, f.dump.width);
  else if constexpr (std::is_floating_point_v<T>)
    return f.dump.decimals == DumpLayout::Whole ? I(RoundHalfEven(v), f.dump.width)
                                                : R(v, f.dump.width, f.dump.decimals);
  else
    return I(static_cast<std::int64_t>(v), f.dump.width);
}

// Appends every dumped field of a record to the text of a dump.
class Appender {
 public:
  explicit Appender(std::string& out) : out_(out) {}
  template <class T>
  void operator()(const FieldInfo& f, const T& v) const {
    out_ += Put(f, v);
  }

 private:
  std::string& out_;
};

// Three genes to a line: those of each need, then the person genes.
void WriteEmbryo(const TGenom& e, std::string& out) {
  out += "Genom\n";
  int count = 0;
  GenomeFields(e, [&](const FieldInfo& f, const auto& v) {
    out += Put(f, v);
    if (++count % 3 == 0) out += "\n";
  });
  out += "\n\n";
}

void WriteMotives(const TMaus& m, std::string& out) {
  for (int i = 0; i < need::Count; ++i) {
    MotiveFields(m.Motives[i], Appender(out));
    out += std::string("   // ") + NeedNames[i];
    if (i == 0) out += ": Soll, Ist, BasMeta, Leak, Weight, Reserve, MaxReserve";
    out += "\n";
  }
}

// Two parameters to a line, each line closed by their names.
void WriteParams(const TMaus& m, std::string& out) {
  int j = 0;
  std::string names;
  ParamFields(m, [&](const FieldInfo& f, double v) {
    out += Put(f, v);
    names += (names.empty() ? "" : ", ") + std::string(f.name);
    if (++j % 2 == 0 || j == param::Count) {
      out += "  // " + names + "\n";
      names.clear();
    }
  });
}

void WritePlaces(Run& run, TMaus& m, std::string& out) {
  for (std::size_t k = 0; k < m.GoalLocations.size(); ++k) {
    TGoalAvLoc& p = m.GoalLocations[k];
    p.Retention = FadeRetention(run, p, m.P(param::RateForget));
    out += I(static_cast<std::int64_t>(k), 5) + I(p.Pos.x, 8) + I(p.Pos.y, 5) +
           R(p.Retention, 12, 9) + I(p.LastRecall, 8) + I(p.NextIndex < 0 ? -1 : p.NextIndex, 7) +
           R(p.Progress, 7, 3) + I(p.Kind(), 4) + R(p.Quality, 7, 3) + "   " + p.Sign + "\n";
  }
}

void WriteRelations(const TMaus& m, std::string& out) {
  const std::size_t n = m.Relations.size();
  out += Column("FriEns:", 10) + I(static_cast<std::int64_t>(n), 4);
  for (std::size_t k = 0; k < n; ++k) {
    RelationFields(m.Relations[k], Appender(out));
    if ((k + 1) % 5 == 0) {
      out += "\n";
      if (k + 1 < n) out += std::string(14, ' ');
    }
  }
  out += "\n\n";
}

void WriteTrack(const TMaus& m, std::string& out) {
  const std::size_t n = m.Protocol.size();
  out += Column("Protocol:", 10) + I(static_cast<std::int64_t>(n), 7);
  for (std::size_t k = 0; k < n; ++k) {
    TrackPointFields(m.Protocol[k], Appender(out));
    if ((k + 1) % 5 == 0) {
      out += "\n";
      if (k + 1 < n) out += std::string(17, ' ');
    }
  }
  out += "\n\n\n";
}

std::string Header(const Run& run, const std::string& fileName) {
  return DumpTitle(fileName) + "\n" + I(run.TickCount, 10) + "    // TaktNr\n\n";
}

}  // namespace

std::string DumpMaus(Run& run, TMaus& m) {
  std::string out;
  out +=
      m.Lineage + " " + I(m.ID, 10) + I(m.Age, 15) + I(m.MotherID, 10) + I(m.BirthTick, 12) + "\n";
  out += I(m.Position.x, 6) + I(m.Position.y, 6) + "\n\n";
  out += "ActVal\n";
  ActValFields(m, Appender(out));
  out += "\n\n";
  if (m.Pregnant() > 0 && m.Embryo) WriteEmbryo(*m.Embryo, out);
  WriteMotives(m, out);
  out += "\n";
  WriteParams(m, out);
  out += "\n\n";
  out += "--- Goals ---     hunger     thirst    pain      sex       affil   certainty  comp\n";
  for (const auto& el : m.GoalMemory) {
    GoalElementFields(*el, Appender(out));
    out += "\n";
  }
  out += "\n --- Memory ---\n";
  WritePlaces(run, m, out);
  out += "\n";
  WriteRelations(m, out);
  WriteTrack(m, out);
  return out;
}

std::string DumpTitle(const std::string& fileName) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  return fileName + " vom " + stamp;
}

std::string PopulationDumpName(const Run& run) {
  return "data/Maeuse-" + run.TaskName + "-" + std::to_string(run.DumpNumber) + ".dat";
}

std::string GenomeDumpName(const Run& run) {
  return "data/Genom-" + run.TaskName + "-" + std::to_string(run.DumpNumber) + ".dat";
}

void DumpPopulation(Run& run) {
  // Written mouse by mouse: the dump of a large, old population runs to
  // megabytes, which the run need not hold at once.
  const std::string name = PopulationDumpName(run);
  AtomicFile file((run.OutputDir() / name).string(), name);
  file.Write(Header(run, name));
  for (auto& m : run.Mice)
    file.Write(DumpMaus(run, *m));
  file.Commit();
}

void DumpGenomes(Run& run) {
  const std::string name = GenomeDumpName(run);
  std::string out = Header(run, name);
  for (auto& mp : run.Mice) {
    TMaus& m = *mp;
    CopyGenom(m);
    out += I(m.ID, 8);
    // The genes of NoNeed, the first three, are left out.
    int count = 0;
    GenomeFields(*m.Genom, [&](const FieldInfo& f, const auto& v) {
      if (count++ >= 3) out += Put(f, v);
    });
    out += "\n";
  }
  WriteFileAtomically((run.OutputDir() / name).string(), name, out);
}

}  // namespace murinex
