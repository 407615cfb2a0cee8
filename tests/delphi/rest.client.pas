unit REST.Client;

// Compile-only stand-in for the Delphi unit REST.Client: the REST client,
// request, response and request parameter classes with the library's
// constructors, properties and overloaded methods (AddParameter, AddBody,
// Params.AddItem, Execute).
// Generated units are compiled against it with Free Pascal; nothing here runs.

interface

uses
  Classes,
  SysUtils,
  System.JSON,
  REST.Types;

type
  TCustomRESTClient = class;
  TCustomRESTRequest = class;
  TCustomRESTResponse = class;

  TRESTRequestParameter = class(TCollectionItem)
  private
    FName: string;
    FValue: string;
    FKind: TRESTRequestParameterKind;
    FOptions: TRESTRequestParameterOptions;
    FContentType: TRESTContentType;
  public
    property Name: string read FName write FName;
    property Value: string read FValue write FValue;
    property Kind: TRESTRequestParameterKind read FKind write FKind;
    property Options: TRESTRequestParameterOptions read FOptions write FOptions;
    property ContentType: TRESTContentType read FContentType write FContentType;
  end;

  TRESTRequestParameterList = class(TOwnedCollection)
  private
    function GetParameter(AIndex: Integer): TRESTRequestParameter;
  public
    constructor Create(const AOwner: TComponent);
    function AddItem: TRESTRequestParameter; overload;
    function AddItem(const AName, AValue: string): TRESTRequestParameter; overload;
    function AddItem(const AName, AValue: string; AKind: TRESTRequestParameterKind;
      AOptions: TRESTRequestParameterOptions = []): TRESTRequestParameter; overload;
    function AddItem(const AName, AValue: string; AKind: TRESTRequestParameterKind;
      AOptions: TRESTRequestParameterOptions;
      AContentType: TRESTContentType): TRESTRequestParameter; overload;
    function AddItem(const AName: string; const AValue: TBytes;
      AKind: TRESTRequestParameterKind; AOptions: TRESTRequestParameterOptions = [];
      AContentType: TRESTContentType = ctNone): TRESTRequestParameter; overload;
    function AddHeader(const AName, AValue: string): TRESTRequestParameter;
    function IndexOf(const AName: string): Integer;
    procedure Delete(const AName: string); overload;
    property Items[AIndex: Integer]: TRESTRequestParameter read GetParameter; default;
  end;

  TCustomRESTClient = class(TComponent)
  private
    FBaseURL: string;
    FAccept: string;
    FUserAgent: string;
    FHandleRedirects: Boolean;
  public
    constructor Create(AOwner: TComponent); overload; override;
    constructor Create(const ABaseApiURL: string); reintroduce; overload;
    procedure SetHTTPHeader(const AName, AValue: string);
    property BaseURL: string read FBaseURL write FBaseURL;
    property Accept: string read FAccept write FAccept;
    property UserAgent: string read FUserAgent write FUserAgent;
    property HandleRedirects: Boolean read FHandleRedirects write FHandleRedirects;
  end;

  TRESTClient = class(TCustomRESTClient)
  end;

  TCustomRESTResponse = class(TComponent)
  private
    FContent: string;
    FContentType: string;
    FStatusCode: Integer;
    FStatusText: string;
    FJSONValue: TJSONValue;
  public
    constructor Create(AOwner: TComponent); override;
    function GetSimpleValue(const AName: string; var AValue: string): Boolean;
    property Content: string read FContent;
    property ContentType: string read FContentType;
    property StatusCode: Integer read FStatusCode;
    property StatusText: string read FStatusText;
    property JSONValue: TJSONValue read FJSONValue;
  end;

  TRESTResponse = class(TCustomRESTResponse)
  end;

  TCustomRESTRequest = class(TComponent)
  private
    FAccept: string;
    FClient: TCustomRESTClient;
    FResponse: TCustomRESTResponse;
    FMethod: TRESTRequestMethod;
    FResource: string;
    FHandleRedirects: Boolean;
    FTimeout: Integer;
    FParams: TRESTRequestParameterList;
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
    function AddParameter(const AName, AValue: string): TRESTRequestParameter; overload;
    function AddParameter(const AName: string; AJsonObject: TJSONObject;
      AFreeJson: Boolean = True): TRESTRequestParameter; overload;
    function AddParameter(const AName: string; AJsonObject: TJSONObject;
      AOwnsObject: TRESTObjectOwnership): TRESTRequestParameter; overload;
    function AddParameter(const AName, AValue: string;
      const AKind: TRESTRequestParameterKind): TRESTRequestParameter; overload;
    function AddParameter(const AName, AValue: string;
      const AKind: TRESTRequestParameterKind;
      const AOptions: TRESTRequestParameterOptions): TRESTRequestParameter; overload;
    procedure AddBody(const ABodyContent: string;
      AContentType: TRESTContentType = ctNone); overload;
    procedure AddBody(AObject: TJSONObject;
      AOwnsObject: TRESTObjectOwnership = ooCopy); overload;
    procedure AddBody(ABodyContent: TStream; AContentType: TRESTContentType = ctNone;
      AOwnsStream: TRESTObjectOwnership = ooCopy); overload;
    procedure AddBody<ObjectType__: class, constructor>(AObject: ObjectType__;
      AOwnsObject: TRESTObjectOwnership = ooCopy); overload;
    procedure ClearBody;
    procedure Execute;
    property Accept: string read FAccept write FAccept;
    property Client: TCustomRESTClient read FClient write FClient;
    property Response: TCustomRESTResponse read FResponse write FResponse;
    property Method: TRESTRequestMethod read FMethod write FMethod;
    property Resource: string read FResource write FResource;
    property HandleRedirects: Boolean read FHandleRedirects write FHandleRedirects;
    property Timeout: Integer read FTimeout write FTimeout;
    property Params: TRESTRequestParameterList read FParams;
  end;

  TRESTRequest = class(TCustomRESTRequest)
  end;

