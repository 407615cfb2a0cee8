#pragma once

// The helpers of the renaming pass MakeNamesUnique (a member of
// TUnitDefinition): classes whose names repeat ignoring case are numbered,
// and references follow them.

#include <string>
#include <string_view>

namespace tolvane {

// AText with every occurrence of AOld replaced by ANew (case-sensitive);
// AText unchanged when it does not contain AOld or AOld is empty.
std::string ReplaceIfContains(std::string_view AText, std::string_view AOld, std::string_view ANew);

// A reference ("#/definitions/pet") pointed at a renamed class: the renaming
// applies to the name after the first 14 characters only, the part from which
// the property's type text is made, so that a short name such as "s" or "on"
// does not also rewrite the "#/definitions/" in front of it.
std::string RenameReference(std::string_view ARef, std::string_view AOld, std::string_view ANew);

}  // namespace tolvane
