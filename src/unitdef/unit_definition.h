#pragma once

// The model of the one unit a run produces, and Save, which resolves it by
// the run's rule and writes it.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"
#include "platform/debug_trace.h"
#include "unitdef/config.h"
#include "unitdef/object_definition.h"
#include "unitdef/output_name.h"
#include "unitdef/resolved_unit.h"

namespace tolvane {

struct TPaths;
struct TSecurityDefinition;

class TUnitDefinition {
 public:
  TUnitDefinition();
  ~TUnitDefinition();
  TUnitDefinition(const TUnitDefinition&) = delete;
  TUnitDefinition& operator=(const TUnitDefinition&) = delete;

  TObjectDefinition* AddObject(std::string AName, std::string AType);
  // Renames duplicates, orders the classes, resolves the unit by the plain
  // rule (which uses the classes up), writes its lines and saves them once.
  void Save();

  void Log(const std::string& AMessage) const;
  // Replaces each "%s" of AFormat with the next argument.
  void LogFmt(std::string_view AFormat, std::initializer_list<std::string_view> AArgs) const;

  // The two passes that prepare the class list (duplicate_names.cpp,
  // class_order.cpp).
  void MakeNamesUnique();
  void ResolveDependencies();

  // Properties; each reads and writes its field directly.
  TLogProc FLogProcedure;
  // Where the ordering pass writes its trace lines; none by default.
  TTraceProc FTraceProcedure;
  std::string FClassnameFilter;
  std::string FName;
  std::string FHost;
  std::string FBasePath;
  TObjectDefinitionList FObjects;
  const TPaths* FPaths = nullptr;  // borrowed from the loaded document
  std::vector<std::string> FSchemes;
  std::vector<const TSecurityDefinition*> FSecurityDefinitions;  // items borrowed
  TConfig FConfig;
  // Filled by ResolveDependencies: the classes that a class declared before
  // them refers to (possible only inside reference cycles), in declaration
  // order.
  std::vector<const TObjectDefinition*> FForwardDeclarations;
};

// Writes the unit's lines (fitted to Delphi's limits when the unit says so),
// logs "Writing source file" (or "Nothing to write" for a unit of a few
// lines), replaces the file at once and logs "Done". The resolved unit is
// released before the file is written.
void SaveResolvedUnit(TResolvedUnit AUnit, const TLogProc& ALog);

}  // namespace tolvane
