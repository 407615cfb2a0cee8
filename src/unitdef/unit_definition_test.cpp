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

TEST(SanitizeInSaveTest, LogKeepsTheNamesAsWritten) {
  SaveFixture run("doc.json", "a;b");
  run.unit.AddObject("a;b", "object")->AddProperty("p;q", "string", "", "", "", "", "");
  run.unit.Save();
  EXPECT_EQ(run.log[3], "class: a;b processed");
  // The classes were released as they were resolved.
  EXPECT_TRUE(run.unit.FObjects.empty());
  const Lines lines = ReadUnitLines(run.folder.File("doc.pas"));
  EXPECT_EQ(lines[13], "  Ta_b = class");
  EXPECT_EQ(lines[15], "    Fp_q : string;");
}

}  // namespace
}  // namespace tolvane
