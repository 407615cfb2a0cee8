unit System.Generics.Collections;

// Compile-only stand-in for the Delphi unit System.Generics.Collections: the
// generic list, object list and dictionary with their common methods, and the
// non-generic class TArray with its generic class methods (Delphi tells it
// apart from the generic array type TArray<T> of the System unit).
// Generated units are compiled against it with Free Pascal; nothing here runs.

interface

type
  TArray = class
  public
    class procedure Sort<T>(var Values: array of T); overload; static;
    class function BinarySearch<T>(const Values: array of T; const Item: T;
      out FoundIndex: Integer): Boolean; overload; static;
  end;

  TList<T> = class
  private
    FItems: array of T;
    FCount: Integer;
    function GetItem(Index: Integer): T;
    procedure SetItem(Index: Integer; const Value: T);
  public
    function Add(const Value: T): Integer;
    procedure Delete(Index: Integer);
    procedure Clear;
    function IndexOf(const Value: T): Integer;
    function ToArray: TArray<T>;
    property Count: Integer read FCount;
    property Items[Index: Integer]: T read GetItem write SetItem; default;
  end;

  TObjectList<T: class> = class(TList<T>)
  private
    FOwnsObjects: Boolean;
  public
    constructor Create; overload;
    constructor Create(AOwnsObjects: Boolean); overload;
    property OwnsObjects: Boolean read FOwnsObjects write FOwnsObjects;
  end;

  TDictionary<TKey, TValue> = class
  private
    FCount: Integer;
  public
    procedure Add(const Key: TKey; const Value: TValue);
    procedure AddOrSetValue(const Key: TKey; const Value: TValue);
    procedure Remove(const Key: TKey);
    procedure Clear;
    function TryGetValue(const Key: TKey; out Value: TValue): Boolean;
    function ContainsKey(const Key: TKey): Boolean;
    property Count: Integer read FCount;
  end;

implementation

{ TArray }

class procedure TArray.Sort<T>(var Values: array of T);
begin
end;

class function TArray.BinarySearch<T>(const Values: array of T; const Item: T;
  out FoundIndex: Integer): Boolean;
begin
  FoundIndex := -1;
  Result := False;
end;

{ TList<T> }

function TList<T>.GetItem(Index: Integer): T;
begin
  Result := FItems[Index];
end;

procedure TList<T>.SetItem(Index: Integer; const Value: T);
begin
  FItems[Index] := Value;
end;

function TList<T>.Add(const Value: T): Integer;
begin
  SetLength(FItems, FCount + 1);
  FItems[FCount] := Value;
  Result := FCount;
  Inc(FCount);
end;

procedure TList<T>.Delete(Index: Integer);
begin
  Dec(FCount);
end;

procedure TList<T>.Clear;
begin
  FItems := nil;
  FCount := 0;
end;

function TList<T>.IndexOf(const Value: T): Integer;
begin
  Result := -1;
end;

function TList<T>.ToArray: TArray<T>;
begin
  Result := Copy(FItems, 0, FCount);
end;

{ TObjectList<T> }

constructor TObjectList<T>.Create;
begin
  Create(True);
end;

constructor TObjectList<T>.Create(AOwnsObjects: Boolean);
begin
  inherited Create;
  FOwnsObjects := AOwnsObjects;
end;

{ TDictionary<TKey, TValue> }

procedure TDictionary<TKey, TValue>.Add(const Key: TKey; const Value: TValue);
begin
  Inc(FCount);
end;

procedure TDictionary<TKey, TValue>.AddOrSetValue(const Key: TKey; const Value: TValue);
begin
end;

procedure TDictionary<TKey, TValue>.Remove(const Key: TKey);
begin
end;

procedure TDictionary<TKey, TValue>.Clear;
begin
  FCount := 0;
end;

function TDictionary<TKey, TValue>.TryGetValue(const Key: TKey; out Value: TValue): Boolean;
begin
  Value := Default(TValue);
  Result := False;
end;

function TDictionary<TKey, TValue>.ContainsKey(const Key: TKey): Boolean;
begin
  Result := False;
end;

end.
