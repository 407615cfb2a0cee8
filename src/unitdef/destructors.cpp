// The implementation part of the declared classes: a destructor for every
// class that owns objects or arrays of objects.
#include "unitdef/identifiers.h"
#include "unitdef/line_text.h"
#include "unitdef/unit_definition.h"

namespace tolvane {

void TUnitDefinition::WriteDestructors(TLineList& ALines) {
  std::string storage;
  for (const auto& object : FObjects) {
    if (!FClassnameFilter.empty() && FClassnameFilter != object->Name()) continue;
    const bool has_object_arrays = object->HasObjectArrays();
    if (!object->HasObjects() && !has_object_arrays) continue;

    const std::string made = MakeIdentifier(object->Name(), false);
    const std::string identifier(IdentifierView(made, storage));
    if (!object->ImplementationHeaderWritten()) {
      ALines.emplace_back("");
      ALines.push_back(JoinLine({"{ T", identifier, " }"}));
      ALines.emplace_back("");
      object->SetImplementationHeaderWritten(true);
    }
    ALines.push_back(JoinLine({"destructor T", identifier, ".Destroy;"}));
    if (has_object_arrays) {
      ALines.emplace_back("var");
      ALines.emplace_back("  T : TObject;");
    }
    ALines.emplace_back("begin");
    for (const auto& property : object->Properties()) {
      if (property->IsObjectArray()) {
        ALines.push_back(JoinLine({"  for T in ", IdentifierView(property->FieldName(), storage), " do"}));
        ALines.emplace_back("    T.Free;");
      }
      if (property->IsObject()) {
        const std::string_view field = IdentifierView(property->FieldName(), storage);
        ALines.push_back(JoinLine({"  if Assigned(", field, ") then"}));
        ALines.push_back(JoinLine({"    ", field, ".Free;"}));
      }
    }
    ALines.emplace_back("  inherited;");
    ALines.emplace_back("end;");
  }
}

}  // namespace tolvane
