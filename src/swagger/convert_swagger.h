#pragma once

// Turns one document file into one unit.

#include <memory>
#include <string>

#include "platform/console.h"

namespace tolvane {

class TUnitDefinition;

class TSwaggerConverter {
 public:
  // AWriteLine receives every line the run prints ("Reading ...", progress);
  // the command line passes WriteConsoleLine.
  explicit TSwaggerConverter(TLogProc AWriteLine = WriteConsoleLine);
  ~TSwaggerConverter();

  const std::string& ClassnameFilter() const { return FClassnameFilter; }
  void SetClassnameFilter(const std::string& AFilter) { FClassnameFilter = AFilter; }
  const std::string& FileName() const { return FFileName; }
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
