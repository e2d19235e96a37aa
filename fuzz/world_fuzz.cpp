// A world file: read, checked and drawn into the lookup raster, then a year of
// seasons. A refused file is fine; a crash, a hang or undefined behaviour is not.

#include "fuzz/fuzz_common.h"
#include "world/error.h"
#include "world/terrain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace murinex;
  TextReader in = fuzz::Text(data, size, "data/world.txt");
  try {
    auto world = TWorld::Load(in);
    for (int tick = 1; tick <= 400; ++tick)
      world->UpdateSeasons(tick);
  } catch (const InputError&) {
  }
  return 0;
}
