// The one entry point of the benchmark program; every bench/*.cpp registers
// its benchmarks and none defines main. Memory comes from the same allocator,
// set up the same way, as in the program.
#include <benchmark/benchmark.h>

#include "main/allocator.h"

int main(int argc, char** argv) {
  tolvane::SetUpAllocator();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
