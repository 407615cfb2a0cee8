// The implementation part of the declared classes: a destructor for every
// class that owns objects or arrays of objects.
#include "unitdef/identifiers.h"
#include "unitdef/unit_definition.h"

namespace tolvane {

void TUnitDefinition::WriteDestructors(TLineList& ALines) {
  for (const auto& object : FObjects) {
    if (!FClassnameFilter.empty() && FClassnameFilter != object->Name()) continue;
    const bool has_object_arrays = object->HasObjectArrays();
    if (!object->HasObjects() && !has_object_arrays) continue;

    const std::string identifier = WriteIdentifier(MakeIdentifier(object->Name(), false));
    if (!object->ImplementationHeaderWritten()) {
      ALines.push_back("");
      ALines.push_back("{ T" + identifier + " }");
      ALines.push_back("");
      object->SetImplementationHeaderWritten(true);
    }
    ALines.push_back("destructor T" + identifier + ".Destroy;");
    if (has_object_arrays) {
      ALines.push_back("var");
      ALines.push_back("  T : TObject;");
    }
    ALines.push_back("begin");
    for (const auto& property : object->Properties()) {
      if (property->IsObjectArray()) {
        ALines.push_back("  for T in " + WriteIdentifier(property->FieldName()) + " do");
        ALines.push_back("    T.Free;");
      }
      if (property->IsObject()) {
        const std::string field = WriteIdentifier(property->FieldName());
        ALines.push_back("  if Assigned(" + field + ") then");
        ALines.push_back("    " + field + ".Free;");
      }
    }
    ALines.push_back("  inherited;");
    ALines.push_back("end;");
  }
}

}  // namespace tolvane
