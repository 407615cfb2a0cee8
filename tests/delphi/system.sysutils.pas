unit System.SysUtils;

// Compile-only stand-in for the Delphi unit System.SysUtils: the conversions
// between text and values, the format settings record with its Invariant
// class function, the exception classes, EmptyStr and the record helpers that
// give Integer, Int64, Double and Boolean their ToString methods. Free
// Pascal's own SysUtils does the work where a body does any.
// Generated units are compiled against it with Free Pascal; nothing here runs.

interface

uses
  SysUtils;

type
  Exception = SysUtils.Exception;
  EConvertError = SysUtils.EConvertError;
  EArgumentException = SysUtils.EArgumentException;
  TBytes = SysUtils.TBytes;

  TFormatSettings = record
  public
    CurrencyString: string;
    CurrencyFormat: Byte;
    CurrencyDecimals: Byte;
    DateSeparator: Char;
    TimeSeparator: Char;
    ListSeparator: Char;
    ShortDateFormat: string;
    LongDateFormat: string;
    TimeAMString: string;
    TimePMString: string;
    ShortTimeFormat: string;
    LongTimeFormat: string;
    ThousandSeparator: Char;
    DecimalSeparator: Char;
    TwoDigitYearCenturyWindow: Word;
    NegCurrFormat: Byte;
    class function Create: TFormatSettings; overload; static;
    class function Create(const LocaleName: string): TFormatSettings; overload; static;
    class function Invariant: TFormatSettings; static;
  end;

{$SCOPEDENUMS ON}
  TUseBoolStrs = (False, True);
{$SCOPEDENUMS OFF}

  TIntegerHelper = record helper for Integer
  public
    function ToString: string; overload; inline;
    function ToBoolean: Boolean; inline;
    function ToDouble: Double; inline;
    class function Parse(const S: string): Integer; static; inline;
  end;

  TInt64Helper = record helper for Int64
  public
    function ToString: string; overload; inline;
    function ToBoolean: Boolean; inline;
    function ToDouble: Double; inline;
    class function Parse(const S: string): Int64; static; inline;
  end;

  TDoubleHelper = record helper for Double
  public
    function ToString: string; overload; inline;
    function ToString(const AFormatSettings: TFormatSettings): string; overload; inline;
    class function Parse(const S: string): Double; overload; static; inline;
  end;

  TBooleanHelper = record helper for Boolean
  public
    function ToString(UseBoolStrs: TUseBoolStrs = TUseBoolStrs.False): string; overload; inline;
    function ToInteger: Integer; inline;
    class function Parse(const S: string): Boolean; static; inline;
  end;

const
  EmptyStr: string = '';

function IntToStr(Value: Integer): string; overload;
function IntToStr(Value: Int64): string; overload;
function StrToInt(const S: string): Integer;
function StrToIntDef(const S: string; Default: Integer): Integer;
function TryStrToInt(const S: string; out Value: Integer): Boolean;
function StrToInt64(const S: string): Int64;
function StrToInt64Def(const S: string; const Default: Int64): Int64;
function TryStrToInt64(const S: string; out Value: Int64): Boolean;
function BoolToStr(B: Boolean; UseBoolStrs: Boolean = False): string;
function StrToBool(const S: string): Boolean;
function StrToBoolDef(const S: string; const Default: Boolean): Boolean;
function TryStrToBool(const S: string; out Value: Boolean): Boolean;
function FloatToStr(Value: Extended): string; overload;
function FloatToStr(Value: Extended; const AFormatSettings: TFormatSettings): string; overload;
function StrToFloat(const S: string): Extended; overload;
function StrToFloat(const S: string; const AFormatSettings: TFormatSettings): Extended; overload;
function StrToFloatDef(const S: string; const Default: Extended): Extended; overload;
function Format(const Format: string; const Args: array of const): string; overload;
function Format(const Format: string; const Args: array of const;
  const AFormatSettings: TFormatSettings): string; overload;
function Trim(const S: string): string;
function UpperCase(const S: string): string;
function LowerCase(const S: string): string;
function SameText(const S1, S2: string): Boolean;
function Now: TDateTime;
function Date: TDateTime;
function DateToStr(const DateTime: TDateTime): string;
function DateTimeToStr(const DateTime: TDateTime): string;
procedure FreeAndNil(var Obj);

implementation

{ TFormatSettings }

class function TFormatSettings.Create: TFormatSettings;
begin
  Result := Default(TFormatSettings);
end;

class function TFormatSettings.Create(const LocaleName: string): TFormatSettings;
begin
  Result := Default(TFormatSettings);
end;

class function TFormatSettings.Invariant: TFormatSettings;
begin
  Result := Default(TFormatSettings);
  Result.DecimalSeparator := '.';
end;

{ TIntegerHelper }

function TIntegerHelper.ToString: string;
begin
  Result := SysUtils.IntToStr(Self);
end;

function TIntegerHelper.ToBoolean: Boolean;
begin
  Result := Self <> 0;
end;

function TIntegerHelper.ToDouble: Double;
begin
  Result := Self;
