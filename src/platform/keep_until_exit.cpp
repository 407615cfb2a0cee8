#include "platform/keep_until_exit.h"

#include <vector>

namespace tolvane {
namespace {

bool kept = false;

// Never freed: the objects in it live as long as the process.
std::vector<void*>& KeptObjects() {
  static std::vector<void*>* const objects = new std::vector<void*>();
  return *objects;
}

}  // namespace

void KeepDiscardedUntilExit() { kept = true; }

bool DiscardedAreKept() { return kept; }

void KeepUntilExit(void* AObject) { KeptObjects().push_back(AObject); }

}  // namespace tolvane
