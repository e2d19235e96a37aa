#include "sim/persistence/life_records.h"

#include <cmath>

#include "agent/maus.h"
#include "agent/maus_fields.h"
#include "agent/mouse_list.h"
#include "model/run.h"
#include "sim/persistence/csv_text.h"

namespace murinex {

namespace {

// The genes of a genome dump line: the genome's list without the three of NoNeed.
template <class Visit>
void Genes(const TGenom& g, Visit visit) {
  int index = 0;
  GenomeFields(g, [&](const FieldInfo& f, const auto& value) {
    if (index++ >= 3) visit(f.name, static_cast<double>(value));
  });
}

std::string GeneValues(const TMaus& m) {
  std::string row;
  Genes(CurrentGenes(m), [&](const char*, double value) { row += "," + CsvNumber(value); });
  return row;
}

const char* CauseName(int cause) {
  static constexpr const char* names[] = {"", "hunger", "thirst", "pain", "age"};
  return cause >= 0 && cause <= 4 ? names[cause] : "";
}

}  // namespace

const std::vector<std::string>& GeneNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    Genes(TGenom{}, [&](const char* name, double) { list.emplace_back(name); });
    return list;
  }();
  return names;
}

void CreateLifeRecords(Run& run) {
  std::string genes, traits;
  for (const std::string& name : GeneNames()) {
    genes += "," + name;
    traits += "," + name + "_mean," + name + "_sd";
  }
  const std::string task = run.TaskName;
  const auto create = [&run](OutFile& file, const std::string& name, const std::string& header) {
    file.Create((run.OutputDir() / name).string(), name);
    file.WriteLine(header);
  };
  create(run.BirthsTable, "Proto/Births-" + task + ".csv",
         "tick,id,mother,father,generation,lineage,mother_age,father_age" + genes);
  create(run.DeathsTable, "Proto/Deaths-" + task + ".csv",
         "tick,id,age,cause,generation,lineage,mother,father,children,x,y,"
         "hunger_reserve,thirst_reserve,pain_reserve,places,friends,enemies");
  create(run.TraitsTable, "Proto/Traits-" + task + ".csv", "tick,mice" + traits);
}

void RecordBirth(Run& run, const TMaus& mother, const TMaus& child) {
  if (!run.BirthsTable.IsOpen()) return;
  const TMaus* father = child.FatherID != 0 ? MausById(run, child.FatherID) : nullptr;
  run.BirthsTable.Write(CsvNumber(run.TickCount) + "," + CsvNumber(child.ID) + "," +
                        CsvNumber(mother.ID) + "," + CsvNumber(child.FatherID) + "," +
                        CsvNumber(child.Generation) + "," + CsvText(child.Lineage) + "," +
                        CsvNumber(mother.Age) + "," + (father ? CsvNumber(father->Age) : "") +
                        GeneValues(child) + "\n");
}

void RecordDeath(Run& run, const TMaus& m) {
  if (!run.DeathsTable.IsOpen()) return;
  std::int64_t friends = 0, enemies = 0;
  for (const TFrinEn& e : m.Relations) {
    friends += EntryValue(e) > 0;
    enemies += EntryValue(e) < 0;
  }
  run.DeathsTable.Write(
      CsvNumber(run.TickCount) + "," + CsvNumber(m.ID) + "," + CsvNumber(m.Age) + "," +
      CauseName(m.DeathCause) + "," + CsvNumber(m.Generation) + "," + CsvText(m.Lineage) + "," +
      CsvNumber(m.MotherID) + "," + CsvNumber(m.FatherID) + "," + CsvNumber(m.Children) + "," +
      CsvNumber(m.Position.x) + "," + CsvNumber(m.Position.y) + "," +
      CsvNumber(m.Motives[need::Hunger].Reserve) + "," +
      CsvNumber(m.Motives[need::Thirst].Reserve) + "," + CsvNumber(m.Motives[need::Pain].Reserve) +
      "," + CsvNumber(m.GoalLocations.size()) + "," + CsvNumber(friends) + "," +
      CsvNumber(enemies) + "\n");
}

void RecordTraits(Run& run) {
  if (!run.TraitsTable.IsOpen()) return;
  const std::size_t count = GeneNames().size();
  std::vector<double> sum(count, 0), squares(count, 0);
  for (const auto& m : run.Mice) {
    std::size_t i = 0;
    Genes(CurrentGenes(*m), [&](const char*, double value) {
      sum[i] += value;
      squares[i] += value * value;
      ++i;
    });
  }
  const double n = static_cast<double>(run.Mice.size());
  std::string row = CsvNumber(run.TickCount) + "," + CsvNumber(run.Mice.size());
  for (std::size_t i = 0; i < count; ++i) {
    if (n == 0) {
      row += ",,";
      continue;
    }
    const double mean = sum[i] / n;
    // The spread over the living mice (no correction for a sample).
    const double variance = squares[i] / n - mean * mean;
    row += "," + CsvNumber(mean) + "," + CsvNumber(std::sqrt(variance > 0 ? variance : 0));
  }
  run.TraitsTable.Write(row + "\n");
}

}  // namespace murinex
