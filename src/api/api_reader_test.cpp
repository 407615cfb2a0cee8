#include "api/api_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "client_completeness.h"
#include "platform/code_page.h"
#include "platform/exceptions.h"
#include "unit_writer_support.h"

namespace tolvane {
namespace {

struct TRead {
  std::unique_ptr<ApiDocument> Api;
  std::vector<std::string> Lines;
};

TRead Read(const std::string& ADocument) {
  TRead read;
  read.Api = ReadApiText(ADocument, [&](const std::string& ALine) { read.Lines.push_back(ALine); });
  return read;
}

// The model's texts and lists as strings, for messages and comparisons.
std::string S(std::string_view AText) { return std::string(AText); }
std::vector<std::string> Texts(std::span<const std::string_view> ATexts) {
  return std::vector<std::string>(ATexts.begin(), ATexts.end());
}

// A schema in a few characters: #Name for a definition reached by a
// reference, ?reason for an unresolved one, array<...> for arrays.
std::string Describe(const ApiSchema* ASchema) {
  if (ASchema == nullptr) return "-";
  if (!ASchema->ref.empty()) {
    if (ASchema->resolved == nullptr) return "?" + S(ASchema->unresolved());
    if (ASchema->target->definition() != nullptr) return "#" + S(ASchema->target->definition()->name);
    return Describe(ASchema->resolved);
  }
  if (ASchema->type == "array") return "array<" + Describe(ASchema->items) + ">";
  return ASchema->type.empty() ? "{}" : S(ASchema->type);
}

// One operation as a line: method path [id] (name:in:type[!]...) => code:schema | scheme
std::string Describe(const ApiOperation& AOperation) {
  std::string text = S(AOperation.method) + " " + S(AOperation.path);
  if (!AOperation.operation_id.empty()) text += " " + S(AOperation.operation_id);
  text += " (";
  for (const ApiParameter* parameter : AOperation.parameters) {
    if (text.back() != '(') text += ", ";
    text += S(parameter->name) + ":" + S(parameter->in) + ":" +
            (parameter->in == "body" ? Describe(parameter->schema)
                                     : S(parameter->type) + (parameter->items ? "<" + Describe(parameter->items) + ">" : ""));
    if (parameter->required) text += "!";
    if (parameter->collection_format != "csv") text += "/" + S(parameter->collection_format);
  }
  text += ")";
  if (AOperation.result != nullptr) {
    text += " => " + S(AOperation.result->code) + ":" + Describe(AOperation.result->schema);
  }
  if (AOperation.security != nullptr) text += " | " + S(AOperation.security->key);
  return text;
}

std::vector<std::string> Operations(const ApiDocument& AApi) {
  std::vector<std::string> texts;
  for (const ApiOperation& operation : AApi.operations) texts.push_back(Describe(operation));
  return texts;
}

std::string Document(const std::string& AMembers) {
  return R"({"swagger": "2.0", )" + AMembers + "}";
}

struct TOperationCase {
  const char* Behaviour;
  std::string Document;
  std::vector<std::string> Operations;
  std::vector<std::string> Lines;
};

TEST(ApiReader, ReadsEveryOperationAsAClientNeedsIt) {
  const std::vector<TOperationCase> cases = {
      {"every operation of a path item alike, whatever comes first; path-level parameters "
       "merged, the operation's winning on name and in",
       Document(R"("paths": {"/p/{id}": {
          "parameters": [{"name": "id", "in": "path", "type": "string", "required": true},
                         {"name": "v", "in": "query", "type": "string"}],
          "delete": {"responses": {"204": {"description": "gone"}}},
          "get": {"operationId": "getP", "parameters": [
              {"name": "v", "in": "query", "type": "integer"},
              {"name": "v", "in": "header", "type": "string"}],
            "responses": {"200": {"schema": {"type": "string"}}}},
          "options": {"responses": {}}}})"),
       {"get /p/{id} getP (id:path:string!, v:query:integer, v:header:string) => 200:string",
        "delete /p/{id} (id:path:string!, v:query:string) => 204:-"},
       {}},
      {"results: 200, else the lowest 2xx; default never; no 2xx no result",
       Document(R"("paths": {"/a": {
          "get": {"responses": {"default": {"schema": {"type": "string"}}, "202": {"schema": {"type": "integer"}},
                                "201": {"schema": {"type": "boolean"}}}},
          "put": {"responses": {"201": {"schema": {"type": "boolean"}}, "200": {"description": "x"}}},
          "post": {"responses": {"404": {"schema": {"type": "string"}}}},
          "patch": {}}})"),
       {"get /a () => 201:boolean", "put /a () => 200:-", "post /a ()", "patch /a ()"},
       {}},
      {"references to parameters, responses, definitions and any pointer, escapes decoded",
       Document(R"("parameters": {"Lim": {"name": "limit", "in": "query", "type": "array",
                                          "items": {"type": "integer"}, "collectionFormat": "pipes"},
                                  "Alias": {"$ref": "#/parameters/Lim"}},
          "responses": {"Pets": {"schema": {"type": "array", "items": {"$ref": "#/definitions/Pet"}}}},
          "definitions": {"Pet": {"type": "object"}, "a/b~c": {"type": "object"}},
          "paths": {"/pets": {"get": {"parameters": [{"$ref": "#/parameters/Alias"}],
                                      "responses": {"200": {"$ref": "#/responses/Pets"}}},
                              "post": {"parameters": [
                                  {"$ref": "#/paths/~1pets/get/parameters/0"},
                                  {"name": "b", "in": "body", "schema": {"$ref": "#/definitions/a~1b~0c"}}],
                                       "responses": {"201": {"$ref": "#/responses/Pets"}}},
                              "put": {"parameters": [{"name": "c", "in": "body",
                                  "schema": {"$ref": "#/definitions/Pet%20"}}, {"name": "d", "in": "body",
                                  "schema": {"$ref": "#/definitions/a~1b%7E0c"}}],
                                  "responses": {"200": {"schema": {"$ref": "#/responses/Pets/schema"}}}}}})"),
       {"get /pets (limit:query:array<integer>/pipes) => 200:array<#Pet>",
        "put /pets (c:body:?#/definitions/Pet%20 not found, d:body:#a/b~c) => 200:array<#Pet>",
        "post /pets (limit:query:array<integer>/pipes, b:body:#a/b~c) => 201:array<#Pet>"},
       {"Unresolved paths./pets.put.parameters[0].schema: #/definitions/Pet%20 not found"}},
      {"credentials: the operation's own, an empty array none, else the root's",
       Document(R"("security": [{"key": []}],
          "securityDefinitions": {"key": {"type": "apiKey", "name": "X-Key", "in": "header"},
                                  "basic": {"type": "basic"}},
          "paths": {"/a": {"get": {}, "put": {"security": []}, "post": {"security": [{"basic": []}, {"key": []}]},
                           "delete": {"security": [{"nope": []}]}, "patch": {"security": [{}]}}})"),
       {"get /a () | key", "put /a ()", "post /a () | basic", "delete /a ()", "patch /a ()"},
       {"Unresolved paths./a.delete.security[0].nope: no such security definition"}},
      {"a path item by $ref, its own members first",
       Document(R"("x-items": {"shared": {"get": {"operationId": "shared"}, "put": {"operationId": "sharedPut"},
                                          "parameters": [{"name": "q", "in": "query", "type": "string"}]}},
          "paths": {"/a": {"$ref": "#/x-items/shared", "put": {"operationId": "own"}},
                    "/b": {"$ref": "#/paths/~1b"}, "x-note": 1})"),
       {"get /a shared (q:query:string)", "put /a own (q:query:string)"},
       {"Unresolved paths./b: reference cycle"}},
      {"what Swagger 2.0 forbids is read the obvious way or skipped, one line each",
       Document(R"("paths": {"/a": {"get": {"parameters": [
            {"name": "n", "in": "query", "type": "boolean", "default": false, "enum": [true, 1, null, {"x": 1}]},
            {"in": "query", "type": "string"},
            {"name": "w", "type": "string", "required": "true"},
            {"name": "c", "in": "cookie", "type": "string"},
            {"name": "i", "in": "query", "type": "array", "items": [{"type": "integer"}], "required": 1},
            {"name": "n", "in": "query", "type": "string"},
            {"$ref": "#/parameters/none"}, "text", {"$ref": "other.json#/p"}],
          "responses": {"200": "ok"}, "x-anything": [1]},
          "post": [], "put": {"consumes": "application/json", "responses": []}}, "/b": null})"),
       {"get /a (n:query:boolean, w:query:string!, i:query:array<integer>)", "put /a ()"},
       {"Skipped paths./a.get.parameters[1]: no name",
        "Read paths./a.get.parameters[2]: no 'in', taken as a query parameter",
        "Read paths./a.get.parameters[2].required: a string taken as a boolean",
        "Skipped paths./a.get.parameters[3]: unknown location 'cookie'",
        "Read paths./a.get.parameters[4].required: not a boolean, taken as false",
        "Read paths./a.get.parameters[4].items: an array, its first element taken",
        "Skipped paths./a.get.parameters[5]: repeats the name and location of an earlier parameter",
        "Unresolved paths./a.get.parameters[6]: #/parameters/none not found",
        "Skipped paths./a.get.parameters[7]: not an object",
        "Unresolved paths./a.get.parameters[8]: reference into another file other.json#/p",
        "Skipped paths./a.get.responses.200: not an object",
        "Read paths./a.put.consumes: a string taken as a list of one",
        "Skipped paths./a.put.responses: not an object",
        "Skipped paths./a.post: not an object",
        "Skipped paths./b: not an object"}},
  };
  for (const TOperationCase& c : cases) {
    SCOPED_TRACE(c.Behaviour);
    const TRead read = Read(c.Document);
    EXPECT_EQ(Operations(*read.Api), c.Operations);
    EXPECT_EQ(read.Lines, c.Lines);
  }
}

