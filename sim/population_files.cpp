#include "sim/population_files.h"

#include <ctime>

#include "agent/maus.h"
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

std::uint8_t ReadGoalKind(TextReader& in, const std::string& what) {
  const std::int32_t kind = in.ReadInt(what);
  const auto low = static_cast<std::uint8_t>(kind & 0xFF);
  if (low >= goal::Count)
    in.Fail("expected a goal kind 0 to 10 (" + what + "), found " + std::to_string(kind));
  return low;
}

Field ActValField(int slot) {
  static constexpr Field fields[8] = {
      Field::CurStrength, Field::ActValSpare,   Field::ActValSpare, Field::ActValSpare,
      Field::ActValSpare, Field::TimeTillSober, Field::Pregnant,    Field::BirthCountdown};
  return fields[slot];
}

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
  for (int i = 0; i < 8; ++i) {
    const std::string what =
        "ActVal slot " + std::to_string(i) + " of mouse " + std::to_string(m.ID);
    m.ActVal[i] = ReadReal(in, ActValField(i), what);
    if (ActValField(i) == Field::Pregnant && m.ActVal[i] != 0 && m.ActVal[i] != 1)
      FailRange(in, in.Line(), Field::Pregnant, what, m.ActVal[i]);
  }
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
  TGenom& e = *m.Embryo;
  in.SkipBlankLines();
  for (int i = 0; i < 8; ++i) {
    const std::string n = std::to_string(i);
    e.MotWeights[i] = ReadReal(in, Field::Weight, "embryo MotWeights " + n);
    e.ReserveGenes[i] = ReadInt(in, Field::Reserve, "embryo ReserveGenes " + n);
    e.BasMetaGenes[i] = ReadReal(in, Field::BasMeta, "embryo BasMetaGenes " + n);
  }
  in.NextLine();
  for (int j = 0; j < 15; ++j)
    e.PersonGenes[j] =
        ReadReal(in, ParamField(j), std::string("embryo person gene ") + PersonParamNames[j]);
  in.NextLine();
}

void ReadMotives(TMaus& m, TextReader& in) {
  in.SkipBlankLines();
  m.SumWeights = 0;
  for (int i = 0; i < need::Count; ++i) {
    TMotiv& mo = m.Motives[i];
    const std::string what = std::string(" of motive line ") + std::to_string(i);
    mo.Name = in.ReadWord();
    mo.Soll = ReadReal(in, Field::Soll, "Soll" + what);
    mo.Ist = ReadReal(in, Field::Ist, "Ist" + what);
    mo.BasMeta = ReadReal(in, Field::BasMeta, "BasMeta" + what);
    mo.Leak = ReadReal(in, Field::Leak, "Leak" + what);
    mo.Weight = ReadReal(in, Field::Weight, "Weight" + what);
    mo.Reserve = ReadInt(in, Field::Reserve, "Reserve" + what);
    mo.MaxReserve = ReadInt(in, Field::Reserve, "MaxReserve" + what);
    in.NextLine();
    m.SumWeights += mo.Weight;
  }
}

void ReadParams(TMaus& m, TextReader& in) {
  in.NextLine();
  for (int j = 0; j < param::Count; ++j) {
    m.Params[j] =
        ReadReal(in, ParamField(j), std::string("person parameter ") + PersonParamNames[j]);
    if (j % 2 == 1 || j == param::Count - 1) in.NextLine();
  }
}

void ReadGoalMemory(TMaus& m, TextReader& in) {
  in.SkipBlankLines();
  in.ReadLine("the \"--- Goals ---\" header");
  while (!in.AtBlankLineStart()) {
    auto el = std::make_unique<TGoalMemEl>();
    el->GoalKind = ReadGoalKind(in, "goal kind of a goal-memory row");
    for (int i = 0; i < 8; ++i)
      el->Values[i] =
          ReadReal(in, Field::GoalNeedValue, "goal value for need " + std::to_string(i));
    in.NextLine();
    m.GoalMemory.push_back(std::move(el));
  }
}

void ReadPlaces(Run& run, TMaus& m, TextReader& in, std::int32_t startTick) {
  in.SkipBlankLines();
  in.ReadLine("the \" --- Memory ---\" header");
  while (!in.AtBlankLineStart()) {
    auto place = std::make_shared<TGoalAvLoc>();
    const int line = in.Line();
    const std::string row = "place row " + std::to_string(m.GoalLocations.size());
    in.ReadInt("row number of a place row");
    place->Pos.x = ReadInt(in, Field::Position, "x of " + row);
    place->Pos.y = ReadInt(in, Field::Position, "y of " + row);
    place->Retention = ReadReal(in, Field::Retention, "Retention of " + row);
    place->LastRecall = ReadInt(in, Field::LastRecall, "LastRecall of " + row);
    // A recall after the start would make the next fading restore strength.
    if (place->LastRecall > startTick)
      in.Fail("LastRecall of " + row + " (" + std::to_string(place->LastRecall) +
              ") lies after the start tick " + std::to_string(startTick));
    place->NextIndex = in.ReadInt("NextIndex of " + row);
    place->Progress = ReadReal(in, Field::Progress, "Progress of " + row);
    const std::uint8_t kind = ReadGoalKind(in, "goal kind of " + row);
    place->Quality = ReadReal(in, Field::Quality, "Quality of " + row);
    if (in.RestOfLineBlank())
      in.Fail("expected the sign of " + row + ", found the end of the line");
    const int signLine = in.Line();
    place->Sign = Trim(in.ReadLine("sign of " + row))[0];
    // Written back after three blanks: a control character would not survive.
    if (place->Sign < '!' || place->Sign > '~')
      throw InputError(in.Name(), signLine,
                       "the sign of " + row + " must be a visible character such as +, - or 0");
    place->Element = &FindElement(m.GoalMemory, run.settings, kind);
    const auto index = static_cast<std::int32_t>(m.GoalLocations.size());
    if (place->NextIndex >= index)
      throw InputError(in.Name(), line,
                       row + ": NextIndex " + std::to_string(place->NextIndex) +
                           " must name an earlier place of the list");
    m.GoalLocations.push_back(std::move(place));
  }
  for (auto& place : m.GoalLocations)
    if (place->NextIndex >= 0) place->Next = m.GoalLocations[place->NextIndex];
  PurgeLocs(m.GoalLocations);
}

