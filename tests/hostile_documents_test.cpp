// Hostile documents, converted end to end by the real program: each case
// asserts the exact lines printed, the exit status and the unit (or its
// absence), and that the run ended within its time limit.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "main/command_line.h"
#include "loading_support.h"
#include "peak_memory.h"
#include "unit_writer_support.h"

namespace tolvane::testing {
namespace {

using namespace std::string_literals;

constexpr bool kSanitized = kSanitizedBuild;

// Generous limits: a sanitized build runs several times slower.
constexpr int kTimeLimitSeconds = kSanitized ? 300 : 60;

struct ProgramRun {
  bool finished = false;  // false when the time limit killed it
  int status = -1;
  std::vector<std::string> lines;  // standard output split at "\n"
  std::string errors;              // standard error, always expected empty
  long max_rss_kb = 0;
};

std::vector<std::string> SplitLines(const std::string& AText) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < AText.size()) {
    const size_t end = AText.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(AText.substr(start) + "<no line break>");
      break;
    }
    lines.push_back(AText.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Runs the program with AArgs in AFolder, killing it after ASeconds.
ProgramRun RunProgram(const std::string& AFolder, const std::vector<std::string>& AArgs,
                      int ASeconds = kTimeLimitSeconds) {
  const BinaryRun binary = RunTolvane(AArgs, AFolder, ASeconds);
  ProgramRun run;
  run.finished = binary.finished;
  run.status = binary.status;
  run.lines = SplitLines(binary.out);
  run.errors = binary.err;
  run.max_rss_kb = binary.max_rss_kb;
  return run;
}

std::string Document(const std::string& ADefinitions, const std::string& AHead = "") {
  return R"({"swagger": "2.0", )" + AHead +
         R"("paths": {}, "securityDefinitions": {}, "definitions": )" + ADefinitions + "}";
}

// The lines of a successful run with the class filter, after "Reading".
std::vector<std::string> FilteredRunLines(const std::string& ADocument, const std::string& AUnit,
                                          const std::vector<std::string>& AClassLines,
                                          bool AWriting) {
  std::vector<std::string> lines = {"Reading " + ADocument, "Processing " + ADocument,
                                    "Checking  references", "Creating source unit " + AUnit};
  lines.insert(lines.end(), AClassLines.begin(), AClassLines.end());
  lines.push_back(AWriting ? "Writing source file" : "Nothing to write");
  lines.push_back("Done");
  return lines;
}

// A whole unit made with a class filter: the fixed sections around the
// class block and the destructors (time stamp masked).
std::vector<std::string> FilteredUnit(const std::string& AUnitName,
                                      const std::vector<std::string>& AClassBlock,
                                      const std::vector<std::string>& ADestructors = {}) {
  std::vector<std::string> lines = {"(*",   HeaderLine(), "*)", "",
                                    "unit " + AUnitName + ";", "", "interface", "", "uses",
                                    "  System.JSON;", "", "type"};
  lines.insert(lines.end(), AClassBlock.begin(), AClassBlock.end());
  lines.insert(lines.end(), {"", "implementation", ""});
  lines.insert(lines.end(), ADestructors.begin(), ADestructors.end());
  lines.insert(lines.end(), {"", "end."});
  return lines;
}

std::vector<std::string> FolderEntries(const std::string& AFolder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(AFolder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// One document that fails: exactly "Reading" and the failure line, exit
// status 1, and no file besides the document.
struct FailureCase {
  std::string name;
  std::string bytes;
  std::string line;
};

void ExpectFailure(const FailureCase& ACase) {
  SCOPED_TRACE(ACase.name);
  TempFolder folder;
  WriteBytes(folder.File("doc.json"), ACase.bytes);
  const ProgramRun run = RunProgram(folder.Path(), {"doc.json"});
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.lines, (std::vector<std::string>{"Reading doc.json", ACase.line}));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.errors, "");
  EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"doc.json"});
}

