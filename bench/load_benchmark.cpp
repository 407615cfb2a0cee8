// Loading a large generated document, compared with parsing the same bytes
// with RapidJSON's bare SAX reader and a handler that does nothing.
//
//   build/tolvane_bench --benchmark_filter=Load
//
// BM_LoadBareParse is the yardstick; BM_LoadSwagger reads the file, decodes it,
// parses it into the tree, builds the model and runs the three passes
// (everything a conversion does before the unit is written). Freeing the
// model afterwards is BM_LoadFreeModel. BM_LoadSwaggerYaml loads the same
// document written as YAML (block style, every string quoted).

#include <benchmark/benchmark.h>
#include <rapidjson/reader.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "generated_document.h"
#include "swagger/convert_swagger.h"
#include "yaml_writer.h"

namespace {

constexpr size_t kDocumentBytes = 50u << 20;

// A petstore-like document of about ATargetBytes: paths with several
// operations, parameters of every kind and responses, and definitions with
// scalar, reference and array properties.
std::string GenerateDocument(size_t ATargetBytes) {
  std::string text;
  text.reserve(ATargetBytes + (1u << 20));
  text +=
      "{\n  \"swagger\": \"2.0\",\n  \"info\": {\"title\": \"Generated\", \"version\": \"1.0.0\", "
      "\"description\": \"A generated document for the load benchmark\"},\n"
      "  \"host\": \"api.example.com\",\n  \"basePath\": \"/v1\",\n  \"schemes\": [\"https\"],\n"
      "  \"securityDefinitions\": {\n"
      "    \"api_key\": {\"type\": \"apiKey\", \"name\": \"api_key\", \"in\": \"header\"},\n"
      "    \"oauth\": {\"type\": \"oauth2\", \"authorizationUrl\": \"https://example.com/oauth\", "
      "\"flow\": \"implicit\", \"scopes\": {\"read\": \"read things\"}}\n  },\n";
  // Paths take about two thirds of the bytes, definitions the rest.
  text += "  \"paths\": {\n";
  const size_t paths_end = ATargetBytes * 2 / 3;
  for (size_t i = 0; text.size() < paths_end; ++i) {
    const std::string n = std::to_string(i);
    if (i > 0) text += ",\n";
    text += "    \"/item" + n + "/{id}\": {\n";
    text += "      \"get\": {\"tags\": [\"item\"], \"summary\": \"Finds item " + n +
            "\", \"description\": \"Returns a single item by its id; the text is long enough "
            "to look like a real description\", \"operationId\": \"getItem" + n +
            "\", \"produces\": [\"application/json\", \"application/xml\"], \"parameters\": [\n"
            "        {\"name\": \"id\", \"in\": \"path\", \"description\": \"Id of the item\", "
            "\"required\": true, \"type\": \"integer\", \"format\": \"int64\", \"minimum\": 1, "
            "\"maximum\": 1000000},\n"
            "        {\"name\": \"fields\", \"in\": \"query\", \"type\": \"array\", \"items\": "
            "{\"type\": \"string\"}, \"collectionFormat\": \"csv\", \"enum\": [\"a\", \"b\", "
            "\"c\"]},\n"
            "        {\"name\": \"X-Trace\", \"in\": \"header\", \"type\": \"string\", "
            "\"maxLength\": 64}\n      ],\n"
            "        \"responses\": {\"200\": {\"description\": \"successful operation\", "
            "\"schema\": {\"$ref\": \"#/definitions/Item" + n + "\"}}, \"400\": {\"description\": "
            "\"Invalid id supplied\"}, \"404\": {\"description\": \"Item not found\"}},\n"
            "        \"security\": [{\"api_key\": []}, {\"oauth\": [\"read\"]}]},\n";
    text += "      \"post\": {\"summary\": \"Updates item " + n +
            "\", \"operationId\": \"updateItem" + n +
            "\", \"consumes\": [\"application/x-www-form-urlencoded\"], \"parameters\": [\n"
            "        {\"name\": \"id\", \"in\": \"path\", \"required\": true, \"type\": \"integer\"},\n"
            "        {\"name\": \"name\", \"in\": \"formData\", \"type\": \"string\", \"default\": "
            "\"none\"},\n"
            "        {\"name\": \"body\", \"in\": \"body\", \"schema\": {\"$ref\": "
            "\"#/definitions/Item" + n + "\"}}\n      ],\n"
            "        \"responses\": {\"405\": {\"description\": \"Invalid input\"}}},\n";
    text += "      \"delete\": {\"operationId\": \"deleteItem" + n +
            "\", \"x-internal\": {\"owner\": \"team " + n + "\", \"weight\": 1.50}, "
            "\"responses\": {\"204\": {\"description\": \"deleted\"}}}\n    }";
  }
  text += "\n  },\n  \"definitions\": {\n";
  for (size_t i = 0; text.size() < ATargetBytes; ++i) {
    const std::string n = std::to_string(i);
    if (i > 0) text += ",\n";
    text += "    \"Item" + n + "\": {\"type\": \"object\", \"description\": \"Item number " + n +
            "\", \"required\": [\"id\", \"name\"], \"properties\": {\n"
            "      \"id\": {\"type\": \"integer\", \"format\": \"int64\"},\n"
            "      \"name\": {\"type\": \"string\", \"example\": \"doggie\"},\n"
            "      \"price\": {\"type\": \"number\", \"format\": \"double\", \"description\": "
            "\"Price in euro\"},\n"
            "      \"category\": {\"$ref\": \"#/definitions/Category\"},\n"
            "      \"tags\": {\"type\": \"array\", \"items\": {\"$ref\": \"#/definitions/Tag\"}},\n"
            "      \"photoUrls\": {\"type\": \"array\", \"items\": {\"type\": \"string\"}},\n"
            "      \"status\": {\"type\": \"string\", \"enum\": [\"available\", \"pending\", "
            "\"sold\"]}\n    }}";
  }
  text += "\n  }\n}\n";
  return text;
}

const std::string& Document() {
  static const std::string document = tolvane::bench::WithScanRoom(GenerateDocument(kDocumentBytes));
  return document;
}

// The document written once to a temporary file, removed at exit.
const std::string& DocumentFile() {
  static const std::string path = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tolvane-bench-XXXXXX.json").string();
    const int fd = ::mkstemps(pattern.data(), 5);
    if (fd < 0) std::abort();
    ::close(fd);
    std::ofstream(pattern, std::ios::binary) << Document();
    return pattern;
  }();
  // Registered once the path exists, so that it runs before the path is
  // destroyed.
  static const bool removed_at_exit = std::atexit([] { std::remove(DocumentFile().c_str()); }) == 0;
  (void)removed_at_exit;
  return path;
}

