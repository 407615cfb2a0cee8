unit REST.Json.Types;

// Compile-only stand-in for the Delphi unit REST.Json.Types: the options of
// the object-to-JSON converter, used by the stand-in of REST.Json.
// Generated units are compiled against it with Free Pascal; nothing here runs.

interface

type
  TJsonOption = (joIgnoreEmptyStrings, joIgnoreEmptyArrays, joDateIsUTC,
    joDateFormatUnix, joDateFormatISO8601, joDateFormatMongo,
    joDateFormatParse, joBytesFormatArray, joBytesFormatBase64,
    joIndentCaseCamel, joIndentCaseLower, joIndentCaseUpper,
    joIndentCasePreserve);
  TJsonOptions = set of TJsonOption;

implementation

end.
