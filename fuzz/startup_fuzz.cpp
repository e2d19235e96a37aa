// A start-up file (data/inimaus.ini) and a task name: the first line of the
// input is the task name, the rest the start-up file.

#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/fuzz_common.h"
#include "model/run.h"
#include "sim/startup.h"
#include "world/error.h"

namespace {

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    auto f = std::filesystem::temp_directory_path() /
             ("murinex-startup-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(f / "data");
    return f;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace murinex;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::size_t end = text.find('\n');
  const std::string task = text.substr(0, end);
  const std::string ini = end == std::string::npos ? "" : text.substr(end + 1);
  std::ofstream(Folder() / "data/inimaus.ini", std::ios::binary) << ini;
  Run run(Folder());
  try {
    StartUp(run, task);
    DataFileName(run.PopulationFileName);
    DataFileName(run.WorldFileName);
    DataFileName(run.SettingsFileName);
  } catch (const InputError&) {
  }
  return 0;
}