// The column of the first occurrence of ANeedle in a one-line ASCII text.
std::string Column(const std::string& AText, const std::string& ANeedle) {
  return std::to_string(AText.find(ANeedle) + 1);
}

std::string Utf16(const std::u16string& AText, bool ABigEndian) {
  std::string bytes = ABigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : AText) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += ABigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

// An ASCII text as UTF-16 code units, where "#" stands for AUnit.
std::u16string Utf16Units(const std::string& AAscii, char16_t AUnit = u'#') {
  std::u16string text;
  for (const char c : AAscii) text += c == '#' ? AUnit : static_cast<char16_t>(c);
  return text;
}

TEST(HostileDocumentsTest, NestingOf100000LevelsFailsAtLevel513) {
  const std::string prefix = R"({"swagger": "2.0", "x": )";
  std::string objects = prefix;
  for (int i = 0; i < 100000; ++i) objects += R"({"a": )";
  objects += "1" + std::string(100000, '}') + "}";
  const std::string too_deep = "EJSONException: Nesting deeper than 512 levels (line 1, column ";
  // The root is level 1, so the 512th bracket inside it opens level 513.
  const FailureCase cases[] = {
      {"arrays in the root object",
       prefix + std::string(100000, '[') + std::string(100000, ']') + "}",
       too_deep + std::to_string(prefix.size() + 512) + ")"},
      {"objects in the root object", objects,
       too_deep + std::to_string(prefix.size() + 511 * 6 + 1) + ")"},
      {"arrays as the root", std::string(100000, '[') + std::string(100000, ']'),
       too_deep + "513)"},
      {"brackets never closed", prefix + std::string(100000, '['),
       too_deep + std::to_string(prefix.size() + 512) + ")"},
  };
  for (const FailureCase& c : cases) ExpectFailure(c);
}

TEST(HostileDocumentsTest, NestingOf512LevelsConverts) {
  TempFolder folder;
  WriteBytes(folder.File("doc.json"),
             Document(R"({"Pet": {}})", R"("x-deep": )" + std::string(511, '[') +
                                            std::string(511, ']') + ", "));
  const ProgramRun run = RunProgram(folder.Path(), {"doc.json", "-c:Pet"});
  EXPECT_EQ(run.lines, FilteredRunLines("doc.json", "doc.pas", {"class: Pet processed"}, false));
  EXPECT_EQ(run.status, 0);
}

// A description of 200 MB goes through the whole conversion into the unit
// as one comment line; the peak memory stays under four times the file.
TEST(HostileDocumentsTest, StringOf200MegabytesConvertsInBoundedMemory) {
  TempFolder folder;
  const std::string path = folder.File("big.json");
  constexpr size_t kLength = 200u * 1000 * 1000;
  {
    std::ofstream out(path, std::ios::binary);
    out << R"({"swagger": "2.0", "paths": {}, "securityDefinitions": {}, "definitions": {"Big": {"description": ")";
    const std::string chunk(1000 * 1000, 'a');
    for (size_t i = 0; i < kLength / chunk.size(); ++i) out << chunk;
    out << R"("}}})";
  }
  const auto file_size = std::filesystem::file_size(path);
  const ProgramRun run = RunProgram(folder.Path(), {"big.json", "-c:Big"});
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.lines, FilteredRunLines("big.json", "big.pas", {"class: Big processed"}, false));
  EXPECT_EQ(run.status, 0);

  std::vector<std::string> unit = SplitUnitLines(ReadBytes(folder.File("big.pas")));
  ASSERT_EQ(unit.size(), 23u);
  EXPECT_EQ(unit[13].size(), 5 + kLength);
  EXPECT_EQ(unit[13].find_first_not_of('a', 5), std::string::npos);
  unit[13] = unit[13].substr(0, 8);
  EXPECT_EQ(MaskTimeStamp(unit),
            FilteredUnit("big", {"", "  // aaa", "  TBig = class", "  private", "  public", "  end;"}));

  if (!kSanitized) {
    const double ratio = static_cast<double>(run.max_rss_kb) * 1024 / static_cast<double>(file_size);
    EXPECT_LT(ratio, 4.0) << "peak " << run.max_rss_kb << " KiB for " << file_size << " bytes";
  }
}

