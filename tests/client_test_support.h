#pragma once

// Converts a small document in process and picks texts out of the unit it
// writes: the client class declaration and whole method implementations.

#include <string>
#include <vector>

#include "unit_writer_support.h"

namespace tolvane::testing {

struct TClientRun {
  std::string Output;               // the printed lines, each ended with "\n"
  std::string Errors;               // standard error; in process always empty
  bool Written = false;             // the unit exists
  std::vector<std::string> Lines;   // the unit's lines, time stamp masked
};

// Converts ADocument, saved as AFileName, in this process.
inline TClientRun RunTolvane(const std::string& ADocument, const std::string& AFileName = "api.json") {
  const TUnitRun unit = ConvertText(ADocument, {}, AFileName);
  TClientRun run;
  for (const std::string& line : unit.Output) run.Output += line + "\n";
  run.Written = unit.Written;
  run.Lines = unit.Lines;
  return run;
}

// A document with the host "h", the basePath "/api" and the scheme https
// unless AHead says otherwise; APaths and ASecurity are JSON objects.
inline std::string ClientDocument(const std::string& APaths, const std::string& ASecurity = "{}",
                                  const std::string& AHead =
                                      R"("host": "h", "basePath": "/api", "schemes": ["https"],)") {
  return R"({"swagger": "2.0", )" + AHead + R"( "paths": )" + APaths +
         R"(, "securityDefinitions": )" + ASecurity + R"(, "definitions": {}})";
}

// The lines from the one starting with AHeading up to the next line AEnd,
// both included, joined with "\n"; empty when there is no such heading.
inline std::string TextFrom(const std::vector<std::string>& ALines, const std::string& AHeading,
                            const std::string& AEnd) {
  std::string text;
  size_t i = 0;
  while (i < ALines.size() && ALines[i].rfind(AHeading, 0) != 0) ++i;
  for (; i < ALines.size(); ++i) {
    text += ALines[i] + "\n";
    if (ALines[i] == AEnd) break;
  }
  return text;
}

// A whole method implementation, from its heading to its "end;".
inline std::string MethodText(const std::vector<std::string>& ALines, const std::string& AHeading) {
  return TextFrom(ALines, AHeading, "end;");
}

// The client class declaration, from its class line to its "  end;".
inline std::string ClientClassText(const std::vector<std::string>& ALines,
                                   const std::string& AClassName = "Tapi") {
  return TextFrom(ALines, "  " + AClassName + " = class", "  end;");
}

}  // namespace tolvane::testing
