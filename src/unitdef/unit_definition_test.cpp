#include "unitdef/unit_definition.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/exceptions.h"
#include "unit_writer_support.h"

namespace tolvane {
namespace {

using testing::EmptyUnitLines;
using testing::ReadBytes;
using testing::ReadUnitLines;
using testing::TempFolder;
using testing::WriteBytes;

using Lines = std::vector<std::string>;

TEST(OutputNameTest, FileAndUnitName) {
  const struct {
    const char* argument;
    const char* directory;
    const char* file_name;
    const char* unit_name;
  } cases[] = {
      {"petstore.json", "", "petstore.pas", "petstore"},
      {"pet-store 2.json", "", "pet_store2.pas", "pet_store2"},
      {"api", "", "api.pas", "api"},
      {"api.", "", "api.pas", "api"},
      {"my.api.json", "", "my.api.pas", "my.api"},
      {"$ref.json", "", "Sref.pas", "Sref"},
      {"type.json", "", "type.pas", "type"},
      {"specs/pet-store 2.json", "specs/", "pet_store2.pas", "pet_store2"},
      {"my specs.v2/api", "my specs.v2/", "api.pas", "api"},
      {"/abs/dir-x/a b.json", "/abs/dir-x/", "ab.pas", "ab"},
      {"./petstore.json", "./", "petstore.pas", "petstore"},
      {"a.b\\c", "", "a.b\\c.pas", "a.b\\c"},
      {".json", "", ".pas", ""},
  };
  for (const auto& c : cases) {
    const TOutputName name = MakeOutputName(c.argument);
    EXPECT_EQ(name.Directory, c.directory) << c.argument;
    EXPECT_EQ(name.FileName, c.file_name) << c.argument;
    EXPECT_EQ(name.UnitName(), c.unit_name) << c.argument;
    EXPECT_EQ(name.Path(), std::string(c.directory) + c.file_name);
  }
}

TEST(LogTest, FormatsAndDropsWithoutCallback) {
  TUnitDefinition unit;
  unit.Log("dropped");  // no callback: no failure
  Lines log;
  unit.FLogProcedure = [&](const std::string& line) { log.push_back(line); };
  unit.LogFmt("class: %s %s", {"Pet", "processed"});
  unit.LogFmt("Processing %s", {"100%s.json"});
  unit.LogFmt("no arguments %s", {});
  unit.Log("Done");
  EXPECT_EQ(log, (Lines{"class: Pet processed", "Processing 100%s.json", "no arguments %s", "Done"}));
}

// A unit model as the converter leaves it, writing into a temporary folder
// and recording its log.
struct SaveFixture {
  TempFolder folder;
  TUnitDefinition unit;
  Lines log;

  explicit SaveFixture(const std::string& file_name = "petstore.json", const std::string& filter = "") {
    unit.FLogProcedure = [this](const std::string& line) { log.push_back(line); };
    unit.FName = folder.File(file_name);
    unit.FClassnameFilter = filter;
    unit.FConfig.WriteOperations = filter.empty();
  }