TEST(ApiReader, ResolvesSchemasAndReportsWhatItCannot) {
  const TRead read = Read(Document(R"("definitions": {
      "Pet": {"type": "object", "required": ["id"], "description": "a pet",
              "properties": {"id": {"type": "integer", "format": "int64"},
                             "owner": {"$ref": "#/definitions/Owner"},
                             "tags": {"type": "array", "items": {"$ref": "#/definitions/Tag"}},
                             "bad": "string", "far": {"$ref": "https://x.org/s.json#/T"},
                             "cyc": {"$ref": "#/definitions/A"}, "old": {"$ref": "Tag"},
                             "tilde": {"$ref": "#/definitions/a~2"}}},
      "Tag": {"type": "string", "enum": ["a", 2, true, null, [1]]},
      "Map": {"additionalProperties": {"type": "integer"}},
      "Any": {"type": ["null", "object"], "additionalProperties": true},
      "Kid": {"allOf": [{"$ref": "#/definitions/Pet"}, {"properties": {"x": {"type": "string"}}}, 3]},
      "A": {"$ref": "#/definitions/B"}, "B": {"$ref": "#/definitions/A"},
      "Alias": {"$ref": "#/definitions/Tag"}, "Null": null})"));
  const ApiDocument& api = *read.Api;
  ASSERT_EQ(api.definitions.size(), 8u);
  const ApiSchema& pet = *api.definitions[0].schema;
  EXPECT_EQ(pet.definition(), &api.definitions[0]);
  EXPECT_EQ(pet.description, "a pet");
  EXPECT_EQ(Texts(pet.required()), std::vector<std::string>{"id"});
  std::vector<std::string> properties;
  for (const ApiProperty& property : pet.properties) {
    properties.push_back(S(property.name) + "=" + Describe(property.schema) + S(property.schema->format));
  }
  EXPECT_EQ(properties, (std::vector<std::string>{
                            "id=integerint64", "owner=?#/definitions/Owner not found",
                            "tags=array<#Tag>", "bad={}", "far=?reference to a URL https://x.org/s.json#/T",
                            "cyc=?reference cycle", "old=#Tag",
                            "tilde=?malformed ~-escape in #/definitions/a~2"}));

  const ApiSchema& tag = *api.definitions[1].schema;
  std::string values;
  for (const ApiValue& value : tag.enum_values()) values += S(value.text) + ";";
  EXPECT_EQ(values, "a;2;true;null;;");
  EXPECT_TRUE(api.definitions[2].schema->has_additional_properties());
  EXPECT_EQ(Describe(api.definitions[2].schema->additional_properties()), "integer");
  EXPECT_EQ(api.definitions[3].schema->type, "object");
  EXPECT_TRUE(api.definitions[3].schema->has_additional_properties());
  EXPECT_EQ(api.definitions[3].schema->additional_properties(), nullptr);
  const ApiSchema& kid = *api.definitions[4].schema;
  ASSERT_EQ(kid.all_of().size(), 2u);
  EXPECT_EQ(kid.all_of()[0]->target, &pet);
  ASSERT_EQ(kid.all_of()[1]->properties.size(), 1u);
  EXPECT_EQ(kid.all_of()[1]->properties[0].name, "x");
  EXPECT_EQ(api.definitions[7].schema->resolved, &tag);  // Alias

  EXPECT_EQ(read.Lines, (std::vector<std::string>{
                            "Skipped definitions.Null: not an object",
                            "Unresolved definitions.Pet.properties.owner: #/definitions/Owner not found",
                            "Read definitions.Pet.properties.bad: not a schema object, taken as any value",
                            "Unresolved definitions.Pet.properties.far: reference to a URL https://x.org/s.json#/T",
                            "Read definitions.Pet.properties.old.$ref: a bare name taken as #/definitions/Tag",
                            "Unresolved definitions.Pet.properties.tilde: malformed ~-escape in #/definitions/a~2",
                            "Read definitions.Any.type: a list of types, the first taken",
                            "Skipped definitions.Kid.allOf[2]: not a schema object",
                            "Unresolved definitions.A: reference cycle"}));
}