TEST(HostileDocumentsTest, MillionDefinitionsInOneObject) {
  TempFolder folder;
  std::string definitions = "{";
  for (int i = 0; i < 1000000; ++i) definitions += (i ? ", \"D" : "\"D") + std::to_string(i) + "\": {}";
  WriteBytes(folder.File("doc.json"), Document(definitions + "}"));
  const ProgramRun run = RunProgram(folder.Path(), {"doc.json", "-c:D999999"});
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.status, 0);
  ASSERT_EQ(run.lines.size(), 1000006u);
  EXPECT_EQ(run.lines[4], "class: D0 skipped");
  EXPECT_EQ(run.lines[500004], "class: D500000 skipped");
  EXPECT_EQ(run.lines[1000003], "class: D999999 processed");
  EXPECT_EQ(run.lines[1000004], "Nothing to write");
  EXPECT_EQ(run.lines[1000005], "Done");
  EXPECT_EQ(ReadUnitLines(folder.File("doc.pas")),
            FilteredUnit("doc", {"", "  TD999999 = class", "  private", "  public", "  end;"}));
}

// A key written a million times fills its field a million times; the last
// value is the one the unit shows (here the client class name from basePath).
TEST(HostileDocumentsTest, MillionMembersWithTheSameKey) {
  TempFolder folder;
  std::string head;
  for (int i = 0; i < 1000000; ++i) head += R"("basePath": "/b)" + std::to_string(i) + "\", ";
  WriteBytes(folder.File("doc.json"), Document("{}", head));
  const ProgramRun run = RunProgram(folder.Path(), {"doc.json"});
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.lines.back(), "Done");
  const std::vector<std::string> unit = ReadUnitLines(folder.File("doc.pas"));
  ASSERT_GT(unit.size(), 14u);
  EXPECT_EQ(unit[13], "  Tb999999 = class");
}

