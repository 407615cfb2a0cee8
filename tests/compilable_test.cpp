// Units made with --compilable, judged by Free Pascal in Delphi mode against
// the stand-ins of the Delphi library (scripts/compile_unit.sh): the units of
// the real documents of the shared corpus, of the bundled example, and of
// generated documents that mix every type, parameter kind and name oddity.
// The compile tests skip where fpc (or the corpus) is absent.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "delphi_compiler.h"
#include "platform/code_page.h"
#include "swagger/json_tree.h"
#include "loading_support.h"
#include "unit_writer_support.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;
using testing::BinaryRun;
using testing::ReadBytes;
using testing::RunTolvane;
using testing::TempFolder;
using testing::WriteBytes;


// The units in the folder; a run writes at most one.
std::vector<fs::path> UnitsIn(const std::string& AFolder) {
  std::vector<fs::path> units;
  for (const auto& entry : fs::directory_iterator(AFolder)) {
    if (entry.path().extension() == ".pas") units.push_back(entry.path());
  }
  return units;
}

std::string LastLine(const std::string& AOutput) {
  std::string text = AOutput;
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text.substr(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
}

// Converts the document (copied into a fresh folder under AFileName) with
// the given arguments after its name; returns the run and the unit's path,
// empty when no unit was written.
struct TConversion {
  BinaryRun Run;
  fs::path Unit;
};
TConversion Convert(TempFolder& AFolder, const std::string& AFileName, const std::string& ADocument,
                    std::vector<std::string> AArgs = {"--compilable"}) {
  WriteBytes(AFolder.File(AFileName), ADocument);
  AArgs.insert(AArgs.begin(), AFileName);
  TConversion conversion{RunTolvane(AArgs, AFolder.Path()), {}};
  const std::vector<fs::path> units = UnitsIn(AFolder.Path());
  if (!units.empty()) conversion.Unit = units.front();
  return conversion;
}

// ---------------------------------------------------------------------------
// The command line.

const char* const kSmallDocument = R"({"swagger": "2.0", "basePath": "/api",
  "paths": {"/pets/{id}": {"get": {"parameters": [{"name": "request", "in": "path", "type": "integer",
    "required": true}], "responses": {"200": {"schema": {"type": "integer"}}}}}},
  "securityDefinitions": {}, "definitions": {"Pet": {"properties": {"or": {"type": "string"}}}}})";

TEST(CompilableSwitch, StandsAnywhereAndTheDocumentIsTheFirstOtherArgument) {
  std::string expected;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--compilable", "api.json"}, {"api.json", "--compilable"},
        {"api.json", "-c", "--compilable"}}) {
    TempFolder folder;
    WriteBytes(folder.File("api.json"), kSmallDocument);
    const BinaryRun run = RunTolvane(args, folder.Path());
    EXPECT_EQ(run.status, 0) << run.out;
    std::vector<std::string> lines = testing::MaskTimeStamp(testing::SplitUnitLines(ReadBytes(folder.File("api.pas"))));
    std::string unit;
    for (const std::string& line : lines) unit += line + "\n";
    // The argument renamed away from the local Request, the result converted.
    EXPECT_NE(unit.find("    function get_pets_id(request1 : integer) : integer;\n"), std::string::npos) << unit;
    EXPECT_NE(unit.find("    Result := StrToInt(Response.Content);\n"), std::string::npos) << unit;
    EXPECT_NE(unit.find("    &For : string;\n"), std::string::npos) << unit;
    if (expected.empty()) expected = unit;
    EXPECT_EQ(unit, expected);
  }
}

TEST(CompilableSwitch, FilterThatNamesNoClassFails) {
  TempFolder folder;
  const TConversion conversion = Convert(folder, "api.json", kSmallDocument, {"-c:pet", "--compilable"});
  EXPECT_EQ(conversion.Run.status, 1);
  EXPECT_EQ(LastLine(conversion.Run.out), "Exception: Class pet not found");
  EXPECT_TRUE(conversion.Unit.empty());
  EXPECT_EQ(conversion.Run.err, "");
}

