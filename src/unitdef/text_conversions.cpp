#include "unitdef/text_conversions.h"

namespace tolvane {

TConversion ValueAsText(std::string_view AType, bool ACompilable) {
  if (AType == "integer" || AType == "int64") return {"IntToStr(", ")"};
  if (AType == "boolean") return {"BoolToStr(", ", True)"};
  if (AType == "TDateTime") return {"DateToIso8601(", ")"};
  // Doubles as text with "." whatever the locale, as JSON and URLs want them.
  if (ACompilable && AType == "double") return {"FloatToStr(", ", TFormatSettings.Invariant)"};
  return {};
}

TConversion TextAsValue(std::string_view AType) {
  if (AType == "integer") return {"StrToInt(", ")"};
  if (AType == "int64") return {"StrToInt64(", ")"};
  if (AType == "boolean") return {"StrToBool(", ")"};
  if (AType == "double") return {"StrToFloat(", ", TFormatSettings.Invariant)"};
  if (AType == "TDateTime") return {"ISO8601ToDate(", ")"};
  return {};
}

}  // namespace tolvane
