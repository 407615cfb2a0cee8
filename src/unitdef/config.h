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
  // Set by the switch --compilable: the unit is resolved by the rule that
  // writes every line so that it compiles (names made unique identifiers,
  // unknown types written as TJSONValue, values converted, Delphi's length
  // limits kept). Off, by the plain rule.
  bool Compilable = false;
};

}  // namespace tolvane
