// The renaming and ordering passes on large models built in memory, and the
// loading of the same random graph as a document for comparison:
//
//   build/tolvane_bench --benchmark_filter=Ordering
//
// Goals: the random graph (20,000 classes, 3 references each) under 1 s, the
// 10,000-long chain in the worst order under 2 s, one cycle of 2,000 classes
// under 1 s, and the ordering of the random graph at most 3 times its loading.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/debug_trace.h"
#include "swagger/convert_swagger.h"
#include "unitdef/unit_definition.h"

namespace {

using tolvane::TUnitDefinition;

// A graph of classes: per class, in list order, its name and the classes its
// properties refer to (a reference "#/definitions/..." or an array of them).
struct TClassGraph {
  std::vector<std::string> Names;
  std::vector<std::vector<int>> References;
  std::vector<std::vector<bool>> AsArray;
};

constexpr int kRandomClasses = 20000;
constexpr int kReferencesPerClass = 3;
constexpr int kChainClasses = 10000;
constexpr int kCycleClasses = 2000;

// Acyclic: every class refers only to classes that rank below it in a hidden
// order; the list order is random. Every tenth name repeats an earlier one in
// upper case, for the renaming pass.
TClassGraph RandomGraph() {
  std::mt19937 random(20000);
  TClassGraph graph;
  std::vector<int> by_rank(kRandomClasses);
  for (int i = 0; i < kRandomClasses; ++i) by_rank[i] = i;
  std::shuffle(by_rank.begin(), by_rank.end(), random);
  std::vector<int> rank(kRandomClasses);
  for (int r = 0; r < kRandomClasses; ++r) rank[by_rank[r]] = r;
  for (int i = 0; i < kRandomClasses; ++i) {
    graph.Names.push_back("Model" + std::to_string(i));
    graph.References.emplace_back();
    graph.AsArray.emplace_back();
    for (int k = 0; k < kReferencesPerClass && rank[i] > 0; ++k) {
      graph.References.back().push_back(by_rank[random() % rank[i]]);
      graph.AsArray.back().push_back(k == 2);
    }
  }
  return graph;
}

// Each class refers to the next one, listed in that order: every move undoes
// little, so the loop needs about as many passes as classes.
TClassGraph Chain(int ACount, bool AClosed) {
  TClassGraph graph;
  for (int i = 0; i < ACount; ++i) {
    graph.Names.push_back("Link" + std::to_string(i));
    graph.References.emplace_back();
    graph.AsArray.emplace_back();
    if (i + 1 < ACount || AClosed) {
      graph.References.back().push_back((i + 1) % ACount);
      graph.AsArray.back().push_back(false);
    }
  }
  return graph;
}

std::unique_ptr<TUnitDefinition> BuildModel(const TClassGraph& AGraph, bool ADuplicates) {
  auto unit = std::make_unique<TUnitDefinition>();
  for (size_t i = 0; i < AGraph.Names.size(); ++i) {
    std::string name = AGraph.Names[i];
    if (ADuplicates && i % 10 == 9) {
      name = AGraph.Names[i / 2];
      std::transform(name.begin(), name.end(), name.begin(), ::toupper);
    }
    tolvane::TObjectDefinition* object = unit->AddObject(name, "object");
    object->AddProperty("id", "integer", "int64", "", "", "", "");
    object->AddProperty("name", "string", "", "", "", "", "");
    for (size_t k = 0; k < AGraph.References[i].size(); ++k) {
      const std::string target = "#/definitions/" + AGraph.Names[AGraph.References[i][k]];
      const std::string property = "ref" + std::to_string(k);
      if (AGraph.AsArray[i][k]) {
        object->AddProperty(property, "array", "", "", target, "", "");
      } else {
        object->AddProperty(property, "", "", target, "", "", "");
      }
    }
  }
  return unit;
}

void RunOrdering(benchmark::State& AState, const TClassGraph& AGraph) {
  // One untimed run counts the passes and moves through the trace lines.
  {
    double passes = 0;
    double moves = 0;
    const std::unique_ptr<TUnitDefinition> unit = BuildModel(AGraph, false);
    unit->FTraceProcedure = [&](std::string_view ALine) { (ALine == "Resolving" ? passes : moves) += 1; };
    unit->ResolveDependencies();
    AState.counters["passes"] = passes;
    AState.counters["moves"] = moves;
  }
  for (auto _ : AState) {
    AState.PauseTiming();
    std::unique_ptr<TUnitDefinition> unit = BuildModel(AGraph, false);
    AState.ResumeTiming();
    unit->ResolveDependencies();
    benchmark::DoNotOptimize(unit->FObjects.front().get());
    AState.PauseTiming();
    unit.reset();
    AState.ResumeTiming();
  }
}

void BM_OrderingRandomGraph(benchmark::State& AState) {
  static const TClassGraph graph = RandomGraph();
  RunOrdering(AState, graph);
}
BENCHMARK(BM_OrderingRandomGraph)->Unit(benchmark::kMillisecond);

void BM_OrderingChainWorstOrder(benchmark::State& AState) {
  static const TClassGraph graph = Chain(kChainClasses, false);
  RunOrdering(AState, graph);
}
BENCHMARK(BM_OrderingChainWorstOrder)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OrderingOneCycle(benchmark::State& AState) {
  static const TClassGraph graph = Chain(kCycleClasses, true);
  RunOrdering(AState, graph);
}
BENCHMARK(BM_OrderingOneCycle)->Unit(benchmark::kMillisecond);

// The renaming pass on the random graph with every tenth name a duplicate.
void BM_OrderingMakeNamesUnique(benchmark::State& AState) {
  static const TClassGraph graph = RandomGraph();
  for (auto _ : AState) {
    AState.PauseTiming();
    std::unique_ptr<TUnitDefinition> unit = BuildModel(graph, true);
    AState.ResumeTiming();
    unit->MakeNamesUnique();
    AState.PauseTiming();
    unit.reset();
    AState.ResumeTiming();
  }
}
BENCHMARK(BM_OrderingMakeNamesUnique)->Unit(benchmark::kMillisecond);

// The random graph as a document, written once to a temporary file.
const std::string& RandomGraphDocument() {
  static const std::string path = [] {
    const TClassGraph graph = RandomGraph();
    std::string text = R"({"swagger": "2.0", "info": {"title": "Random graph", "version": "1"},)"
                       R"( "paths": {}, "securityDefinitions": {}, "definitions": {)";
    for (size_t i = 0; i < graph.Names.size(); ++i) {
      if (i > 0) text += ",";
      text += "\n\"" + graph.Names[i] + R"(": {"type": "object", "properties": {)" +
              R"("id": {"type": "integer", "format": "int64"}, "name": {"type": "string"})";
      for (size_t k = 0; k < graph.References[i].size(); ++k) {
        const std::string target = "\"#/definitions/" + graph.Names[graph.References[i][k]] + "\"";
        text += ", \"ref" + std::to_string(k) + "\": ";
        text += graph.AsArray[i][k] ? R"({"type": "array", "items": {"$ref": )" + target + "}}"
                                    : R"({"$ref": )" + target + "}";
      }
      text += "}}";
    }
    text += "}}\n";
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvane-order-XXXXXX.json").string();
    const int fd = ::mkstemps(pattern.data(), 5);
    if (fd < 0) std::abort();
    ::close(fd);
    std::ofstream(pattern, std::ios::binary) << text;
    std::atexit([] { std::remove(RandomGraphDocument().c_str()); });
    return pattern;
  }();
  return path;
}

std::unique_ptr<TUnitDefinition> LoadModel(const std::string& APath) {
  auto unit = std::make_unique<TUnitDefinition>();
  const std::unique_ptr<tolvane::TSwagger> swagger = tolvane::LoadSwagger(APath);
  tolvane::HandOver(*swagger, *unit, APath, "", nullptr);
  return unit;
}

// Loading the random graph's document up to the unit model: reading,
// decoding, parsing, the tree and the hand-over.
void BM_OrderingLoadRandomGraphDocument(benchmark::State& AState) {
  const std::string& path = RandomGraphDocument();
  for (auto _ : AState) {
    std::unique_ptr<TUnitDefinition> unit = LoadModel(path);
    benchmark::DoNotOptimize(unit->FObjects.size());
    AState.PauseTiming();
    unit.reset();
    AState.ResumeTiming();
  }
}
BENCHMARK(BM_OrderingLoadRandomGraphDocument)->Unit(benchmark::kMillisecond);

// Both passes on the loaded model against its loading, as a ratio.
void BM_OrderingVersusLoading(benchmark::State& AState) {
  using Clock = std::chrono::steady_clock;
  const std::string& path = RandomGraphDocument();
  double loading = 0;
  double ordering = 0;
  for (auto _ : AState) {
    const Clock::time_point start = Clock::now();
    std::unique_ptr<TUnitDefinition> unit = LoadModel(path);
    const Clock::time_point loaded = Clock::now();
    unit->MakeNamesUnique();
    unit->ResolveDependencies();
    const Clock::time_point ordered = Clock::now();
    loading += std::chrono::duration<double, std::milli>(loaded - start).count();
    ordering += std::chrono::duration<double, std::milli>(ordered - loaded).count();
    AState.PauseTiming();
    unit.reset();
    AState.ResumeTiming();
  }
  const double rounds = static_cast<double>(AState.iterations());
  AState.counters["load_ms"] = loading / rounds;
  AState.counters["order_ms"] = ordering / rounds;
  AState.counters["order_per_load"] = ordering / loading;
}
BENCHMARK(BM_OrderingVersusLoading)->Unit(benchmark::kMillisecond);

}  // namespace