// Texts that no unit says are not kept, but read for their lines all the same.
TEST(ApiReader, TextsNotKeptStillGiveTheirLines) {
  const TRead read = Read(R"({"swagger": "2.0", "paths": {"/a": {"get": {"summary": 3, "description": [1],
      "parameters": [{"name": "p", "in": "query", "type": "string", "description": {}}],
      "responses": {"200": {"description": null, "schema": {"$ref": "#/definitions/X"}}}}}},
      "definitions": {"X": {"title": 7, "properties": {"y": {"type": "string", "title": "ok"}}}}})");
  EXPECT_EQ(read.Lines, (std::vector<std::string>{"Read paths./a.get.summary: a number taken as text",
                                                   "Skipped paths./a.get.description: not a string",
                                                   "Skipped paths./a.get.parameters[0].description: not a string",
                                                   "Skipped paths./a.get.responses.200.description: not a string",
                                                   "Read definitions.X.title: a number taken as text"}));
  ASSERT_EQ(read.Api->operations.size(), 1u);
  EXPECT_EQ(read.Api->operations[0].result->schema->target, read.Api->definitions[0].schema);
}

TEST(ApiReader, ReadsTheRootTolerantlyAndFailsOnlyWhereNothingCanBeRead) {
  const TRead bare = Read(R"({"swagger": 2.0, "host": 5, "schemes": ["https", 1], "paths": null,
                              "securityDefinitions": {"k": "x", "two\nlines": 1}})");
  EXPECT_EQ(bare.Api->host, "5");
  EXPECT_EQ(Texts(bare.Api->schemes), std::vector<std::string>{"https"});
  // A document short enough to sit inside its string object: the model's
  // texts view it where the document keeps it, not where it was parsed.
  EXPECT_EQ(Read(R"({"swagger":2.0})").Api->swagger, "2.0");
  EXPECT_TRUE(bare.Api->operations.empty());
  EXPECT_EQ(bare.Lines, (std::vector<std::string>{"Read host: a number taken as text",
                                                   "Skipped schemes[1]: not a string",
                                                   "Skipped securityDefinitions.k: not an object",
                                                   "Skipped securityDefinitions.two lines: not an object",
                                                   "Skipped paths: not an object"}));
  const struct {
    std::string Document, Failure;
  } failures[] = {
      {"{", "EJSONException"},
      {"[]", "EConversionError: Der Eingabewert ist kein gültiges Objekt"},
      {R"({"swagger": "1.2"})", R"(Exception: Wrong Swagger version: "1.2". Expected "2.0")"},
      {R"({"swagger": {"v": 2}})", R"(Exception: Wrong Swagger version: "". Expected "2.0")"},
      // The key is matched ignoring case, the last one deciding, as the default loader does.
      {R"({"swagger": "2.0", "SWAGGER": "1.0"})", R"(Exception: Wrong Swagger version: "1.0". Expected "2.0")"},
  };
  for (const auto& f : failures) {
    try {
      Read(f.Document);
      ADD_FAILURE() << f.Document;
    } catch (const Exception& e) {
      EXPECT_EQ((std::string(e.ClassName()) + ": " + e.Message()).substr(0, f.Failure.size()), f.Failure);
    }
  }
}

