#pragma once

// Turns one document file into one unit.

#include <memory>
#include <optional>
#include <string>

#include "platform/console.h"
#include "swagger/json_tree.h"
#include "swagger/swagger_classes.h"

namespace tolvane {

class TUnitDefinition;

// Everything a conversion does before the hand-over: reads and decodes the
// file, parses it, builds the tree by the filling rule, checks the version
// and runs the paths, security definitions and definitions passes. Throws
// the failure that ended the loading.
std::unique_ptr<TSwagger> LoadSwagger(const std::string& AFileName);
// The same on a document that is already decoded (UTF-8).
std::unique_ptr<TSwagger> LoadSwaggerText(std::string AText);

// One entry of "definitions": the definition filled by the filling rule,
// named AName, with one property per member of AProperties when that (the
// entry's first "properties" member) is an object.
std::unique_ptr<TDefinition> ReadDefinition(const JsonValue& ADefinition, std::string_view AName,
                                            std::optional<JsonValue> AProperties);

// Hands what the unit needs from the loaded tree to the unit model: the log
// callback, names, host, base path, schemes, a reference to the paths, the
// security definitions (borrowed) and one class per definition. The
// definitions are taken over (their texts copied into the classes) and
// freed one by one, so the unit model grows into the room they leave;
// ASwagger is left without definitions.
void HandOver(TSwagger& ASwagger, TUnitDefinition& AUnit, const std::string& AFileName,
              const std::string& AClassnameFilter, const TLogProc& ALogProcedure);

class TSwaggerConverter {
 public:
  // AWriteLine receives every line the run prints ("Reading ...", progress);
  // the command line passes WriteConsoleLine.
  explicit TSwaggerConverter(TLogProc AWriteLine = WriteConsoleLine);
  ~TSwaggerConverter();

  void SetClassnameFilter(const std::string& AFilter) { FClassnameFilter = AFilter; }
  // Stores the path and runs the whole conversion; throws the failure that
  // ended it.
  void SetFileName(const std::string& AFileName);

  TUnitDefinition& UnitDefinition() { return *FUnitDefinition; }

 private:
  void Convert();

  std::string FFileName;
  std::unique_ptr<TUnitDefinition> FUnitDefinition;
  std::string FClassnameFilter;
  TLogProc FWriteLine;
};

}  // namespace tolvane