// Keys that differ only in letter case: the filling rule folds case (the
// last one wins), the loader's own look-ups and the class filter do not,
// duplicate definitions are renamed.
TEST(HostileDocumentsTest, KeysThatDifferOnlyInCase) {
  const struct {
    std::string name;
    std::string document;
    std::string filter;
    std::vector<std::string> lines;  // after "Reading doc.json"; a failure or the class lines
    std::vector<std::string> class_block;
    bool writing = false;  // more than 24 lines: "Writing source file"
  } cases[] = {
      {"version written twice, the second wrong",
       R"({"swagger": "2.0", "Swagger": "1.2", "paths": {}, "securityDefinitions": {}, "definitions": {}})",
       "", {R"(Exception: Wrong Swagger version: "1.2". Expected "2.0")"}, {}},
      {"version written twice, the second right",
       R"({"Swagger": "1.2", "SWAGGER": "2.0", "paths": {}, "securityDefinitions": {}, "definitions": {"A": {}}})",
       "A", {"class: A processed"}, {"", "  TA = class", "  private", "  public", "  end;"}},
      {"the paths map written Paths",
       R"({"swagger": "2.0", "Paths": {}, "securityDefinitions": {}, "definitions": {}})", "",
       {"EJSONException: Wert 'paths' nicht gefunden"}, {}},
      {"definitions written twice: the loader takes the first",
       R"({"swagger": "2.0", "paths": {}, "securityDefinitions": {}, "definitions": {"A": {}}, "definitions": {"B": {}}})",
       "A", {"class: A processed"}, {"", "  TA = class", "  private", "  public", "  end;"}},
      {"definitions Pet and pet: the second is renamed",
       Document(R"({"Pet": {"properties": {"o": {"$ref": "#/definitions/pet"}}}, "pet": {}})"), "pet1",
       {"class: pet1 processed", "class: Pet skipped"},
       {"", "  Tpet1 = class", "  private", "  public", "  end;"}},
      {"the filter does not fold case", Document(R"({"Pet": {}})"), "pet",
       {"class: Pet skipped"}, {}},
      {"properties id and ID are two fields",
       Document(R"({"Pet": {"properties": {"id": {"type": "string"}, "ID": {"type": "integer"}}}})"), "Pet",
       {"class: Pet processed"},
       {"", "  TPet = class", "  private", "    Fid : string;", "    FID : integer;", "  public",
        "    property id : string read Fid write Fid;", "    property ID : integer read FID write FID;",
        "  end;"}, true},
      {"type and Type in one property: the last wins",
       Document(R"({"Pet": {"properties": {"a": {"Type": "string", "type": "number"}, "b": {"type": "number", "TYPE": "string"}}}})"),
       "Pet", {"class: Pet processed"},
       {"", "  TPet = class", "  private", "    Fa : double;", "    Fb : string;", "  public",
        "    property a : double read Fa write Fa;", "    property b : string read Fb write Fb;", "  end;"}, true},
      {"$REF and ref are not $ref",
       Document(R"({"Pet": {"properties": {"a": {"$REF": "#/definitions/Pet"}, "b": {"ref": "#/definitions/Pet"}}}})"),
       "Pet", {"class: Pet processed"},
       {"", "  TPet = class", "  private", "    Fa : ???;", "    Fb : ???;", "  public",
        "    property a : ??? read Fa write Fa;", "    property b : ??? read Fb write Fb;", "  end;"}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    WriteBytes(folder.File("doc.json"), c.document);
    std::vector<std::string> args = {"doc.json"};
    if (!c.filter.empty()) args.push_back("-c:" + c.filter);
    const ProgramRun run = RunProgram(folder.Path(), args);
    ASSERT_TRUE(run.finished);
    if (c.filter.empty()) {
      std::vector<std::string> expected = {"Reading doc.json"};
      expected.insert(expected.end(), c.lines.begin(), c.lines.end());
      EXPECT_EQ(run.lines, expected);
      EXPECT_EQ(run.status, 1);
      EXPECT_FALSE(std::filesystem::exists(folder.File("doc.pas")));
      continue;
    }
    std::vector<std::string> expected = FilteredRunLines("doc.json", "doc.pas", c.lines, c.writing);
    if (c.name.starts_with("definitions Pet and pet")) {
      // The rename is reported before "Processing", and the classes are
      // logged in their declaration order (pet1 is used by Pet).
      expected.insert(expected.begin() + 1, "Duplicate Current: pet  Found: Pet");
    }
    EXPECT_EQ(run.lines, expected);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(ReadUnitLines(folder.File("doc.pas")), FilteredUnit("doc", c.class_block));
  }
}

// NUL characters and code units that are not valid in their encoding, in
// each encoding a document may have. Invalid sequences decode to U+FFFD,
// which identifiers write as "_" and comments as "?" (not in Windows-1252).
TEST(HostileDocumentsTest, NulAndInvalidCodeUnitsFailInJsonOrConvert) {
  const std::string bom8 = "\xEF\xBB\xBF";
  const std::string raw_nul = Document(R"({"A": {"description": "x)"s + '\0' + "y\"}})");
  const std::string quote_missing = "EJSONException: Missing a closing quotation mark in string (line 1, column ";
  const std::string not_single =
      "EJSONException: The document root must not be followed by other values (line 1, column ";
  const std::string plain = Document("{}");
  const std::string nul_column = std::to_string(raw_nul.find('\0') + 1);
  const FailureCase failures[] = {
      {"raw NUL in a string, no byte order mark", raw_nul, quote_missing + nul_column + ")"},
      {"raw NUL in a string after a UTF-8 mark", bom8 + raw_nul,
       quote_missing + nul_column + ")"},
      {"NUL after the document", plain + '\0' + "{}", not_single + std::to_string(plain.size() + 1) + ")"},
      {"NUL code unit in a UTF-16LE string", Utf16(Utf16Units(raw_nul, u'#'), false),
       quote_missing + nul_column + ")"},
      {"NUL code unit in a UTF-16BE string", Utf16(Utf16Units(raw_nul, u'#'), true),
       quote_missing + nul_column + ")"},
      {"lone low surrogate escape", Document(R"({"A\udc00": {}})"),
       "EJSONException: The surrogate pair in string is invalid (line 1, column " +
           Column(Document(R"({"A\udc00": {}})"), "\\") + ")"},
  };
  for (const FailureCase& c : failures) ExpectFailure(c);

  // Documents that load: the class and its comment as the unit writes them.
  const std::string defs = Document(R"({"A#B": {"description": "x#y"}})");
  const auto replace_marks = [](std::string AText, const std::string& AName, const std::string& AText2) {
    AText.replace(AText.find('#'), 1, AName);
    AText.replace(AText.find('#'), 1, AText2);
    return AText;
  };
  const struct {
    std::string name;
    std::string bytes;
    std::string class_line;
    std::string comment_line;  // as bytes in the unit
  } loads[] = {
      {"escaped NUL", replace_marks(defs, "\\u0000", "\\u0000"), "  TA_B = class", "  // x"s + '\0' + "y"},
      {"invalid UTF-8 after a UTF-8 mark", bom8 + replace_marks(defs, "\xC0", "\xFF\xED\xA0\x80"),
       "  TA_B = class", "  // x????y"},
      {"truncated UTF-8 sequence", bom8 + replace_marks(defs, "\xE2\x82", "\xF0\x9F\x90"),
       "  TA_B = class", "  // x?y"},
      {"Windows-1252 bytes without a mark", replace_marks(defs, "\xE9\x81", "\x80\x81\x8D\x8F\x90\x9D"),
       "  TA\xE9_B = class", "  // x\x80\x81\x8D\x8F\x90\x9Dy"},
      {"unpaired surrogates in UTF-16LE",
       Utf16(Utf16Units(replace_marks(defs, "#", "#"), 0xD800), false), "  TA_B = class", "  // x?y"},
      {"unpaired surrogates in UTF-16BE",
       Utf16(Utf16Units(replace_marks(defs, "#", "#"), 0xDC00), true), "  TA_B = class", "  // x?y"},
  };
  for (const auto& c : loads) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    WriteBytes(folder.File("doc.json"), c.bytes);
    // The filter cannot name the class portably, so the unit is made without
    // one; the class block follows the line "type".
    const ProgramRun run = RunProgram(folder.Path(), {"doc.json"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines.back(), "Done");
    const std::vector<std::string> unit = SplitUnitLines(ReadBytes(folder.File("doc.pas")));
    ASSERT_GT(unit.size(), 15u);
    EXPECT_EQ(unit[13], c.comment_line);
    EXPECT_EQ(unit[14], c.class_line);
  }
}

TEST(HostileDocumentsTest, TruncatedUtf16Documents) {
  const std::string text = Document(R"({"Pet": {"description": "abc"}})");
  const std::string cut_at = R"("definitions)";
  for (const bool big_endian : {false, true}) {
    const std::string bytes = Utf16(Utf16Units(text), big_endian);
    const size_t key = text.find(cut_at);
    const FailureCase cases[] = {
        {"odd byte inside the document", bytes.substr(0, 2 + 2 * key + 1),
         "EJSONException: Missing a name for object member (line 1, column " + std::to_string(key + 1) + ")"},
        {"cut inside a key", bytes.substr(0, 2 + 2 * (key + 5)),
         "EJSONException: Missing a closing quotation mark in string (line 1, column " +
             std::to_string(key + 6) + ")"},
        {"odd byte after the document", bytes + "x",
         "EJSONException: The document root must not be followed by other values (line 1, column " +
             std::to_string(text.size() + 1) + ")"},
        {"only the byte order mark and one byte", bytes.substr(0, 3),
         "EJSONException: Invalid value (line 1, column 1)"},
    };
    for (const FailureCase& c : cases) {
      SCOPED_TRACE(big_endian ? "UTF-16BE" : "UTF-16LE");
      ExpectFailure(c);
    }
  }
}

// A path that names no regular file is reported as not found, promptly:
// a directory (with or without the final slash) and a named pipe without a
// writer, which must not make the run wait.
TEST(HostileDocumentsTest, PathsThatAreNoFiles) {
  TempFolder folder;
  std::filesystem::create_directory(folder.File("dir.json"));
  ASSERT_EQ(::mkfifo(folder.File("pipe.json").c_str(), 0644), 0);
  for (const std::string name : {"dir.json", "dir.json/", "pipe.json"}) {
    SCOPED_TRACE(name);
    const ProgramRun run = RunProgram(folder.Path(), {name}, 20);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.lines, std::vector<std::string>{"File " + name + " not found"});
    EXPECT_EQ(run.status, 1);
  }
  EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"dir.json", "pipe.json"}));
}

