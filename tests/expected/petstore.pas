(*
  Created by Tolvane v1.3 2026-12-09 06:44:14
*)

unit petstore;

interface

uses
  System.JSON;

type

  // A kind of animal
  TKind = class
  private
    Fid : int64;
    // Such as cat or parrot
    Fname : string;
  public
    property id : int64 read Fid write Fid;
    property &name : string read Fname write Fname;
  end;

  TLabel = class
  private
    Fid : int64;
    Ftext : string;
  public
    property id : int64 read Fid write Fid;
    property text : string read Ftext write Ftext;
  end;

  // An animal for sale
  TPet = class
  private
    Fid : int64;
    Fname : string;
    Fkind : TKind;
    Flabels : TArray<TLabel>;
    FphotoUrls : TArray<string>;
    // Price in euro
    Fprice : double;
    Fbirthday : string;
    // State in the shop
    Fstate : string;
  public
    destructor Destroy; override;
    property id : int64 read Fid write Fid;
    property &name : string read Fname write Fname;
    property kind : TKind read Fkind write Fkind;
    property labels : TArray<TLabel> read Flabels write Flabels;
    property photoUrls : TArray<string> read FphotoUrls write FphotoUrls;
    property price : double read Fprice write Fprice;
    property birthday : string read Fbirthday write Fbirthday;
    property state : string read Fstate write Fstate;
  end;

  TAddress = class
  private
    Fstreet : string;
    Fcity : string;
    Fzip : string;
  public
    property street : string read Fstreet write Fstreet;
    property city : string read Fcity write Fcity;
    property zip : string read Fzip write Fzip;
  end;

  TOrder = class
  private
    Fid : int64;
    FpetId : int64;
    Fquantity : integer;
    FshipDate : TDateTime;
    Fcomplete : boolean;
  public
    property id : int64 read Fid write Fid;
    property petId : int64 read FpetId write FpetId;
    property quantity : integer read Fquantity write Fquantity;
    property shipDate : TDateTime read FshipDate write FshipDate;
    property complete : boolean read Fcomplete write Fcomplete;
  end;

  // A customer of the shop
  TOwner = class
  private
    Flogin : string;
    FfirstName : string;
    FlastName : string;
    Femail : string;
    Fpets : TArray<TPet>;
    Faddress : TAddress;
  public
    destructor Destroy; override;
    property login : string read Flogin write Flogin;
    property firstName : string read FfirstName write FfirstName;
    property lastName : string read FlastName write FlastName;
    property email : string read Femail write Femail;
    property pets : TArray<TPet> read Fpets write Fpets;
    property address : TAddress read Faddress write Faddress;
  end;

  Tapiv1 = class
  private
    FAuthorization : string;
  public
    property Authorization : string read FAuthorization write FAuthorization;
    function listPets(kind : string; state : TArray<string>; limit : integer) : TArray<TPet>;
    procedure addPet(body : TPet);
    function getPetById(petId : int64) : TPet;
    procedure updatePetWithForm(petId : int64; &name : string; state : string);
    procedure deletePet(X_Shop_Clerk : string; petId : int64);
    function placeOrder(body : TOrder) : TOrder;
    function getOrderById(orderId : int64) : TOrder;
    procedure cancelOrder(orderId : int64);
    function getOwner(login : string) : TOwner;
    procedure updateOwner(login : string; body : TOwner);
  end;

implementation

uses
  REST.Types,
  REST.JSON,
  REST.Client,
  SOAP.XSBuiltins,
  System.Generics.Collections,
  System.SysUtils,
  System.DateUtils;

{ TPet }

destructor TPet.Destroy;
var
  T : TObject;
begin
  if Assigned(Fkind) then
    Fkind.Free;
  for T in Flabels do
    T.Free;
  inherited;
end;

{ TOwner }

destructor TOwner.Destroy;
var
  T : TObject;
begin
  for T in Fpets do
    T.Free;
  if Assigned(Faddress) then
    Faddress.Free;
  inherited;
end;

function Tapiv1.listPets(kind : string; state : TArray<string>; limit : integer) : TArray<TPet>;
var
  Client   : TRestClient;
  Request  : TRestRequest;
  Response : TRestResponse;
  LstateItem : string;
  I          : Integer;
  ReturnArray: TJSONArray;
