// A whole conversion of a large generated document with a REST client
// (20,000 operations, 100,000 parameters), against the bare JSON parse of the
// same bytes (the generator of generated_document.h without long descriptions).
#include <benchmark/benchmark.h>
#include <rapidjson/reader.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "generated_document.h"
#include "swagger/convert_swagger.h"
#include "unitdef/unit_definition.h"
#include "unitdef/unit_resolver.h"
#include "unitdef/unit_text.h"
#include "unitdef/unit_writer.h"

namespace {

const std::string& Document() {
  static const std::string document = [] {
    tolvane::bench::TDocumentShape shape;
    shape.Definitions = 200;
    shape.LongDescriptions = false;
    return tolvane::bench::WithScanRoom(tolvane::bench::GenerateDocument(shape));
  }();
  return document;
}

// Processor time of this process, so that other programs on a shared
// machine do not count.
double CpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BareParse() {
  rapidjson::Reader reader;
  rapidjson::BaseReaderHandler<> handler;
  rapidjson::StringStream stream(Document().c_str());
  if (reader.Parse(stream, handler).IsError()) std::abort();
}

// The best of a few bare parses.
double BareParseSeconds() {
  double best = 1e9;
  for (int i = 0; i < 5; ++i) {
    const double start = CpuSeconds();
    BareParse();
    best = std::min(best, CpuSeconds() - start);
  }
  return best;
}

void BM_ClientBareParse(benchmark::State& state) {
  for (auto _ : state) BareParse();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * Document().size());
}
BENCHMARK(BM_ClientBareParse)->Unit(benchmark::kMillisecond);

// Reading the file, loading, writing the unit with its client, and saving it.
void BM_ClientConvert(benchmark::State& state) {
  std::string folder = (std::filesystem::temp_directory_path() / "tolvane-bench-XXXXXX").string();
  if (::mkdtemp(folder.data()) == nullptr) std::abort();
  const std::string path = folder + "/client.json";
  std::ofstream(path, std::ios::binary) << Document();
  const double bare = BareParseSeconds();
  double best = 1e9;
  for (auto _ : state) {
    const double start = CpuSeconds();
    tolvane::TSwaggerConverter converter([](const std::string&) {});
    converter.SetFileName(path);
    best = std::min(best, CpuSeconds() - start);
  }
  state.counters["unit_MB"] = static_cast<double>(std::filesystem::file_size(folder + "/client.pas")) / 1e6;
  state.counters["bare_parse_cpu_ms"] = bare * 1000;
  state.counters["best_cpu_ms"] = best * 1000;
  state.counters["ratio_to_bare_parse"] = best / bare;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * Document().size());
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ClientConvert)->Unit(benchmark::kMillisecond);

// Resolving and writing the unit alone, on the loaded document: the client
// class and the method bodies, into the unit's bytes.
void BM_ClientWriters(benchmark::State& state) {
  const std::unique_ptr<tolvane::TSwagger> swagger = tolvane::LoadSwaggerText(Document());
  tolvane::TUnitDefinition unit;
  tolvane::HandOver(*swagger, unit, "client.json", "", [](const std::string&) {});
  const double bare = BareParseSeconds();
  double best = 1e9;
  for (auto _ : state) {
    const double start = CpuSeconds();
    tolvane::TUnitText text;
    const tolvane::TResolvedUnit resolved = tolvane::MakePlainResolver(unit)->Resolve(unit);
    tolvane::WriteUnit(resolved, text);
    benchmark::DoNotOptimize(text.Bytes().data());
    best = std::min(best, CpuSeconds() - start);
  }
  state.counters["best_cpu_ms"] = best * 1000;
  state.counters["ratio_to_bare_parse"] = best / bare;
}
BENCHMARK(BM_ClientWriters)->Unit(benchmark::kMillisecond);

}  // namespace