// The method bodies as the unit holds them: values converted both ways,
// the status check, results without a status condition.
TEST(CompilableSwitch, WritesValuesCredentialsAndStatusChecksThatCompile) {
  const char* const document = R"({"swagger": "2.0", "basePath": "/api",
    "securityDefinitions": {"basic": {"type": "basic"}},
    "paths": {
      "/count": {"get": {"operationId": "count", "security": [{"basic": []}],
        "parameters": [{"name": "price", "in": "query", "type": "number", "required": true}],
        "responses": {"200": {"schema": {"type": "integer"}}}}},
      "/flags": {"get": {"operationId": "flags",
        "responses": {"200": {"schema": {"type": "array", "items": {"type": "boolean"}}}}}},
      "/dates": {"post": {"operationId": "dates",
        "parameters": [{"name": "body", "in": "body", "required": true,
          "schema": {"type": "array", "items": {"type": "string", "format": "date-time"}}}],
        "responses": {"201": {"schema": {}}}}}}})";
  TempFolder folder;
  const TConversion conversion = Convert(folder, "api.json", document);
  ASSERT_EQ(conversion.Run.status, 0) << conversion.Run.out;
  const std::string unit = ReadBytes(conversion.Unit.string());
  for (const char* line : {
           "      Request.AddParameter('Authorization', FAuthorization , pkHTTPHEADER, [poDoNotEncode]);",
           "    Request.AddParameter('price', FloatToStr(price, TFormatSettings.Invariant), pkQUERY, []);",
           "    Request.Execute;",
           "    if (Response.StatusCode < 200) or (Response.StatusCode > 299) then",
           "      raise EApiError.Create(Response.StatusCode, Response.Content);",
           "    Result := StrToInt(Response.Content);",
           "      Result[I] := StrToBool(TJSONObject(ReturnArray.Items[I]).ToString);",
           "      LbodyItemArray.Add(DateToIso8601(LbodyItem));",
           "  Result           := nil;",
           "    Result := TJSONObject.ParseJSONValue(Response.Content);",
           "  EApiError = class(Exception)",
       }) {
    EXPECT_NE(unit.find(std::string(line) + "\r\n"), std::string::npos) << line;
  }
}

// ---------------------------------------------------------------------------
// Generated documents: every name oddity, type, location and response kind
// of the tables below appears in each document, in an order rotated per
// document, so that each document pairs them differently.

std::string Repeated(const std::string& APiece, size_t ACount) {
  std::string text;
  for (size_t i = 0; i < ACount; ++i) text += APiece;
  return text;
}

const std::string kLongName = "long" + Repeated("Name", 40);

const std::vector<std::string> kDefinitionNames = {
    "Pet",  "pet",   "PET",        "pet-owner",  "pet_owner", "Pet Owner", "Array",
    "JSON", "JSONValue", "DateTime", "api",    "o",         "ry",        "hen",
    "2fa",  "io.k8s.Pod", "Gr\xC3\xB6\xC3\x9F" "e", "Page\xC2\xABPet\xC2\xBB", "", "a$b", "a/b",
    "Object", "Client", "string", "Free", "RESTContentType", kLongName};

const std::vector<std::string> kPropertyNames = {
    "id",       "ID",     "Id",        "type",    "Type",       "or",     "ile",      "for",
    "assigned", "Free",   "Destroy",   "Create",  "2fa",        "100",    "+1",       "-1",
    "odata.type", "@type", "gr\xC3\xB6\xC3\x9F" "e", "",       " ",      "otherwise", "bitpacked",
    "T",        "TObject", "integer",  "TPet",    "self",       "Result", "name",     "length",
    "Fid",      kLongName};

// Property schemas; <REF> stands for a definition name.
const std::vector<std::string> kPropertyTypes = {
    R"({"type": "string"})",
    R"({"type": "integer"})",
    R"({"type": "integer", "format": "int64"})",
    R"({"type": "number"})",
    R"({"type": "boolean"})",
    R"({"type": "string", "format": "date-time"})",
    R"({"type": "string", "format": "date"})",
    R"({"type": "file"})",
    R"({"type": "object"})",
    R"({})",
    R"({"type": "array", "items": {"type": "string"}})",
    R"({"type": "array", "items": {"type": "number"}})",
    R"({"type": "array", "items": {"type": "integer"}})",
    R"({"type": "array", "items": {"type": "boolean"}})",
    R"({"type": "array", "items": {"type": "object"}})",
    R"({"type": "array", "items": {"type": "array", "items": {"type": "string"}}})",
    R"({"type": "array", "items": {}})",
    R"({"type": "array"})",
    R"({"$ref": "#/definitions/<REF>"})",
    R"({"type": "array", "items": {"$ref": "#/definitions/<REF>"}})",
    R"({"$ref": "#/definitions/Missing"})",
    R"({"$ref": "#/definitions/"})",
    R"({"$ref": "other.json#/definitions/Pet"})",
    R"({"type": "timestamp"})",
    R"({"type": "Integer"})",
    R"({"type": "STRING"})",
    R"({"type": "uuid"})",
};

