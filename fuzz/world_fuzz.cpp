// A world file: read, checked and drawn into the lookup raster, then a year of
// seasons. A refused file is fine; a crash, a hang or undefined behaviour is not.

#include "fuzz/fuzz_common.h"
#include "world/error.h"
#include "world/terrain.h"

namespace {

// Worlds of up to 2^28 raster points are accepted, and drawing the largest
// takes tens of seconds under the fuzzer's instrumentation: time spent on
// nothing but memory. The fuzzer explores the file's structure on worlds of at
// most 2^22 points; the size limit itself is checked by the unit tests.
constexpr std::int64_t MaxFuzzedPixels = std::int64_t{1} << 22;

bool SmallEnough(const std::uint8_t* data, std::size_t size) {
  murinex::TextReader probe = murinex::fuzz::Text(data, size, "data/world.txt");
  try {
    probe.ReadLine("title");
    const std::int64_t width = probe.ReadInt("world width");
    const std::int64_t height = probe.ReadInt("world height");
    return width * height <= MaxFuzzedPixels;
  } catch (const murinex::InputError&) {
    return true;  // the loader refuses it at once
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace murinex;
  if (!SmallEnough(data, size)) return 0;
  TextReader in = fuzz::Text(data, size, "data/world.txt");
  try {
    auto world = TWorld::Load(in);
    for (int tick = 1; tick <= 400; ++tick)
      world->UpdateSeasons(tick);
  } catch (const InputError&) {
  }
  return 0;
}
