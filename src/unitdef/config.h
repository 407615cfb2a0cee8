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
  // Set by the switch --compilable: the document is read into the API model
  // and the unit built from it (api_unit.h), serving every operation and
  // compiling. Off, the unit model is resolved by the plain rule.
  bool Compilable = false;
};

}  // namespace tolvane
