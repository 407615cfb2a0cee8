// Whole conversions, in process, of documents that differ only in how their
// text is written: each must give the same lines and the same unit as its
// plain counterpart, in the default run and with --compilable.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "main/command_line.h"
#include "platform/code_page.h"
#include "swagger/json_tree.h"
#include "unit_writer_support.h"
#include "yaml_writer.h"

namespace tolvane::testing {
namespace {

// What one run printed (the document's name replaced by "<doc>" and its
// extension dropped, so that documents of other names compare), its exit
// status and the unit's lines with the time stamp masked.
struct Outcome {
  int status = -1;
  std::vector<std::string> lines;
  std::vector<std::string> unit;
  bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& AStream, const Outcome& AOutcome) {
  AStream << "status " << AOutcome.status << "\n";
  for (const std::string& line : AOutcome.lines) AStream << line << "\n";
  return AStream << AOutcome.unit.size() << " unit lines";
}

Outcome Convert(const std::string& AFileName, const std::string& ADocument, bool ACompilable) {
  TempFolder folder;
  const std::string path = folder.File(AFileName);
  WriteBytes(path, ADocument);
  Outcome outcome;
  std::vector<std::string> arguments = {path};
  if (ACompilable) arguments.push_back("--compilable");
  const std::string stem = path.substr(0, path.rfind('.'));
  outcome.status = RunCommandLine(arguments, [&](const std::string& ALine) {
    std::string line = ALine;
    for (const std::string& name : {path, stem}) {
      for (size_t at; (at = line.find(name)) != std::string::npos;) line.replace(at, name.size(), "<doc>");
    }
    outcome.lines.push_back(line);
  });
  const std::string unit = stem + ".pas";
  if (std::filesystem::exists(unit)) outcome.unit = ReadUnitLines(unit);
  return outcome;
}

void ExpectSameConversion(const std::string& AName, const std::string& ADocument,
                          const std::string& APlainName, const std::string& APlain) {
  for (const bool compilable : {false, true}) {
    EXPECT_EQ(Convert(AName, ADocument, compilable), Convert(APlainName, APlain, compilable))
        << (compilable ? "--compilable " : "") << ADocument;
  }
}

std::string Replaced(std::string AText, const std::string& AFrom, const std::string& ATo) {
  for (size_t at = 0; (at = AText.find(AFrom, at)) != std::string::npos; at += ATo.size()) {
    AText.replace(at, AFrom.size(), ATo);
  }
  return AText;
}

// A number @N as a parameter's maximum, a property's default, an extension
// member's value and an array element.
const std::string kNumbersDocument = R"({"swagger": "2.0", "x-limit": @N, "paths": {"/a/{id}": {"get": {
  "operationId": "getA", "parameters": [{"name": "id", "in": "path", "type": "integer", "maximum": @N, "enum": [2, @N]}],
  "responses": {"200": {"description": "ok", "schema": {"$ref": "#/definitions/A"}}}}}},
  "securityDefinitions": {},
  "definitions": {"A": {"type": "object", "properties": {
    "n": {"type": "number", "default": @N}, "s": {"type": "string"}}}}
@TAIL})";

TEST(InputDocumentsTest, NumbersOfAnySizeConvertAsAnyOtherNumber) {
  const std::string ones = Replaced(kNumbersDocument, "@N", "1");
  ASSERT_EQ(Convert("api.json", Replaced(ones, "@TAIL", ""), false).status, 0);
  for (const std::string& number : std::vector<std::string>{"1e400", "1E+999", "123e99999", "-1e400", "0.5e-99999",
                                   std::string(400, '9'), "-0.0"}) {
    const std::string document = Replaced(kNumbersDocument, "@N", number);
    ExpectSameConversion("api.json", Replaced(document, "@TAIL", ""), "api.json",
                         Replaced(ones, "@TAIL", ""));
    // A fault after the numbers is reported as it is without them; it is on
    // a line of its own, so its column is the same.
    const std::string broken = Replaced(document, "@TAIL", ", 01");
    ExpectSameConversion("api.json", broken, "api.json", Replaced(ones, "@TAIL", ", 01"));
    EXPECT_EQ(Convert("api.json", broken, false).lines.back(),
              "EJSONException: Missing a name for object member (line 7, column 3)");
  }
}

