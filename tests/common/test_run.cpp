#include "tests/common/test_run.h"

#include <fstream>
#include <random>
#include <sstream>

#include "world/text_reader.h"

namespace murinex::test {

TempDir::TempDir() {
  static std::mt19937_64 names(std::random_device{}());
  path_ = std::filesystem::temp_directory_path() / ("murinex-test-" + std::to_string(names()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  std::istringstream in(ReadText(path));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string SettingsText() {
  return R"(Test settings
LifeSettings
3000 0.0   LifeSpan
0 0        not used
6000 0.001 DeathAge, DeathProbability
0 0.1      MutationRate

MotWeightRanges
0 0.0 1.0  NoNeed
0 0.5 2.0  Hunger
0 0.5 2.0  Thirst
0 0.5 2.0  Pain
0 0.5 2.0  Sex
0 0.5 2.0  Affil
0 0.5 2.0  Cert
0 0.5 2.0  Comp

PersonRanges
0.1 0.0 1.0   BasAr
0.1 0.0 2.0   ArousalW
0.1 0.0 1.0   InhibW
0.1 0.0 1.0   SelectW
0.1 0.0 1.0   LossComp
0.1 0.0 1.0   GainComp
0.1 0.0 1.0   LossCert
0.1 0.0 1.0   GainCert
0.1 0.0 0.01  RateForget
0.1 0.0 1.0   RateReinforce
0.1 0.0 0.1   ProtMem
0.1 0.5 1.5   Strength
0.1 50 200    SightWidth
0.1 0.0 1.0   AffilSens
0.1 0.0 1.0   Carefactor

ReserveRanges
0 100 500  Hunger
0 100 500  Thirst
0 100 500  Pain

BasalMetaBolRanges
0 0.0 0.0    NoNeed
0 0.0 0.05   Hunger
0 0.0 0.05   Thirst
0 0.0 0.05   Pain
0 0.0 0.05   Sex
0 0.0 0.05   Affil
0 0.0 0.05   Cert
0 0.0 0.05   Comp

ActionSettings
0 0 8421504       NoAction
1 1 65280         Move
1 1 65535         Explore
2 2 255           Flight
2 1 128           Bite
1 1 16711680      Hold
0.5 0.5 32768     Feed
0.5 0.5 16776960  Drink
0.5 0.5 16711935  Cure
0.5 0.5 8388736   Smile
1 1 12632256      Plan
0.1 0.1 0         Sleep
1 1 4210752       Care

GoalNeedMatrix
0 0 0 0 0 0 0 0         NoGoal
0 0 0 0 0 0 0 0         Sand
0 1 0 0 0 0 0.1 0.1     Food
0 0 1 0 0 0 0.1 0.1     Water
0 0 0.5 0 0 0 0.1 0.5   Vorarazav
0 0 0 -1 0 0 0 0        Stones
0 0 0 1 0 0 0.1 0.1     HealingHerbs
0 0 0 0 0.2 1 0 0       Friend
0 0 0 0 0 0.5 0 0.5     HelpRequest
0 0 0 0 0 0 1 0.2       Uncertainty
0 0 0 0 0 0 0 1         Barrier
)";
}

std::unique_ptr<TTerra> RectPatch(std::uint8_t kind, int left, int top, int right, int bottom,
                                  double level) {
  auto t = std::make_unique<TTerra>();
  t->Name = "patch";
  t->Kind = kind;
  t->Level = level;
  t->Points = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  t->Area = PolygonArea(t->Points);
  t->Centre = PolygonCentre(t->Points);
  t->Amount = t->Area * t->Level;
  return t;
}

std::unique_ptr<TWorld> MakeWorld(int width, int height,
                                  std::vector<std::unique_ptr<TTerra>> patches) {
  auto world = std::make_unique<TWorld>();
  world->WorldWidth = width;
  world->WorldHeight = height;
  world->TerraList = std::move(patches);
  world->FirstTerra = world->TerraList.front().get();
  world->BuildLookup();
  return world;
}

TestRun::TestRun() : run(dir.path()) {
  TextReader in(SettingsText(), "settings");
  run.settings = Settings::Read(in);
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(RectPatch(KindSand, 0, 0, 399, 299));
  SetWorld(MakeWorld(400, 300, std::move(patches)));
}

TMaus& TestRun::AddMaus(TPoint position) {
  auto m = run.NewMaus();
  m->Position = position;
  m->StuckAt = NoPoint;
  m->Lineage = "Test";
  for (int i = 0; i < need::Count; ++i) {
    TMotiv& mo = m->Motives[i];
    mo.Soll = 1;
    mo.Ist = 1;
    mo.Weight = 1;
    mo.Reserve = 100;
    mo.MaxReserve = 100;
  }
  m->SumWeights = need::Count;
  m->Params = {0.3, 1.0, 0.5, 0.5, 0.2, 0.2, 0.2, 0.2, 0.001, 0.3, 0.05, 1.0, 100, 0.5, 0.5};
  m->CurStrength() = 1;
  run.Mice.push_back(std::move(m));
  return *run.Mice.back();
}

void TestRun::OpenProtocols() {
  std::filesystem::create_directories(run.ProtoDir());
  run.StatProto.Create((run.ProtoDir() / "ProtoNN.prt").string(), "Proto/ProtoNN.prt");
  run.KofiProt.Create((run.ProtoDir() / "KofiProtNN.prt").string(), "Proto/KofiProtNN.prt");
  run.Behaviour.Create((run.ProtoDir() / "BehaviourNN.prt").string(), "Proto/BehaviourNN.prt");
  run.AggProt.Create((run.ProtoDir() / "AggProtNN.prt").string(), "Proto/AggProtNN.prt");
  run.BirthLog.Create((run.ProtoDir() / "protGen.prt").string(), "Proto/protGen.prt");
}

std::string TestRun::Behaviour() {
  run.Behaviour.Flush();
  return ReadText(run.ProtoDir() / "BehaviourNN.prt");
}

}  // namespace murinex::test
