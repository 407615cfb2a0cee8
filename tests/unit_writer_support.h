#pragma once

// Test support for the unit writer: a temporary folder, reading a unit back
// as lines with the time stamp of its header masked, and the one in-process
// run "document text and options in, unit lines out".

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "main/command_line.h"
#include "unitdef/version.h"

namespace tolvane::testing {

// A fresh folder under the system's temporary directory, removed with
// everything in it when the object goes out of scope.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvane-unit-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// The lines of a unit's bytes, split at CR LF. The bytes must end with CR LF;
// otherwise the last element is "<no final CR LF>" so that comparisons fail.
inline std::vector<std::string> SplitUnitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      lines.push_back("<no final CR LF>");
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The header's second line with its date and time replaced by a fixed mask,
// once it has been checked to have the "yyyy-mm-dd hh:nn:ss" shape.
inline std::vector<std::string> MaskTimeStamp(std::vector<std::string> lines) {
  static const std::string kPrefix = "  Created by Tolvane v" + std::string(kProgramVersion) + " ";
  if (lines.size() < 2 || lines[1].rfind(kPrefix, 0) != 0) return lines;
  const std::string stamp = lines[1].substr(kPrefix.size());
  bool shaped = stamp.size() == 19;
  for (size_t i = 0; shaped && i < stamp.size(); ++i) {
    const char c = stamp[i];
    if (i == 4 || i == 7) {
      shaped = c == '-';
    } else if (i == 10) {
      shaped = c == ' ';
    } else if (i == 13 || i == 16) {
      shaped = c == ':';
    } else {
      shaped = c >= '0' && c <= '9';
    }
  }
  if (shaped) lines[1] = kPrefix + "<time>";
  return lines;
}

// The header's masked second line.
inline std::string HeaderLine() { return "  Created by Tolvane v" + std::string(kProgramVersion) + " <time>"; }

inline std::vector<std::string> ReadUnitLines(const std::string& path) {
  return MaskTimeStamp(SplitUnitLines(ReadBytes(path)));
}

// The 17 lines of a unit without any class or client section, named after
// AUnitName; the time stamp masked.
inline std::vector<std::string> EmptyUnitLines(const std::string& AUnitName) {
  return {"(*", HeaderLine(), "*)", "", "unit " + AUnitName + ";", "",
          "interface", "", "uses", "  System.JSON;", "", "type", "", "implementation", "", "",
          "end."};
}

// The unit that converting the Pet document with the class filter Pet
// writes (Pet: category, name, tags), the time stamp masked as "<time>".
inline std::vector<std::string> PetWithClassFilterUnit() {
  return {
      "(*",
      HeaderLine(),
      "*)",
      "",
      "unit petstore;",
      "",
      "interface",
      "",
      "uses",
      "  System.JSON;",
      "",
      "type",
      "",
      "  TPet = class",
      "  private",
      "    Fcategory : TCategory;",
      "    Fname : string;",
      "    Ftags : TArray<TTag>;",
      "  public",
      "    destructor Destroy; override;",
      "    property category : TCategory read Fcategory write Fcategory;",
      "    property &name : string read Fname write Fname;",
      "    property tags : TArray<TTag> read Ftags write Ftags;",
      "  end;",
      "",
      "implementation",
      "",
      "",
      "{ TPet }",
      "",
      "destructor TPet.Destroy;",
      "var",
      "  T : TObject;",
      "begin",
      "  if Assigned(Fcategory) then",
      "    Fcategory.Free;",
      "  for T in Ftags do",
      "    T.Free;",
      "  inherited;",
      "end;",
      "",
      "end.",
  };
}

// What one in-process run of the program printed and wrote.
struct TUnitRun {
  int Status = -1;
  std::vector<std::string> Output;  // the printed lines
  bool Written = false;             // a unit was written
  std::vector<std::string> Lines;   // its lines, time stamp masked
};

// Writes ADocument as AFileName into a fresh folder and runs the command
// line on it in this process, with AOptions after the document ("-c:Pet",
// "--compilable"). The folder's paths in the output read "<dir>/".
inline TUnitRun ConvertText(const std::string& ADocument, const std::vector<std::string>& AOptions = {},
                            const std::string& AFileName = "api.json") {
  TempFolder folder;
  WriteBytes(folder.File(AFileName), ADocument);
  std::vector<std::string> args = {folder.File(AFileName)};
  args.insert(args.end(), AOptions.begin(), AOptions.end());
  TUnitRun run;
  const std::string prefix = folder.Path() + "/";
  run.Status = RunCommandLine(args, [&](const std::string& ALine) {
    std::string line = ALine;
    for (size_t at = line.find(prefix); at != std::string::npos; at = line.find(prefix, at)) {
      line.replace(at, prefix.size(), "<dir>/");
    }
    run.Output.push_back(std::move(line));
  });
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
    if (entry.path().extension() != ".pas") continue;
    run.Written = true;
    run.Lines = ReadUnitLines(entry.path().string());
  }
  return run;
}

// A document with the given members of "definitions" and nothing to serve.
inline std::string DefinitionsDocument(const std::string& ADefinitions) {
  return R"({"swagger": "2.0", "paths": {}, "securityDefinitions": {}, "definitions": {)" + ADefinitions + "}}";
}

// The lines from the first one equal to AFirst up to the next one equal to
// ALast, both included; empty when there is no such first line.
inline std::vector<std::string> LinesBetween(const std::vector<std::string>& ALines, const std::string& AFirst,
                                             const std::string& ALast) {
  size_t i = 0;
  while (i < ALines.size() && ALines[i] != AFirst) ++i;
  std::vector<std::string> lines;
  for (; i < ALines.size(); ++i) {
    lines.push_back(ALines[i]);
    if (lines.size() > 1 && ALines[i] == ALast) break;
  }
  return lines;
}

// The type section of a unit without client: the lines after "type" up to
// the blank line before "implementation".
inline std::vector<std::string> TypeSection(const std::vector<std::string>& ALines) {
  std::vector<std::string> lines;
  size_t i = 0;
  while (i < ALines.size() && ALines[i] != "type") ++i;
  for (++i; i + 1 < ALines.size() && ALines[i + 1] != "implementation"; ++i) lines.push_back(ALines[i]);
  return lines;
}

// The implementation section: the lines after "implementation" and its blank
// line up to the blank line before "end.".
inline std::vector<std::string> ImplementationSection(const std::vector<std::string>& ALines) {
  std::vector<std::string> lines;
  size_t i = 0;
  while (i < ALines.size() && ALines[i] != "implementation") ++i;
  for (i += 2; i + 1 < ALines.size() && ALines[i + 1] != "end."; ++i) lines.push_back(ALines[i]);
  return lines;
}

}  // namespace tolvane::testing
