unit System.JSON;

// Compile-only stand-in for the Delphi unit System.JSON: the JSON value
// classes with the library's declarations (class functions, overloads and
// default parameters included) and bodies that only return neutral values.
// Generated units are compiled against it with Free Pascal; nothing here runs.

interface

uses
  SysUtils;

type
  // The generic array type of the System unit, declared again so that the
  // units that use this one see it under a type parameter name that no
  // generated type can have. Free Pascal 3.2.2 resolves the element type of
  // TArray<T> to a class named T of the using unit when a method of that unit
  // enumerates the array (for-in) or assigns its elements, and a client class
  // named T is what an empty base path gives. Delphi has no such confusion.
  TArray<ElementType__> = array of ElementType__;

  TJSONValue = class;
  TJSONString = class;
  TJSONObject = class;
  TJSONArray = class;

  TJSONAncestor = class abstract
  public
    function Value: string; virtual;
    function ToJSON: string; virtual;
    function ToString: string; override;
    function Clone: TJSONAncestor; virtual;
    function Null: Boolean; virtual;
  end;

  TJSONValue = class abstract(TJSONAncestor)
  public
    class function ParseJSONValue(const Data: string; UseBool: Boolean = False;
      RaiseExc: Boolean = False): TJSONValue; overload; static;
    class function ParseJSONValue(const Data: TBytes; const Offset: Integer;
      const ALength: Integer; UseBool: Boolean = False;
      RaiseExc: Boolean = False): TJSONValue; overload; static;
    function FindValue(const APath: string): TJSONValue; virtual;
  end;

  TJSONString = class(TJSONValue)
  public
    constructor Create; overload;
    constructor Create(const AValue: string); overload;
    function Equals(const AValue: string): Boolean; reintroduce;
  end;

  TJSONNumber = class(TJSONString)
  public
    constructor Create(const ANumber: string); overload;
    constructor Create(const ANumber: Integer); overload;
    constructor Create(const ANumber: Int64); overload;
    constructor Create(const ANumber: Double); overload;
    function AsInt: Integer;
    function AsInt64: Int64;
    function AsDouble: Double;
  end;

  TJSONBool = class(TJSONValue)
  public
    constructor Create(AValue: Boolean);
    function AsBoolean: Boolean;
  end;

  TJSONTrue = class(TJSONBool)
  public
    constructor Create;
  end;

  TJSONFalse = class(TJSONBool)
  public
    constructor Create;
  end;

  TJSONNull = class(TJSONValue)
  end;

  TJSONPair = class(TJSONAncestor)
  private
    FJsonString: TJSONString;
    FJsonValue: TJSONValue;
  public
    constructor Create; overload;
    constructor Create(const Str: TJSONString; const Value: TJSONValue); overload;
    constructor Create(const Str: string; const Value: TJSONValue); overload;
    constructor Create(const Str: string; const Value: string); overload;
    property JsonString: TJSONString read FJsonString write FJsonString;
    property JsonValue: TJSONValue read FJsonValue write FJsonValue;
  end;

  TJSONObject = class(TJSONValue)
  private
    function GetCount: Integer;
    function GetPair(const Index: Integer): TJSONPair;
  public
    constructor Create; overload;
    constructor Create(const Pair: TJSONPair); overload;
    function GetValue(const Name: string): TJSONValue; overload;
    function Get(const Name: string): TJSONPair; overload;
    function AddPair(const Pair: TJSONPair): TJSONObject; overload;
    function AddPair(const Str: TJSONString; const Val: TJSONValue): TJSONObject; overload;
    function AddPair(const Str: string; const Val: TJSONValue): TJSONObject; overload;
    function AddPair(const Str: string; const Val: string): TJSONObject; overload;
    function RemovePair(const PairName: string): TJSONPair;
    property Count: Integer read GetCount;
    property Pairs[const Index: Integer]: TJSONPair read GetPair;
  end;

  TJSONArray = class(TJSONValue)
  public type
    TEnumerator = class
    private
      FIndex: Integer;
      FArray: TJSONArray;
      function GetCurrent: TJSONValue;
    public
      constructor Create(const AArray: TJSONArray);
      function MoveNext: Boolean;
      property Current: TJSONValue read GetCurrent;
    end;
  private
    function GetCount: Integer;
    function GetValue(const Index: Integer): TJSONValue;
  public
    constructor Create; overload;
    constructor Create(const FirstElem: TJSONValue); overload;
    constructor Create(const FirstElem: TJSONValue; const SecondElem: TJSONValue); overload;
    function Add(const Element: string): TJSONArray; overload;
    function Add(const Element: Integer): TJSONArray; overload;
    function Add(const Element: Double): TJSONArray; overload;
    function Add(const Element: Boolean): TJSONArray; overload;
    function Add(const Element: TJSONObject): TJSONArray; overload;
    function Add(const Element: TJSONArray): TJSONArray; overload;
    function AddElement(const Element: TJSONValue): TJSONArray;
    function Remove(Index: Integer): TJSONValue;
    function GetEnumerator: TEnumerator;
    property Count: Integer read GetCount;
    property Items[const Index: Integer]: TJSONValue read GetValue;
  end;

implementation

{ TJSONAncestor }

function TJSONAncestor.Value: string;
begin
  Result := '';
end;

function TJSONAncestor.ToJSON: string;
begin
  Result := '';
end;

function TJSONAncestor.ToString: string;
begin
  Result := '';
end;

function TJSONAncestor.Clone: TJSONAncestor;
begin
  Result := nil;
end;

