// Whole conversions of a large generated document (20,000 definitions with
// 200,000 properties, no paths; generated_document.h without long
// descriptions), measured against the bare parse of the same
// bytes with RapidJSON's SAX reader. Times are processor time of this
// process, so that other programs on a shared machine do not count.
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

namespace {

// The document in a temporary folder, removed at exit.
struct Document {
  std::string folder;
  std::string path;
  std::string bytes;

  Document() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvane-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder = pattern;
    path = folder + "/convert-bench.json";
    tolvane::bench::TDocumentShape shape;
    shape.Operations = 0;
    shape.SecurityDefinitions = 0;
    shape.LongDescriptions = false;
    bytes = tolvane::bench::WithScanRoom(tolvane::bench::GenerateDocument(shape));
    std::ofstream(path, std::ios::binary) << bytes;
  }
  ~Document() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

const Document& SharedDocument() {
  static const Document document;
  return document;
}

constexpr unsigned kReaderFlags = rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseIterativeFlag |
                                  rapidjson::kParseValidateEncodingFlag;

void BareParse(const std::string& bytes) {
  rapidjson::Reader reader;
  rapidjson::BaseReaderHandler<> handler;
  rapidjson::StringStream stream(bytes.c_str());
  if (reader.Parse<kReaderFlags>(stream, handler).IsError()) std::abort();
}

void Convert(const Document& document) {
  tolvane::TSwaggerConverter converter([](const std::string&) {});
  converter.SetFileName(document.path);
}

// The same run with a class filter that names no class: loading, renaming
// and ordering in full, but a unit of 17 lines. The difference to Convert is
// what writing the classes costs.
void ConvertNoClass(const Document& document) {
  tolvane::TSwaggerConverter converter([](const std::string&) {});
  converter.SetClassnameFilter("NoSuchClass");
  converter.SetFileName(document.path);
}

double CpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double SecondsOf(void (*run)(const Document&), const Document& document) {
  const double start = CpuSeconds();
  run(document);
  return CpuSeconds() - start;
}

void BM_BareParseDefinitions(benchmark::State& state) {
  const Document& document = SharedDocument();
  for (auto _ : state) BareParse(document.bytes);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.bytes.size()));
}
BENCHMARK(BM_BareParseDefinitions)->Unit(benchmark::kMillisecond);

// The best of a few bare parses, taken beside the conversions so that the
// ratio compares runs on the same machine state.
double BestBareParse(const Document& document) {
  double bare = 1e9;
  for (int i = 0; i < 5; ++i) {
    bare = std::min(bare, SecondsOf([](const Document& d) { BareParse(d.bytes); }, document));
  }
  return bare;
}

void RunAgainstBareParse(benchmark::State& state, void (*run)(const Document&)) {
  const Document& document = SharedDocument();
  const double bare = BestBareParse(document);
  double best = 1e9;
  for (auto _ : state) best = std::min(best, SecondsOf(run, document));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.bytes.size()));
  state.counters["bare_parse_cpu_ms"] = bare * 1000;
  state.counters["best_cpu_ms"] = best * 1000;
  state.counters["ratio_to_bare_parse"] = best / bare;
}

void BM_ConvertDefinitions(benchmark::State& state) { RunAgainstBareParse(state, Convert); }
BENCHMARK(BM_ConvertDefinitions)->Unit(benchmark::kMillisecond);

void BM_ConvertDefinitionsNoClassWritten(benchmark::State& state) { RunAgainstBareParse(state, ConvertNoClass); }
BENCHMARK(BM_ConvertDefinitionsNoClassWritten)->Unit(benchmark::kMillisecond);

}  // namespace
