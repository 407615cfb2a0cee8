// The classes and properties of the check that holds a unit against its
// document: a small document with units that miss one thing each, references
// into another file, and the real documents converted by the binary with
// --compilable (all six totals printed and required per document).

#include "client_completeness_schemas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "client_completeness.h"
#include "loading_support.h"
#include "platform/code_page.h"
#include "unit_writer_support.h"

namespace tolvane::testing {
namespace {

namespace fs = std::filesystem;

// Classes: Base, Pet, pet, Other, the definition in the missing file, and the
// inline TPet_category, TlistPets_Response_Item and TaddPet_Body; a property
// each, Pet three (one through allOf).
const char* const kDocument = R"({"swagger": "2.0",
  "paths": {"/pets": {
    "get": {"operationId": "listPets", "responses": {"200": {"schema": {"type": "array",
            "items": {"type": "object", "properties": {"total": {"type": "integer"}}}}}}},
    "post": {"operationId": "addPet", "responses": {"201": {"description": "x"}}, "parameters": [
             {"name": "body", "in": "body", "schema": {"properties": {"name": {"type": "string"}}}}]}}},
  "definitions": {
    "Base": {"properties": {"id": {"type": "integer"}}},
    "Pet": {"allOf": [{"$ref": "#/definitions/Base"}, {"properties": {"type": {"type": "string"},
            "category": {"properties": {"it's": {"type": "string"}}}}}]},
    "pet": {"properties": {"x-rate": {"type": "string"}}},
    "Other": {"$ref": "missing.json#/definitions/Remote"}}})";

const char* const kCompleteUnit =
    "unit api;\r\ninterface\r\nuses\r\n  System.JSON, REST.Json.Types;\r\ntype\r\n"
    "  TBase = class;\r\n"
    "  // TPet = class for the pets\r\n"
    "  TBase = class\r\n  private\r\n    [JSONName('id')]\r\n    Fid : integer;\r\n"
    "  public\r\n    property id : integer read Fid write Fid;\r\n  end;\r\n\r\n"
    "  TPet_category = class\r\n  private\r\n    [JSONName('it''s')]\r\n    Fit_s : string;\r\n  end;\r\n\r\n"
    "  TPet = class(TBase)\r\n  private\r\n    [JSONName('type')]\r\n    Ftype : string;\r\n"
    "    [JSONName('category')]\r\n    Fcategory : TPet_category;\r\n  end;\r\n\r\n"
    "  Tpet1 = class\r\n  private\r\n    [JSONName('x-rate')]\r\n    Fx_rate : string;\r\n  end;\r\n\r\n"
    "  TOther = class\r\n  end;\r\n\r\n"
    "  TlistPets_Response_Item = class\r\n  private\r\n    [JSONName('total')]\r\n    Ftotal : integer;\r\n  end;\r\n\r\n"
    "  TaddPet_Body = class\r\n  private\r\n    [JSONName('name')]\r\n    Fname : string;\r\n  end;\r\n\r\n"
    "  Tapi = class\r\n  public\r\n    function listPets : TArray<TlistPets_Response_Item>;\r\n"
    "    procedure addPet(const body : TaddPet_Body);\r\n  end;\r\n\r\n"
    "implementation\r\n\r\n"
    "function Tapi.listPets : TArray<TlistPets_Response_Item>;\r\nbegin\r\n"
    "    Request.Method := rmGET;\r\n    Request.Resource := '/pets';\r\nend;\r\n\r\n"
    "procedure Tapi.addPet(const body : TaddPet_Body);\r\nbegin\r\n"
    "    Request.Method := rmPOST;\r\n    Request.Resource := '/pets';\r\nend;\r\n\r\nend.\r\n";

// AText with every AFrom replaced by ATo.
std::string Replaced(std::string AText, const std::string& AFrom, const std::string& ATo) {
  if (AText.find(AFrom) == std::string::npos) ADD_FAILURE() << "no " << AFrom;
  for (size_t at = AText.find(AFrom); at != std::string::npos; at = AText.find(AFrom, at + ATo.size())) {
    AText.replace(at, AFrom.size(), ATo);
  }
  return AText;
}