function TJSONAncestor.Null: Boolean;
begin
  Result := False;
end;

{ TJSONValue }

class function TJSONValue.ParseJSONValue(const Data: string; UseBool: Boolean;
  RaiseExc: Boolean): TJSONValue;
begin
  Result := nil;
end;

class function TJSONValue.ParseJSONValue(const Data: TBytes; const Offset: Integer;
  const ALength: Integer; UseBool: Boolean; RaiseExc: Boolean): TJSONValue;
begin
  Result := nil;
end;

function TJSONValue.FindValue(const APath: string): TJSONValue;
begin
  Result := nil;
end;

{ TJSONString }

constructor TJSONString.Create;
begin
  inherited Create;
end;

constructor TJSONString.Create(const AValue: string);
begin
  inherited Create;
end;

function TJSONString.Equals(const AValue: string): Boolean;
begin
  Result := False;
end;

{ TJSONNumber }

constructor TJSONNumber.Create(const ANumber: string);
begin
  inherited Create;
end;

constructor TJSONNumber.Create(const ANumber: Integer);
begin
  inherited Create;
end;

constructor TJSONNumber.Create(const ANumber: Int64);
begin
  inherited Create;
end;

constructor TJSONNumber.Create(const ANumber: Double);
begin
  inherited Create;
end;

function TJSONNumber.AsInt: Integer;
begin
  Result := 0;
end;

function TJSONNumber.AsInt64: Int64;
begin
  Result := 0;
end;

function TJSONNumber.AsDouble: Double;
begin
  Result := 0;
end;

{ TJSONBool }

constructor TJSONBool.Create(AValue: Boolean);
begin
  inherited Create;
end;

function TJSONBool.AsBoolean: Boolean;
begin
  Result := False;
end;

{ TJSONTrue }

constructor TJSONTrue.Create;
begin
  inherited Create(True);
end;

{ TJSONFalse }

constructor TJSONFalse.Create;
begin
  inherited Create(False);
end;

{ TJSONPair }

constructor TJSONPair.Create;
begin
  inherited Create;
end;

constructor TJSONPair.Create(const Str: TJSONString; const Value: TJSONValue);
begin
  inherited Create;
end;

constructor TJSONPair.Create(const Str: string; const Value: TJSONValue);
begin
  inherited Create;
end;

constructor TJSONPair.Create(const Str: string; const Value: string);
begin
  inherited Create;
end;

{ TJSONObject }

constructor TJSONObject.Create;
begin
  inherited Create;
end;

constructor TJSONObject.Create(const Pair: TJSONPair);
begin
  inherited Create;
end;

function TJSONObject.GetCount: Integer;
begin
  Result := 0;
end;

function TJSONObject.GetPair(const Index: Integer): TJSONPair;
begin
  Result := nil;
end;

function TJSONObject.GetValue(const Name: string): TJSONValue;
begin
  Result := nil;
end;

function TJSONObject.Get(const Name: string): TJSONPair;
begin
  Result := nil;
end;

function TJSONObject.AddPair(const Pair: TJSONPair): TJSONObject;
begin
  Result := Self;
end;

function TJSONObject.AddPair(const Str: TJSONString; const Val: TJSONValue): TJSONObject;
begin
  Result := Self;
end;

function TJSONObject.AddPair(const Str: string; const Val: TJSONValue): TJSONObject;
begin
  Result := Self;
end;

function TJSONObject.AddPair(const Str: string; const Val: string): TJSONObject;
begin
  Result := Self;
end;

function TJSONObject.RemovePair(const PairName: string): TJSONPair;
begin
  Result := nil;
end;

{ TJSONArray.TEnumerator }

constructor TJSONArray.TEnumerator.Create(const AArray: TJSONArray);
begin
  inherited Create;
  FIndex := -1;
  FArray := AArray;
end;

function TJSONArray.TEnumerator.GetCurrent: TJSONValue;
begin
  Result := FArray.Items[FIndex];
end;

function TJSONArray.TEnumerator.MoveNext: Boolean;
begin
  Inc(FIndex);
  Result := FIndex < FArray.Count;
end;

{ TJSONArray }

constructor TJSONArray.Create;
begin
  inherited Create;
end;

constructor TJSONArray.Create(const FirstElem: TJSONValue);
begin
  inherited Create;
end;

constructor TJSONArray.Create(const FirstElem: TJSONValue; const SecondElem: TJSONValue);
begin
  inherited Create;
end;

function TJSONArray.GetCount: Integer;
begin
  Result := 0;
end;

function TJSONArray.GetValue(const Index: Integer): TJSONValue;
begin
  Result := nil;
end;

function TJSONArray.Add(const Element: string): TJSONArray;
begin
  Result := Self;
end;

function TJSONArray.Add(const Element: Integer): TJSONArray;
begin
  Result := Self;
end;

function TJSONArray.Add(const Element: Double): TJSONArray;
begin
  Result := Self;
end;

function TJSONArray.Add(const Element: Boolean): TJSONArray;
begin
  Result := Self;
end;

function TJSONArray.Add(const Element: TJSONObject): TJSONArray;
begin
  Result := Self;
end;

function TJSONArray.Add(const Element: TJSONArray): TJSONArray;
begin
  Result := Self;
end;

function TJSONArray.AddElement(const Element: TJSONValue): TJSONArray;
begin
  Result := Self;
end;

function TJSONArray.Remove(Index: Integer): TJSONValue;
begin
  Result := nil;
end;

function TJSONArray.GetEnumerator: TEnumerator;
begin
  Result := TEnumerator.Create(Self);
end;

end.
