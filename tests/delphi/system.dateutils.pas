unit System.DateUtils;

// Compile-only stand-in for the Delphi unit System.DateUtils: the ISO 8601
// conversions of dates and a few date functions, with the library's default
// parameters. Free Pascal's own DateUtils does the work where a body does any.
// Generated units are compiled against it with Free Pascal; nothing here runs.

interface

function DateToISO8601(const ADate: TDateTime; AInputIsUTC: Boolean = True): string;
function ISO8601ToDate(const AISODate: string; AReturnUTC: Boolean = True): TDateTime;
function TryISO8601ToDate(const AISODate: string; out Value: TDateTime;
  AReturnUTC: Boolean = True): Boolean;
function DateOf(const AValue: TDateTime): TDateTime;
function TimeOf(const AValue: TDateTime): TDateTime;
function IncDay(const AValue: TDateTime; const ANumberOfDays: Integer = 1): TDateTime;
function UnixToDateTime(const AValue: Int64; AReturnUTC: Boolean = True): TDateTime;
function DateTimeToUnix(const AValue: TDateTime; AInputIsUTC: Boolean = True): Int64;

implementation

uses
  DateUtils;

function DateToISO8601(const ADate: TDateTime; AInputIsUTC: Boolean): string;
begin
  Result := DateUtils.DateToISO8601(ADate, AInputIsUTC);
end;

function ISO8601ToDate(const AISODate: string; AReturnUTC: Boolean): TDateTime;
begin
  Result := DateUtils.ISO8601ToDate(AISODate, AReturnUTC);
end;

function TryISO8601ToDate(const AISODate: string; out Value: TDateTime;
  AReturnUTC: Boolean): Boolean;
begin
  Result := DateUtils.TryISO8601ToDate(AISODate, Value, AReturnUTC);
end;

function DateOf(const AValue: TDateTime): TDateTime;
begin
  Result := DateUtils.DateOf(AValue);
end;

function TimeOf(const AValue: TDateTime): TDateTime;
begin
  Result := DateUtils.TimeOf(AValue);
end;

function IncDay(const AValue: TDateTime; const ANumberOfDays: Integer): TDateTime;
begin
  Result := DateUtils.IncDay(AValue, ANumberOfDays);
end;

function UnixToDateTime(const AValue: Int64; AReturnUTC: Boolean): TDateTime;
begin
  Result := DateUtils.UnixToDateTime(AValue, AReturnUTC);
end;

function DateTimeToUnix(const AValue: TDateTime; AInputIsUTC: Boolean): Int64;
begin
  Result := DateUtils.DateTimeToUnix(AValue, AInputIsUTC);
end;

end.
