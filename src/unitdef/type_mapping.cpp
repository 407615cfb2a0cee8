#include "unitdef/type_mapping.h"

#include "swagger/swagger_classes.h"
#include "unitdef/identifiers.h"

namespace tolvane {

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
      return ArrayType(MapSimpleType(AItems->Ftype, AFormat));
    }
    if (AType == "file") return "string";
    return MapSimpleType(AType, AFormat);
  }

  if (ASchema->Ftype == "array") {
    // An array schema without items has no item type to map.
    if (ASchema->Fitems == nullptr) return "array";
    const TItems& items = *ASchema->Fitems;
    if (!items.Fref.empty()) {
      std::string element = "T";
      AppendReferencedName(element, items.Fref);
      return ArrayType(element);
    }
    if (IsSimpleType(items.Ftype)) return ArrayType(MapSimpleType(items.Ftype, AFormat));
    return ArrayType("T" + std::string(items.Ftype));
  }
  if (!ASchema->Fref.empty()) {
    std::string result = "T";
    AppendReferencedName(result, ASchema->Fref);
    return result;
  }
  if (IsSimpleType(ASchema->Ftype)) return MapSimpleType(ASchema->Ftype, AFormat);
  return "T" + std::string(ASchema->Ftype);
}

}  // namespace tolvane
