#include "main/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit_writer_support.h"

namespace tolvane {
namespace {

TEST(FindClassSwitchTest, Examples) {
  const std::string kNone = "<none>";
  const struct {
    std::vector<std::string> args;
    std::string filter;
  } cases[] = {
      {{"doc.json", "-c:Pet"}, "Pet"},
      {{"doc.json", "-cPet"}, "Pet"},
      {{"doc.json", "/C:Pet"}, "Pet"},
      {{"doc.json", "/cPet"}, "Pet"},
      {{"doc.json", "-c", "Pet"}, "Pet"},
      {{"doc.json", "/C", "Pet"}, "Pet"},
      {{"-c:Pet", "doc.json"}, "Pet"},
      {{"doc.json", "-c:A", "-c:B"}, "A"},
      {{"doc.json", "-c"}, ""},
      {{"doc.json", "-c:"}, ""},
      {{"doc.json", "-c", "-v"}, ""},
      {{"doc.json", "-c", "/v"}, ""},
      {{"doc.json", "-c", ""}, ""},
      {{"doc.json", "-classic"}, "lassic"},
      {{"doc.json", "-classes"}, "lasses"},
      {{"doc.json", "-c::Pet"}, ":Pet"},
      {{"doc.json", "-C:Pet"}, "Pet"},
      {{"doc.json", "Pet"}, kNone},
      {{"doc.json", "-x", "c:Pet", "--c", "-", "", "/"}, kNone},
      {{"doc.json", "-x:Pet", "-c:Pet"}, "Pet"},
      {{}, kNone},
  };
  for (const auto& c : cases) {
    const std::optional<std::string> filter = FindClassSwitch(c.args);
    std::string args;
    for (const std::string& arg : c.args) args += "[" + arg + "]";
    EXPECT_EQ(filter.value_or(kNone), c.filter) << args;
  }
}

struct RunResult {
  int status;
  std::vector<std::string> lines;
};

RunResult RunWith(const std::vector<std::string>& AArgs) {
  RunResult run;
  run.status = RunCommandLine(AArgs, [&](const std::string& ALine) { run.lines.push_back(ALine); });
  return run;
}

TEST(RunCommandLineTest, MissingDocuments) {
  testing::TempFolder folder;
  const struct {
    std::vector<std::string> args;
    std::string line;
  } cases[] = {
      {{}, "File  not found"},
      {{""}, "File  not found"},
      {{"nowhere/api.json"}, "File nowhere/api.json not found"},
      {{folder.Path()}, "File " + folder.Path() + " not found"},
      {{"-c:Pet", "doc.json"}, "File -c:Pet not found"},
      {{"-h", "-c:Pet"}, "Usage: tolvane DOCUMENT"},
  };
  for (const auto& c : cases) {
    const RunResult run = RunWith(c.args);
    ASSERT_FALSE(run.lines.empty());
    if (c.line.rfind("Usage", 0) == 0) {
      EXPECT_EQ(run.lines[0].rfind(c.line, 0), 0u) << run.lines[0];
      EXPECT_EQ(run.status, 0);
    } else {
      EXPECT_EQ(run.lines, std::vector<std::string>{c.line});
      EXPECT_EQ(run.status, 1);
    }
  }
}

TEST(RunCommandLineTest, HelpAndVersionUnlessAFileHasTheName) {
  for (const std::string help : {"--help", "-h", "-?", "/?"}) {
    const RunResult run = RunWith({help});
    EXPECT_EQ(run.status, 0) << help;
    ASSERT_GE(run.lines.size(), 4u) << help;
    EXPECT_EQ(run.lines[0].rfind("Usage: tolvane DOCUMENT [-c:CLASS]", 0), 0u) << run.lines[0];
  }
  const RunResult version = RunWith({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.lines, std::vector<std::string>{"Tolvane " + std::string(kProgramVersion)});
  EXPECT_EQ(RunWith({"--VERSION"}).lines, std::vector<std::string>{"File --VERSION not found"});

  // A file named like the request is converted instead.
  testing::TempFolder folder;
  const std::string path = folder.File("--help");
  testing::WriteBytes(path, "{}");
  const RunResult run = RunWith({path});
  EXPECT_EQ(run.lines, (std::vector<std::string>{"Reading " + path,
                                                 "Exception: Wrong Swagger version: \"\". Expected \"2.0\""}));
  EXPECT_EQ(run.status, 1);
}

TEST(RunCommandLineTest, FailureIsOneLineAfterTheProgress) {
  testing::TempFolder folder;
  const std::string path = folder.File("api.json");
  testing::WriteBytes(path, R"({"swagger": "2.0", "paths": {}, "securityDefinitions": {}})");
  const RunResult run = RunWith({path, "-c:Pet"});
  EXPECT_EQ(run.lines, (std::vector<std::string>{"Reading " + path,
                                                 "EJSONException: Wert 'definitions' nicht gefunden"}));
  EXPECT_EQ(run.status, 1);
}

TEST(RunCommandLineTest, ControlCharactersFromTheDocumentKeepTheFailureOneLine) {
  testing::TempFolder folder;
  const std::string path = folder.File("api.json");
  const struct {
    std::string document;
    std::string line;
  } cases[] = {
      {R"({"swagger": "2.0", "schemes": "a\nb\u0000c\u007f\td\\e"})",
       "EConversionError: Intern: Wert a\\nb\\u0000c\\u007F\\td\\e kann nicht für eine Zuweisung zu "
       "Feld schemes in Typ TSwagger konvertiert werden"},
      {R"({"swagger": "2.0", "paths": {"/x\r\nDone": {"get": {}}}})",
       "EJSONException: Path '/x\\r\\nDone': the first member is not an operation object with a "
       "'responses' object"},
  };
  for (const auto& c : cases) {
    testing::WriteBytes(path, c.document);
    const RunResult run = RunWith({path});
    EXPECT_EQ(run.lines, (std::vector<std::string>{"Reading " + path, c.line}));
  }
}

}  // namespace
}  // namespace tolvane
