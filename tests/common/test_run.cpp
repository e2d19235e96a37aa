#include "tests/common/test_run.h"

#include <fstream>
#include <random>
#include <sstream>

#include "agent/mouse_list.h"
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
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

std::filesystem::path TestData() {
  return MURINEX_TEST_DATA_DIR;
}

std::string SettingsText() {
  return ReadText(TestData() / "small_run" / "data" / "settings.txt");
}

std::unique_ptr<TTerra> RectPatch(TerraKind kind, int left, int top, int right, int bottom,
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
  std::filesystem::create_directories(run.DataDir());
  TextReader in(SettingsText(), "settings");
  run.settings = Settings::Read(in);
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(RectPatch(KindSand, 0, 0, 399, 299));
  SetWorld(MakeWorld(400, 300, std::move(patches)));
}

TMaus& TestRun::AddMaus(TPoint position) {
  auto m = NewMaus(run);
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

std::vector<std::string> TestRun::BehaviourLines() {
  run.Behaviour.Flush();
  return ReadLines(run.ProtoDir() / "BehaviourNN.prt");
}

std::vector<std::string> TestRun::CompLabels() {
  run.KofiProt.Flush();
  std::vector<std::string> labels;
  for (const std::string& line : ReadLines(run.ProtoDir() / "KofiProtNN.prt")) {
    const std::size_t end = line.rfind(';');
    const std::size_t start = line.rfind(';', end - 1);
    labels.push_back(line.substr(start + 1, end - start - 1));
  }
  return labels;
}

std::vector<std::string> TestRun::AggLines() {
  run.AggProt.Flush();
  return ReadLines(run.ProtoDir() / "AggProtNN.prt");
}

std::vector<std::string> TestRun::KofiLines() {
  run.KofiProt.Flush();
  return ReadLines(run.ProtoDir() / "KofiProtNN.prt");
}

TMausRefs Handles(std::initializer_list<const TMaus*> mice) {
  TMausRefs handles;
  for (const TMaus* m : mice)
    handles.push_back(m->Handle);
  return handles;
}

void TestRun::Watch(TMaus& m) {
  if (!run.Behaviour.IsOpen()) OpenProtocols();
  run.SelectedMaus = m.Handle;
  run.CheckMausId = m.ID;
}

void SetNeed(TMaus& m, std::uint8_t n, double ist) {
  TMotiv& mo = m.Motives[n];
  mo.Ist = ist;
  mo.Deviation = mo.Soll - mo.Ist;
  mo.Urgency = mo.Deviation * mo.Weight;
}

}  // namespace murinex::test