const std::vector<std::string> kDescriptions = {
    "", "first line\r\nsecond line\rthird\n", Repeated("word ", 400), "it's {curly} (*star*) // slashes",
    "control \x1A\x01\t characters"};

const std::vector<std::string> kOperationIds = {
    "getPet", "getPet", "GETPET", "",     "Authorization", "type",   "2go",
    "pets.list", "IntToStr", "Client", "TPet", "Free", "Result", "FAuthorization",
    "length", "otherwise", "x y", kLongName, "Gr\xC3\xB6\xC3\x9F" "e"};

const std::vector<std::string> kPathEnds = {"/{id}", "/it's", "/" + Repeated("segment/", 40), "/a b",
                                            "/\xC3\xBCn\xC3\xAF", "", "/ctrl\x1A\t"};

const std::vector<std::string> kParameterNames = {
    "id",    "Client", "Request", "response", "Result", "I",       "ReturnArray", "FAuthorization",
    "Authorization", "length", "tags", "LtagsItem", "path", "Path", "type",     "Type",
    "2fa",   "page.size", "X-Rate-Limit", "IntToStr", "TJSON", "TPet", "True",  "pkQUERY",
    "Self",  "",       "gr\xC3\xB6\xC3\x9F" "e", "begin", "otherwise", "body", kLongName};

const std::vector<std::string> kLocations = {"path",   "query",  "header", "body",    "formData",
                                             "",       "cookie", "Header", "FormData"};

// Parameter fields besides name and in; <REF> stands for a definition name.
const std::vector<std::string> kParameterTypes = {
    R"("type": "string")",
    R"("type": "integer")",
    R"("type": "integer", "format": "int64")",
    R"("type": "number")",
    R"("type": "boolean")",
    R"("type": "string", "format": "date-time")",
    R"("type": "file")",
    R"("type": "object")",
    R"("description": "no type")",
    R"("type": "array", "items": {"type": "string"})",
    R"("type": "array", "items": {"type": "integer"})",
    R"("type": "array", "format": "int64", "items": {"type": "integer"})",
    R"("type": "array", "items": {"type": "number"})",
    R"("type": "array", "items": {"type": "boolean"})",
    R"("type": "array", "format": "date-time", "items": {"type": "string"})",
    R"("type": "array", "items": {"type": "object"})",
    R"("type": "array")",
    R"("schema": {"$ref": "#/definitions/<REF>"})",
    R"("schema": {"type": "array", "items": {"$ref": "#/definitions/<REF>"}})",
    R"("schema": {"type": "array", "items": {"type": "integer"}})",
    R"("schema": {"type": "number"})",
    R"("schema": {"type": "string"})",
    R"("schema": {})",
    R"("schema": {"$ref": "#/definitions/Missing"})",
    R"("schema": {"type": "array", "items": {"type": "number"}})",
};

// Response lists; <REF> stands for a definition name.
const std::vector<std::string> kResponses = {
    R"({"200": {"description": "", "schema": {"type": "integer"}}})",
    R"({"200": {"description": "", "schema": {"type": "boolean"}}})",
    R"({"default": {"description": "", "schema": {"type": "string"}}})",
    R"({"200": {"description": "", "schema": {"type": "number"}}})",
    R"({"200": {"description": "", "schema": {"type": "object"}}})",
    R"({"200": {"description": "", "schema": {}}})",
    R"({"200": {"description": "", "schema": {"$ref": "#/definitions/<REF>"}}})",
    R"({"200": {"description": "", "schema": {"type": "array", "items": {"$ref": "#/definitions/<REF>"}}}})",
    R"({"200": {"description": "", "schema": {"type": "array", "items": {"type": "integer"}}}})",
    R"({"200": {"description": "", "schema": {"type": "array", "items": {"type": "boolean"}}}})",
    R"({"200": {"description": "", "schema": {"type": "array", "items": {"type": "number"}}}})",
    R"({"200": {"description": "", "schema": {"type": "array", "items": {"type": "string"}}}})",
    R"({"200": {"description": "", "schema": {"type": "array", "items": {"type": "object"}}}})",
    R"({"200": {"description": "", "schema": {"type": "file"}}})",
    R"({"200": {"description": "", "schema": {"$ref": "#/definitions/Missing"}}})",
    R"({"200": {"description": ""}})",
    R"({"201": {"description": "", "schema": {"type": "string"}}})",
};

const std::vector<std::string> kSecurityNames = {"", "key_header", "key_query", "key_cookie", "basic",
                                                 "oauth", "odd"};
