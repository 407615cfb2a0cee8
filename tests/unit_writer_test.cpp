// The unit writer end to end: the real program on small documents in a
// temporary folder, whole units compared with the header's time masked.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "delphi_compiler.h"
#include "loading_support.h"
#include "platform/file_system.h"
#include "unitdef/unit_text.h"
#include "unit_writer_support.h"

namespace tolvane::testing {
namespace {

using Lines = std::vector<std::string>;

Lines OutputLines(const std::string& out) {
  Lines lines;
  size_t start = 0;
  while (start < out.size()) {
    size_t end = out.find('\n', start);
    if (end == std::string::npos) end = out.size();
    lines.push_back(out.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string Document(const std::string& definitions, const std::string& extra = "") {
  return R"({"swagger": "2.0", "info": {"title": "t", "version": "1"}, )" + extra +
         R"("paths": {}, "securityDefinitions": {}, "definitions": {)" + definitions + "}}";
}

// Category, Tag and Pet in the order in which they are declared, so the
// ordering pass keeps them.
const char* const kPetstoreDefinitions = R"(
  "Category": {"type": "object", "properties": {"id": {"type": "integer", "format": "int64"}}},
  "Tag": {"type": "object", "properties": {"name": {"type": "string"}}},
  "Pet": {"type": "object", "properties": {
    "category": {"$ref": "#/definitions/Category"},
    "name": {"type": "string"},
    "tags": {"type": "array", "items": {"$ref": "#/definitions/Tag"}}}})";

const Lines kHeaderAndInterface = {"(*", HeaderLine(), "*)", "", "unit petstore;", "",
                                   "interface", "", "uses", "  System.JSON;", "", "type"};


Lines RunLog(const std::string& document, const std::string& unit, const Lines& classes,
             const Lines& before_writing, const std::string& verdict) {
  Lines log = {"Reading " + document, "Processing " + document, "Checking  references",
               "Creating source unit " + unit};
  log.insert(log.end(), classes.begin(), classes.end());
  log.insert(log.end(), before_writing.begin(), before_writing.end());
  log.insert(log.end(), {verdict, "Done"});
  return log;
}

TEST(UnitWriterEndToEndTest, PetWithClassSwitchGivesTheFortyTwoLines) {
  TempFolder folder;
  WriteBytes(folder.File("petstore.json"), Document(kPetstoreDefinitions));
  const BinaryRun run = RunTolvane({"petstore.json", "-c:Pet"}, folder.Path());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(OutputLines(run.out),
            RunLog("petstore.json", "petstore.pas",
                   {"class: Category skipped", "class: Tag skipped", "class: Pet processed"}, {},
                   "Writing source file"));
  const Lines expected = PetWithClassFilterUnit();
  EXPECT_EQ(ReadUnitLines(folder.File("petstore.pas")), expected);
  const std::string bytes = ReadBytes(folder.File("petstore.pas"));
  EXPECT_EQ(bytes.substr(bytes.size() - 8), "\r\nend.\r\n");
}

TEST(UnitWriterEndToEndTest, LineCountsAndVerdicts) {
  const struct {
    const char* label;
    const char* switch_argument;
    const char* pet_description;
    size_t lines;
    const char* verdict;
    const char* pet_log;
  } cases[] = {
      {"filter names no class", "-c:Order", "", 17, "Nothing to write", "class: Pet skipped"},
      {"filter differs in case", "-c:pet", "", 17, "Nothing to write", "class: Pet skipped"},
      {"one plain property", "-c:Pet", "", 24, "Nothing to write", "class: Pet processed"},
      {"and a class description", "-c:Pet", R"("description": "A pet", )", 25, "Writing source file",
       "class: Pet processed"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    WriteBytes(folder.File("petstore.json"),
               Document(std::string(R"("Pet": {)") + c.pet_description +
                        R"("type": "object", "properties": {"name": {"type": "string"}}})"));
    const BinaryRun run = RunTolvane({"petstore.json", c.switch_argument}, folder.Path());
    EXPECT_EQ(run.status, 0) << c.label;
    EXPECT_EQ(OutputLines(run.out), RunLog("petstore.json", "petstore.pas", {c.pet_log}, {}, c.verdict)) << c.label;
    const Lines unit = ReadUnitLines(folder.File("petstore.pas"));
    EXPECT_EQ(unit.size(), c.lines) << c.label;
    if (c.lines == 17) {
      EXPECT_EQ(unit, EmptyUnitLines("petstore")) << c.label;
    }
  }
}

TEST(UnitWriterEndToEndTest, EmptyDocumentWithoutSwitchHasTheClientSections) {
  const struct {
    const char* label;
    const char* extra;
    Lines scheme_log;
  } cases[] = {
      {"no schemes", "", {"Missing scheme, using http as default"}},
      {"a scheme", R"("schemes": ["https"], )", {}},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    WriteBytes(folder.File("petstore.json"), Document("", c.extra));
    const BinaryRun run = RunTolvane({"petstore.json"}, folder.Path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(OutputLines(run.out), RunLog("petstore.json", "petstore.pas", {}, c.scheme_log, "Writing source file"))
        << c.label;
    Lines expected = kHeaderAndInterface;
    expected.insert(expected.end(),
                    {"", "  T = class", "  private", "    FAuthorization : string;", "  public",
                     "    property Authorization : string read FAuthorization write FAuthorization;", "  end;", "",
                     "implementation", "", "uses", "  REST.Types,", "  REST.JSON,", "  REST.Client,",
                     "  SOAP.XSBuiltins,", "  System.Generics.Collections,", "  System.SysUtils,",
                     "  System.DateUtils;", "", "", "end."});
    ASSERT_EQ(expected.size(), 33u);
    EXPECT_EQ(ReadUnitLines(folder.File("petstore.pas")), expected) << c.label;
  }
}

TEST(UnitWriterEndToEndTest, OutputNameFromTheFileNamePart) {
  const struct {
    const char* argument;
    const char* unit_path;
    const char* unit_name;
  } cases[] = {
      {"specs/pet-store 2.json", "specs/pet_store2.pas", "pet_store2"},
      {"api", "api.pas", "api"},
      {"api.", "api.pas", "api"},
      {"my.api.json", "my.api.pas", "my.api"},
      {"./sub-dir/x$y.json", "./sub-dir/xSy.pas", "xSy"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const std::string argument = c.argument;
    const size_t slash = argument.rfind('/');
    if (slash != std::string::npos) {
      std::filesystem::create_directories(folder.File(argument.substr(0, slash)));
    }
    WriteBytes(folder.File(argument), Document(R"("Pet": {"type": "object"})"));
    const BinaryRun run = RunTolvane({argument, "-c:None"}, folder.Path());
    EXPECT_EQ(run.status, 0) << c.argument;
    EXPECT_EQ(OutputLines(run.out), RunLog(argument, c.unit_path, {"class: Pet skipped"}, {}, "Nothing to write"))
        << c.argument;
    EXPECT_EQ(ReadUnitLines(folder.File(c.unit_path)), EmptyUnitLines(c.unit_name)) << c.argument;
  }
}

TEST(UnitWriterEndToEndTest, ExistingUnitIsReplaced) {
  TempFolder folder;
  WriteBytes(folder.File("petstore.json"), Document(R"("Pet": {"type": "object"})"));
  WriteBytes(folder.File("petstore.pas"), std::string(50000, 'x'));
  ASSERT_EQ(::chmod(folder.File("petstore.pas").c_str(), 0640), 0);
  const BinaryRun run = RunTolvane({"petstore.json", "-c:None"}, folder.Path());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(ReadUnitLines(folder.File("petstore.pas")), EmptyUnitLines("petstore"));
  struct stat info {};
  ASSERT_EQ(::stat(folder.File("petstore.pas").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

// Runs the program as a user who may read the folder but not write into it
// (the superuser writes everywhere, so it hands the run to "nobody").
BinaryRun RunWithoutWriteAccess(const std::string& folder, const std::vector<std::string>& args) {
  if (::geteuid() != 0) {
    ::chmod(folder.c_str(), 0555);
    BinaryRun run = RunTolvane(args, folder);
    ::chmod(folder.c_str(), 0755);
    return run;
  }
  ::chmod(folder.c_str(), 0755);
  std::string command = "cd " + delphi::ShellQuoted(folder) +
                        " && setpriv --reuid=65534 --regid=65534 --clear-groups " +
                        delphi::ShellQuoted(TOLVANE_BINARY);
  for (const std::string& arg : args) command += " " + delphi::ShellQuoted(arg);
  BinaryRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, count);
  const int status = ::pclose(pipe);
  if (status != -1 && WIFEXITED(status)) run.status = WEXITSTATUS(status);
  return run;
}

TEST(UnitWriterEndToEndTest, FailedWriteLeavesTheExistingUnit) {
  if (::geteuid() == 0 && std::system("command -v setpriv >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "running as the superuser without setpriv";
  }
  TempFolder folder;
  WriteBytes(folder.File("petstore.json"), Document(kPetstoreDefinitions));
  const std::string old_unit = "unit petstore;\r\n// kept\r\n";
  WriteBytes(folder.File("petstore.pas"), old_unit);
  ::chmod(folder.File("petstore.json").c_str(), 0644);
  ::chmod(folder.File("petstore.pas").c_str(), 0644);
  const BinaryRun run = RunWithoutWriteAccess(folder.Path(), {"petstore.json", "-c:Pet"});
  EXPECT_EQ(run.status, 1);
  Lines expected = RunLog("petstore.json", "petstore.pas",
                          {"class: Category skipped", "class: Tag skipped", "class: Pet processed"}, {},
                          "Writing source file");
  expected.back() = "EFCreateError: Datei \"" + FullPath(folder.File("petstore.pas")) +
                    "\" kann nicht erstellt werden. Permission denied";
  EXPECT_EQ(OutputLines(run.out), expected);
  EXPECT_EQ(ReadBytes(folder.File("petstore.pas")), old_unit);
  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) ++entries;
  EXPECT_EQ(entries, 2u);  // the document and the old unit, no temporary file
}

TEST(UnitWriterEndToEndTest, OutputPathTakenByADirectory) {
  TempFolder folder;
  WriteBytes(folder.File("petstore.json"), Document(R"("Pet": {"type": "object"})"));
  ASSERT_EQ(::mkdir(folder.File("petstore.pas").c_str(), 0755), 0);
  const BinaryRun run = RunTolvane({"petstore.json", "-c:Pet"}, folder.Path());
  EXPECT_EQ(run.status, 1);
  const Lines lines = OutputLines(run.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("EFCreateError: Datei \"" + FullPath(folder.File("petstore.pas")) +
                                   "\" kann nicht erstellt werden. ",
                               0),
            0u)
      << lines.back();
  EXPECT_EQ(lines[lines.size() - 2], "Nothing to write");
}

TEST(UnitWriterEndToEndTest, UnitIsWindows1252) {
  TempFolder folder;
  WriteBytes(folder.File("petstore.json"),
             Document(R"("Pet": {"type": "object", "description": "Gr\u00fc\u00dfe \u20ac \u2603 \u0081",
                                 "properties": {"\u00e4nderung": {"type": "string"}}})"));
  const BinaryRun run = RunTolvane({"petstore.json", "-c:Pet"}, folder.Path());
  EXPECT_EQ(run.status, 0);
  const std::string bytes = ReadBytes(folder.File("petstore.pas"));
  EXPECT_NE(bytes.find("\r\n  // Gr\xFC\xDF" "e \x80 ? \x81\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\n    F\xE4nderung : string;\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\n    property \xE4nderung : string read F\xE4nderung write F\xE4nderung;\r\n"),
            std::string::npos);
  EXPECT_EQ(bytes.substr(0, 2), "(*");
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), std::count(bytes.begin(), bytes.end(), '\r'));
}

// The bytes reach the file whole and in order whatever the lengths of the
// lines: around the flush size, and longer than the buffer that holds them.
TEST(UnitWriterEndToEndTest, UnitTextReachesTheFileWholeInBlocks) {
  constexpr size_t kFlush = TUnitText::kFlushSize;
  const size_t lengths[] = {0, 1, kFlush - 3, kFlush, 2, 3 * kFlush, 0, kFlush / 2, kFlush / 2, 5};
  TempFolder folder;
  std::string expected;
  {
    TAtomicFile file(folder.File("unit.pas"));
    TUnitText text(file);
    char letter = 'a';
    for (const size_t length : lengths) {
      // Every other line ends in "ä" (UTF-8), which the unit holds as 0xE4.
      const bool ascii = letter % 2 == 0;
      const std::string line = std::string(length, letter++);
      text.Line(ascii ? line : line + "\u00e4");
      expected += line + (ascii ? "" : "\xE4") + "\r\n";
    }
    text.Flush();
    file.Commit();
    EXPECT_EQ(text.LineCount(), std::size(lengths));
  }
  EXPECT_EQ(ReadBytes(folder.File("unit.pas")), expected);
}

// A definition name built to end the class, the interface and the unit and
// run code at start-up cannot leave its identifier; the unit compiles.
TEST(UnitWriterEndToEndTest, HostileNamesStayIdentifiers) {
  const std::string hostile = "a;end;implementation{}initialization{}Halt;end.{";
  const std::string clean = "a_end_implementation__initialization__Halt_end__";
  TempFolder folder;
  WriteBytes(folder.File("petstore.json"),
             Document("\"" + hostile + R"(": {"type": "object", "description": "x\r\nend.", "properties": {
                        ")" + hostile + R"(": {"$ref": "#/definitions/Tag"},
                        "list": {"type": "array", "items": {"$ref": "#/definitions/)" + hostile + R"("}},
                        "odd": {"type": "integer;end."}}},
                      "Tag": {"type": "object"})"));
  const BinaryRun run = RunTolvane({"petstore.json"}, folder.Path());
  EXPECT_EQ(run.status, 0);
  const Lines lines = OutputLines(run.out);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "class: " + hostile + " processed"), lines.end());
  const Lines unit = ReadUnitLines(folder.File("petstore.pas"));
  const Lines declaration = {
      "",
      "  // x",
      "  // end.",
      "  T" + clean + " = class",
      "  private",
      "    F" + clean + " : TTag;",
      "    Flist : TArray<T" + clean + ">;",
      "    Fodd : integer_end_;",
      "  public",
      "    destructor Destroy; override;",
      "    property " + clean + " : TTag read F" + clean + " write F" + clean + ";",
      "    property list : TArray<T" + clean + "> read Flist write Flist;",
      "    property odd : integer_end_ read Fodd write Fodd;",
      "  end;",
  };
  const auto at = std::search(unit.begin(), unit.end(), declaration.begin(), declaration.end());
  EXPECT_NE(at, unit.end());
  EXPECT_NE(std::find(unit.begin(), unit.end(), "{ T" + clean + " }"), unit.end());
  EXPECT_NE(std::find(unit.begin(), unit.end(), "destructor T" + clean + ".Destroy;"), unit.end());
  EXPECT_EQ(std::count(unit.begin(), unit.end(), "implementation"), 1);
  EXPECT_EQ(ReadBytes(folder.File("petstore.pas")).find("Halt;"), std::string::npos);

  if (delphi::FpcAvailable()) {
    // The type "integer;end." has become a name that no unit declares; with
    // it removed, the rest of the unit compiles.
    std::string bytes = ReadBytes(folder.File("petstore.pas"));
    for (const std::string& odd : {std::string("    Fodd : integer_end_;\r\n"),
                                   std::string("    property odd : integer_end_ read Fodd write Fodd;\r\n")}) {
      const size_t pos = bytes.find(odd);
      ASSERT_NE(pos, std::string::npos);
      bytes.erase(pos, odd.size());
    }
    WriteBytes(folder.File("petstore.pas"), bytes);
    const auto result = delphi::CompileUnit(folder.File("petstore.pas"));
    EXPECT_TRUE(result.compiled) << result.diagnostics;
  }
}

TEST(UnitWriterEndToEndTest, PetstoreUnitCompiles) {
  SKIP_WITHOUT_FPC();
  TempFolder folder;
  WriteBytes(folder.File("petstore.json"),
             Document(std::string(kPetstoreDefinitions) + R"(,
               "Order": {"type": "object", "description": "An order\nof pets", "properties": {
                 "id": {"type": "integer", "format": "int64"},
                 "shipDate": {"type": "string", "format": "date-time"},
                 "type": {"type": "string", "description": "reserved word"},
                 "price": {"type": "number"},
                 "pets": {"type": "array", "items": {"$ref": "#/definitions/Pet"}},
                 "labels": {"type": "array", "items": {"type": "string"}}}})"));
  for (const std::vector<std::string>& args : {std::vector<std::string>{"petstore.json", "-c:Tag"},
                                                std::vector<std::string>{"petstore.json"}}) {
    const BinaryRun run = RunTolvane(args, folder.Path());
    EXPECT_EQ(run.status, 0);
    const auto result = delphi::CompileUnit(folder.File("petstore.pas"));
    EXPECT_TRUE(result.compiled) << args.size() << "\n" << result.diagnostics;
  }
}

}  // namespace
}  // namespace tolvane::testing
