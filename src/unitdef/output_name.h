#pragma once

// Where the unit goes and what it is called.

#include <string>

namespace tolvane {

// The directory part of the argument as given (up to and including its last
// "/") and the file name made from the file-name part.
struct TOutputName {
  std::string Directory;
  std::string FileName;  // "pet_store2.pas"
  std::string Path() const { return Directory + FileName; }
  std::string UnitName() const;  // FileName without ".pas"
};

// The plain rule: the document's file name with the extension ".pas", made
// an identifier (blanks and "/" removed, "-" as "_", "$" as "S").
TOutputName MakeOutputName(const std::string& AName);

}  // namespace tolvane
