// The one entry point of the benchmark program; every bench/*.cpp registers
// its benchmarks and none defines main.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
