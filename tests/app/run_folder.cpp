#include "tests/app/run_folder.h"

#include <QString>
#include <algorithm>

#include "app/mouse_images.h"
#include "sim/persistence/population_files.h"

namespace murinex::test {

namespace {

const char* const WorldText = R"(Test world
400 300
Sand
1
1 0 365 1.0 0.0 0.0
0 0 399 0 399 299 0 299

Food
2
1 0 365 0.5 0.0 0.0
100 100 200 100 200 200 100 200
)";

std::string PopulationText(const std::vector<RunFolder::Mouse>& mice) {
  TestRun t;
  std::string text = "Test population\n0\n\n";
  for (const RunFolder::Mouse& wanted : mice) {
    TMaus& m = t.AddMaus(wanted.position);
    m.ID = wanted.id;
    m.Age = wanted.age;
    text += DumpMaus(t.run, m);
  }
  return text;
}

}  // namespace

QImage BlockImage(const QColor& colour) {
  QImage image(15, 15, QImage::Format_RGB32);
  image.fill(Qt::white);
  for (int y = 5; y < 10; ++y)
    for (int x = 5; x < 10; ++x)
      image.setPixelColor(x, y, colour);
  return image;
}

void WriteMouseImages(const std::filesystem::path& folder, bool lowerCase) {
  std::filesystem::create_directories(folder);
  for (int facing = 0; facing < MouseImages::Facings; ++facing) {
    for (const char* name : {"maus.bmp", "mausk.bmp", "Mausk.bmp", "MausM.bmp"}) {
      std::string file = std::string(MouseImages::Prefix(facing)) + name;
      if (lowerCase)
        std::transform(file.begin(), file.end(), file.begin(),
                       [](unsigned char c) { return std::tolower(c); });
      BlockImage(QColor(139, 69, 19)).save(QString::fromStdString((folder / file).string()), "BMP");
    }
  }
}

RunFolder::RunFolder(const std::vector<Mouse>& mice) {
  Write("data/inimaus.ini", "pop.txt\nworld.txt\nsettings.txt\n");
  Write("data/settings.txt", SettingsText());
  Write("data/world.txt", WorldText);
  Write("data/pop.txt", PopulationText(mice));
  WriteMouseImages(dir_ / "bitmaps");
}

void RunFolder::Write(const std::string& name, const std::string& text) const {
  WriteText(dir_ / name, text);
}

void RunFolder::Remove(const std::string& name) const {
  std::filesystem::remove(dir_ / name);
}

}  // namespace murinex::test