const std::vector<std::string> kConsumes = {"", R"("consumes": ["application/x-www-form-urlencoded"],)",
                                            R"("consumes": ["multipart/form-data"],)"};
const std::vector<std::string> kMethods = {"get", "put", "post", "delete", "patch"};

// A JSON string literal.
std::string Json(const std::string& AText) {
  std::string out = "\"";
  for (const char c : AText) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (static_cast<unsigned char>(c) < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      out += std::string("\\u00") + kHex[c >> 4] + kHex[c & 0xF];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// The item of the table at the index, counted round.
const std::string& Pick(const std::vector<std::string>& ATable, size_t AIndex) {
  return ATable[AIndex % ATable.size()];
}

std::string WithReference(std::string AText, size_t AIndex) {
  const size_t at = AText.find("<REF>");
  if (at == std::string::npos) return AText;
  // The name as it stands in a JSON string: only quotes and backslashes
  // would need escapes, and the names hold neither.
  return AText.replace(at, 5, Pick(kDefinitionNames, AIndex * 7 + 3));
}

std::string GeneratedDocument(size_t ASeed, const std::string& ABasePath) {
  std::string definitions;
  for (size_t i = 0; i < kDefinitionNames.size(); ++i) {
    std::string properties;
    for (size_t j = 0; j < 6; ++j) {
      const size_t k = i * 6 + j + ASeed;
      if (!properties.empty()) properties += ", ";
      std::string schema = WithReference(Pick(kPropertyTypes, k + 2 * ASeed), k);
      const std::string& description = Pick(kDescriptions, k);
      if (!description.empty()) schema.insert(1, R"("description": )" + Json(description) + (schema == "{}" ? "" : ", "));
      properties += Json(Pick(kPropertyNames, k)) + ": " + schema;
    }
    if (!definitions.empty()) definitions += ",\n";
    definitions += Json(kDefinitionNames[(i + ASeed) % kDefinitionNames.size()]) +
                   ": {\"description\": " + Json(Pick(kDescriptions, i + ASeed)) + ", \"properties\": {" +
                   properties + "}}";
  }

  std::string paths;
  for (size_t p = 0; p < kOperationIds.size() * 2; ++p) {
    std::string operations;
    // A second operation in every third path: it gets no responses.
    for (size_t o = 0; o < (p % 3 == 0 ? 2 : 1); ++o) {
      const size_t k = p * 2 + o + ASeed;
      std::string parameters;
      for (size_t j = 0; j < 6; ++j) {
        const size_t q = k * 6 + j;
        if (!parameters.empty()) parameters += ", ";
        parameters += "{\"name\": " + Json(Pick(kParameterNames, q + ASeed)) + ", \"in\": " +
                      Json(Pick(kLocations, q + 2 * ASeed)) + ", \"required\": " +
                      ((q + ASeed) % 2 == 0 ? "true" : "false") + ", " +
                      WithReference(Pick(kParameterTypes, q * 7 + ASeed), q) + "}";
      }
      if (k % 7 == 3) parameters += R"(, {"$ref": "#/parameters/shared"})";
      const std::string& security = Pick(kSecurityNames, k);
      if (!operations.empty()) operations += ", ";
      operations += Json(Pick(kMethods, k)) + ": {\"operationId\": " + Json(Pick(kOperationIds, p + ASeed)) +
                    ", " + Pick(kConsumes, k) + (k % 2 == 0 ? R"("produces": ["application/json"], )" : "") +
                    (security.empty() ? "" : "\"security\": [{" + Json(security) + ": []}], ") +
                    "\"parameters\": [" + parameters + "], \"responses\": " +
                    WithReference(Pick(kResponses, k), k) + "}";
    }
    if (!paths.empty()) paths += ",\n";
    paths += Json("/p" + std::to_string(p) + Pick(kPathEnds, p + ASeed)) + ": {" + operations + "}";
  }

  const std::string longUrl = "http://example.com/" + Repeated("oauth/", 60);
  return R"({"swagger": "2.0", "host": "example.com", "basePath": )" + Json(ABasePath) +
         R"(, "schemes": ["https"],
  "securityDefinitions": {
    "key_header": {"type": "apiKey", "name": "api_key", "in": "header"},
    "key_query": {"type": "apiKey", "name": "key", "in": "query"},
    "key_cookie": {"type": "apiKey", "name": "session", "in": "cookie"},
    "basic": {"type": "basic"},
    "oauth": {"type": "oauth2", "flow": "implicit", "authorizationUrl": )" +
         Json(longUrl) + R"(},
    "odd": {"type": "apiKey", "name": "it's", "in": "Header"}},
  "paths": {)" + paths + "},\n  \"definitions\": {" + definitions + "}}";
}

TEST(CompilableUnits, GeneratedDocumentsWithEveryOddityCompile) {
  SKIP_WITHOUT_FPC();
  const struct {
    const char* file_name;
    const char* base_path;
  } documents[] = {
      {"kubernetes-1.13.json", "/api"},
      {"system.json", ""},
      {"2fa api.json", "/v1.0/JSON"},
  };
  for (size_t seed = 0; seed < std::size(documents); ++seed) {
    TempFolder folder;
    const std::string document = GeneratedDocument(seed, documents[seed].base_path);
    const TConversion conversion = Convert(folder, documents[seed].file_name, document);
    ASSERT_EQ(conversion.Run.status, 0) << documents[seed].file_name << "\n" << conversion.Run.out;
    ASSERT_FALSE(conversion.Unit.empty());
    const delphi::CompileResult result = delphi::CompileUnit(conversion.Unit);
    EXPECT_TRUE(result.compiled) << conversion.Unit << "\n" << result.diagnostics;
  }
}

// ---------------------------------------------------------------------------
// The bundled example and the real documents.

TEST(CompilableUnits, ExampleCompiles) {
  SKIP_WITHOUT_FPC();
  TempFolder folder;
  const std::string example = ReadBytes(std::string(TOLVANE_SOURCE_DIR) + "/examples/petstore.json");
  ASSERT_FALSE(example.empty());
  const TConversion conversion = Convert(folder, "petstore.json", example);
  ASSERT_EQ(conversion.Run.status, 0) << conversion.Run.out;
  const delphi::CompileResult result = delphi::CompileUnit(conversion.Unit);
  EXPECT_TRUE(result.compiled) << result.diagnostics;
}

// Every document of the corpus gives a unit, and every unit compiles.
TEST(CompilableUnits, CorpusDocumentsCompile) {
  const fs::path corpus = fs::path(TOLVANE_SHARED_DIR) / "corpus";
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  SKIP_WITHOUT_FPC();
  std::vector<fs::path> documents;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    if (entry.path().extension() == ".json") documents.push_back(entry.path());
  }
  std::sort(documents.begin(), documents.end());
  for (const fs::path& path : documents) {
    const std::string name = path.filename().string();
    TempFolder folder;
    const TConversion conversion = Convert(folder, name, ReadBytes(path.string()));
    EXPECT_EQ(conversion.Run.status, 0) << name << "\n" << LastLine(conversion.Run.out);
    if (conversion.Unit.empty()) continue;
    const delphi::CompileResult result = delphi::CompileUnit(conversion.Unit);
    EXPECT_TRUE(result.compiled) << name << "\n" << result.diagnostics.substr(0, 2000);
  }
}