  // The log with the folder's path taken out of it.
  Lines RelativeLog() const {
    Lines result;
    const std::string prefix = folder.Path() + "/";
    for (std::string line : log) {
      const size_t at = line.find(prefix);
      if (at != std::string::npos) line.erase(at, prefix.size());
      result.push_back(line);
    }
    return result;
  }
};

// Already in declaration order, so the ordering pass moves nothing.
void AddPetstore(TUnitDefinition& unit) {
  unit.AddObject("Category", "object")->AddProperty("id", "integer", "int64", "", "", "", "");
  unit.AddObject("Tag", "object")->AddProperty("name", "string", "", "", "", "", "");
  TObjectDefinition* pet = unit.AddObject("Pet", "object");
  pet->AddProperty("category", "", "", "#/definitions/Category", "", "", "");
  pet->AddProperty("name", "string", "", "", "", "", "");
  pet->AddProperty("tags", "array", "", "", "#/definitions/Tag", "", "");
}

TEST(SaveTest, PetWithClassFilter) {
  SaveFixture run("petstore.json", "Pet");
  AddPetstore(run.unit);
  run.unit.Save();
  EXPECT_EQ(run.RelativeLog(),
            (Lines{"Processing petstore.json", "Checking  references", "Creating source unit petstore.pas",
                   "class: Category skipped", "class: Tag skipped", "class: Pet processed",
                   "Writing source file", "Done"}));
  const Lines expected = testing::PetWithClassFilterUnit();
  EXPECT_EQ(ReadUnitLines(run.folder.File("petstore.pas")), expected);
}

TEST(SaveTest, LineCountsAroundNothingToWrite) {
  const struct {
    const char* filter;
    const char* class_description;
    size_t lines;
    const char* verdict;
  } cases[] = {
      {"Order", "", 17, "Nothing to write"},
      {"pet", "", 17, "Nothing to write"},  // the filter is case-sensitive
      {"Pet", "", 24, "Nothing to write"},
      {"Pet", "A pet", 25, "Writing source file"},
  };
  for (const auto& c : cases) {
    SaveFixture run("petstore.json", c.filter);
    run.unit.AddObject("Pet", "object")->AddProperty("name", "string", "", "", "", "", "");
    run.unit.FObjects.back()->Setdescription(c.class_description);
    run.unit.Save();
    const Lines lines = ReadUnitLines(run.folder.File("petstore.pas"));
    EXPECT_EQ(lines.size(), c.lines) << c.filter;
    const std::string processed = std::string("class: Pet ") + (c.lines == 17 ? "skipped" : "processed");
    EXPECT_EQ(run.RelativeLog(),
              (Lines{"Processing petstore.json", "Checking  references", "Creating source unit petstore.pas",
                     processed, c.verdict, "Done"}))
        << c.filter;
    if (c.lines == 17) {
      EXPECT_EQ(lines, EmptyUnitLines("petstore"));
    }
  }
}

TEST(SaveTest, WithoutFilterEmptyDocumentHasTheClientSections) {
  SaveFixture run("empty.json");
  run.unit.Save();
  EXPECT_EQ(run.RelativeLog(),
            (Lines{"Processing empty.json", "Checking  references", "Creating source unit empty.pas",
                   "Missing scheme, using http as default", "Writing source file", "Done"}));
  EXPECT_TRUE(run.unit.FSchemes.empty());  // the default is the unit's, not the model's
  const Lines lines = ReadUnitLines(run.folder.File("empty.pas"));
  ASSERT_EQ(lines.size(), 33u);
  // Header and interface start, then the client class, the implementation
  // start with its uses clause, the client methods' opening blank line and
  // the unit end.
  const Lines empty_unit = EmptyUnitLines("empty");
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 12), Lines(empty_unit.begin(), empty_unit.begin() + 12));
  EXPECT_EQ(lines[12], "");
  EXPECT_EQ(lines[18], "  end;");
  EXPECT_EQ(Lines(lines.begin() + 19, lines.end()),
            (Lines{"", "implementation", "", "uses", "  REST.Types,", "  REST.JSON,", "  REST.Client,",
                   "  SOAP.XSBuiltins,", "  System.Generics.Collections,", "  System.SysUtils,",
                   "  System.DateUtils;", "", "", "end."}));
}

TEST(SaveTest, SchemesOfTheDocumentAreKept) {
  SaveFixture run("api.json");
  run.unit.FSchemes = {"https"};
  run.unit.Save();
  EXPECT_EQ(std::count(run.log.begin(), run.log.end(), "Missing scheme, using http as default"), 0);
  EXPECT_EQ(run.unit.FSchemes, (Lines{"https"}));
}

TEST(SaveTest, ArgumentWithDirectoryPart) {
  TempFolder folder;
  ASSERT_EQ(::mkdir(folder.File("specs").c_str(), 0755), 0);
  TUnitDefinition unit;
  Lines log;
  unit.FLogProcedure = [&](const std::string& line) { log.push_back(line); };
  unit.FName = folder.File("specs/pet-store 2.json");
  unit.FClassnameFilter = "none";
  unit.Save();
  EXPECT_EQ(log[0], "Processing " + folder.Path() + "/specs/pet-store 2.json");
  EXPECT_EQ(log[2], "Creating source unit " + folder.Path() + "/specs/pet_store2.pas");
  EXPECT_EQ(ReadUnitLines(folder.File("specs/pet_store2.pas")), EmptyUnitLines("pet_store2"));
}

TEST(SaveTest, FileIsWindows1252WithCrLfAndNoBom) {
  SaveFixture run("petstore.json", "Pet");
  TObjectDefinition* pet = run.unit.AddObject("Pet", "object");
  // ä, €, the unassigned U+0081, and a character outside the code page.
  pet->Setdescription("\xC3\xA4 \xE2\x82\xAC \xC2\x81 \xE2\x98\x83");
  pet->AddProperty("name", "string", "", "", "", "", "");
  run.unit.Save();
  const std::string bytes = ReadBytes(run.folder.File("petstore.pas"));
  EXPECT_EQ(bytes.substr(0, 4), "(*\r\n");
  EXPECT_NE(bytes.find("\r\n  // \xE4 \x80 \x81 ?\r\n  TPet = class\r\n"), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 8), "\r\nend.\r\n");
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), std::count(bytes.begin(), bytes.end(), '\r'));
}

