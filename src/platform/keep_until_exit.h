#pragma once

// A run of the program ends with its process, and the system takes back all
// of its memory at once. Freeing a large model object by object before that
// costs up to a tenth of the run, so the program's main asks for the models
// to be kept to the end instead. Everywhere else (tests, benchmarks, other
// callers of the library) they are freed as usual.

#include <memory>

namespace tolvane {

// From now on, Discard keeps what it is given until the process ends.
void KeepDiscardedUntilExit();
bool DiscardedAreKept();
// Keeps AObject, never destroyed, in a list that stays reachable, so leak
// checkers do not report it.
void KeepUntilExit(void* AObject);

// Destroys AObject now, or keeps it to the end of the process once the
// program has asked for that.
template <typename T>
void Discard(std::unique_ptr<T> AObject) {
  if (AObject != nullptr && DiscardedAreKept()) KeepUntilExit(AObject.release());
}

}  // namespace tolvane
