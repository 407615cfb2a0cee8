#pragma once

// The conversions between values of the simple types and text that the
// client methods write, as the two pieces around the value:
// Open + value + Close.

#include <string_view>

namespace tolvane {

struct TConversion {
  std::string_view Open;
  std::string_view Close;
};

// A request value as text: IntToStr for integer and int64,
// BoolToStr(x, True), DateToIso8601(x); with ACompilable also
// FloatToStr(x, TFormatSettings.Invariant) for double. Nothing for string and
// any other type.
TConversion ValueAsText(std::string_view AType, bool ACompilable);

// The response text as a value of the type: StrToInt, StrToInt64, StrToBool,
// StrToFloat(x, TFormatSettings.Invariant), ISO8601ToDate. Nothing for string
// and any other type.
TConversion TextAsValue(std::string_view AType);

}  // namespace tolvane
