unit REST.Json.Types;

// Compile-only stand-in for the Delphi unit REST.Json.Types: the options of
// the object-to-JSON converter, used by the stand-in of REST.Json, and the
// attribute class that gives a field its JSON name ([JSONName('key')]).
// Free Pascal 3.2.2 has neither attributes nor TCustomAttribute, from which
// Delphi derives the class: scripts/compile_unit.sh checks the attributes
// and removes them before compiling, and the class here derives from TObject.
// Generated units are compiled against it with Free Pascal; nothing here runs.

interface

type
  TJsonOption = (joIgnoreEmptyStrings, joIgnoreEmptyArrays, joDateIsUTC,
    joDateFormatUnix, joDateFormatISO8601, joDateFormatMongo,
    joDateFormatParse, joBytesFormatArray, joBytesFormatBase64,
    joIndentCaseCamel, joIndentCaseLower, joIndentCaseUpper,
    joIndentCasePreserve);
  TJsonOptions = set of TJsonOption;

  JSONNameAttribute = class(TObject)
  private
    FName: string;
  public
    constructor Create(const AName: string);
    property Value: string read FName;
  end;

implementation

constructor JSONNameAttribute.Create(const AName: string);
begin
  FName := AName;
end;

end.