// The document written as YAML to a temporary file, removed at exit.
const std::string& YamlDocumentFile() {
  static const std::string path = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tolvane-bench-XXXXXX.yaml").string();
    const int fd = ::mkstemps(pattern.data(), 5);
    if (fd < 0) std::abort();
    ::close(fd);
    std::ofstream(pattern, std::ios::binary)
        << tolvane::testing::ToYaml(tolvane::JsonTree::Parse(Document()).Root());
    return pattern;
  }();
  static const bool removed_at_exit =
      std::atexit([] { std::remove(YamlDocumentFile().c_str()); }) == 0;
  (void)removed_at_exit;
  return path;
}

constexpr unsigned kReaderFlags = rapidjson::kParseNumbersAsStringsFlag |
                                  rapidjson::kParseIterativeFlag |
                                  rapidjson::kParseValidateEncodingFlag;

void BM_LoadBareParse(benchmark::State& AState) {
  const std::string& document = Document();
  for (auto _ : AState) {
    rapidjson::BaseReaderHandler<> handler;
    rapidjson::Reader reader;
    rapidjson::StringStream stream(document.c_str());
    const rapidjson::ParseResult result = reader.Parse<kReaderFlags>(stream, handler);
    if (result.IsError()) AState.SkipWithError("parse failed");
  }
  AState.SetBytesProcessed(static_cast<int64_t>(AState.iterations() * document.size()));
}
BENCHMARK(BM_LoadBareParse)->Unit(benchmark::kMillisecond);

