#include "unitdef/type_mapping.h"

#include <array>

#include "swagger/swagger_classes.h"
#include "unitdef/identifiers.h"

namespace tolvane {

namespace {

// Length of the local reference prefix "#/definitions/".
constexpr size_t kReferencePrefixLength = 14;

constexpr std::array<std::string_view, 8> kSimpleTypes = {
    "Integer", "Int64", "string", "TDate", "TDateTime", "Double", "Boolean", "object"};

}  // namespace

bool IsSimpleType(std::string_view AText) {
  // The eight texts are 5 to 9 characters long.
  if (AText.size() < 5 || AText.size() > 9) return false;
  for (const std::string_view simple : kSimpleTypes) {
    if (SameTextFold(AText, simple)) return true;
  }
  return false;
}

std::string MapSimpleType(std::string_view AType, std::string_view AFormat) {
  if (AType == "number") return "double";
  if (AType == "object") return "TJSONValue";
  if (AType == "integer" && AFormat == "int64") return "int64";
  if (AType == "string" && AFormat == "date-time") return "TDateTime";
  return std::string(AType);
}

std::string MapSchemaType(const TSchema* ASchema, std::string_view AType,
                          std::string_view AFormat, const TItems* AItems) {
  if (ASchema == nullptr) {
    if (AType == "array") {
      // An array parameter without items has no item type to map.
      if (AItems == nullptr) return "array";
      return "TArray<" + MapSimpleType(AItems->Ftype, AFormat) + ">";
    }
    if (AType == "file") return "string";
    return MapSimpleType(AType, AFormat);
  }

  if (ASchema->Ftype == "array") {
    // An array schema without items has no item type to map.
    if (ASchema->Fitems == nullptr) return "array";
    const TItems& items = *ASchema->Fitems;
    if (!items.Fref.empty()) {
      std::string result = "TArray<T";
      AppendDroppingCharacters(result, items.Fref, kReferencePrefixLength);
      return result + ">";
    }
    if (IsSimpleType(items.Ftype)) return "TArray<" + MapSimpleType(items.Ftype, AFormat) + ">";
    return "TArray<T" + items.Ftype + ">";
  }
  if (!ASchema->Fref.empty()) {
    std::string result = "T";
    AppendDroppingCharacters(result, ASchema->Fref, kReferencePrefixLength);
    return result;
  }
  if (IsSimpleType(ASchema->Ftype)) return MapSimpleType(ASchema->Ftype, AFormat);
  return "T" + ASchema->Ftype;
}

}  // namespace tolvane