// A file without read permission. Root reads it anyway, so then the run
// happens in a child that has become the user nobody.
TEST(HostileDocumentsTest, UnreadableFile) {
  TempFolder folder;
  const std::string path = folder.File("locked.json");
  WriteBytes(path, Document("{}"));
  ASSERT_EQ(::chmod(path.c_str(), 0), 0);
  ASSERT_EQ(::chmod(folder.Path().c_str(), 0755), 0);

  int channel[2];
  ASSERT_EQ(::pipe(channel), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(channel[0]);
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(77);
    if (::access(path.c_str(), R_OK) == 0) ::_exit(77);
    std::string output;
    const int status = RunCommandLine({path}, [&](const std::string& ALine) { output += ALine + "\n"; });
    if (::write(channel[1], output.data(), output.size()) < 0) ::_exit(78);
    ::_exit(status);
  }
  ::close(channel[1]);
  std::string output;
  char buffer[4096];
  ssize_t count;
  while ((count = ::read(channel[0], buffer, sizeof buffer)) > 0) output.append(buffer, size_t(count));
  ::close(channel[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot run as a user who lacks read permission";
  EXPECT_EQ(output, "Reading " + path + "\nEInOutError: Datei " + path +
                        " kann nicht geöffnet werden. Permission denied\n");
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"locked.json"});
}