// Other files: followed relative to the file that holds the reference,
// within the document's folder only; their definitions join the document's.
TEST(ApiReader, FollowsReferencesIntoFilesBesideTheDocument) {
  namespace fs = std::filesystem;
  testing::TempFolder folder;
  fs::create_directories(folder.File("api/common"));
  testing::WriteBytes(folder.File("outside.json"), R"({"definitions": {"O": {}}})");
  fs::create_symlink(folder.File("outside.json"), folder.File("api/link.json"));
  testing::WriteBytes(folder.File("api/bad.json"), "{");
  testing::WriteBytes(folder.File("api/common/types.json"), R"({"definitions": {
      "T": {"properties": {"u": {"$ref": "#/definitions/U"}, "v": {"$ref": "../main.json#/definitions/Local"}}},
      "U": {"type": "string"}},
    "parameters": {"P": {"name": "p", "in": "query", "type": "string"}}})");
  testing::WriteBytes(folder.File("api/main.json"), Document(R"("definitions": {"Local": {"properties": {
      "a": {"$ref": "common/types.json#/definitions/T"}, "b": {"$ref": "../outside.json#/definitions/O"},
      "c": {"$ref": "missing.json#/definitions/M"}, "d": {"$ref": "bad.json#/x"},
      "e": {"$ref": "http://x/y.json#/a"}, "f": {"$ref": "link.json#/definitions/O"}}}},
    "paths": {"/p": {"get": {"parameters": [{"$ref": "./common/types.json#/parameters/P"}]}}})"));
  std::vector<std::string> lines;
  const std::unique_ptr<ApiDocument> api =
      ReadApiFile(folder.File("api/main.json"), [&](const std::string& ALine) { lines.push_back(ALine); });
  std::vector<std::string> definitions;
  for (const ApiDefinition& definition : api->definitions) definitions.push_back(S(definition.file) + "#" + S(definition.name));
  EXPECT_EQ(definitions, (std::vector<std::string>{"#Local", "common/types.json#T", "common/types.json#U"}));
  const ApiSchema& t = *api->definitions[1].schema;
  ASSERT_EQ(t.properties.size(), 2u);
  EXPECT_EQ(t.properties[0].schema->resolved, api->definitions[2].schema);
  EXPECT_EQ(t.properties[1].schema->resolved, api->definitions[0].schema);
  EXPECT_EQ(Operations(*api), std::vector<std::string>{"get /p (p:query:string)"});
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Unresolved definitions.Local.properties.b: reference outside the document's folder ../outside.json#/definitions/O");
  EXPECT_EQ(lines[1], "Unresolved definitions.Local.properties.c: file not found missing.json#/definitions/M");
  EXPECT_EQ(lines[2].rfind("Unresolved definitions.Local.properties.d: file not read (EJSONException: ", 0), 0u) << lines[2];
  EXPECT_EQ(lines[3], "Unresolved definitions.Local.properties.e: reference to a URL http://x/y.json#/a");
  EXPECT_EQ(lines[4], "Unresolved definitions.Local.properties.f: reference outside the document's folder link.json#/definitions/O");
}

