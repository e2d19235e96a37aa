#pragma once

// Shared by the fuzz targets: the input as a text file in memory, and the
// settings of the default run, which every population needs for its goal
// memory.

#include <cstddef>
#include <cstdint>
#include <string>

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

}  // namespace murinex::fuzz