begin
  Client           := TRestClient.Create('https://shop.example/api/v1');
  Request          := TRestRequest.Create(nil);
  Response         := TRestResponse.Create(nil);
  try
    Request.Client   := Client;
    Request.Response := Response;
    Request.HandleRedirects := True;
    Request.Method := rmGET;
    Request.Resource := '/pets';
    if FAuthorization <> '' then
      Request.AddParameter('X-Shop-Key', FAuthorization , pkHTTPHEADER, [poDoNotEncode]);
    if kind <> emptyStr then
    begin
      Request.AddParameter('kind', kind, pkQUERY, []);
    end;
    if Length(state) > 0 then
    begin
      for LstateItem in state do
        Request.AddParameter('state', LstateItem, pkQUERY, [poDoNotEncode]);
    end;
    if limit<> 0 then
    begin
      Request.AddParameter('limit', IntToStr(limit), pkQUERY, []);
    end;
    Request.Execute;
    if Response.StatusCode = 200 then
    begin
      ReturnArray := TJSONArray(TJSONObject.ParseJSONValue(Response.Content));
      SetLength(Result, ReturnArray.Count);
      for I := 0 to ReturnArray.Count -1 do
      begin
        Result[I] := TJSON.JsonToObject<TPet>(TJSONObject(ReturnArray.Items[I]));
      end;
    end;
  finally
    Client.Free;
    Request.Free;
    Response.Free;
  end;
end;

procedure Tapiv1.addPet(body : TPet);
var
  Client   : TRestClient;
  Request  : TRestRequest;
  Response : TRestResponse;
begin
  Client           := TRestClient.Create('https://shop.example/api/v1');
  Request          := TRestRequest.Create(nil);
  Response         := TRestResponse.Create(nil);
  try
    Request.Client   := Client;
    Request.Response := Response;
    Request.HandleRedirects := True;
    Request.Method := rmPOST;
    Request.Resource := '/pets';
    Request.AddBody(TJSON.ObjectToJsonObject(body));
    Request.Execute;
  finally
    Client.Free;
    Request.Free;
    Response.Free;
  end;
end;

function Tapiv1.getPetById(petId : int64) : TPet;
var
  Client   : TRestClient;
  Request  : TRestRequest;
  Response : TRestResponse;
begin
  Result           := nil;
  Client           := TRestClient.Create('https://shop.example/api/v1');
  Request          := TRestRequest.Create(nil);
  Response         := TRestResponse.Create(nil);
  try
    Request.Client   := Client;
    Request.Response := Response;
    Request.HandleRedirects := True;
    Request.Method := rmGET;
    Request.Resource := '/pets/{petId}';
    if FAuthorization <> '' then
      Request.AddParameter('X-Shop-Key', FAuthorization , pkHTTPHEADER, [poDoNotEncode]);
    Request.AddParameter('petId', IntToStr(petId), pkURLSEGMENT, []);
    Request.Execute;
    if Response.StatusCode = 200 then
    begin
      Result := TJSON.JSONToObject<TPet>(Response.Content);
    end;
  finally
    Client.Free;
    Request.Free;
    Response.Free;
  end;
end;

procedure Tapiv1.updatePetWithForm(petId : int64; &name : string; state : string);
var
  Client   : TRestClient;
  Request  : TRestRequest;
  Response : TRestResponse;
begin
  Client           := TRestClient.Create('https://shop.example/api/v1');
  Request          := TRestRequest.Create(nil);
  Response         := TRestResponse.Create(nil);
  try
    Request.Client   := Client;
    Request.Response := Response;
    Request.HandleRedirects := True;
    Request.Method := rmPOST;
    Request.Resource := '/pets/{petId}';
    Request.AddParameter('petId', IntToStr(petId), pkURLSEGMENT, []);
    if &name <> emptyStr then
    begin
      Request.Params.AddItem('name', &name, pkGETorPOST, [], TRESTContentType.ctAPPLICATION_X_WWW_FORM_URLENCODED);
    end;
    if state <> emptyStr then
    begin
      Request.Params.AddItem('state', state, pkGETorPOST, [], TRESTContentType.ctAPPLICATION_X_WWW_FORM_URLENCODED);
    end;
    Request.Execute;
  finally
    Client.Free;
    Request.Free;
    Response.Free;
  end;
end;

procedure Tapiv1.deletePet(X_Shop_Clerk : string; petId : int64);
var
  Client   : TRestClient;
  Request  : TRestRequest;
  Response : TRestResponse;
begin
  Client           := TRestClient.Create('https://shop.example/api/v1');
  Request          := TRestRequest.Create(nil);
  Response         := TRestResponse.Create(nil);
  try
    Request.Client   := Client;
    Request.Response := Response;
    Request.HandleRedirects := True;
    Request.Method := rmDelete;
    Request.Resource := '/pets/{petId}';
    if X_Shop_Clerk <> emptyStr then
    begin
      Request.AddParameter('X-Shop-Clerk', X_Shop_Clerk, pkHTTPHEADER, [poDoNotEncode]);
    end;
    Request.AddParameter('petId', IntToStr(petId), pkURLSEGMENT, []);
    Request.Execute;
  finally
    Client.Free;
    Request.Free;
    Response.Free;
  end;
