#pragma once

#include <string>

namespace tolvane {

// Generator settings. The converter sets WriteOperations (true exactly when
// no class filter is given); UseVersion and DateHandling keep their initial
// values and nothing in the output depends on them.
struct TConfig {
  bool WriteOperations = false;
  std::string UseVersion;
  bool DateHandling = false;
  // Names and type texts taken from the document are cleaned of characters
  // that could break out of an identifier when they are written. Only tests
  // turn it off, to show that a plain document's unit does not change.
  bool SanitizeNames = true;
  // Set by the switch --compilable: every line that would not compile is
  // written so that it does (names made unique identifiers, unknown types
  // written as TJSONValue, values converted, Delphi's length limits kept).
  // Off, the unit is written exactly as without it.
  bool Compilable = false;
};

}  // namespace tolvane
