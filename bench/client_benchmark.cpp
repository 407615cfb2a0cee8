// A whole conversion of a large generated document with a REST client
// (20,000 operations, 100,000 parameters), against the bare JSON parse of the
// same bytes. The conversion should stay under five times the bare parse.
#include <benchmark/benchmark.h>
#include <rapidjson/reader.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "swagger/convert_swagger.h"

namespace {

constexpr int kOperations = 20000;
constexpr int kParametersPerOperation = 5;
constexpr int kSecurityDefinitions = 500;
constexpr int kDefinitions = 200;

// The five parameters of operation AIndex: every way an argument reaches the
// request, required and optional.
std::string Parameters(int AIndex, bool AWithBody) {
  const std::string n = std::to_string(AIndex);
  std::string text = R"([{"name": "id", "in": "path", "required": true, "type": "integer", "format": "int64"},)"
                     R"({"name": "filter-)" + n + R"(", "in": "query", "type": "string"},)"
                     R"({"name": "X-Trace", "in": "header", "type": "integer"},)"
                     R"({"name": "tags", "in": "query", "type": "array", "items": {"type": "string"}},)";
  if (AWithBody) {
    text += R"({"name": "body", "in": "body", "required": true, "schema": {"type": "array", "items": {"$ref": "#/definitions/Model)" +
            std::to_string(AIndex % kDefinitions) + R"("}}}])";
  } else {
    text += R"({"name": "note", "in": "formData", "type": "string"}])";
  }
  return text;
}

// Four operations per path; the first holds the responses and the security
// requirement, as documents do.
std::string GenerateDocument() {
  std::string doc = R"({"swagger": "2.0", "host": "api.example.com", "basePath": "/v1", "schemes": ["https"], "paths": {)";
  int operation = 0;
  for (int path = 0; operation < kOperations; ++path) {
    if (path > 0) doc += ",";
    const std::string p = std::to_string(path);
    doc += R"("/items)" + p + R"(/{id}": {)";
    const char* methods[] = {"get", "put", "post", "delete"};
    for (int m = 0; m < 4 && operation < kOperations; ++m, ++operation) {
      if (m > 0) doc += ",";
      doc += std::string("\"") + methods[m] + R"(": {"operationId": ")" + methods[m] + "Item" + p +
             R"(", "produces": ["application/json"], "consumes": ["application/x-www-form-urlencoded"], "parameters": )" +
             Parameters(operation, m == 1 || m == 2);
      if (m == 0) {
        doc += R"(, "responses": {"200": {"description": "ok", "schema": {"$ref": "#/definitions/Model)" +
               std::to_string(path % kDefinitions) + R"("}}, "default": {"description": "error"}},)"
               R"( "security": [{"key)" + std::to_string(path % kSecurityDefinitions) + R"(": []}])";
      }
      doc += "}";
    }
    doc += "}";
  }
  doc += R"(}, "securityDefinitions": {)";
  for (int i = 0; i < kSecurityDefinitions; ++i) {
    if (i > 0) doc += ",";
    doc += R"("key)" + std::to_string(i) + R"(": {"type": "apiKey", "name": "api_key", "in": "header"})";
  }
  doc += R"(}, "definitions": {)";
  for (int i = 0; i < kDefinitions; ++i) {
    if (i > 0) doc += ",";
    doc += R"("Model)" + std::to_string(i) +
           R"(": {"type": "object", "properties": {"id": {"type": "integer", "format": "int64"}, "name": {"type": "string"}}})";
  }
  doc += "}}";
  return doc;
}

const std::string& Document() {
  static const std::string document = GenerateDocument();
  return document;
}

void BM_BareParse(benchmark::State& state) {
  const std::string& document = Document();
  for (auto _ : state) {
    rapidjson::Reader reader;
    rapidjson::BaseReaderHandler<> handler;
    rapidjson::StringStream stream(document.c_str());
    const rapidjson::ParseResult result = reader.Parse(stream, handler);
    benchmark::DoNotOptimize(result);
    if (!result) state.SkipWithError("the generated document does not parse");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * document.size());
}
BENCHMARK(BM_BareParse)->Unit(benchmark::kMillisecond);

// Reading the file, loading, writing the unit with its client, and saving it.
void BM_ConvertWithClient(benchmark::State& state) {
  std::string folder = (std::filesystem::temp_directory_path() / "tolvane-bench-XXXXXX").string();
  if (::mkdtemp(folder.data()) == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string path = folder + "/client.json";
  std::ofstream(path, std::ios::binary) << Document();
  for (auto _ : state) {
    tolvane::TSwaggerConverter converter([](const std::string&) {});
    converter.SetFileName(path);
  }
  state.counters["unit_bytes"] = static_cast<double>(std::filesystem::file_size(folder + "/client.pas"));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * Document().size());
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ConvertWithClient)->Unit(benchmark::kMillisecond);

}  // namespace