// Definitions that reference each other in one cycle of 10,000: the run ends
// promptly, every class is declared once, and every class a field uses is
// declared or declared forward before it.
TEST(HostileDocumentsTest, CycleOf10000Definitions) {
  constexpr int kCount = 10000;
  const struct {
    std::string name;
    std::string property;  // %d is the referenced class
  } shapes[] = {
      {"each refers to the next", R"({"next": {"$ref": "#/definitions/D%d"}})"},
      {"each holds an array of the next",
       R"({"next": {"type": "array", "items": {"$ref": "#/definitions/D%d"}}})"},
  };
  for (const auto& shape : shapes) {
    SCOPED_TRACE(shape.name);
    std::string definitions = "{";
    for (int i = 0; i < kCount; ++i) {
      std::string property = shape.property;
      property.replace(property.find("%d"), 2, std::to_string((i + 1) % kCount));
      definitions += (i ? ", \"D" : "\"D") + std::to_string(i) + "\": {\"properties\": " + property + "}";
    }
    TempFolder folder;
    WriteBytes(folder.File("doc.json"), Document(definitions + "}"));
    const ProgramRun run = RunProgram(folder.Path(), {"doc.json"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines.back(), "Done");
    EXPECT_EQ(run.lines.size(), 4u + kCount + 3);  // the scheme default, writing, done

    std::set<std::string> known;  // declared or declared forward so far
    std::map<std::string, int> declared;
    for (const std::string& line : ReadUnitLines(folder.File("doc.pas"))) {
      if (line.starts_with("  TD") && line.ends_with(" = class;")) {
        known.insert(line.substr(2, line.size() - 11));
      } else if (line.starts_with("  TD") && line.ends_with(" = class")) {
        known.insert(line.substr(2, line.size() - 10));
        ++declared[line.substr(2, line.size() - 10)];
      } else if (line.starts_with("    Fnext : ")) {
        std::string type = line.substr(12, line.size() - 13);
        if (type.starts_with("TArray<")) type = type.substr(7, type.size() - 8);
        EXPECT_TRUE(known.count(type)) << type << " used before its declaration";
      }
    }
    EXPECT_EQ(declared.size(), size_t(kCount));
    for (const auto& [name, count] : declared) EXPECT_EQ(count, 1) << name;
  }
}

// Names made only of blanks and slashes become empty identifiers: the class
// "T", the field "F", the property without a name, the unit name empty.
TEST(HostileDocumentsTest, NamesOfBlanksAndSlashes) {
  const std::string document =
      R"({"swagger": "2.0", "basePath": "/ /", "paths": {"/ /": {"get": {"operationId": " / ", "responses": {}}}},)"
      R"( "securityDefinitions": {" / ": {"type": "basic"}}, "definitions": {"  / /  ": {"properties":)"
      R"( {" / ": {"type": "string"}, "/": {"$ref": "#/definitions/  / /  "}}}, " ": {}}})";
  TempFolder folder;
  WriteBytes(folder.File("  .json"), document);

  const ProgramRun filtered = RunProgram(folder.Path(), {"  .json", "-c:  / /  "});
  EXPECT_EQ(filtered.lines, FilteredRunLines("  .json", ".pas", {"class:   / /   processed", "class:   skipped"}, true));
  EXPECT_EQ(filtered.status, 0);
  EXPECT_EQ(ReadUnitLines(folder.File(".pas")),
            FilteredUnit("", {"", "  T = class", "  private", "    F : string;", "    F : T__;", "  public",
                              "    destructor Destroy; override;", "    property  : string read F write F;",
                              "    property  : T__ read F write F;", "  end;"},
                         {"", "{ T }", "", "destructor T.Destroy;", "begin", "  if Assigned(F) then",
                          "    F.Free;", "  inherited;", "end;"}));

  const ProgramRun plain = RunProgram(folder.Path(), {"  .json"});
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(plain.lines.back(), "Done");
  const std::vector<std::string> unit = ReadUnitLines(folder.File(".pas"));
  for (const std::string& line : {"  T = class"s, "    procedure ;"s, "procedure T.;"s,
                                  "  Client           := TRestClient.Create('http:/// /');"s,
                                  "    Request.Resource := '/ /';"s}) {
    EXPECT_NE(std::find(unit.begin(), unit.end(), line), unit.end()) << line;
  }
  EXPECT_EQ(std::count(unit.begin(), unit.end(), "  T = class"), 3);
  EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"  .json", ".pas"}));
}