// Hostile shapes: a reference chain through every definition, and a
// definition that refers to itself through every level of a deep nest,
// read without deep recursion and each reference once.
TEST(ApiReader, LongReferenceChainsAndDeepNestsAreReadPromptly) {
  constexpr int kChain = 100000;
  std::string definitions;
  for (int i = 0; i < kChain; ++i) {
    definitions += "\"D" + std::to_string(i) + "\": {\"$ref\": \"#/definitions/D" + std::to_string(i + 1) + "\"},";
  }
  definitions += "\"D" + std::to_string(kChain) + "\": {\"type\": \"string\"}";
  std::string nest = "{\"$ref\": \"#/definitions/N\"}";
  for (int i = 0; i < 250; ++i) nest = "{\"type\": \"array\", \"items\": " + nest + "}";
  const auto start = std::chrono::steady_clock::now();
  const TRead read = Read(Document("\"definitions\": {" + definitions + ", \"N\": " + nest + "}"));
  // A guard against walking the chain once per reference (minutes), not a
  // measurement: the benchmarks measure, and a busy machine must not fail it.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
  EXPECT_EQ(read.Api->definitions.front().schema->resolved, read.Api->definitions[kChain].schema);
  EXPECT_TRUE(read.Lines.empty());
}

// The reader against the completeness check's own plain reading of the
// same documents: the same operations, parameters, results and credentials.
TEST(ApiReader, CorpusDocumentsReadAsTheCompletenessCheckExpects) {
  namespace fs = std::filesystem;
  const fs::path corpus = fs::path(TOLVANE_SHARED_DIR) / "corpus";
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    if (entry.path().extension() != ".json") continue;
    const std::string text = DecodeDocument(testing::ReadBytes(entry.path().string()));
    const TRead read = Read(text);
    size_t parameters = 0, results = 0, secured = 0;
    for (const ApiOperation& operation : read.Api->operations) {
      parameters += operation.parameters.size();
      results += operation.result != nullptr && operation.result->schema != nullptr;
      secured += operation.security != nullptr;
    }
    size_t expected_parameters = 0, expected_results = 0, expected_secured = 0;
    const JsonTree tree = JsonTree::Parse(text);
    const auto expected = testing::completeness::ExpectedOperations(tree.Root());
    for (const auto& operation : expected) {
      expected_parameters += operation.Parameters.size();
      expected_results += operation.HasResult;
      expected_secured += operation.Credentials.has_value();
    }
    EXPECT_EQ(read.Api->operations.size(), expected.size()) << entry.path();
    EXPECT_EQ(parameters, expected_parameters) << entry.path();
    EXPECT_EQ(results, expected_results) << entry.path();
    EXPECT_EQ(secured, expected_secured) << entry.path();
  }
}

// The multi-file Azure set: every entry document reaches all it refers to.
TEST(ApiReader, MultiFileCorpusLeavesNoReferenceUnresolved) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(TOLVANE_SHARED_DIR) / "corpus-multifile" / "azure";
  if (!fs::is_directory(folder)) GTEST_SKIP() << "no corpus at " << folder;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".json") continue;
    std::vector<std::string> unresolved;
    const std::unique_ptr<ApiDocument> api = ReadApiFile(entry.path().string(), [&](const std::string& ALine) {
      if (ALine.rfind("Unresolved", 0) == 0) unresolved.push_back(ALine);
    });
    EXPECT_EQ(unresolved, std::vector<std::string>{}) << entry.path();
  }
}

}  // namespace
}  // namespace tolvane
