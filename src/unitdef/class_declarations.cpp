// The class declarations of the unit: forward declarations for classes used
// before their own declaration, then one block per class that passes the
// filter.
#include "unitdef/identifiers.h"
#include "unitdef/unit_definition.h"

namespace tolvane {

void TUnitDefinition::WriteClassDeclarations(TLineList& ALines) {
  if (FClassnameFilter.empty() && !FForwardDeclarations.empty()) {
    ALines.push_back("");
    for (const TObjectDefinition* object : FForwardDeclarations) {
      ALines.push_back("  T" + WriteIdentifier(MakeIdentifier(object->Name(), false)) + " = class;");
    }
  }

  for (const auto& object : FObjects) {
    const bool written = FClassnameFilter.empty() || FClassnameFilter == object->Name();
    LogFmt("class: %s %s", {object->Name(), written ? "processed" : "skipped"});
    if (!written) continue;

    const std::string identifier = WriteIdentifier(MakeIdentifier(object->Name(), false));
    ALines.push_back("");
    if (!object->description().empty()) AddComment(ALines, object->description(), 2);
    ALines.push_back("  T" + identifier + " = class");
    ALines.push_back("  private");
    // Each property's type text is computed once here; reading DataType also
    // records the base name that HasObjects and the destructors answer from.
    std::vector<std::string> types;
    types.reserve(object->Properties().size());
    for (const auto& property : object->Properties()) {
      if (!property->description().empty()) AddComment(ALines, property->description(), 4);
      types.push_back(WriteTypeText(property->DataType()));
      ALines.push_back("    " + WriteIdentifier(property->FieldName()) + " : " + types.back() + ";");
    }
    ALines.push_back("  public");
    if (object->HasObjects() || object->HasObjectArrays()) {
      ALines.push_back("    destructor Destroy; override;");
    }
    for (size_t i = 0; i < object->Properties().size(); ++i) {
      const TPropertyDefinition& property = *object->Properties()[i];
      const std::string field = WriteIdentifier(property.FieldName());
      ALines.push_back("    property " + WriteIdentifier(property.PropertyName()) + " : " + types[i] +
                       " read " + field + " write " + field + ";");
    }
    ALines.push_back("  end;");
  }
}

}  // namespace tolvane