end;

class function TIntegerHelper.Parse(const S: string): Integer;
begin
  Result := SysUtils.StrToInt(S);
end;

{ TInt64Helper }

function TInt64Helper.ToString: string;
begin
  Result := SysUtils.IntToStr(Self);
end;

function TInt64Helper.ToBoolean: Boolean;
begin
  Result := Self <> 0;
end;

function TInt64Helper.ToDouble: Double;
begin
  Result := Self;
end;

class function TInt64Helper.Parse(const S: string): Int64;
begin
  Result := SysUtils.StrToInt64(S);
end;

{ TDoubleHelper }

function TDoubleHelper.ToString: string;
begin
  Result := SysUtils.FloatToStr(Self);
end;

function TDoubleHelper.ToString(const AFormatSettings: TFormatSettings): string;
begin
  Result := SysUtils.FloatToStr(Self);
end;

class function TDoubleHelper.Parse(const S: string): Double;
begin
  Result := SysUtils.StrToFloat(S);
end;

{ TBooleanHelper }

function TBooleanHelper.ToString(UseBoolStrs: TUseBoolStrs): string;
begin
  Result := SysUtils.BoolToStr(Self, UseBoolStrs = TUseBoolStrs.True);
end;

function TBooleanHelper.ToInteger: Integer;
begin
  Result := Ord(Self);
end;

class function TBooleanHelper.Parse(const S: string): Boolean;
begin
  Result := SysUtils.StrToBool(S);
end;

{ Conversions }

function IntToStr(Value: Integer): string;
begin
  Result := SysUtils.IntToStr(Value);
end;

function IntToStr(Value: Int64): string;
begin
  Result := SysUtils.IntToStr(Value);
end;

function StrToInt(const S: string): Integer;
begin
  Result := SysUtils.StrToInt(S);
end;

function StrToIntDef(const S: string; Default: Integer): Integer;
begin
  Result := SysUtils.StrToIntDef(S, Default);
end;

function TryStrToInt(const S: string; out Value: Integer): Boolean;
begin
  Result := SysUtils.TryStrToInt(S, Value);
end;

function StrToInt64(const S: string): Int64;
begin
  Result := SysUtils.StrToInt64(S);
end;

function StrToInt64Def(const S: string; const Default: Int64): Int64;
begin
  Result := SysUtils.StrToInt64Def(S, Default);
end;

function TryStrToInt64(const S: string; out Value: Int64): Boolean;
begin
  Result := SysUtils.TryStrToInt64(S, Value);
end;

function BoolToStr(B: Boolean; UseBoolStrs: Boolean): string;
begin
  Result := SysUtils.BoolToStr(B, UseBoolStrs);
end;

function StrToBool(const S: string): Boolean;
begin
  Result := SysUtils.StrToBool(S);
end;

function StrToBoolDef(const S: string; const Default: Boolean): Boolean;
begin
  Result := SysUtils.StrToBoolDef(S, Default);
end;

function TryStrToBool(const S: string; out Value: Boolean): Boolean;
begin
  Result := SysUtils.TryStrToBool(S, Value);
end;

function FloatToStr(Value: Extended): string;
begin
  Result := SysUtils.FloatToStr(Value);
end;

function FloatToStr(Value: Extended; const AFormatSettings: TFormatSettings): string;
begin
  Result := SysUtils.FloatToStr(Value);
end;

function StrToFloat(const S: string): Extended;
begin
  Result := SysUtils.StrToFloat(S);
end;

function StrToFloat(const S: string; const AFormatSettings: TFormatSettings): Extended;
begin
  Result := SysUtils.StrToFloat(S);
end;

function StrToFloatDef(const S: string; const Default: Extended): Extended;
begin
  Result := SysUtils.StrToFloatDef(S, Default);
end;

function Format(const Format: string; const Args: array of const): string;
begin
  Result := SysUtils.Format(Format, Args);
end;

function Format(const Format: string; const Args: array of const;
  const AFormatSettings: TFormatSettings): string;
begin
  Result := SysUtils.Format(Format, Args);
end;

function Trim(const S: string): string;
begin
  Result := SysUtils.Trim(S);
end;

function UpperCase(const S: string): string;
begin
  Result := SysUtils.UpperCase(S);
end;

function LowerCase(const S: string): string;
begin
  Result := SysUtils.LowerCase(S);
end;

function SameText(const S1, S2: string): Boolean;
begin
  Result := SysUtils.SameText(S1, S2);
end;

function Now: TDateTime;
begin
  Result := SysUtils.Now;
end;

function Date: TDateTime;
begin
  Result := SysUtils.Date;
end;

function DateToStr(const DateTime: TDateTime): string;
begin
  Result := SysUtils.DateToStr(DateTime);
end;

function DateTimeToStr(const DateTime: TDateTime): string;
begin
  Result := SysUtils.DateTimeToStr(DateTime);
end;

procedure FreeAndNil(var Obj);
begin
  SysUtils.FreeAndNil(Obj);
end;

end.
