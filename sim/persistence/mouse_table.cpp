#include "sim/persistence/mouse_table.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <future>
#include <type_traits>

#include "agent/maus.h"
#include "agent/maus_fields.h"
#include "agent/mouse_values.h"
#include "model/run.h"
#include "sim/persistence/csv_text.h"
#include "world/error.h"

namespace murinex {

namespace {

constexpr const char* Extras[] = {"places", "friends", "enemies", "partner"};

// A motive's name is the same for every mouse; `ID` is the table's `id`.
bool Observable(const std::string& name) {
  return name != "ID" && !(name.size() > 5 && name.ends_with(".Name"));
}

std::string FinalName(const Run& run) {
  return "Proto/Mice-" + run.TaskName + ".csv.gz";
}
std::string PartName(const Run& run) {
  return FinalName(run) + ".part";
}

template <class T>
std::string Field(const T& value) {
  using V = std::decay_t<T>;
  if constexpr (std::is_same_v<V, bool>)
    return value ? "1" : "0";
  else if constexpr (std::is_enum_v<V>)
    return CsvNumber(static_cast<long long>(value));
  else if constexpr (std::is_integral_v<V>)
    return CsvNumber(static_cast<long long>(value));
  else if constexpr (std::is_floating_point_v<V>)
    return CsvNumber(value);
  else
    return CsvText(std::string(value));
}

// Which of MouseValues' values and of the extras the run's table has.
struct Columns {
  std::vector<bool> value;  // by position in MouseValueNames()
  bool extra[std::size(Extras)] = {};
};

Columns ChosenColumns(const Run& run) {
  const std::vector<std::string>& wanted = run.ObserveColumns;
  const auto chosen = [&](const std::string& name) {
    return wanted.empty() || std::find(wanted.begin(), wanted.end(), name) != wanted.end();
  };
  Columns c;
  for (const std::string& name : MouseValueNames())
    c.value.push_back(Observable(name) && chosen(name));
  for (std::size_t i = 0; i < std::size(Extras); ++i)
    c.extra[i] = chosen(Extras[i]);
  return c;
}

std::string Header(const Columns& c) {
  std::string header = "tick,id";
  const std::vector<std::string> names = MouseValueNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (c.value[i]) header += "," + names[i];
  for (std::size_t i = 0; i < std::size(Extras); ++i)
    if (c.extra[i]) header += std::string(",") + Extras[i];
  return header + "\n";
}

// The values of MouseValues in its order, without building their names (a row
// is written for every mouse at every observation), the genes as the genome
// dump writes them: what the mouse has now.
template <class V>
void RowValues(const TMaus& m, V&& visit) {
  const auto plain = [&visit](const FieldInfo&, const auto& value) { visit(value); };
  MouseFields(m, plain);
  ActValFields(m, plain);
  ParamFields(m, plain);
  for (int i = 0; i < need::Count; ++i)
    MotiveFields(m.Motives[i], plain);
  const TGenom current = CurrentGenes(m);
  GenomeFields(current, plain);
}

void AppendRow(std::string& rows, const Run& run, const TMaus& m, const Columns& c) {
  rows += CsvNumber(run.TickCount);
  rows += ',';
  rows += CsvNumber(m.ID);
  std::size_t i = 0;
  RowValues(m, [&](const auto& value) {
    if (!c.value[i++]) return;
    rows += ',';
    rows += Field(value);
  });
  if (i != c.value.size())
    throw InputError(
        FinalName(run), 0,
        "a row has " + std::to_string(i) + " values, the header " + std::to_string(c.value.size()));
  std::int64_t friends = 0, enemies = 0;
  for (const TFrinEn& e : m.Relations) {
    friends += EntryValue(e) > 0;
    enemies += EntryValue(e) < 0;
  }
  const TMaus* partner = run.Mice.Find(m.Partner);
  const std::int64_t extras[] = {static_cast<std::int64_t>(m.GoalLocations.size()), friends,
                                 enemies, partner ? partner->ID : 0};
  for (std::size_t k = 0; k < std::size(Extras); ++k)
    if (c.extra[k]) rows += "," + CsvNumber(extras[k]);
  rows += '\n';
}

// `text` as one complete gzip member: the table is a series of members, which
// every gzip reader reads as one stream. The fastest level: the table is
// written while the run waits, and level 6 cost five times as much for a
// file a fifth smaller.
std::string GzipMember(const std::string& text, const std::string& fileName) {
  z_stream z{};
  if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw InputError(fileName, 0, "cannot start the compression (zlib)");
  std::string member(deflateBound(&z, static_cast<uLong>(text.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(member.data());
  z.avail_out = static_cast<uInt>(member.size());
  const int result = deflate(&z, Z_FINISH);
  member.resize(z.total_out);
  deflateEnd(&z);
  if (result != Z_STREAM_END) throw InputError(fileName, 0, "cannot compress the rows (zlib)");
  return member;
}

// The rows are compressed on another thread while the run goes on; the member
// is written before the next one, a checkpoint or the end of the run, so the
// file grows in the order of the observations.
void Observe(Run& run, std::string rows) {
  const Columns c = ChosenColumns(run);
  for (const auto& m : run.Mice)
    AppendRow(rows, run, *m, c);
  SettleMouseTable(run);
  run.MiceTablePending = std::async(
      std::launch::async,
      [text = std::move(rows), name = run.MiceTable.Name()] { return GzipMember(text, name); });
}

}  // namespace

const std::vector<std::string>& ObservableNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    for (const std::string& name : MouseValueNames())
      if (Observable(name)) list.push_back(name);
    list.insert(list.end(), std::begin(Extras), std::end(Extras));
    return list;
  }();
  return names;
}

std::vector<std::string> UnknownObservableNames(const std::vector<std::string>& wanted) {
  const std::vector<std::string>& known = ObservableNames();
  std::vector<std::string> unknown;
  for (const std::string& name : wanted)
    if (std::find(known.begin(), known.end(), name) == known.end()) unknown.push_back(name);
  return unknown;
}

void CreateMouseTable(Run& run) {
  // A table of an earlier run of the task would pass for this run's.
  std::error_code error;
  std::filesystem::remove(run.OutputDir() / FinalName(run), error);
  std::filesystem::remove(run.OutputDir() / PartName(run), error);
  if (run.ObserveEvery <= 0) return;
  run.MiceTable.Create((run.OutputDir() / PartName(run)).string(), PartName(run));
  Observe(run, Header(ChosenColumns(run)));
}

void ObserveMiceIfDue(Run& run) {
  if (run.ObserveEvery > 0 && run.MiceTable.IsOpen() && run.TickCount % run.ObserveEvery == 0)
    Observe(run, "");
}

void SettleMouseTable(Run& run) {
  if (run.MiceTablePending.valid()) run.MiceTable.Write(run.MiceTablePending.get());
}

void FinishMouseTable(Run& run) {
  if (run.ObserveEvery <= 0) return;
  run.MiceTable.Close();
  std::error_code error;
  std::filesystem::rename(run.OutputDir() / PartName(run), run.OutputDir() / FinalName(run), error);
  if (error)
    throw InputError(FinalName(run), 0, "cannot rename the finished table: " + error.message());
}

}  // namespace murinex
