#pragma once

// Direct, slow transcriptions of the renaming pass and of the ordering loop:
// IndexOfName over the whole list for every class, and a rescan of the list
// after each position for every reference. Tests hold the real passes
// against them.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "unitdef/object_definition.h"
#include "unitdef/delphi_type.h"
#include "unitdef/duplicate_names.h"
#include "unitdef/type_mapping.h"

namespace tolvane::testing {

// The renaming pass on AObjects; returns the log messages.
inline std::vector<std::string> ReferenceMakeNamesUnique(TObjectDefinitionList& AObjects) {
  std::vector<std::string> log;
  std::vector<std::pair<std::string, std::string>> renames;  // ("T" + old name, new name)
  int number = 1;
  for (size_t i = 0; i < AObjects.size(); ++i) {
    const int j = AObjects.IndexOfName(AObjects[i]->Name());
    if (j < static_cast<int>(i)) {
      log.push_back("Duplicate Current: " + AObjects[i]->Name() + "  Found: " + AObjects[j]->Name());
      const std::string new_name = AObjects[i]->Name() + std::to_string(number++);
      renames.emplace_back("T" + AObjects[i]->Name(), new_name);
      AObjects[i]->SetName(new_name);
    }
  }
  if (renames.empty()) return log;
  for (const auto& object : AObjects) {
    for (auto& property : object->Properties()) {
      const std::string t(StripArrayPrefix(property.DataType()));
      if (IsSimpleType(t)) continue;
      for (const auto& [key, new_name] : renames) {
        if (key != t) continue;
        const std::string old = t.substr(1);
        if (!property.Itemref().empty()) {
          property.SetItemref(RenameReference(property.Itemref(), old, new_name));
        } else {
          property.Setref(RenameReference(property.ref(), old, new_name));
        }
        break;
      }
    }
  }
  return log;
}

struct TReferenceOrdering {
  std::vector<std::string> Trace;
  bool Ended = false;
};

// The ordering loop on AObjects, which it reorders. AIgnored(a, b), when
// given, leaves out every reference of a to b. Gives up after AMaxPasses
// passes with Ended false.
inline TReferenceOrdering ReferenceResolveDependencies(
    std::vector<TObjectDefinition*>& AObjects,
    const std::function<bool(const TObjectDefinition*, const TObjectDefinition*)>& AIgnored = {},
    size_t AMaxPasses = 100000) {
  TReferenceOrdering result;
  const size_t n = AObjects.size();
  bool changed = true;
  size_t passes = 0;
  while (changed) {
    if (passes++ == AMaxPasses) return result;
    changed = false;
    result.Trace.push_back("Resolving");
    for (size_t i = 0; i < n; ++i) {
      TObjectDefinition* const object = AObjects[i];
      bool moved = false;
      for (const auto& property : object->Properties()) {
        const std::string t(StripArrayPrefix(property.DataType()));
        if (IsSimpleType(t) || t == "array" || t == "number") continue;
        for (size_t k = i + 1; k < n; ++k) {
          if ("T" + AObjects[k]->Name() != t) continue;
          if (AIgnored && AIgnored(object, AObjects[k])) continue;
          changed = true;
          result.Trace.push_back(object->Name() + " depends on " + AObjects[k]->Name());
          TObjectDefinition* const target = AObjects[k];
          AObjects.erase(AObjects.begin() + static_cast<std::ptrdiff_t>(k));
          AObjects.insert(AObjects.begin() + static_cast<std::ptrdiff_t>(i == 0 ? 0 : i - 1), target);
          moved = true;
          break;
        }
        if (moved) break;
      }
    }
  }
  result.Ended = true;
  return result;
}

}  // namespace tolvane::testing
