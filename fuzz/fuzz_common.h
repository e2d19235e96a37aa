#pragma once

// Shared by the fuzz targets: the input as a text file in memory, and the
// settings of the default run, which every population needs for its goal
// memory.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "model/run.h"
#include "model/settings.h"
#include "world/text_reader.h"

namespace murinex::fuzz {

inline TextReader Text(const std::uint8_t* data, std::size_t size, const char* name) {
  return TextReader(std::string(reinterpret_cast<const char*>(data), size), name);
}

inline const Settings& DefaultSettings() {
  static const Settings settings =
      Settings::Read(MURINEX_DEFAULT_RUN "/data/settings.txt", "data/settings.txt");
  return settings;
}

// A scratch folder of this process for the protocols of the runs a target makes.
inline const std::filesystem::path& ScratchFolder(const char* target) {
  static const std::filesystem::path folder = [target] {
    auto f = std::filesystem::temp_directory_path() /
             ("murinex-" + std::string(target) + "-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(f / "data");
    std::filesystem::create_directories(f / "Proto");
    return f;
  }();
  return folder;
}

inline void OpenProtocols(Run& run) {
  for (auto [file, name] : {std::pair{&run.StatProto, "Proto/ProtoF.prt"},
                            {&run.KofiProt, "Proto/KofiProtF.prt"},
                            {&run.Behaviour, "Proto/BehaviourF.prt"},
                            {&run.AggProt, "Proto/AggProtF.prt"},
                            {&run.BirthLog, "Proto/protGen.prt"}})
    file->Create((run.WorkDir / name).string(), name);
}

}  // namespace murinex::fuzz