// The YAML twin of a JSON document as the program reads it (decoded as the
// program decodes JSON files, so both give the same texts).
std::string YamlTwin(const std::string& AJsonBytes) {
  return ToYaml(JsonTree::Parse(DecodeDocument(AJsonBytes)).Root());
}

TEST(InputDocumentsTest, CorpusDocumentsWrittenAsYamlGiveTheSameUnits) {
  const std::filesystem::path corpus = std::filesystem::path(TOLVANE_SHARED_DIR) / "corpus";
  if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  std::vector<std::filesystem::path> documents;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    if (entry.path().extension() == ".json") documents.push_back(entry.path());
  }
  std::sort(documents.begin(), documents.end());
  ASSERT_FALSE(documents.empty());
  for (const std::filesystem::path& path : documents) {
    const std::string json = ReadBytes(path.string());
    const std::string yaml = YamlTwin(json);
    ASSERT_NE(yaml.substr(0, 1), "{") << path;  // not JSON
    ExpectSameConversion("api.yaml", yaml, "api.json", json);
  }
}

TEST(InputDocumentsTest, ExampleWrittenAsYamlGivesTheSameUnit) {
  const std::string json = ReadBytes(std::string(TOLVANE_SOURCE_DIR) + "/examples/petstore.json");
  ASSERT_EQ(Convert("api.json", json, false).status, 0);
  ExpectSameConversion("api.yaml", YamlTwin(json), "api.json", json);
  ExpectSameConversion("api.YML", YamlTwin(json), "api.json", json);
}

TEST(InputDocumentsTest, TheSyntaxFollowsTheTextAndTheFileName) {
  const std::string json =
      R"({"swagger": "2.0", "info": {"title": "ä"}, "paths": {}, "securityDefinitions": {},
          "definitions": {"Pet": {"properties": {"id": {"type": "integer"}}}}})";
  const std::string yaml =
      "swagger: '2.0'\ninfo: {title: \"\\xE4\"}\npaths: {}\nsecurityDefinitions: {}\n"
      "definitions:\n  Pet:\n    properties:\n      id: {type: integer}\n";
  // A JSON text is read as JSON whatever the name, YAML only under a YAML name.
  ExpectSameConversion("api.yaml", json, "api.json", json);
  ExpectSameConversion("api.Yaml", yaml, "api.json", json);
  EXPECT_EQ(Convert("api.json", yaml, false).lines.back(),
            "EJSONException: Invalid value (line 1, column 1)");
  EXPECT_EQ(Convert("api.yaml.txt", yaml, false).status, 1);
  // A document that is neither reports the YAML failure, once, status 1.
  const Outcome broken = Convert("api.yml", "swagger: [\n", false);
  EXPECT_EQ(broken.status, 1);
  EXPECT_EQ(broken.lines, (std::vector<std::string>{
                              "Reading <doc>",
                              "EYAMLException: did not find expected node content while parsing a "
                              "flow node (line 2, column 1)"}));
  EXPECT_TRUE(broken.unit.empty());
}

TEST(InputDocumentsTest, TheUnitIsNamedAfterTheYamlFile) {
  TempFolder folder;
  WriteBytes(folder.File("pet-store.yaml"), "swagger: '2.0'\npaths: {}\nsecurityDefinitions: {}\ndefinitions: {}\n");
  EXPECT_EQ(RunCommandLine({folder.File("pet-store.yaml")}, [](const std::string&) {}), 0);
  const std::vector<std::string> unit = ReadUnitLines(folder.File("pet_store.pas"));
  EXPECT_NE(std::find(unit.begin(), unit.end(), "unit pet_store;"), unit.end());
}

}  // namespace
}  // namespace tolvane::testing
