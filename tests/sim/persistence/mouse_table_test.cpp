#include "sim/persistence/mouse_table.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <map>
#include <string>

#include "model/run.h"
#include "sim/startup.h"
#include "sim/tick/tick.h"
#include "tests/common/test_run.h"

namespace murinex {
namespace {

// The whole text of a gzip file of one or more members.
std::string Unzipped(const std::filesystem::path& path) {
  gzFile file = gzopen(path.string().c_str(), "rb");
  if (!file) return "";
  std::string text;
  char buffer[4096];
  int got = 0;
  while ((got = gzread(file, buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<std::size_t>(got));
  gzclose(file);
  return text;
}

// The small run observed every 5 ticks up to tick 12, columns `columns`: the
// table's header, and the living mice at each observed tick as the run had them.
struct Observed {
  std::string header;
  std::map<int, std::size_t> rowsAt, miceAt;
  bool partLeft = false;
};

Observed ObserveSmallRun(std::vector<std::string> columns) {
  test::TempDir dir;
  std::filesystem::copy(test::TestData() / "small_run", dir.path(),
                        std::filesystem::copy_options::recursive);
  Observed o;
  {
    Run run(dir.path());
    run.ObserveEvery = 5;
    run.ObserveColumns = std::move(columns);
    StartUp(run, "NN");
    SetUpPopulation(run);
    LoadWorld(run);
    o.miceAt[run.TickCount] = run.Mice.size();
    for (int i = 0; i < 12; ++i) {
      Tick(run);
      if (run.TickCount % 5 == 0) o.miceAt[run.TickCount] = run.Mice.size();
    }
    FinishRun(run);
  }
  o.partLeft = std::filesystem::exists(dir.path() / "Proto/Mice-NN.csv.gz.part");
  const std::string text = Unzipped(dir.path() / "Proto/Mice-NN.csv.gz");
  std::size_t from = text.find('\n');
  o.header = text.substr(0, from);
  while (from != std::string::npos && from + 1 < text.size()) {
    o.rowsAt[std::stoi(text.substr(from + 1))] += 1;
    from = text.find('\n', from + 1);
  }
  return o;
}

// Observed at the start and every 5 ticks, one row per living mouse, in one
// stream of gzip members that takes its final name at the end; the columns
// asked for come in the table's order.
TEST(MouseTableTest, EveryLivingMouseAtEveryObservedTickAndOnlyTheColumnsAsked) {
  const Observed all = ObserveSmallRun({});
  EXPECT_EQ(all.header.rfind("tick,id,Age,", 0), 0u) << all.header;
  EXPECT_NE(all.header.find(",gene.Carefactor,places,friends,enemies,partner"), std::string::npos);
  EXPECT_EQ(all.rowsAt, all.miceAt);
  EXPECT_EQ(all.rowsAt.size(), 3u);  // ticks 0, 5 and 10
  EXPECT_FALSE(all.partLeft);

  const Observed some = ObserveSmallRun({"partner", "Carefactor", "Age"});
  EXPECT_EQ(some.header, "tick,id,Age,Carefactor,partner");
  EXPECT_EQ(some.rowsAt, some.miceAt);
}

}  // namespace
}  // namespace murinex