// Every entry document of the Azure set (those with operations), converted
// beside the files it refers to, gives a unit that compiles, with no
// reference left unresolved.
TEST(CompilableUnits, MultifileEntryDocumentsCompile) {
  const fs::path azure = fs::path(TOLVANE_SHARED_DIR) / "corpus-multifile" / "azure";
  if (!fs::is_directory(azure)) GTEST_SKIP() << "no documents at " << azure;
  SKIP_WITHOUT_FPC();
  TempFolder folder;
  fs::copy(azure, folder.Path(), fs::copy_options::recursive);
  std::vector<std::string> entries;
  for (const auto& entry : fs::directory_iterator(folder.Path())) {
    if (entry.path().extension() != ".json") continue;
    const JsonTree tree = JsonTree::Parse(DecodeDocument(ReadBytes(entry.path().string())));
    const std::optional<JsonValue> paths = tree.Root().FindMember("paths");
    if (paths && paths->IsObject() && paths->Count() > 0) entries.push_back(entry.path().filename().string());
  }
  std::sort(entries.begin(), entries.end());
  EXPECT_GE(entries.size(), 10u);
  for (const std::string& name : entries) {
    const BinaryRun run = RunTolvane({name, "--compilable"}, folder.Path());
    EXPECT_EQ(run.status, 0) << name << "\n" << LastLine(run.out);
    EXPECT_EQ(run.out.find("Unresolved"), std::string::npos) << name << "\n" << run.out;
    const fs::path unit = fs::path(folder.Path()) / (name.substr(0, name.size() - 5) + ".pas");
    ASSERT_TRUE(fs::exists(unit)) << name;
    const delphi::CompileResult result = delphi::CompileUnit(unit);
    EXPECT_TRUE(result.compiled) << name << "\n" << result.diagnostics.substr(0, 2000);
  }
}

}  // namespace
}  // namespace tolvane