void ReadRelations(TMaus& m, TextReader& in) {
  in.SkipBlankLines();
  in.ReadWord();
  const std::int32_t n = ReadInt(in, Field::EntryCount, "number of FriEns entries");
  for (std::int32_t k = 0; k < n; ++k) {
    TFrinEn e;
    e.OtherID = in.ReadInt("OtherID of a FriEns entry");
    e.Friendship = ReadReal(in, Field::Friendship, "Friendship of a FriEns entry");
    e.Enmity = ReadReal(in, Field::Enmity, "Enmity of a FriEns entry");
    m.Relations.push_back(e);
  }
}

void ReadTrack(TMaus& m, TextReader& in) {
  in.SkipBlankLines();
  in.ReadWord();
  const std::int32_t n = ReadInt(in, Field::EntryCount, "number of Protocol entries");
  for (std::int32_t k = 0; k < n; ++k) {
    TProtocol p;
    p.Goal = static_cast<std::uint8_t>(in.ReadInt("Goal of a Protocol entry") & 0xFF);
    p.X = ReadInt(in, Field::Position, "X of a Protocol entry");
    p.Y = ReadInt(in, Field::Position, "Y of a Protocol entry");
    p.Action = static_cast<std::uint8_t>(in.ReadInt("Action of a Protocol entry") & 0xFF);
    p.Vividness = ReadReal(in, Field::Vividness, "Vividness of a Protocol entry");
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
  m.Action = 0;
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

void WriteEmbryo(const TGenom& e, std::string& out) {
  out += "Genom\n";
  for (int i = 0; i < 8; ++i)
    out += R(e.MotWeights[i], 12, 7) + I(e.ReserveGenes[i], 7) + R(e.BasMetaGenes[i], 12, 7) + "\n";
  for (int j = 0; j < 15; ++j) {
    out += R(e.PersonGenes[j], 12, 7);
    if (j % 3 == 2) out += "\n";
  }
  out += "\n\n";
}

void WriteMotives(const TMaus& m, std::string& out) {
  for (int i = 0; i < need::Count; ++i) {
    const TMotiv& mo = m.Motives[i];
    out += Column(mo.Name, 8) + R(mo.Soll, 7, 3) + R(mo.Ist, 7, 3) + R(mo.BasMeta, 10, 4) +
           R(mo.Leak, 10, 4) + R(mo.Weight, 10, 4) + I(mo.Reserve, 7) + I(mo.MaxReserve, 7) +
           "   // " + NeedNames[i];
    if (i == 0) out += ": Soll, Ist, BasMeta, Leak, Weight, Reserve, MaxReserve";
    out += "\n";
  }
}

void WriteParams(const TMaus& m, std::string& out) {
  for (int j = 0; j + 1 < param::Count; j += 2)
    out += R(m.Params[j], 14, 8) + R(m.Params[j + 1], 14, 8) + "  // " + PersonParamNames[j] +
           ", " + PersonParamNames[j + 1] + "\n";
  out += R(m.Params[14], 14, 8) + "  // " + PersonParamNames[14] + "\n";
}

void WritePlaces(Run& run, TMaus& m, std::string& out) {
  for (std::size_t k = 0; k < m.GoalLocations.size(); ++k) {
    TGoalAvLoc& p = *m.GoalLocations[k];
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
    const TFrinEn& e = m.Relations[k];
    out += I(e.OtherID, 10) + R(e.Friendship, 10, 4) + R(e.Enmity, 10, 4);
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
    const TProtocol& p = m.Protocol[k];
    out += I(p.Goal, 6) + I(p.X, 6) + I(p.Y, 6) + I(p.Action, 6) + R(p.Vividness, 10, 5);
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
  for (int i = 0; i < 3; ++i)
    out += R(m.ActVal[i], 12, 6);
  for (int i = 3; i < 8; ++i)
    out += I(RoundHalfEven(m.ActVal[i]), 7);
  out += "\n\n";
  if (m.Pregnant() > 0 && m.Embryo) WriteEmbryo(*m.Embryo, out);
  WriteMotives(m, out);
  out += "\n";
  WriteParams(m, out);
  out += "\n\n";
  out += "--- Goals ---     hunger     thirst    pain      sex       affil   certainty  comp\n";
  for (const auto& el : m.GoalMemory) {
    out += I(el->GoalKind, 4);
    for (double v : el->Values)
      out += R(v, 15, 5);
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
    const TGenom& g = *m.Genom;
    out += I(m.ID, 8);
    for (int i = 1; i <= 7; ++i)
      out += R(g.MotWeights[i], 12, 7) + I(g.ReserveGenes[i], 7) + R(g.BasMetaGenes[i], 12, 7);
    for (double v : g.PersonGenes)
      out += R(v, 12, 7);
    out += "\n";
  }
  WriteFileAtomically((run.OutputDir() / name).string(), name, out);
}

}  // namespace murinex
