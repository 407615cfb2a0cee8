unit SOAP.XSBuiltins;

// Compile-only stand-in for the Delphi unit SOAP.XSBuiltins: the XML schema
// date and time class and the conversions between TDateTime and XML time text.
// Generated units name this unit in their uses clause without using a name
// from it; the declarations are here so that the unit is not empty.
// Generated units are compiled against it with Free Pascal; nothing here runs.

interface

type
  TRemotableXS = class(TObject)
  public
    function NativeToXS: string; virtual;
    procedure XSToNative(const Value: string); virtual;
  end;

  TXSDateTime = class(TRemotableXS)
  private
    FAsDateTime: TDateTime;
  public
    property AsDateTime: TDateTime read FAsDateTime write FAsDateTime;
  end;

function DateTimeToXMLTime(Value: TDateTime; ApplyLocalBias: Boolean = True): string;
function XMLTimeToDateTime(const XMLDateTime: string; AsUTCTime: Boolean = False): TDateTime;

implementation

function TRemotableXS.NativeToXS: string;
begin
  Result := '';
end;

procedure TRemotableXS.XSToNative(const Value: string);
begin
end;

function DateTimeToXMLTime(Value: TDateTime; ApplyLocalBias: Boolean): string;
begin
  Result := '';
end;

function XMLTimeToDateTime(const XMLDateTime: string; AsUTCTime: Boolean): TDateTime;
begin
  Result := 0;
end;

end.