TEST(SaveTest, ExistingFileIsReplaced) {
  SaveFixture run("petstore.json", "none");
  WriteBytes(run.folder.File("petstore.pas"), std::string(100000, 'x'));
  run.unit.Save();
  EXPECT_EQ(ReadUnitLines(run.folder.File("petstore.pas")), EmptyUnitLines("petstore"));
}

TEST(SaveTest, FailedWriteLeavesTheExistingUnit) {
  SaveFixture run("petstore.json", "none");
  const std::string old_unit = "unit old;\r\n";
  WriteBytes(run.folder.File("petstore.pas"), old_unit);
  run.unit.FName = run.folder.File("missing/petstore.json");
  try {
    run.unit.Save();
    FAIL() << "no failure";
  } catch (const EFCreateError& error) {
    EXPECT_EQ(error.Message().rfind("Datei \"" + run.folder.Path() + "/missing/petstore.pas\" kann nicht erstellt werden. ", 0), 0u)
        << error.Message();
  }
  EXPECT_EQ(run.RelativeLog().back(), "Nothing to write");  // no "Done"
  EXPECT_EQ(ReadBytes(run.folder.File("petstore.pas")), old_unit);

  if (::geteuid() != 0) {
    SaveFixture read_only("petstore.json", "none");
    WriteBytes(read_only.folder.File("petstore.pas"), old_unit);
    ASSERT_EQ(::chmod(read_only.folder.Path().c_str(), 0555), 0);
    EXPECT_THROW(read_only.unit.Save(), EFCreateError);
    ::chmod(read_only.folder.Path().c_str(), 0755);
    EXPECT_EQ(ReadBytes(read_only.folder.File("petstore.pas")), old_unit);
    // No temporary file is left beside the unit.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(read_only.folder.Path())) {
      ++entries;
    }
    EXPECT_EQ(entries, 1);
  }
}

// Runs Save on a model built by AFill and returns the unit's bytes.
template <typename Fill>
std::string SaveBytes(const std::string& filter, Fill AFill) {
  SaveFixture run("doc.json", filter);
  AFill(run.unit);
  run.unit.Save();
  return ReadBytes(run.folder.File("doc.pas"));
}

TEST(SanitizeInSaveTest, HostileNamesCannotBreakOut) {
  const std::string hostile = "a;end;implementation{}initialization{}Halt;end.{";
  const auto fill = [&](TUnitDefinition& unit) {
    TObjectDefinition* object = unit.AddObject(hostile, "object");
    object->AddProperty(hostile, "", "", "#/definitions/" + hostile, "", "", "");
    object->AddProperty("x", "array", "", "", "#/definitions/" + hostile, "", "");
    object->AddProperty("y", "integer;end.", "", "", "", "", "");
  };
  const std::string bytes = SaveBytes("", fill);
  const Lines lines = testing::SplitUnitLines(bytes);
  const std::string clean = "a_end_implementation__initialization__Halt_end__";
  const Lines declarations = {
      "",
      "  T" + clean + " = class",
      "  private",
      "    F" + clean + " : T" + clean + ";",
      "    Fx : TArray<T" + clean + ">;",
      "    Fy : integer_end_;",
      "  public",
      "    destructor Destroy; override;",
      "    property " + clean + " : T" + clean + " read F" + clean + " write F" + clean + ";",
      "    property x : TArray<T" + clean + "> read Fx write Fx;",
      "    property y : integer_end_ read Fy write Fy;",
      "  end;",
  };
  ASSERT_GE(lines.size(), 12 + declarations.size());
  EXPECT_EQ(Lines(lines.begin() + 12, lines.begin() + 12 + declarations.size()), declarations);
  EXPECT_NE(bytes.find("\r\n{ T" + clean + " }\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\ndestructor T" + clean + ".Destroy;\r\n"), std::string::npos);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "implementation"), 1);
  EXPECT_EQ(bytes.find('{', 0), bytes.find("{ T" + clean + " }"));
  EXPECT_EQ(bytes.find("Halt;"), std::string::npos);
}

TEST(SanitizeInSaveTest, LogKeepsTheNamesAsWritten) {
  SaveFixture run("doc.json", "a;b");
  run.unit.AddObject("a;b", "object")->AddProperty("p;q", "string", "", "", "", "", "");
  run.unit.Save();
  EXPECT_EQ(run.log[3], "class: a;b processed");
  EXPECT_EQ(run.unit.FObjects[0]->Name(), "a;b");
  const Lines lines = ReadUnitLines(run.folder.File("doc.pas"));
  EXPECT_EQ(lines[13], "  Ta_b = class");
  EXPECT_EQ(lines[15], "    Fp_q : string;");
}

}  // namespace
}  // namespace tolvane
