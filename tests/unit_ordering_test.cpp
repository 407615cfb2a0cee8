// The real program on documents whose class names repeat or whose classes
// refer to each other: the duplicate message, the declaration order, and the
// forward declarations that let units of cyclic schemas compile.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "delphi_compiler.h"
#include "loading_support.h"
#include "unit_writer_support.h"

namespace tolvane {
namespace {

using testing::ReadUnitLines;
using testing::TempFolder;
using testing::WriteBytes;
using Lines = std::vector<std::string>;

struct ConversionRun {
  std::string output;  // standard output
  Lines lines;         // the unit, time stamp masked; empty when none was written
  std::string unit_path;
};

// Converts ADefinitions (a JSON object) as "api.json" in AFolder. A run that
// has not ended after a minute is stopped, so a loop that never ends fails
// the test instead of hanging it.
ConversionRun Convert(const TempFolder& folder, const std::string& definitions, const std::string& switches = "") {
  const std::string document = folder.File("api.json");
  WriteBytes(document, R"({"swagger": "2.0", "host": "h", "basePath": "/v1", "schemes": ["https"],)"
                       R"( "paths": {}, "securityDefinitions": {}, "definitions": )" +
                           definitions + "}");
  std::vector<std::string> args = {document};
  if (!switches.empty()) args.push_back(switches);
  ConversionRun run;
  run.output = testing::RunTolvane(args, folder.Path(), 60).out;
  run.unit_path = folder.File("api.pas");
  if (std::filesystem::exists(run.unit_path)) run.lines = ReadUnitLines(run.unit_path);
  return run;
}

// The class declaration section: from the line after "type" up to the blank
// line before the client class (named after the base path "/v1") or before
// "implementation".
Lines TypeSection(const Lines& lines) {
  const auto type = std::find(lines.begin(), lines.end(), "type");
  if (type == lines.end()) return {};
  auto end = type + 1;
  while (end != lines.end() && *end != "implementation" && *end != "  Tv1 = class") ++end;
  return Lines(type + 1, end - 1);
}

// The "  TX = class" and "  TX = class;" lines in order.
Lines ClassLines(const Lines& lines) {
  Lines classes;
  for (const std::string& line : TypeSection(lines)) {
    if (line.rfind("  T", 0) == 0 && line.find(" = class") != std::string::npos) classes.push_back(line);
  }
  return classes;
}

TEST(UnitOrderingTest, DuplicateNamesAreRenamedAndReported) {
  TempFolder folder;
  const ConversionRun run = Convert(folder, R"({
    "Pet": {"type": "object", "properties": {"id": {"type": "integer"}}},
    "Order": {"type": "object", "properties": {
      "item": {"$ref": "#/definitions/pet"},
      "items": {"type": "array", "items": {"$ref": "#/definitions/Pet"}},
      "others": {"type": "array", "items": {"$ref": "#/definitions/pet"}}}},
    "pet": {"type": "object", "properties": {"name": {"type": "string"}}}})");
  EXPECT_NE(run.output.find("Duplicate Current: pet  Found: Pet\n"), std::string::npos) << run.output;
  EXPECT_EQ(ClassLines(run.lines), (Lines{"  Tpet1 = class", "  TPet = class", "  TOrder = class"}));
  const Lines section = TypeSection(run.lines);
  for (const char* line : {"    Fitem : Tpet1;", "    Fitems : TArray<TPet>;", "    Fothers : TArray<Tpet1>;"}) {
    EXPECT_NE(std::find(section.begin(), section.end(), line), section.end()) << line;
  }
}

constexpr const char* kCyclicDefinitions = R"({
    "Folder": {"type": "object", "properties": {
      "name": {"type": "string"},
      "files": {"type": "array", "items": {"$ref": "#/definitions/File"}},
      "owner": {"$ref": "#/definitions/User"}}},
    "File": {"type": "object", "properties": {"folder": {"$ref": "#/definitions/Folder"}}},
    "Employee": {"type": "object", "properties": {"manager": {"$ref": "#/definitions/Manager"}}},
    "Manager": {"type": "object", "properties": {
      "reports": {"type": "array", "items": {"$ref": "#/definitions/Employee"}}}},
    "User": {"type": "object", "properties": {"id": {"type": "integer", "format": "int64"}}}})";

TEST(UnitOrderingTest, CyclicSchemasEndWithForwardDeclarations) {
  TempFolder folder;
  const ConversionRun run = Convert(folder, kCyclicDefinitions);
  ASSERT_NE(run.output.find("Done"), std::string::npos) << run.output;
  const Lines section = TypeSection(run.lines);
  // The forward declarations stand between "type" and the first class block.
  ASSERT_GE(section.size(), 4u);
  EXPECT_EQ(Lines(section.begin(), section.begin() + 4), (Lines{"", "  TFile = class;", "  TManager = class;", ""}));
  EXPECT_EQ(ClassLines(run.lines), (Lines{"  TFile = class;", "  TManager = class;", "  TUser = class",
                                          "  TFolder = class", "  TFile = class", "  TEmployee = class",
                                          "  TManager = class"}));
  SKIP_WITHOUT_FPC();
  const delphi::CompileResult result = delphi::CompileUnit(run.unit_path);
  EXPECT_TRUE(result.compiled) << result.diagnostics;
}

TEST(UnitOrderingTest, NoForwardDeclarationsWithAFilterOrWithoutCycles) {
  {
    TempFolder folder;
    const ConversionRun run = Convert(folder, kCyclicDefinitions, "-c:Folder");
    EXPECT_EQ(ClassLines(run.lines), (Lines{"  TFolder = class"}));
  }
  {
    TempFolder folder;
    const ConversionRun run = Convert(folder, R"({
      "Pet": {"type": "object", "properties": {"category": {"$ref": "#/definitions/Category"},
                                                "tags": {"type": "array", "items": {"$ref": "#/definitions/Tag"}}}},
      "Category": {"type": "object", "properties": {"id": {"type": "integer"}}},
      "Tag": {"type": "object", "properties": {"id": {"type": "integer"}}}})");
    EXPECT_EQ(ClassLines(run.lines), (Lines{"  TTag = class", "  TCategory = class", "  TPet = class"}));
    const Lines section = TypeSection(run.lines);
    ASSERT_GE(section.size(), 2u);
    EXPECT_EQ(section[1], "  TTag = class");
  }
}

}  // namespace
}  // namespace tolvane
