// The real binary on small documents: every failure is exactly one line
// after the progress lines, exit status 1, nothing on standard error and no
// unit; a successful run exits with 0.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "loading_support.h"
#include "unit_writer_support.h"

namespace tolvane::testing {
namespace {

// A document with the three maps; each argument is the JSON text of one.
std::string Document(const std::string& APaths, const std::string& ASecurityDefinitions = "{}",
                     const std::string& ADefinitions = "{}") {
  return R"({"swagger": "2.0", "paths": )" + APaths + R"(, "securityDefinitions": )" +
         ASecurityDefinitions + R"(, "definitions": )" + ADefinitions + "}";
}

std::string OnePath(const std::string& AItem) { return Document(R"({"/pet": )" + AItem + "}"); }

struct FailureRow {
  std::string what;
  std::string document;  // written to doc.json
  std::string line;      // the failure line after "Reading doc.json"
};

TEST(LoadingFailuresTest, EachFailureIsOneLineWithExitStatusOne) {
  const FailureRow rows[] = {
      {"not JSON", "{\"swagger\": \"2.0\",\n  \"paths\": {,}}",
       "EJSONException: Missing a name for object member (line 2, column 13)"},
      {"root not an object", "[{}]", "EConversionError: Der Eingabewert ist kein gültiges Objekt"},
      {"root null", "null", "EConversionError: Der Eingabewert ist kein gültiges Objekt"},
      {"root member", R"({"swagger": "2.0", "host": ["x"]})",
       "EConversionError: Wert für Feld host kann nicht gesetzt werden; Array anstatt string erwartet"},
      {"root member Boolean", R"({"swagger": true})", "EInvalidCast: Ungültige Typumwandlung"},
      {"version", R"({"swagger": "1.2"})", "Exception: Wrong Swagger version: \"1.2\". Expected \"2.0\""},
      {"paths missing", R"({"swagger": "2.0"})", "EJSONException: Wert 'paths' nicht gefunden"},
      {"paths null", R"({"swagger": "2.0", "paths": null})", "EJSONException: Member 'paths' is null"},
      {"path entry", Document(R"({"/pet": "x"})"),
       "EConversionError: Der Eingabewert ist kein gültiges Objekt"},
      {"path item empty", OnePath("{}"), "EArgumentOutOfRangeException: Argument außerhalb des Bereichs"},
      {"security empty", OnePath(R"({"get": {"security": [], "responses": {}}})"),
       "EArgumentOutOfRangeException: Argument außerhalb des Bereichs"},
      {"security element empty", OnePath(R"({"get": {"security": [{}], "responses": {}}})"),
       "EArgumentOutOfRangeException: Argument außerhalb des Bereichs"},
      {"security not objects", OnePath(R"({"get": {"security": ["a"], "responses": {}}})"),
       "EJSONException: Path '/pet': 'security' of the operation 'get' is not an array of objects"},
      {"first member", OnePath(R"({"parameters": [], "get": {"responses": {}}})"),
       "EJSONException: Path '/pet': the first member is not an operation object with a 'responses' "
       "object"},
      {"first operation", OnePath(R"({"get": {"parameters": [{"default": false}], "responses": {}}})"),
       "EJSONException: Path '/pet': the operation 'get' could not be loaded"},
      {"response entry", OnePath(R"({"get": {"responses": {"200": "ok"}}})"),
       "EConversionError: Der Eingabewert ist kein gültiges Objekt"},
      {"response member", OnePath(R"({"get": {"responses": {"200": {"schema": []}}}})"),
       "EConversionError: Wert für Feld schema kann nicht gesetzt werden; Array anstatt TSchema "
       "erwartet"},
      {"path member", OnePath(R"({"get": {"responses": {}}, "$ref": ["#/x"]})"),
       "EConversionError: Wert für Feld $ref kann nicht gesetzt werden; Array anstatt string erwartet"},
      {"securityDefinitions missing", R"({"swagger": "2.0", "paths": {}})",
       "EJSONException: Wert 'securityDefinitions' nicht gefunden"},
      {"security definition entry", Document("{}", R"({"key": []})"),
       "EConversionError: Der Eingabewert ist kein gültiges Objekt"},
      {"definitions missing", R"({"swagger": "2.0", "paths": {}, "securityDefinitions": {}})",
       "EJSONException: Wert 'definitions' nicht gefunden"},
      {"definition entry", Document("{}", "{}", R"({"Pet": null})"),
       "EConversionError: Der Eingabewert ist kein gültiges Objekt"},
      {"properties a number", Document("{}", "{}", R"({"Pet": {"properties": 7}})"),
       "EConversionError: Intern: Wert 7 kann nicht für eine Zuweisung zu Feld properties in Typ "
       "TDefinition konvertiert werden"},
      {"property member", Document("{}", "{}", R"({"Pet": {"properties": {"id": {"type": 1, "description": [2]}}}})"),
       "EConversionError: Wert für Feld description kann nicht gesetzt werden; Array anstatt string "
       "erwartet"},
  };
  TempFolder folder;
  for (const FailureRow& row : rows) {
    std::filesystem::remove(folder.File("doc.pas"));
    WriteBytes(folder.File("doc.json"), row.document);
    const BinaryRun run = RunTolvane({"doc.json"}, folder.Path());
    EXPECT_EQ(run.out, "Reading doc.json\n" + row.line + "\n") << row.what;
    EXPECT_EQ(run.status, 1) << row.what;
    EXPECT_EQ(run.err, "") << row.what;
    EXPECT_FALSE(std::filesystem::exists(folder.File("doc.pas"))) << row.what;
  }
}

TEST(LoadingFailuresTest, DocumentThatCannotBeRead) {
  // Opens as a regular file, but reading it fails.
  const BinaryRun run = RunTolvane({"/proc/self/mem"});
  EXPECT_EQ(run.out,
            "Reading /proc/self/mem\n"
            "EInOutError: Datei /proc/self/mem kann nicht geöffnet werden. Input/output error\n");
  EXPECT_EQ(run.status, 1);
}

TEST(LoadingFailuresTest, DocumentThatIsNotThere) {
  TempFolder folder;
  std::filesystem::create_directory(folder.File("sub.json"));
  WriteBytes(folder.File("doc.json"), Document("{}"));
  std::filesystem::create_symlink(folder.File("gone.json"), folder.File("dangling.json"));
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{}, "File  not found\n"},
      {{"missing.json"}, "File missing.json not found\n"},
      {{"sub.json"}, "File sub.json not found\n"},
      {{"dangling.json"}, "File dangling.json not found\n"},
      {{"-c:Pet", "doc.json"}, "File -c:Pet not found\n"},
  };
  for (const auto& c : cases) {
    const BinaryRun run = RunTolvane(c.args, folder.Path());
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
  }
  EXPECT_FALSE(std::filesystem::exists(folder.File("doc.pas")));
}

TEST(LoadingFailuresTest, SuccessfulRunsExitWithZero) {
  TempFolder folder;
  std::filesystem::copy_file(std::string(TOLVANE_SOURCE_DIR) + "/examples/petstore.json",
                             folder.File("petstore.json"));
  std::filesystem::create_symlink(folder.File("petstore.json"), folder.File("link.json"));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"petstore.json"}, {"petstore.json", "-c:Pet"}, {"link.json", "/C", "Pet"}}) {
    const BinaryRun run = RunTolvane(args, folder.Path());
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "Reading " + args[0]);
    EXPECT_EQ(run.err, "");
  }
  EXPECT_TRUE(std::filesystem::exists(folder.File("petstore.pas")));
  EXPECT_TRUE(std::filesystem::exists(folder.File("link.pas")));

  const BinaryRun version = RunTolvane({"--version"});
  EXPECT_EQ(version.out, "Tolvane " + std::string(kProgramVersion) + "\n");
  EXPECT_EQ(version.status, 0);
  const BinaryRun help = RunTolvane({"/?"});
  EXPECT_EQ(help.out.rfind("Usage: tolvane DOCUMENT [-c:CLASS]", 0), 0u) << help.out;
  EXPECT_EQ(help.status, 0);
}

}  // namespace
}  // namespace tolvane::testing