implementation

{ TRESTRequestParameterList }

constructor TRESTRequestParameterList.Create(const AOwner: TComponent);
begin
  inherited Create(AOwner, TRESTRequestParameter);
end;

function TRESTRequestParameterList.GetParameter(AIndex: Integer): TRESTRequestParameter;
begin
  Result := TRESTRequestParameter(inherited Items[AIndex]);
end;

function TRESTRequestParameterList.AddItem: TRESTRequestParameter;
begin
  Result := TRESTRequestParameter(Add);
end;

function TRESTRequestParameterList.AddItem(const AName, AValue: string): TRESTRequestParameter;
begin
  Result := AddItem;
end;

function TRESTRequestParameterList.AddItem(const AName, AValue: string;
  AKind: TRESTRequestParameterKind;
  AOptions: TRESTRequestParameterOptions): TRESTRequestParameter;
begin
  Result := AddItem;
end;

function TRESTRequestParameterList.AddItem(const AName, AValue: string;
  AKind: TRESTRequestParameterKind; AOptions: TRESTRequestParameterOptions;
  AContentType: TRESTContentType): TRESTRequestParameter;
begin
  Result := AddItem;
end;

function TRESTRequestParameterList.AddItem(const AName: string; const AValue: TBytes;
  AKind: TRESTRequestParameterKind; AOptions: TRESTRequestParameterOptions;
  AContentType: TRESTContentType): TRESTRequestParameter;
begin
  Result := AddItem;
end;

function TRESTRequestParameterList.AddHeader(const AName, AValue: string): TRESTRequestParameter;
begin
  Result := AddItem;
end;

function TRESTRequestParameterList.IndexOf(const AName: string): Integer;
begin
  Result := -1;
end;

procedure TRESTRequestParameterList.Delete(const AName: string);
begin
end;

{ TCustomRESTClient }

constructor TCustomRESTClient.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
end;

constructor TCustomRESTClient.Create(const ABaseApiURL: string);
begin
  inherited Create(nil);
  FBaseURL := ABaseApiURL;
end;

procedure TCustomRESTClient.SetHTTPHeader(const AName, AValue: string);
begin
end;

{ TCustomRESTResponse }

constructor TCustomRESTResponse.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
end;

function TCustomRESTResponse.GetSimpleValue(const AName: string; var AValue: string): Boolean;
begin
  Result := False;
end;

{ TCustomRESTRequest }

constructor TCustomRESTRequest.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FParams := TRESTRequestParameterList.Create(Self);
end;

destructor TCustomRESTRequest.Destroy;
begin
  FParams.Free;
  inherited Destroy;
end;

function TCustomRESTRequest.AddParameter(const AName, AValue: string): TRESTRequestParameter;
begin
  Result := FParams.AddItem(AName, AValue);
end;

function TCustomRESTRequest.AddParameter(const AName: string; AJsonObject: TJSONObject;
  AFreeJson: Boolean): TRESTRequestParameter;
begin
  Result := FParams.AddItem;
end;

function TCustomRESTRequest.AddParameter(const AName: string; AJsonObject: TJSONObject;
  AOwnsObject: TRESTObjectOwnership): TRESTRequestParameter;
begin
  Result := FParams.AddItem;
end;

function TCustomRESTRequest.AddParameter(const AName, AValue: string;
  const AKind: TRESTRequestParameterKind): TRESTRequestParameter;
begin
  Result := FParams.AddItem(AName, AValue, AKind);
end;

function TCustomRESTRequest.AddParameter(const AName, AValue: string;
  const AKind: TRESTRequestParameterKind;
  const AOptions: TRESTRequestParameterOptions): TRESTRequestParameter;
begin
  Result := FParams.AddItem(AName, AValue, AKind, AOptions);
end;

procedure TCustomRESTRequest.AddBody(const ABodyContent: string;
  AContentType: TRESTContentType);
begin
end;

procedure TCustomRESTRequest.AddBody(AObject: TJSONObject;
  AOwnsObject: TRESTObjectOwnership);
begin
end;

procedure TCustomRESTRequest.AddBody(ABodyContent: TStream;
  AContentType: TRESTContentType; AOwnsStream: TRESTObjectOwnership);
begin
end;

procedure TCustomRESTRequest.AddBody<ObjectType__>(AObject: ObjectType__;
  AOwnsObject: TRESTObjectOwnership);
begin
end;

procedure TCustomRESTRequest.ClearBody;
begin
end;

procedure TCustomRESTRequest.Execute;
begin
end;

end.
