// Whole client method implementations: the frame, the result conversion, the
// credentials and the base URL, through the real program.
#include <gtest/gtest.h>

#include "client_test_support.h"

namespace tolvane::testing {
namespace {

const char* const kPetSecurity = R"({"api_key": {"type": "apiKey", "name": "api_key", "in": "header"}})";

// getPetById with the given result schema.
std::string PetDocument(const std::string& AResponses) {
  return ClientDocument(R"({"/pet/{petId}": {"get": {
      "operationId": "getPetById",
      "produces": ["application/json", "application/xml"],
      "parameters": [{"name": "petId", "in": "path", "required": true, "type": "integer", "format": "int64"}],
      "responses": )" + AResponses + R"(,
      "security": [{"api_key": []}]}}})",
                        kPetSecurity);
}

TEST(ClientOperationTest, ClassResult) {
  const TClientRun run =
      RunTolvane(PetDocument(R"({"200": {"description": "ok", "schema": {"$ref": "#/definitions/Pet"}}})"));
  EXPECT_EQ(MethodText(run.Lines, "function Tapi.getPetById"), R"(function Tapi.getPetById(petId : int64) : TPet;
var
  Client   : TRestClient;
  Request  : TRestRequest;
  Response : TRestResponse;
begin
  Result           := nil;
  Client           := TRestClient.Create('https://h/api');
  Request          := TRestRequest.Create(nil);
  Response         := TRestResponse.Create(nil);
  try
    Request.Client   := Client;
    Request.Response := Response;
    Request.HandleRedirects := True;
    Request.Method := rmGET;
    Request.Accept := 'application/json';
    Request.Resource := '/pet/{petId}';
    if FAuthorization <> '' then
      Request.AddParameter('api_key', FAuthorization , pkHTTPHEADER, [poDoNotEncode]);
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
)");
}

TEST(ClientOperationTest, ArrayResult) {
  const TClientRun run = RunTolvane(PetDocument(
      R"({"200": {"schema": {"type": "array", "items": {"$ref": "#/definitions/Pet"}}}})"));
  EXPECT_EQ(MethodText(run.Lines, "function Tapi.getPetById"), R"(function Tapi.getPetById(petId : int64) : TArray<TPet>;
var
  Client   : TRestClient;
  Request  : TRestRequest;
  Response : TRestResponse;
  I          : Integer;
  ReturnArray: TJSONArray;
begin
  Client           := TRestClient.Create('https://h/api');
  Request          := TRestRequest.Create(nil);
  Response         := TRestResponse.Create(nil);
  try
    Request.Client   := Client;
    Request.Response := Response;
    Request.HandleRedirects := True;
    Request.Method := rmGET;
    Request.Accept := 'application/json';
    Request.Resource := '/pet/{petId}';
    if FAuthorization <> '' then
      Request.AddParameter('api_key', FAuthorization , pkHTTPHEADER, [poDoNotEncode]);
    Request.AddParameter('petId', IntToStr(petId), pkURLSEGMENT, []);
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
)");
}

TEST(ClientOperationTest, Procedure) {
  const TClientRun run = RunTolvane(PetDocument(R"({"404": {"schema": {"$ref": "#/definitions/Error"}}})"));
  EXPECT_EQ(MethodText(run.Lines, "procedure Tapi.getPetById"), R"(procedure Tapi.getPetById(petId : int64);
var
  Client   : TRestClient;
  Request  : TRestRequest;
  Response : TRestResponse;
begin
  Client           := TRestClient.Create('https://h/api');
  Request          := TRestRequest.Create(nil);
  Response         := TRestResponse.Create(nil);
  try
    Request.Client   := Client;
    Request.Response := Response;
    Request.HandleRedirects := True;
    Request.Method := rmGET;
    Request.Accept := 'application/json';
    Request.Resource := '/pet/{petId}';
    if FAuthorization <> '' then
      Request.AddParameter('api_key', FAuthorization , pkHTTPHEADER, [poDoNotEncode]);
    Request.AddParameter('petId', IntToStr(petId), pkURLSEGMENT, []);
    Request.Execute;
  finally
    Client.Free;
    Request.Free;
    Response.Free;
  end;
end;
)");
}

TEST(ClientOperationTest, ResultConversionByType) {
  const struct {
    const char* schema;
    bool initialisedNil;
    const char* conversion;  // the lines between "begin" and "end;" of the result block
  } cases[] = {
      {R"({"type": "object"})", true, "      Result := TJSONObject.ParseJSONValue(Response.Content);\n"},
      {R"({"type": "string"})", false, "      Result := Response.Content;\n"},
      {R"({"type": "boolean"})", false, "      Result := Response.Content;\n"},
      {R"({"$ref": "#/definitions/pet-owner"})", true,
       "      Result := TJSON.JSONToObject<Tpet_owner>(Response.Content);\n"},
      {R"({"type": "array", "items": {"type": "string"}})", false,
       "      ReturnArray := TJSONArray(TJSONObject.ParseJSONValue(Response.Content));\n"
       "      SetLength(Result, ReturnArray.Count);\n"
       "      for I := 0 to ReturnArray.Count -1 do\n"
       "      begin\n"
       "        Result[I] := TJSONObject(ReturnArray.Items[I]).ToString;\n"
       "      end;\n"},
  };
  for (const auto& c : cases) {
    const TClientRun run = RunTolvane(ClientDocument(
        std::string(R"({"/p": {"get": {"operationId": "op", "responses": {"200": {"schema": )") + c.schema +
        "}}}}}"));
    const std::string method = MethodText(run.Lines, "function Tapi.op");
    EXPECT_EQ(method.find("  Result           := nil;\n") != std::string::npos, c.initialisedNil) << c.schema;
    EXPECT_NE(method.find(std::string("    if Response.StatusCode = 200 then\n    begin\n") + c.conversion +
                          "    end;\n  finally\n"),
              std::string::npos)
        << c.schema << "\n" << method;
  }
}

// The lines between the Resource line and Execute: the credentials of the
// first security requirement "k", looked up by exact name, first wins.
TEST(ClientOperationTest, Credentials) {
  const struct {
    const char* definitions;
    const char* credentials;
  } cases[] = {
      {R"({"k": {"type": "apiKey", "name": "api_key", "in": "query"}})",
       "    if FAuthorization <> '' then\n"
       "      Request.AddParameter('api_key', FAuthorization , pkQUERY, [poDoNotEncode]);\n"},
      {R"({"k": {"type": "OAuth2", "name": "token", "in": "header"}})",
       "    if FAuthorization <> '' then\n"
       "      Request.AddParameter('token', FAuthorization , pkHTTPHEADER, [poDoNotEncode]);\n"},
      {R"({"k": {"type": "oauth2", "flow": "implicit", "authorizationUrl": "http://x/o'auth"}})",
       "    // Security (oauth2) k:  in \n"
       "    // OAuth2 implicit http://x/o'auth\n"},
      {R"({"k": {"type": "basic", "name": "Authorization"}})",
       "    if FAuthorization <> '' then\n"
       "      Request.AddParameter('Authorization', FAuthorization , , [poDoNotEncode]);\n"},
      {R"({"k": {"type": "apiKey", "name": "first", "in": "query"},
           "k": {"type": "apiKey", "name": "second", "in": "header"}})",
       "    if FAuthorization <> '' then\n"
       "      Request.AddParameter('first', FAuthorization , pkQUERY, [poDoNotEncode]);\n"},
      {R"({"K": {"type": "apiKey", "name": "api_key", "in": "query"}})", ""},
      {"{}", ""},
  };
  for (const auto& c : cases) {
    const TClientRun run = RunTolvane(ClientDocument(
        R"({"/p": {"get": {"operationId": "op", "responses": {}, "security": [{"k": []}, {"other": []}]},
                   "put": {"operationId": "second", "security": [{"k": []}]}}})",
        c.definitions));
    EXPECT_NE(MethodText(run.Lines, "procedure Tapi.op;")
                  .find(std::string("    Request.Resource := '/p';\n") + c.credentials + "    Request.Execute;\n"),
              std::string::npos)
        << c.definitions << "\n" << run.Output;
    // The path's other operations have no security name and no credentials.
    EXPECT_NE(MethodText(run.Lines, "procedure Tapi.second;")
                  .find("    Request.Resource := '/p';\n    Request.Execute;\n"),
              std::string::npos)
        << c.definitions;
  }
}

TEST(ClientOperationTest, BaseUrlAndAcceptedType) {
  const struct {
    const char* head;
    const char* produces;
    const char* expected;  // the lines from the client creation up to the Resource line
    bool schemeDefault;
  } cases[] = {
      {R"("host": "h", "basePath": "/api", "schemes": ["http", "https"], "produces": ["text/plain"],)",
       R"("produces": ["application/xml", "application/json"],)",
       "  Client           := TRestClient.Create('http://h/api');\n"
       "    Request.Accept := 'application/xml';\n", false},
      {R"("host": "h:8080", "basePath": "/v1", "produces": ["text/plain"],)", "",
       "  Client           := TRestClient.Create('http://h:8080/v1');\n", true},
      {R"("schemes": ["wss"],)", "",
       "  Client           := TRestClient.Create('wss://');\n", false},
  };
  for (const auto& c : cases) {
    const TClientRun run = RunTolvane(ClientDocument(
        std::string(R"({"/p": {"get": {"operationId": "op", )") + c.produces +
            R"( "schemes": ["ftp"], "responses": {}}}})",
        "{}", c.head));
    const std::string method = MethodText(run.Lines, "procedure T");
    std::string picked;
    for (const std::string& line :
         {std::string("  Client           := "), std::string("    Request.Accept := ")}) {
      const size_t at = method.find(line);
      if (at != std::string::npos) picked += method.substr(at, method.find('\n', at) + 1 - at);
    }
    EXPECT_EQ(picked, c.expected) << c.head;
    EXPECT_EQ(run.Output.find("Missing scheme, using http as default\n") != std::string::npos,
              c.schemeDefault)
        << run.Output;
  }
}

}  // namespace
}  // namespace tolvane::testing