TEST(SchemaCompleteness, CatchesWhatAUnitMisses) {
  const std::string complete = kCompleteUnit;
  const struct {
    const char* Fault;
    std::string Unit;
    const char* Totals;
  } cases[] = {
      {"none", complete, "classes 8/8, properties 8/8"},
      {"no unit (the missing file's class counts)", "", "classes 1/8, properties 0/8"},
      {"a key written with character codes", Replaced(complete, "'x-rate'", "'x-'#114#$61'te'"),
       "classes 8/8, properties 8/8"},
      {"a class missing", Replaced(complete, "Tpet1 = class", "TDog = class"), "classes 7/8, properties 7/8"},
      {"a property without JSONName", Replaced(complete, "    [JSONName('total')]\r\n", ""),
       "classes 8/8, properties 7/8"},
      {"a wrong key", Replaced(complete, "'it''s'", "'its'"), "classes 8/8, properties 7/8"},
      {"a key in other letter case", Replaced(complete, "'type'", "'Type'"), "classes 8/8, properties 7/8"},
      {"the attribute not right above its field",
       Replaced(complete, "[JSONName('name')]\r\n", "[JSONName('name')]\r\n    // the name\r\n"),
       "classes 8/8, properties 7/8"},
      {"no ancestor, so no inherited property", Replaced(complete, "TPet = class(TBase)", "TPet = class"),
       "classes 8/8, properties 7/8"},
      {"an inline class named against the rule", Replaced(complete, "TPet_category", "TCategory"),
       "classes 7/8, properties 7/8"},
      {"an inline class by its number", Replaced(complete, "TPet_category", "TPet_category2"),
       "classes 8/8, properties 8/8"},
      {"a result typed TJSONValue", Replaced(complete, "TArray<TlistPets_Response_Item>", "TArray<TJSONValue>"),
       "classes 7/8, properties 7/8"},
      {"a result that is no array", Replaced(complete, "TArray<TlistPets_Response_Item>", "TlistPets_Response_Item"),
       "classes 7/8, properties 7/8"},
      {"the body argument under another name", Replaced(complete, "const body :", "const payload :"),
       "classes 7/8, properties 7/8"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckSchemas(kDocument, c.Unit).Text(), c.Totals) << c.Fault;
  }
}

TEST(SchemaCompleteness, FollowsReferencesIntoFilesBesideTheDocument) {
  TempFolder folder;
  fs::create_directories(fs::path(folder.Path()) / "api" / "common");
  const std::string document = R"({"swagger": "2.0", "definitions": {
      "Pet": {"properties": {"owner": {"$ref": "./common/types.json#/definitions/Owner"},
                             "lost": {"$ref": "../outside.json#/definitions/Lost"},
                             "web": {"$ref": "http://example.com/x.json#/definitions/Web"}},
              "x-note": {"$ref": "common/types.json#/definitions/Unused"}}}})";
  // Owner reaches Address in a file beside its own; Unused is named only under "x-".
  WriteBytes(folder.File("api/common/types.json"), R"({"definitions": {
      "Owner": {"allOf": [{"$ref": "more.json#/definitions/Address"}], "properties": {"login": {"type": "string"}}},
      "Unused": {"properties": {"a": {"type": "string"}}}}})");
  WriteBytes(folder.File("api/common/more.json"), R"({"definitions": {
      "Address": {"properties": {"city": {"type": "string"}}}}})");
  // Outside the document's folder: never read.
  WriteBytes(folder.File("outside.json"), R"({"definitions": {"Lost": {}}})");
  const std::string unit =
      "unit api;\r\ninterface\r\ntype\r\n"
      "  TAddress = class\r\n  private\r\n    [JSONName('city')]\r\n    Fcity : string;\r\n  end;\r\n"
      "  TOwner = class(TAddress)\r\n  private\r\n    [JSONName('login')]\r\n    Flogin : string;\r\n  end;\r\n"
      "  TPet = class\r\n  private\r\n    [JSONName('owner')]\r\n    Fowner : TOwner;\r\n"
      "    [JSONName('lost')]\r\n    Flost : TJSONValue;\r\n    [JSONName('web')]\r\n    Fweb : TJSONValue;\r\n"
      "  end;\r\nimplementation\r\nend.\r\n";
  const fs::path path = fs::path(folder.Path()) / "api" / "pets.json";
  // Pet, Owner, Address, and the two targets that cannot be read (counted as present).
  EXPECT_EQ(CheckSchemas(document, unit, path).Text(), "classes 5/5, properties 6/6");
  EXPECT_EQ(CheckSchemas(document, Replaced(unit, "TOwner = class(TAddress)", "TOwner = class"), path).Text(),
            "classes 5/5, properties 5/6");
  // Without the document's path no other file is read.
  EXPECT_EQ(CheckSchemas(document, unit).Text(), "classes 4/4, properties 3/3");
}

