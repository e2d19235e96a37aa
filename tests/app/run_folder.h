#pragma once

#include <QColor>
#include <QImage>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/common/test_run.h"

namespace murinex::test {

// The picture written for every mouse image: white with a 5 x 5 block of the
// colour in the middle (pixels 5..9 in both directions).
QImage BlockImage(const QColor& colour);
// Writes the 24 mouse images into folder; `lowerCase` writes every name in lower case.
void WriteMouseImages(const std::filesystem::path& folder, bool lowerCase = false);

// A complete run folder: data/inimaus.ini, the settings, a world of 400 x 300
// (sand everywhere, a food patch from (100, 100) to (200, 200)), a population
// file "pop.txt" with start tick 0 and the mouse images.
class RunFolder {
 public:
  struct Mouse {
    std::int32_t id;
    TPoint position;
    std::int32_t age = 1500;
  };
  explicit RunFolder(const std::vector<Mouse>& mice = {});

  const std::filesystem::path& Path() const { return dir_.path(); }
  std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }
  void Write(const std::string& name, const std::string& text) const;
  void Remove(const std::string& name) const;
  bool Exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }

 private:
  TempDir dir_;
};

}  // namespace murinex::test
