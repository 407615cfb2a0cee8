#include "unitdef/object_definition.h"

#include "unitdef/identifiers.h"
#include "unitdef/type_mapping.h"

namespace tolvane {

namespace {

// Length of the local reference prefix "#/definitions/".
constexpr size_t kReferencePrefixLength = 14;

// Removes every blank and turns every "-" into "_", in place.
void CleanTypeText(std::string& text) {
  size_t kept = 0;
  for (const char c : text) {
    if (c == ' ') continue;
    text[kept++] = c == '-' ? '_' : c;
  }
  text.resize(kept);
}

constexpr std::string_view kArrayPrefix = "TArray<";

}  // namespace

void TPropertyDefinition::SetName(std::string AName) {
  FName = std::move(AName);
  FPropertyName = MakeIdentifier(FName, false);
  // The field name is formed before the escape, so it never carries "&".
  FFieldName = "F" + FPropertyName;
  if (IsReservedWord(FPropertyName)) FPropertyName.insert(FPropertyName.begin(), '&');
}

const std::string& TPropertyDefinition::DataType() {
  if (!FDataTypeCurrent) {
    FBaseName = ComputeDataType();
    FDataTypeCurrent = true;
  }
  return FBaseName;
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
    result.append("TArray<T");
    AppendDroppingCharacters(result, FItemref, kReferencePrefixLength);
    result += '>';
    CleanTypeText(result);
  } else if (FType == "array") {
    result.reserve(FItemtype.size() + 8);
    result.append("TArray<").append(FItemtype == "number" ? std::string_view("double") : FItemtype);
    result += '>';
    CleanTypeText(result);
  } else if (!Fref.empty()) {
    result.reserve(Fref.size());
    result += 'T';
    AppendDroppingCharacters(result, Fref, kReferencePrefixLength);
    CleanTypeText(result);
  } else if (!FType.empty()) {
    result = FType;
    CleanTypeText(result);
  } else {
    result = "???";
  }
  return result;
}

bool TPropertyDefinition::IsObject() const {
  return StartsWithFold(FBaseName, "T") && !StartsWithFold(FBaseName, kArrayPrefix) &&
         !IsSimpleType(FBaseName);
}

bool TPropertyDefinition::IsObjectArray() const {
  if (!StartsWithFold(FBaseName, kArrayPrefix) || FBaseName.size() <= kArrayPrefix.size() ||
      FBaseName.back() != '>') {
    return false;
  }
  const std::string_view inner =
      std::string_view(FBaseName).substr(kArrayPrefix.size(), FBaseName.size() - kArrayPrefix.size() - 1);
  return !IsSimpleType(inner);
}

bool TObjectDefinition::HasObjects() const {
  for (const auto& property : FProperties) {
    if (property->IsObject()) return true;
  }
  return false;
}

bool TObjectDefinition::HasObjectArrays() const {
  for (const auto& property : FProperties) {
    if (property->IsObjectArray()) return true;
  }
  return false;
}

TPropertyDefinition* TObjectDefinition::AddProperty(std::string AName, std::string AType,
                                                    std::string AFormat, std::string ARef,
                                                    std::string AItemRef, std::string AItemType,
                                                    std::string ADescription) {
  auto property = std::make_unique<TPropertyDefinition>();
  property->SetName(std::move(AName));
  property->SetType(std::move(AType));
  property->SetFormat(std::move(AFormat));
  property->Setref(std::move(ARef));
  property->SetItemref(std::move(AItemRef));
  property->SetItemtype(std::move(AItemType));
  property->Setdescription(std::move(ADescription));
  FProperties.push_back(std::move(property));
  return FProperties.back().get();
}

int TObjectDefinitionList::IndexOfName(std::string_view AName) const {
  for (size_t i = 0; i < size(); ++i) {
    if (SameTextFold((*this)[i]->Name(), AName)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tolvane
