#pragma once

// Test models for the renaming and ordering passes.

#include <string>
#include <vector>

#include "unitdef/unit_definition.h"

namespace tolvane::testing {

using Lines = std::vector<std::string>;


// Collects the unit's trace lines.
struct TraceCapture {
  explicit TraceCapture(TUnitDefinition& unit) {
    unit.FTraceProcedure = [this](std::string_view line) { lines.emplace_back(line); };
  }
  Lines lines;
};

// One class of a test model. Each property is written as
//   "Pet"     a $ref to #/definitions/Pet
//   "[]Tag"   an array whose items $ref #/definitions/Tag
//   ":string" a plain type
struct ClassSpec {
  std::string name;
  std::vector<std::string> properties;
};

inline void AddProperty(TObjectDefinition& object, const std::string& entry, size_t index) {
  const std::string name = "p" + std::to_string(index);
  if (entry.rfind("[]", 0) == 0) {
    object.AddProperty(name, "array", "", "", "#/definitions/" + entry.substr(2), "", "");
  } else if (entry.rfind(":", 0) == 0) {
    object.AddProperty(name, entry.substr(1), "", "", "", "", "");
  } else {
    object.AddProperty(name, "", "", "#/definitions/" + entry, "", "", "");
  }
}

// The classes in order; each one's description is its index, so that classes
// of equal names can be told apart after the ordering.
inline void AddClasses(TUnitDefinition& unit, const std::vector<ClassSpec>& classes) {
  for (size_t i = 0; i < classes.size(); ++i) {
    TObjectDefinition* object = unit.AddObject(classes[i].name, "object");
    object->Setdescription(std::to_string(i));
    for (size_t p = 0; p < classes[i].properties.size(); ++p) AddProperty(*object, classes[i].properties[p], p);
  }
}

inline Lines Names(const TUnitDefinition& unit) {
  Lines names;
  for (const auto& object : unit.FObjects) names.push_back(object->Name());
  return names;
}

inline Lines Tags(const std::vector<const TObjectDefinition*>& objects) {
  Lines tags;
  for (const TObjectDefinition* object : objects) tags.push_back(object->description());
  return tags;
}

inline Lines Tags(const TObjectDefinitionList& objects) {
  Lines tags;
  for (const auto& object : objects) tags.push_back(object->description());
  return tags;
}


}  // namespace tolvane::testing