// The --compilable units of the documents, with all six totals per document;
// each document must give a unit complete by all of them. AWithFolder:
// converted beside the other files of their folder.
void CheckTotals(const std::vector<fs::path>& ADocuments, bool AWithFolder) {
  size_t complete = 0;
  for (const fs::path& path : ADocuments) {
    const std::string name = path.filename().string();
    TempFolder folder;
    if (AWithFolder) {
      fs::copy(path.parent_path(), folder.Path(), fs::copy_options::recursive);
      for (const auto& entry : fs::directory_iterator(folder.Path())) {
        if (entry.path().extension() == ".pas") fs::remove(entry.path());
      }
    } else {
      fs::copy_file(path, fs::path(folder.Path()) / name);
    }
    const BinaryRun run = RunTolvane({name, "--compilable"}, folder.Path());
    std::string unit;
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
      if (entry.path().extension() == ".pas") unit = ReadBytes(entry.path().string());
    }
    const std::string document = DecodeDocument(ReadBytes(path.string()));
    const TCompleteness client = CheckCompleteness(document, unit);
    const TSchemaCompleteness schemas = CheckSchemas(document, unit, fs::path(folder.Path()) / name);
    complete += client.Complete() && schemas.Complete() && !unit.empty();
    std::printf("%-40s %s%s, %s\n", name.c_str(), unit.empty() ? "no unit; " : "", client.Text().c_str(),
                schemas.Text().c_str());
    EXPECT_FALSE(unit.empty()) << name << ": " << run.out;
    EXPECT_TRUE(client.Complete()) << name << ": " << client.Text();
    EXPECT_TRUE(schemas.Complete()) << name << ": " << schemas.Text();
  }
  std::printf("%zu of %zu documents complete by all six totals\n", complete, ADocuments.size());
}

std::vector<fs::path> JsonFiles(const fs::path& AFolder) {
  std::vector<fs::path> documents;
  for (const auto& entry : fs::directory_iterator(AFolder)) {
    if (entry.path().extension() == ".json") documents.push_back(entry.path());
  }
  std::sort(documents.begin(), documents.end());
  return documents;
}

TEST(SchemaCompleteness, CorpusUnitsMadeWithCompilable) {
  const fs::path corpus = fs::path(TOLVANE_SHARED_DIR) / "corpus";
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  CheckTotals(JsonFiles(corpus), false);
}

// The entry documents of the Azure set: those with operations (network.json
// holds the shared types only).
TEST(SchemaCompleteness, MultifileEntryDocumentsMadeWithCompilable) {
  const fs::path azure = fs::path(TOLVANE_SHARED_DIR) / "corpus-multifile" / "azure";
  if (!fs::is_directory(azure)) GTEST_SKIP() << "no documents at " << azure;
  std::vector<fs::path> entries;
  for (const fs::path& path : JsonFiles(azure)) {
    const JsonTree tree = JsonTree::Parse(DecodeDocument(ReadBytes(path.string())));
    const std::optional<JsonValue> paths = tree.Root().FindMember("paths");
    if (paths && paths->IsObject() && paths->Count() > 0) entries.push_back(path);
  }
  EXPECT_GE(entries.size(), 10u);
  CheckTotals(entries, true);
}

}  // namespace
}  // namespace tolvane::testing
