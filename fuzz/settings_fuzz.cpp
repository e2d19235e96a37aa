// A settings file: read and checked. A refused file is fine.

#include "fuzz/fuzz_common.h"
#include "world/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace murinex;
  TextReader in = fuzz::Text(data, size, "data/settings.txt");
  try {
    Settings::Read(in);
  } catch (const InputError&) {
  }
  return 0;
}
