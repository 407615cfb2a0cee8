// Fuzz target: the whole conversion, in-process, on the fuzzer's bytes taken
// as the document file. Each input is converted without a class filter and
// then with the filter "Pet" (the class name that the seed documents use),
// and the invariants of conversion_check.h are checked after each run.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "conversion_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* AData, size_t ASize) {
  tolvane::fuzzing::CheckConversion(
      std::string_view(reinterpret_cast<const char*>(AData), ASize), "Pet");
  return 0;
}