end;

function Tapiv1.placeOrder(body : TOrder) : TOrder;
var
  Client   : TRestClient;
  Request  : TRestRequest;
  Response : TRestResponse;
begin
  Result           := nil;
  Client           := TRestClient.Create('https://shop.example/api/v1');
  Request          := TRestRequest.Create(nil);
  Response         := TRestResponse.Create(nil);
  try
    Request.Client   := Client;
    Request.Response := Response;
    Request.HandleRedirects := True;
    Request.Method := rmPOST;
    Request.Resource := '/orders';
    Request.AddBody(TJSON.ObjectToJsonObject(body));
    Request.Execute;
    if Response.StatusCode = 200 then
    begin
      Result := TJSON.JSONToObject<TOrder>(Response.Content);
    end;
  finally
    Client.Free;
    Request.Free;
    Response.Free;
  end;
end;

function Tapiv1.getOrderById(orderId : int64) : TOrder;
var
  Client   : TRestClient;
  Request  : TRestRequest;
  Response : TRestResponse;
begin
  Result           := nil;
  Client           := TRestClient.Create('https://shop.example/api/v1');
  Request          := TRestRequest.Create(nil);
  Response         := TRestResponse.Create(nil);
  try
    Request.Client   := Client;
    Request.Response := Response;
    Request.HandleRedirects := True;
    Request.Method := rmGET;
    Request.Resource := '/orders/{orderId}';
    Request.AddParameter('orderId', IntToStr(orderId), pkURLSEGMENT, []);
    Request.Execute;
    if Response.StatusCode = 200 then
    begin
      Result := TJSON.JSONToObject<TOrder>(Response.Content);
    end;
  finally
    Client.Free;
    Request.Free;
    Response.Free;
  end;
end;

procedure Tapiv1.cancelOrder(orderId : int64);
var
  Client   : TRestClient;
  Request  : TRestRequest;
  Response : TRestResponse;
begin
  Client           := TRestClient.Create('https://shop.example/api/v1');
  Request          := TRestRequest.Create(nil);
  Response         := TRestResponse.Create(nil);
  try
    Request.Client   := Client;
    Request.Response := Response;
    Request.HandleRedirects := True;
    Request.Method := rmDelete;
    Request.Resource := '/orders/{orderId}';
    Request.AddParameter('orderId', IntToStr(orderId), pkURLSEGMENT, []);
    Request.Execute;
  finally
    Client.Free;
    Request.Free;
    Response.Free;
  end;
end;

function Tapiv1.getOwner(login : string) : TOwner;
var
  Client   : TRestClient;
  Request  : TRestRequest;
  Response : TRestResponse;
begin
  Result           := nil;
  Client           := TRestClient.Create('https://shop.example/api/v1');
  Request          := TRestRequest.Create(nil);
  Response         := TRestResponse.Create(nil);
  try
    Request.Client   := Client;
    Request.Response := Response;
    Request.HandleRedirects := True;
    Request.Method := rmGET;
    Request.Resource := '/owners/{login}';
    // Security (oauth2) shop_auth:  in 
    // OAuth2 implicit https://shop.example/oauth/authorize
    Request.AddParameter('login', login, pkURLSEGMENT, []);
    Request.Execute;
    if Response.StatusCode = 200 then
    begin
      Result := TJSON.JSONToObject<TOwner>(Response.Content);
    end;
  finally
    Client.Free;
    Request.Free;
    Response.Free;
  end;
end;

procedure Tapiv1.updateOwner(login : string; body : TOwner);
var
  Client   : TRestClient;
  Request  : TRestRequest;
  Response : TRestResponse;
begin
  Client           := TRestClient.Create('https://shop.example/api/v1');
  Request          := TRestRequest.Create(nil);
  Response         := TRestResponse.Create(nil);
  try
    Request.Client   := Client;
    Request.Response := Response;
    Request.HandleRedirects := True;
    Request.Method := rmPUT;
    Request.Resource := '/owners/{login}';
    Request.AddParameter('login', login, pkURLSEGMENT, []);
    Request.AddBody(TJSON.ObjectToJsonObject(body));
    Request.Execute;
  finally
    Client.Free;
    Request.Free;
    Response.Free;
  end;
end;


end.