// The unit's path is taken by a directory: the write fails after the whole
// unit was built, the directory stays as it was and no temporary file is
// left beside it.
TEST(HostileDocumentsTest, OutputPathIsADirectory) {
  TempFolder folder;
  WriteBytes(folder.File("api.json"), Document(R"({"Pet": {}})"));
  std::filesystem::create_directory(folder.File("api.pas"));
  WriteBytes(folder.File("api.pas/keep"), "x");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"api.json", "-c:Pet"}, std::vector<std::string>{"api.json"}}) {
    const ProgramRun run = RunProgram(folder.Path(), args);
    std::vector<std::string> expected = {"Reading api.json", "Processing api.json", "Checking  references",
                                         "Creating source unit api.pas", "class: Pet processed"};
    if (args.size() == 1) expected.push_back("Missing scheme, using http as default");
    expected.push_back(args.size() == 1 ? "Writing source file" : "Nothing to write");
    expected.push_back("EFCreateError: Datei \"" + folder.File("api.pas") +
                       "\" kann nicht erstellt werden. Is a directory");
    EXPECT_EQ(run.lines, expected);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"api.json", "api.pas"}));
    EXPECT_EQ(FolderEntries(folder.File("api.pas")), std::vector<std::string>{"keep"});
  }
}

}  // namespace
}  // namespace tolvane::testing
