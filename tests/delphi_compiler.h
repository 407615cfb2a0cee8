// Compiles a Delphi unit with Free Pascal for GoogleTest tests, through
// scripts/compile_unit.sh: fpc in Delphi mode against the stand-in library
// units of tests/delphi, plus the Delphi line and literal length checks and
// the check of the JSONName attributes, which the script removes before fpc
// compiles the unit.
//
//   SKIP_WITHOUT_FPC();
//   const auto result = tolvane::delphi::CompileUnit(dir / "petstore.pas");
//   EXPECT_TRUE(result.compiled) << result.diagnostics;
//
// Needs the compile definition TOLVANE_SOURCE_DIR (the project's root), which
// the test build sets.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#ifndef TOLVANE_SOURCE_DIR
#error "TOLVANE_SOURCE_DIR must name the project's root folder"
#endif

namespace tolvane::delphi {

struct CompileResult {
  bool compiled = false;     // fpc compiled the unit; the length and attribute checks passed
  std::string diagnostics;   // the script's output: limit failures, fpc's errors, warnings, notes
};

inline std::filesystem::path CompileScript() {
  return std::filesystem::path(TOLVANE_SOURCE_DIR) / "scripts" / "compile_unit.sh";
}

// Whether fpc can be run here; the answer is worked out once per process.
inline bool FpcAvailable() {
  static const bool available = std::system("command -v fpc >/dev/null 2>&1") == 0;
  return available;
}

// Skips the running GoogleTest test where fpc cannot be run.
#define SKIP_WITHOUT_FPC() \
  if (!::tolvane::delphi::FpcAvailable()) GTEST_SKIP() << "fpc (Debian package fpc) is not installed"

// The text in single quotes for the shell, inner single quotes escaped.
inline std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// Compiles the unit at the given path; the unit's name must match its file
// name, as Delphi and fpc require. Nothing is written beside the unit.
inline CompileResult CompileUnit(const std::filesystem::path& unit) {
  const std::string command = "bash " + ShellQuoted(CompileScript().string()) + " " +
                              ShellQuoted(unit.string()) + " 2>&1";
  CompileResult result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    result.diagnostics = "cannot run " + command;
    return result;
  }
  char buffer[4096];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
    result.diagnostics.append(buffer, count);
  }
  const int status = ::pclose(pipe);
  result.compiled = status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return result;
}

}  // namespace tolvane::delphi
