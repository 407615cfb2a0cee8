unit REST.Json;

// Compile-only stand-in for the Delphi unit REST.Json: the converter TJson
// between objects and JSON, with the library's class functions, generic
// methods (constrained to classes with a constructor), overloads and default
// options. Identifiers are case-insensitive, so JsonToObject and JSONToObject
// name the same method, as in Delphi. The type parameter of JsonToObject has
// a name that no generated type can have: Free Pascal 3.2.2 takes a type named
// like the parameter (T, the client class of an empty base path) for the
// result type of the specialization, where Delphi does not.
// Generated units are compiled against it with Free Pascal; nothing here runs.

interface

uses
  System.JSON,
  REST.Json.Types;

const
  CDefaultOptions = [joDateIsUTC, joDateFormatISO8601];

type
  TJson = class(TObject)
  public
    class function ObjectToJsonObject(AObject: TObject;
      AOptions: TJsonOptions = CDefaultOptions): TJSONObject;
    class function ObjectToJsonString(AObject: TObject;
      AOptions: TJsonOptions = CDefaultOptions): string;
    class function JsonToObject<ObjectType__: class, constructor>(AJsonObject: TJSONObject;
      AOptions: TJsonOptions = CDefaultOptions): ObjectType__; overload;
    class function JsonToObject<ObjectType__: class, constructor>(const AJson: string;
      AOptions: TJsonOptions = CDefaultOptions): ObjectType__; overload;
    class procedure JsonToObject(AObject: TObject; AJsonObject: TJSONObject;
      AOptions: TJsonOptions = CDefaultOptions); overload;
    class function JsonEncode(AJsonValue: TJSONValue): string; overload;
    class function JsonEncode(const AJsonString: string): string; overload;
  end;

implementation

class function TJson.ObjectToJsonObject(AObject: TObject;
  AOptions: TJsonOptions): TJSONObject;
begin
  Result := nil;
end;

class function TJson.ObjectToJsonString(AObject: TObject;
  AOptions: TJsonOptions): string;
begin
  Result := '';
end;

class function TJson.JsonToObject<ObjectType__>(AJsonObject: TJSONObject;
  AOptions: TJsonOptions): ObjectType__;
begin
  Result := nil;
end;

class function TJson.JsonToObject<ObjectType__>(const AJson: string;
  AOptions: TJsonOptions): ObjectType__;
begin
  Result := nil;
end;

class procedure TJson.JsonToObject(AObject: TObject; AJsonObject: TJSONObject;
  AOptions: TJsonOptions);
begin
end;

class function TJson.JsonEncode(AJsonValue: TJSONValue): string;
begin
  Result := '';
end;

class function TJson.JsonEncode(const AJsonString: string): string;
begin
  Result := '';
end;

end.
