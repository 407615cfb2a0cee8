// The renaming pass: classes whose names repeat ignoring case are numbered,
// and the references that name them follow.
#include "unitdef/duplicate_names.h"

#include <unordered_map>

#include "unitdef/delphi_type.h"
#include "unitdef/identifiers.h"
#include "unitdef/unit_definition.h"

namespace tolvane {

std::string ReplaceIfContains(std::string_view AText, std::string_view AOld, std::string_view ANew) {
  if (AOld.empty()) return std::string(AText);
  std::string out;
  size_t pos = 0;
  for (size_t found = AText.find(AOld); found != std::string_view::npos;
       found = AText.find(AOld, pos)) {
    out.append(AText.substr(pos, found - pos)).append(ANew);
    pos = found + AOld.size();
  }
  out.append(AText.substr(pos));
  return out;
}

std::string RenameReference(std::string_view ARef, std::string_view AOld, std::string_view ANew) {
  const std::string name = DropCharacters(ARef, kReferencePrefixLength);
  // When the cut splits a character, the name part is no longer a tail of
  // the reference; the whole reference is renamed then.
  if (!ARef.ends_with(name)) return ReplaceIfContains(ARef, AOld, ANew);
  const std::string_view prefix = ARef.substr(0, ARef.size() - name.size());
  return std::string(prefix) + ReplaceIfContains(name, AOld, ANew);
}

void TUnitDefinition::MakeNamesUnique() {
  // The first position that holds each name, folded to upper case, among the
  // classes looked at so far. Names change only at their own step, and a
  // class after position i can never come first, so the map answers exactly
  // as IndexOfName on the whole list would at that moment.
  std::unordered_map<std::string, size_t> first_position;
  first_position.reserve(FObjects.size() * 2);
  // The renamings: "T" + old name to the new name; the first one of a key wins.
  std::unordered_map<std::string, std::string> renamed;
  int number = 1;

  for (size_t i = 0; i < FObjects.size(); ++i) {
    TObjectDefinition& object = *FObjects[i];
    const auto [found, is_new] = first_position.try_emplace(UpperCaseFold(object.Name()), i);
    if (is_new) continue;
    LogFmt("Duplicate Current: %s  Found: %s", {object.Name(), FObjects[found->second]->Name()});
    std::string new_name = object.Name() + std::to_string(number++);
    renamed.try_emplace("T" + object.Name(), new_name);
    object.SetName(new_name);
    // The new name takes part in the tests of the classes after it.
    first_position.try_emplace(UpperCaseFold(new_name), i);
  }
  if (renamed.empty()) return;

  // References follow the renamed classes when their type text is spelled
  // exactly like "T" + the old name.
  for (const auto& object : FObjects) {
    for (auto& property : object->Properties()) {
      // A copy: the setters below change the type text it comes from.
      const std::string type(StripArrayPrefix(property.DataType()));
      if (IsSimpleType(type)) continue;
      const auto rename = renamed.find(type);
      if (rename == renamed.end()) continue;
      const std::string_view old_name = std::string_view(type).substr(1);
      if (!property.Itemref().empty()) {
        property.SetItemref(RenameReference(property.Itemref(), old_name, rename->second));
      } else {
        property.Setref(RenameReference(property.ref(), old_name, rename->second));
      }
    }
  }
}

}  // namespace tolvane