// The same reader parsing in place, as the loader does; the fresh copy of
// the text for each round is not timed.
void BM_LoadBareParseInsitu(benchmark::State& AState) {
  const std::string& document = Document();
  for (auto _ : AState) {
    AState.PauseTiming();
    std::string copy = tolvane::bench::WithScanRoom(document);
    AState.ResumeTiming();
    rapidjson::BaseReaderHandler<> handler;
    rapidjson::Reader reader;
    rapidjson::InsituStringStream stream(copy.data());
    const rapidjson::ParseResult result =
        reader.Parse<kReaderFlags | rapidjson::kParseInsituFlag>(stream, handler);
    if (result.IsError()) AState.SkipWithError("parse failed");
  }
  AState.SetBytesProcessed(static_cast<int64_t>(AState.iterations() * Document().size()));
}
BENCHMARK(BM_LoadBareParseInsitu)->Unit(benchmark::kMillisecond);

void BM_LoadSwagger(benchmark::State& AState) {
  const std::string& path = DocumentFile();
  size_t paths = 0;
  for (auto _ : AState) {
    std::unique_ptr<tolvane::TSwagger> swagger = tolvane::LoadSwagger(path);
    paths = swagger->Fpaths->FItems.size();
    // Freeing the model is timed on its own, by BM_LoadFreeModel.
    AState.PauseTiming();
    swagger.reset();
    AState.ResumeTiming();
  }
  AState.counters["paths"] = static_cast<double>(paths);
  AState.SetBytesProcessed(static_cast<int64_t>(AState.iterations() * Document().size()));
}
BENCHMARK(BM_LoadSwagger)->Unit(benchmark::kMillisecond);

void BM_LoadSwaggerYaml(benchmark::State& AState) {
  const std::string& path = YamlDocumentFile();
  for (auto _ : AState) {
    std::unique_ptr<tolvane::TSwagger> swagger = tolvane::LoadSwagger(path);
    AState.PauseTiming();
    swagger.reset();
    AState.ResumeTiming();
  }
  AState.SetBytesProcessed(static_cast<int64_t>(AState.iterations() * std::filesystem::file_size(path)));
}
BENCHMARK(BM_LoadSwaggerYaml)->Unit(benchmark::kMillisecond);

void BM_LoadFreeModel(benchmark::State& AState) {
  const std::string& path = DocumentFile();
  for (auto _ : AState) {
    AState.PauseTiming();
    std::unique_ptr<tolvane::TSwagger> swagger = tolvane::LoadSwagger(path);
    AState.ResumeTiming();
    swagger.reset();
  }
}
BENCHMARK(BM_LoadFreeModel)->Unit(benchmark::kMillisecond);

// Parsing into the tree alone, without the model, as loading a file does.
void BM_LoadJsonTree(benchmark::State& AState) {
  for (auto _ : AState) {
    AState.PauseTiming();
    std::string copy = Document();
    AState.ResumeTiming();
    const tolvane::JsonTree tree =
        tolvane::JsonTree::Parse(std::move(copy), [] { return Document(); });
    benchmark::DoNotOptimize(tree.NodeCount());
  }
  AState.SetBytesProcessed(static_cast<int64_t>(AState.iterations() * Document().size()));
}
BENCHMARK(BM_LoadJsonTree)->Unit(benchmark::kMillisecond);

}  // namespace
