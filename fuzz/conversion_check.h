#pragma once

// What every fuzz target checks on one document: the whole conversion runs
// in-process through RunCommandLine, first without and then with a class
// filter, in a fresh temporary folder. Whatever the bytes, a run must end
// with either a unit and exit status 0, or exactly one failure line, no new
// unit and exit status 1; a failed run leaves an existing unit byte for byte
// as it was; and nothing but the document and the unit is left in the folder.
// With --compilable, a document whose text parses to an object root with
// "swagger": "2.0" always gives a unit (with a filter, unless no definition
// has its name); any other document fails while it is read. A broken
// invariant aborts, so libFuzzer reports it like a crash.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "main/command_line.h"
#include "swagger/json_to_object.h"
#include "swagger/yaml_tree.h"

namespace tolvane::fuzzing {

[[noreturn]] inline void Fail(const std::string& AWhat, const std::vector<std::string>& ALines) {
  std::fprintf(stderr, "broken invariant: %s\nlines printed:\n", AWhat.c_str());
  for (const std::string& line : ALines) std::fprintf(stderr, "  [%s]\n", line.c_str());
  std::abort();
}

// The unit's text cannot be steered by the document: every line ends with
// CR LF and holds no other CR or LF (comments are split, literals carry
// #13#10, identifiers are cleaned), and the lines that frame the unit occur
// once each, "end." only as the last line.
inline const char* UnitShapeFault(const std::string& AUnit) {
  if (!AUnit.starts_with("(*\r\n") || !AUnit.ends_with("\r\n\r\nend.\r\n")) {
    return "the unit does not start with (* or end with end.";
  }
  int interface_lines = 0, implementation_lines = 0, end_lines = 0;
  size_t start = 0;
  while (start < AUnit.size()) {
    const size_t end = AUnit.find("\r\n", start);
    if (end == std::string::npos) return "the last line has no CR LF";
    const std::string_view line(AUnit.data() + start, end - start);
    if (line.find_first_of("\r\n") != std::string_view::npos) return "a line holds a CR or LF";
    interface_lines += line == "interface";
    implementation_lines += line == "implementation";
    end_lines += line == "end.";
    start = end + 2;
  }
  if (interface_lines != 1 || implementation_lines != 1 || end_lines != 1) {
    return "interface, implementation or end. is not written exactly once";
  }
  return nullptr;
}

// The progress lines a conversion may print before it ends; every other line
// is a failure line.
inline bool IsProgressLine(std::string_view ALine) {
  static constexpr std::string_view kExact[] = {"Checking  references",
                                                "Missing scheme, using http as default",
                                                "Writing source file", "Nothing to write", "Done"};
  static constexpr std::string_view kPrefixes[] = {"Reading ", "Processing ",
                                                   "Creating source unit ", "class: ",
                                                   "Duplicate Current: ", "Skipped ",
                                                   "Read ", "Unresolved "};
  for (std::string_view exact : kExact) {
    if (ALine == exact) return true;
  }
  for (std::string_view prefix : kPrefixes) {
    if (ALine.substr(0, prefix.size()) == prefix) return true;
  }
  return false;
}

// A failure line: "EClassName: message" or "Exception: message".
inline bool IsFailureLine(std::string_view ALine) {
  static constexpr std::string_view kClasses[] = {
      "Exception: ",          "EConversionError: ", "EInvalidCast: ",
      "EJSONException: ",     "EYAMLException: ",   "EArgumentOutOfRangeException: ",
      "EInOutError: ",        "EFCreateError: ",    "EOutOfMemory: "};
  for (std::string_view name : kClasses) {
    if (ALine.substr(0, name.size()) == name) return true;
  }
  return false;
}

inline bool ReadWhole(const std::string& APath, std::string& ABytes) {
  const int fd = ::open(APath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  ABytes.clear();
  char buffer[65536];
  ssize_t count;
  while ((count = ::read(fd, buffer, sizeof buffer)) > 0) ABytes.append(buffer, size_t(count));
  ::close(fd);
  return count == 0;
}

inline bool WriteWhole(const std::string& APath, std::string_view ABytes) {
  const int fd = ::open(APath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = true;
  while (ok && !ABytes.empty()) {
    const ssize_t written = ::write(fd, ABytes.data(), ABytes.size());
    ok = written > 0;
    if (ok) ABytes.remove_prefix(size_t(written));
  }
  return ::close(fd) == 0 && ok;
}

inline std::vector<std::string> FolderEntries(const std::string& AFolder) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(AFolder.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
  }
  return names;
}

// A fresh folder, on a memory file system when there is one: the unit is
// written with fsync, which would otherwise dominate the run time.
class ScratchFolder {
 public:
  ScratchFolder() {
    const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/tolvane-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) Fail("cannot create a temporary folder", {});
    path_ = pattern;
  }
  ~ScratchFolder() {
    for (const std::string& name : FolderEntries(path_)) ::unlink((path_ + "/" + name).c_str());
    ::rmdir(path_.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

struct RunResult {
  int status = -1;
  std::vector<std::string> lines;
  bool written = false;
  std::string unit;

  // A loading failure ends the run before the unit model prints anything.
  bool FailedLoading() const { return status == 1 && lines.size() == 2; }
  bool Processed(const std::string& AClass) const {
    for (const std::string& line : lines) {
      if (line == "class: " + AClass + " processed") return true;
    }
    return false;
  }
};

// Delphi reads at most 1023 characters per line; a unit made with
// --compilable keeps to it (Windows-1252: one byte per character).
inline bool HasOverlongLine(const std::string& AUnit) {
  size_t start = 0;
  while (start < AUnit.size()) {
    size_t end = AUnit.find("\r\n", start);
    if (end == std::string::npos) end = AUnit.size();
    if (end - start > 1023) return true;
    start = end + 2;
  }
  return false;
}

// One run on the document at ADocumentPath; checks the lines, the status
// and the folder. AOnDisk is the unit in the folder before the run (written
// is false when there is none); returns what the run printed and left.
inline RunResult RunAndCheck(const ScratchFolder& AFolder, const std::string& ADocumentPath,
                             const std::string& ADocument, const std::vector<std::string>& AArgs,
                             const RunResult& AOnDisk, bool ACompilable) {
  RunResult run;
  run.status = RunCommandLine(AArgs, [&run](const std::string& ALine) { run.lines.push_back(ALine); });
  const std::vector<std::string>& lines = run.lines;
  const std::string unit_path = AFolder.Path() + "/doc.pas";
  run.written = ReadWhole(unit_path, run.unit);

  if (lines.empty() || lines.front() != "Reading " + ADocumentPath) Fail("no Reading line first", lines);
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    if (!IsProgressLine(lines[i])) Fail("a line before the last is not a progress line", lines);
  }
  const std::string& last = lines.back();
  if (run.status == 0) {
    if (last != "Done") Fail("status 0 without Done as the last line", lines);
    if (!run.written) Fail("status 0 without a unit", lines);
    if (const char* fault = UnitShapeFault(run.unit)) Fail(fault, lines);
    if (ACompilable && HasOverlongLine(run.unit)) Fail("a line longer than 1023 characters", lines);
  } else if (run.status == 1) {
    if (!IsFailureLine(last)) Fail("status 1 without a failure line last", lines);
    if (lines.size() > 1 && IsFailureLine(lines[lines.size() - 2])) Fail("two failure lines", lines);
    if (run.written != AOnDisk.written || run.unit != AOnDisk.unit) {
      Fail("a failed run changed what was on disk", lines);
    }
  } else {
    Fail("exit status " + std::to_string(run.status), lines);
  }

  std::string document;
  if (!ReadWhole(ADocumentPath, document) || document != ADocument) Fail("the document changed", lines);
  const std::string document_name = ADocumentPath.substr(ADocumentPath.rfind('/') + 1);
  for (const std::string& name : FolderEntries(AFolder.Path())) {
    if (name != document_name && !(name == "doc.pas" && run.written)) {
      Fail("file left in the folder: " + name, lines);
    }
  }
  return run;
}

// What the document's text is, as the readers take it.
enum class TextKind { NoTree, NotSwagger2, Swagger2 };

inline TextKind KindOfText(const std::string& APath) {
  try {
    const JsonTree tree = ParseDocumentFile(APath);
    const JsonValue root = tree.Root();
    if (!root.IsObject()) return TextKind::NotSwagger2;
    // The last "swagger" member decides, its key matched ignoring case.
    std::string version;
    for (const JsonMember member : root.Members()) {
      if (!KeyNamesField(member.key, "swagger")) continue;
      const JsonKind kind = member.value().Kind();
      version = kind == JsonKind::String || kind == JsonKind::Number ? std::string(member.value().Text()) : "";
    }
    return version == "2.0" ? TextKind::Swagger2 : TextKind::NotSwagger2;
  } catch (...) {
    return TextKind::NoTree;
  }
}

// Converts ADocument, written as AFileName ("doc.json", "doc.yaml"), four
// times in one folder, each run over the unit that the runs before it left:
// without a filter, with AFilter, and the same two with --compilable (placed
// first, where it is not the document). Returns the run without a filter.
inline RunResult CheckConversion(std::string_view ADocument, const std::string& AFilter,
                                 const std::string& AFileName = "doc.json") {
  ScratchFolder folder;
  const std::string path = folder.Path() + "/" + AFileName;
  const std::string document(ADocument);
  if (!WriteWhole(path, document)) Fail("cannot write the document", {});
  const std::string filter = "-c:" + AFilter;
  const TextKind kind = KindOfText(path);

  RunResult on_disk;
  const auto run = [&](const std::vector<std::string>& AArgs, bool ACompilable) {
    RunResult result = RunAndCheck(folder, path, document, AArgs, on_disk, ACompilable);
    if (result.status == 0) on_disk = result;
    return result;
  };
  const RunResult plain = run({path}, false);
  const RunResult filtered = run({path, filter}, false);
  const RunResult compilable = run({"--compilable", path}, true);
  const RunResult compilable_filtered = run({"--compilable", path, filter}, true);

  // Loading does not depend on the class filter: a loading failure is the
  // same two lines in both runs, and a document that loads once loads always.
  if (plain.FailedLoading() != filtered.FailedLoading() ||
      (plain.FailedLoading() && plain.lines != filtered.lines)) {
    Fail("loading differs between the runs", filtered.lines);
  }
  // Writing with a filter does less than without one.
  if (plain.status == 0 && filtered.status != 0) {
    Fail("converts without the filter but not with it", filtered.lines);
  }

  if (kind == TextKind::NoTree) {
    // A text that does not parse fails in every run with the same line.
    for (const RunResult* other : {&compilable, &compilable_filtered}) {
      if (!plain.FailedLoading() || other->lines != plain.lines) {
        Fail("a text that does not parse fails otherwise with --compilable", other->lines);
      }
    }
    return plain;
  }
  if (kind == TextKind::NotSwagger2) {
    for (const RunResult* other : {&compilable, &compilable_filtered}) {
      if (!other->FailedLoading()) Fail("--compilable read a document that is not Swagger 2.0", other->lines);
    }
    return plain;
  }
  // --compilable writes every Swagger 2.0 document; with a filter it fails
  // exactly when no definition has the filter's name.
  if (compilable.status != 0) Fail("--compilable failed on a Swagger 2.0 document", compilable.lines);
  const bool class_found = AFilter.empty() || compilable.Processed(AFilter);
  if ((compilable_filtered.status == 0) != class_found) {
    Fail("--compilable with the filter fails other than when no class has its name",
         compilable_filtered.lines);
  }
  if (compilable_filtered.status != 0 && !compilable_filtered.lines.back().starts_with("Exception: Class ")) {
    Fail("--compilable with the filter failed other than with Class ... not found",
         compilable_filtered.lines);
  }
  return plain;
}

}  // namespace tolvane::fuzzing
