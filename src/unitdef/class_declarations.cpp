// The class declarations of the unit: forward declarations for classes used
// before their own declaration, then one block per class that passes the
// filter.
#include "unitdef/identifiers.h"
#include "unitdef/line_text.h"
#include "unitdef/name_plan.h"
#include "unitdef/unit_definition.h"

namespace tolvane {

namespace {

// What the field line and the property line of one property share: its
// type text and field name as written, made once.
struct TPropertyTexts {
  std::string DataType;
  std::string FieldStorage;
  std::string TypeStorage;
  std::string_view Field;
  std::string_view Type;
};

}  // namespace

void TUnitDefinition::WriteClassDeclarations(TLineList& ALines) {
  std::string storage;
  if (FPlan && FClassnameFilter.empty() && !FObjects.empty()) {
    // Every class declared forward, so that no order of the classes, and no
    // reference that the ordering could not match, keeps the unit from
    // compiling.
    ALines.emplace_back("");
    for (const auto& object : FObjects) {
      ALines.push_back(JoinLine({"  ", FPlan->Class(*object).Identifier, " = class;"}));
    }
  } else if (FClassnameFilter.empty() && !FForwardDeclarations.empty()) {
    ALines.emplace_back("");
    for (const TObjectDefinition* object : FForwardDeclarations) {
      const std::string identifier = MakeIdentifier(object->Name(), false);
      ALines.push_back(JoinLine({"  T", IdentifierView(identifier, storage), " = class;"}));
    }
  }

  std::vector<TPropertyTexts> texts;
  for (const auto& object : FObjects) {
    const bool written = FClassnameFilter.empty() || FClassnameFilter == object->Name();
    LogFmt("class: %s %s", {object->Name(), written ? "processed" : "skipped"});
    if (!written) continue;

    const TClassPlan* plan = FPlan ? &FPlan->Class(*object) : nullptr;
    ALines.emplace_back("");
    if (!object->description().empty()) AddComment(ALines, object->description(), 2);
    if (plan) {
      ALines.push_back(JoinLine({"  ", plan->Identifier, " = class"}));
    } else {
      const std::string identifier = MakeIdentifier(object->Name(), false);
      ALines.push_back(JoinLine({"  T", IdentifierView(identifier, storage), " = class"}));
    }
    ALines.emplace_back("  private");
    const auto& properties = object->Properties();
    if (texts.size() < properties.size()) texts.resize(properties.size());
    for (size_t i = 0; i < properties.size(); ++i) {
      TPropertyDefinition& property = *properties[i];
      TPropertyTexts& text = texts[i];
      if (!property.description().empty()) AddComment(ALines, property.description(), 4);
      // Reading DataType records the base name that HasObjects and the
      // destructors answer from.
      text.DataType = property.DataType();
      if (plan) {
        text.Field = plan->Properties[i].Field;
        text.Type = plan->Properties[i].Type;
      } else {
        text.Field = IdentifierView(property.FieldName(), text.FieldStorage);
        text.Type = TypeTextView(text.DataType, text.TypeStorage);
      }
      ALines.push_back(JoinLine({"    ", text.Field, " : ", text.Type, ";"}));
    }
    ALines.emplace_back("  public");
    if (plan ? plan->HasObjects || plan->HasObjectArrays : object->HasObjects() || object->HasObjectArrays()) {
      ALines.emplace_back("    destructor Destroy; override;");
    }
    for (size_t i = 0; i < properties.size(); ++i) {
      const TPropertyTexts& text = texts[i];
      const std::string_view name =
          plan ? std::string_view(plan->Properties[i].Property) : IdentifierView(properties[i]->PropertyName(), storage);
      ALines.push_back(JoinLine({"    property ", name, " : ",
                                 text.Type, " read ", text.Field, " write ", text.Field, ";"}));
    }
    ALines.emplace_back("  end;");
  }
}

}  // namespace tolvane
