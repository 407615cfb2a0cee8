// The whole conversion against the physical limit of its work, in the same
// run: reading the document's file, parsing it in place with RapidJSON and
// a handler that does nothing, and writing as many bytes as the unit has
// into a file. A third piece of work, the tree floor, does the same but reads
// the file into the document's tree as the converter does: what the
// conversion cannot go below. Each benchmark alternates the three, one round
// each per iteration, and reports the best processor time of each and their
// ratios to the limit (ratio_to_limit, tree_floor_ratio), so that all see
// the same machine state.
//
//   build/tolvane_bench --benchmark_filter=Limit
//
// Documents: a classes-only and a client-heavy generated document, the
// generated document with both in three sizes (4, 40 and 400 MB: the cost
// per megabyte shows whether the conversion grows linearly), and the real
// corpus's largest (skipped when ../shared is absent); each in the default
// mode and with --compilable.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <rapidjson/reader.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "generated_document.h"
#include "swagger/convert_swagger.h"
#include "swagger/yaml_tree.h"
#include "unitdef/unit_definition.h"

namespace {

namespace fs = std::filesystem;

double CpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The processor time spent in the kernel: mostly clearing the pages that
// memory touched for the first time takes, which a virtual machine can make
// dearer than the work itself.
double SystemSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_stime.tv_sec) + static_cast<double>(usage.ru_stime.tv_usec) * 1e-6;
}

// The processor time of one call, and the part of it spent in the kernel.
struct TCost {
  double Cpu = 1e9;
  double System = 0;
};
template <typename TWork>
TCost Measure(TWork AWork) {
  const double cpu = CpuSeconds();
  const double system = SystemSeconds();
  AWork();
  return {CpuSeconds() - cpu, SystemSeconds() - system};
}

// The file's bytes and a terminating NUL, in a buffer that is not cleared
// first; NUL bytes after it keep the reader's sixteen-byte scans inside the
// buffer.
std::unique_ptr<char[]> ReadFile(const std::string& APath) {
  const int fd = ::open(APath.c_str(), O_RDONLY);
  if (fd < 0) std::abort();
  struct stat info {};
  ::fstat(fd, &info);
  const size_t size = static_cast<size_t>(info.st_size);
  constexpr size_t kPadding = 16;
  std::unique_ptr<char[]> bytes = std::make_unique_for_overwrite<char[]>(size + kPadding);
  std::memset(bytes.get() + size, 0, kPadding);
  size_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(fd, bytes.get() + done, size - done);
    if (got <= 0) std::abort();
    done += static_cast<size_t>(got);
  }
  ::close(fd);
  return bytes;
}

void WriteBytes(const std::string& APath, size_t ACount) {
  const std::string bytes(ACount, ' ');
  const int fd = ::open(APath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) std::abort();
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put <= 0) std::abort();
    done += static_cast<size_t>(put);
  }
  ::close(fd);
}

// The limit: read, parse in place with the reader's flags of the loader,
// write the unit's size.
void Limit(const std::string& ADocument, const std::string& AOutput, size_t AUnitBytes) {
  const std::unique_ptr<char[]> text = ReadFile(ADocument);
  constexpr unsigned kFlags = rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseIterativeFlag |
                              rapidjson::kParseValidateEncodingFlag | rapidjson::kParseInsituFlag;
  rapidjson::Reader reader;
  rapidjson::BaseReaderHandler<> handler;
  rapidjson::InsituStringStream stream(text.get());
  if (reader.Parse<kFlags>(stream, handler).IsError()) std::abort();
  WriteBytes(AOutput, AUnitBytes);
}

// What the conversion cannot go below while it reads the document into its
// tree: the limit's work with the tree built (file read and decoded as the
// converter does) instead of the empty handler.
void TreeFloor(const std::string& ADocument, const std::string& AOutput, size_t AUnitBytes) {
  const tolvane::JsonTree tree = tolvane::ParseDocumentFile(ADocument);
  benchmark::DoNotOptimize(&tree);
  WriteBytes(AOutput, AUnitBytes);
}

void Convert(const std::string& ADocument, bool ACompilable) {
  tolvane::TSwaggerConverter converter([](const std::string&) {});
  converter.UnitDefinition().FConfig.Compilable = ACompilable;
  converter.SetFileName(ADocument);
}

