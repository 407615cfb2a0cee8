// The implementation part of the declared classes: a destructor for every
// class that owns objects or arrays of objects.
#include "unitdef/identifiers.h"
#include "unitdef/line_text.h"
#include "unitdef/name_plan.h"
#include "unitdef/unit_definition.h"

namespace tolvane {

void TUnitDefinition::WriteDestructors(TLineList& ALines) {
  std::string storage;
  for (const auto& object : FObjects) {
    if (!FClassnameFilter.empty() && FClassnameFilter != object->Name()) continue;
    // With a plan, what the class owns follows the types it writes.
    const TClassPlan* plan = FPlan ? &FPlan->Class(*object) : nullptr;
    const bool has_object_arrays = plan ? plan->HasObjectArrays : object->HasObjectArrays();
    const bool has_objects = plan ? plan->HasObjects : object->HasObjects();
    if (!has_objects && !has_object_arrays) continue;

    // The class identifier with its "T".
    std::string identifier;
    if (plan) {
      identifier = plan->Identifier;
    } else {
      const std::string made = MakeIdentifier(object->Name(), false);
      identifier = JoinLine({"T", IdentifierView(made, storage)});
    }
    if (!object->ImplementationHeaderWritten()) {
      ALines.emplace_back("");
      ALines.push_back(JoinLine({"{ ", identifier, " }"}));
      ALines.emplace_back("");
      object->SetImplementationHeaderWritten(true);
    }
    ALines.push_back(JoinLine({"destructor ", identifier, ".Destroy;"}));
    if (has_object_arrays) {
      ALines.emplace_back("var");
      ALines.emplace_back("  T : TObject;");
    }
    ALines.emplace_back("begin");
    const auto& properties = object->Properties();
    for (size_t i = 0; i < properties.size(); ++i) {
      const TPropertyDefinition& property = *properties[i];
      if (plan ? plan->Properties[i].IsObjectArray : property.IsObjectArray()) {
        const std::string_view field =
            plan ? std::string_view(plan->Properties[i].Field) : IdentifierView(property.FieldName(), storage);
        ALines.push_back(JoinLine({"  for T in ", field, " do"}));
        ALines.emplace_back("    T.Free;");
      }
      if (plan ? plan->Properties[i].IsObject : property.IsObject()) {
        const std::string_view field =
            plan ? std::string_view(plan->Properties[i].Field) : IdentifierView(property.FieldName(), storage);
        ALines.push_back(JoinLine({"  if Assigned(", field, ") then"}));
        ALines.push_back(JoinLine({"    ", field, ".Free;"}));
      }
    }
    ALines.emplace_back("  inherited;");
    ALines.emplace_back("end;");
  }
}

}  // namespace tolvane
