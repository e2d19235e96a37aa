// The body of a checkpoint (everything before its checksum line), sealed with
// a valid checksum and read as a run's state; an accepted state then runs for
// 50 ticks with its protocols written into a scratch folder. A refused file or
// an input error during the ticks is a clean stop; a crash, a hang or
// undefined behaviour is a finding. Sealing lets the fuzzer past the checksum,
// which would otherwise refuse every changed byte.

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <string>

#include "fuzz/fuzz_common.h"
#include "model/run.h"
#include "sim/persistence/checkpoint.h"
#include "sim/persistence/state_text.h"
#include "sim/tick/tick.h"
#include "world/error.h"

namespace {

using namespace murinex;

// As for the world files: the fuzzer explores the records, not the time a
// large raster takes to draw under instrumentation.
constexpr std::int64_t MaxFuzzedPixels = std::int64_t{1} << 22;

bool SmallEnough(const std::string& body) {
  const std::size_t at = body.find("\nworld ");
  if (at == std::string::npos) return true;
  long long width = 0, height = 0;
  if (std::sscanf(body.c_str() + at + 7, "%lld %lld", &width, &height) != 2) return true;
  // Divided, not multiplied: the fuzzer writes sizes whose product overflows.
  return width <= 0 || height <= 0 || width <= MaxFuzzedPixels / height;
}

std::string Sealed(const std::string& body) {
  char line[32];
  std::snprintf(line, sizeof line, "checksum %016" PRIx64 "\n", StateChecksum(body));
  return body + line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string body(reinterpret_cast<const char*>(data), size);
  if (!SmallEnough(body)) return 0;
  Run run(fuzz::ScratchFolder("checkpoint"));
  run.RecordLines = false;
  try {
    ReadCheckpointText(run, Sealed(body), "data/checkpoint-F.mxc");
  } catch (const InputError&) {
    return 0;
  }
  fuzz::OpenProtocols(run);
  try {
    for (int t = 0; t < 50 && !run.Mice.empty(); ++t)
      Tick(run);
  } catch (const InputError&) {
  }
  return 0;
}