// A document of the benchmark's own in a temporary folder, removed at exit.
struct TBenchDocument {
  std::string folder;
  std::string path;
  explicit TBenchDocument(const std::string& AText) {
    std::string pattern = (fs::temp_directory_path() / "tolvane-limit-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder = pattern;
    path = folder + "/document.json";
    std::ofstream(path, std::ios::binary) << AText;
  }
  ~TBenchDocument() {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
};

// A copy of a corpus document in a temporary folder (the unit is written
// beside the document), or nothing when the corpus is absent.
std::string CorpusText(const char* AName) {
  const fs::path path = fs::path(TOLVANE_SHARED_DIR) / "corpus" / AName;
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return {};
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void RunAgainstLimit(benchmark::State& AState, const std::string& AText, bool ACompilable) {
  if (AText.empty()) {
    AState.SkipWithError("corpus document absent");
    for (auto _ : AState) {
    }
    return;
  }
  const TBenchDocument document(AText);
  const std::string unit = document.folder + "/document.pas";
  const std::string limit_output = document.folder + "/limit.pas";
  try {
    Convert(document.path, ACompilable);  // once untimed: the unit's size
  } catch (const std::exception& failure) {
    AState.SkipWithError(failure.what());  // meraki-dashboard has no definitions
    for (auto _ : AState) {
    }
    return;
  }
  const size_t unit_bytes = fs::file_size(unit);
  TCost limit;
  TCost floor;
  TCost convert;
  for (auto _ : AState) {
    const TCost limit_now = Measure([&] { Limit(document.path, limit_output, unit_bytes); });
    if (limit_now.Cpu < limit.Cpu) limit = limit_now;
    const TCost floor_now = Measure([&] { TreeFloor(document.path, limit_output, unit_bytes); });
    if (floor_now.Cpu < floor.Cpu) floor = floor_now;
    const TCost convert_now = Measure([&] { Convert(document.path, ACompilable); });
    if (convert_now.Cpu < convert.Cpu) convert = convert_now;
  }
  const double best_limit = limit.Cpu;
  const double best_convert = convert.Cpu;
  AState.counters["document_MB"] = static_cast<double>(AText.size()) / 1e6;
  AState.counters["unit_MB"] = static_cast<double>(unit_bytes) / 1e6;
  AState.counters["limit_cpu_ms"] = best_limit * 1000;
  AState.counters["convert_cpu_ms"] = best_convert * 1000;
  AState.counters["limit_sys_ms"] = limit.System * 1000;
  AState.counters["convert_sys_ms"] = convert.System * 1000;
  AState.counters["ratio_to_limit"] = best_convert / best_limit;
  AState.counters["tree_floor_ratio"] = floor.Cpu / best_limit;
  AState.counters["floor_sys_ms"] = floor.System * 1000;
  AState.counters["convert_ms_per_MB"] = best_convert * 1000 / (static_cast<double>(AText.size()) / 1e6);
}

std::string Generated(int ADefinitions, int AOperations) {
  tolvane::bench::TDocumentShape shape;
  shape.Definitions = ADefinitions;
  shape.Operations = AOperations;
  return tolvane::bench::GenerateDocument(shape);
}

void RegisterAll() {
  struct TCase {
    const char* name;
    std::string (*text)();
    int iterations;
  };
  static const TCase cases[] = {
      {"classes", [] { return Generated(20000, 0); }, 10},
      {"client", [] { return Generated(200, 20000); }, 10},
      // Both in equal numbers, in three sizes: the cost per megabyte shows
      // whether the conversion grows linearly.
      {"generated4MB", [] { return tolvane::bench::GenerateDocument(tolvane::bench::ShapeOfSize(4)); }, 10},
      {"generated40MB", [] { return tolvane::bench::GenerateDocument(tolvane::bench::ShapeOfSize(40)); }, 5},
      {"generated400MB", [] { return tolvane::bench::GenerateDocument(tolvane::bench::ShapeOfSize(400)); }, 2},
      {"kubernetes-1.13", [] { return CorpusText("kubernetes-1.13.json"); }, 10},
      {"meraki-dashboard", [] { return CorpusText("meraki-dashboard.json"); }, 10},
      {"openshift-api-models", [] { return CorpusText("openshift-api-models.json"); }, 10},
  };
  for (const TCase& c : cases) {
    for (const bool compilable : {false, true}) {
      const std::string name =
          std::string("BM_Limit/") + c.name + (compilable ? "/compilable" : "/default");
      benchmark::RegisterBenchmark(name.c_str(),
                                   [&c, compilable](benchmark::State& state) {
                                     RunAgainstLimit(state, c.text(), compilable);
                                   })
          ->Unit(benchmark::kMillisecond)
          ->Iterations(c.iterations);
    }
  }
}

const bool kRegistered = (RegisterAll(), true);

}  // namespace
