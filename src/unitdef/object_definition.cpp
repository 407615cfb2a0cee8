#include "unitdef/object_definition.h"

#include "unitdef/identifiers.h"
#include "unitdef/delphi_type.h"

namespace tolvane {

namespace {

// Removes every blank and turns every "-" into "_", in place.
void CleanTypeText(std::string& text) {
  size_t kept = 0;
  for (const char c : text) {
    if (c == ' ') continue;
    text[kept++] = c == '-' ? '_' : c;
  }
  text.resize(kept);
}

}  // namespace

std::string TPropertyDefinition::PropertyName() const { return MakeIdentifier(FName, true); }

std::string TPropertyDefinition::FieldName() const {
  // Formed before the escape, so it never carries "&".
  std::string field = MakeIdentifier(FName, false);
  field.insert(field.begin(), 'F');
  return field;
}

const std::string& TPropertyDefinition::DataType() const {
  if (!FDataTypeCurrent) {
    FDataType = ComputeDataType();
    FDataTypeCurrent = true;
  }
  return FDataType;
}

std::string TPropertyDefinition::ComputeDataType() const {
  std::string result;
  if (FType == "number") {
    result = "double";
  } else if (FType == "integer" && FFormat == "int64") {
    result = "int64";
  } else if (FType == "string" && FFormat == "date-time") {
    result = "TDateTime";
  } else if (FType == "file") {
    result = "string";
  } else if (FType == "array" && !FItemref.empty()) {
    result.reserve(FItemref.size());
    AppendArrayPrefix(result);
    result += 'T';
    AppendReferencedName(result, FItemref);
    result += '>';
    CleanTypeText(result);
  } else if (FType == "array") {
    result = ArrayType(FItemtype == "number" ? std::string_view("double") : FItemtype);
    CleanTypeText(result);
  } else if (!Fref.empty()) {
    result.reserve(Fref.size());
    result += 'T';
    AppendReferencedName(result, Fref);
    CleanTypeText(result);
  } else if (!FType.empty()) {
    result = FType;
    CleanTypeText(result);
  } else {
    result = "???";
  }
  return result;
}

bool TPropertyDefinition::IsObject() const { return IsObjectType(DataType()); }

bool TPropertyDefinition::IsObjectArray() const { return IsObjectArrayType(DataType()); }

bool TObjectDefinition::HasObjects() const {
  for (const auto& property : FProperties) {
    if (property.IsObject()) return true;
  }
  return false;
}

bool TObjectDefinition::HasObjectArrays() const {
  for (const auto& property : FProperties) {
    if (property.IsObjectArray()) return true;
  }
  return false;
}

TPropertyDefinition* TObjectDefinition::AddProperty(std::string AName, std::string AType,
                                                    std::string AFormat, std::string ARef,
                                                    std::string AItemRef, std::string AItemType,
                                                    std::string ADescription) {
  TPropertyDefinition& property = FProperties.emplace_back();
  property.SetName(std::move(AName));
  property.SetType(std::move(AType));
  property.SetFormat(std::move(AFormat));
  property.Setref(std::move(ARef));
  property.SetItemref(std::move(AItemRef));
  property.SetItemtype(std::move(AItemType));
  property.Setdescription(std::move(ADescription));
  return &property;
}

int TObjectDefinitionList::IndexOfName(std::string_view AName) const {
  for (size_t i = 0; i < size(); ++i) {
    if (SameTextFold((*this)[i]->Name(), AName)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tolvane
