// The client class and client method writers on hand-made paths, without the
// loader: cleaning of document texts, failures, and the security lookup.
#include <gtest/gtest.h>

#include "platform/exceptions.h"
#include "swagger/swagger_classes.h"
#include "unitdef/client_test_model.h"
#include "unitdef/signature.h"
#include "unitdef/unit_definition.h"

namespace tolvane {
namespace {

using namespace tolvane::testing;  // the model builders

std::string Join(const TLineList& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

struct ClientFixture {
  TUnitDefinition unit;
  TPaths paths;
  std::vector<std::unique_ptr<TSecurityDefinition>> definitions;

  ClientFixture() {
    unit.FPaths = &paths;
    unit.FHost = "h";
    unit.FBasePath = "/api";
    unit.FSchemes = {"https", "http"};
  }

  TSecurityDefinition& Define(const std::string& name, const std::string& type,
                              const std::string& parameter, const std::string& in) {
    auto definition = std::make_unique<TSecurityDefinition>();
    definition->FSecurityname = name;
    definition->Ftype = type;
    definition->Fname = parameter;
    definition->FIn = in;
    definitions.push_back(std::move(definition));
    unit.FSecurityDefinitions.push_back(definitions.back().get());
    return *definitions.back();
  }

  std::string Class() {
    TLineList lines;
    unit.WriteClientClass(lines);
    return Join(lines);
  }
  std::string Methods() {
    TLineList lines;
    unit.WriteClientMethods(lines);
    return Join(lines);
  }
};

// Every kind of argument, result and credential, with plain names.
void AddPlainOperations(ClientFixture& f) {
  f.Define("key", "apiKey", "api_key", "header");
  f.Define("auth", "oauth2", "", "");
  TPath& pet = AddPath(f.paths, "/pet/{petId}");
  TOperation& get = AddOperation(pet, "get", "getPet");
  AddParameter(get, "petId", "path", "integer").Fformat = "int64";
  AddParameter(get, "type", "query", "string", false);
  SetItems(AddParameter(get, "tags", "query", "array", false), "string");
  AddParameter(get, "flag", "header", "boolean", false);
  AddResponse(get, "200", Schema("#/definitions/Pet"));
  AddSecurity(get, "key");
  get.Fproduces = {"application/json"};
  TOperation& post = AddOperation(pet, "post", "addPets");
  post.Fparameters.push_back(std::make_unique<TParameter>());
  post.Fparameters.back()->Fname = "body";
  post.Fparameters.back()->Fin = "body";
  post.Fparameters.back()->Frequired = true;
  post.Fparameters.back()->Fschema = Schema("", "array", "#/definitions/Pet");
  AddParameter(post, "name", "formData", "string", false);
  post.Fconsumes = {"application/x-www-form-urlencoded"};
  AddSecurity(post, "auth");
  TOperation& put = AddOperation(AddPath(f.paths, "/list"), "put", "list");
  AddResponse(put, "default", Schema("", "array", "#/definitions/Pet"));
}

TEST(ClientMethodsTest, PlainNamesAreWrittenTheSameWithAndWithoutCleaning) {
  ClientFixture f;
  AddPlainOperations(f);
  const std::string cleanedClass = f.Class();
  const std::string cleanedMethods = f.Methods();
  f.unit.FConfig.SanitizeNames = false;
  EXPECT_EQ(f.Class(), cleanedClass);
  EXPECT_EQ(f.Methods(), cleanedMethods);
  EXPECT_NE(cleanedMethods.find("LtagsItem"), std::string::npos);
  EXPECT_NE(cleanedMethods.find("    // OAuth2  \n"), std::string::npos);
}

// A hostile document cannot end a name, a literal or a comment line early.
TEST(ClientMethodsTest, DocumentTextsCannotBreakOutOfTheirPlace) {
  ClientFixture f;
  f.unit.FBasePath = "/a;b";
  f.unit.FHost = "h'x";
  f.Define("o", "oauth2", "n\r\nend.", "in\n").Fflow = "imp\rlicit";
  TPath& path = AddPath(f.paths, "/p'\r\n");
  TOperation& op = AddOperation(path, "get", "x;y");
  AddParameter(op, "n'm", "query", "string", false);
  op.Fparameters.push_back(std::make_unique<TParameter>());
  op.Fparameters.back()->Fname = "b}";
  op.Fparameters.back()->Fin = "body";
  op.Fparameters.back()->Frequired = true;
  op.Fparameters.back()->Fschema = Schema("", "array", "#/definitions/P(q");
  AddResponse(op, "200", Schema("#/definitions/R;S"));
  AddSecurity(op, "o");
  op.Fproduces = {"a'\nb"};

  EXPECT_EQ(f.Class(),
            "\n"
            "  Ta_b = class\n"
            "  private\n"
            "    FAuthorization : string;\n"
            "  public\n"
            "    property Authorization : string read FAuthorization write FAuthorization;\n"
            "    function x_y(n_m : string; b_ : TArray<TP_q>) : TR_S;\n"
            "  end;\n");
  EXPECT_EQ(f.Methods(), R"(
function Ta_b.x_y(n_m : string; b_ : TArray<TP_q>) : TR_S;
var
  Client   : TRestClient;
  Request  : TRestRequest;
  Response : TRestResponse;
  Lb_Item : TP_q;
  Lb_ItemArray : TJSONArray;
begin
  Result           := nil;
  Client           := TRestClient.Create('https://h''x/a;b');
  Request          := TRestRequest.Create(nil);
  Response         := TRestResponse.Create(nil);
  Lb_ItemArray := TJSONArray.Create;
  try
    Request.Client   := Client;
    Request.Response := Response;
    Request.HandleRedirects := True;
    Request.Method := rmGET;
    Request.Accept := 'a'''#10'b';
    Request.Resource := '/p'''#13#10;
    // Security (oauth2) o: n  end. in in 
    // OAuth2 imp licit 
    if n_m <> emptyStr then
    begin
      Request.AddParameter('n''m', n_m, pkQUERY, []);
    end;
    for Lb_Item in b_ do
      Lb_ItemArray.AddElement(TJSON.ObjectToJSONObject(Lb_Item));
    Request.AddBody(Lb_ItemArray.ToJSON, ctAPPLICATION_JSON);
    Request.Execute;
    if Response.StatusCode = 200 then
    begin
      Result := TJSON.JSONToObject<TR_S>(Response.Content);
    end;
  finally
    Client.Free;
    Request.Free;
    Response.Free;
  end;
end;

)");
}

TEST(ClientMethodsTest, OptionalArgumentWithoutPresenceTestEndsTheWriting) {
  ClientFixture f;
  TPath& path = AddPath(f.paths, "/p");
  AddOperation(path, "get", "fine");
  TOperation& bad = AddOperation(path, "post", "bad");
  AddParameter(bad, "list", "query", "array", false);  // no items
  TLineList lines;
  try {
    f.unit.WriteClientMethods(lines);
    FAIL() << "no failure";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.ClassName(), "Exception");
    EXPECT_EQ(e.Message(), "Undefined datatype array");
  }
  // The same argument made required is sent as JSON without a test.
  bad.Fparameters.back()->Frequired = true;
  EXPECT_NE(f.Methods().find("Request.AddParameter('list', TJSON.ObjectToJSONString(list), "
                             "pkQUERY, []);"),
            std::string::npos);
}

TEST(ClientMethodsTest, CredentialsFromTheFirstDefinitionOfTheName) {
  ClientFixture f;
  for (int i = 0; i < 1000; ++i) f.Define("other" + std::to_string(i), "basic", "x", "query");
  f.Define("key", "apiKey", "first", "query");
  f.Define("key", "apiKey", "second", "header");
  f.Define("nowhere", "basic", "auth", "");
  TPath& path = AddPath(f.paths, "/p");
  AddSecurity(AddOperation(path, "get", "a"), "key");
  AddSecurity(AddOperation(path, "put", "b"), "missing");
  AddSecurity(AddOperation(path, "post", "c"), "nowhere");
  AddSecurity(AddOperation(path, "patch", "d"), "KEY");
  const std::string methods = f.Methods();
  EXPECT_NE(methods.find("Request.AddParameter('first', FAuthorization , pkQUERY, [poDoNotEncode]);"),
            std::string::npos);
  EXPECT_EQ(methods.find("'second'"), std::string::npos);
  EXPECT_NE(methods.find("Request.AddParameter('auth', FAuthorization , , [poDoNotEncode]);"),
            std::string::npos);
  size_t count = 0;
  for (size_t at = methods.find("if FAuthorization"); at != std::string::npos;
       at = methods.find("if FAuthorization", at + 1)) {
    ++count;
  }
  EXPECT_EQ(count, 2u);  // "missing" and "KEY" name no definition
}

TEST(ClientMethodsTest, ClassDeclaresServedOperationsInMethodOrder) {
  ClientFixture f;
  f.unit.FBasePath = "";
  TPath& path = AddPath(f.paths, "/p");
  AddOperation(path, "patch", "e");
  AddOperation(path, "options", "skipped");
  AddOperation(path, "head", "skipped");
  AddOperation(path, "post", "c");
  AddOperation(path, "delete", "d");
  AddOperation(path, "put", "b");
  AddOperation(path, "get", "a");
  AddOperation(AddPath(f.paths, "/only"), "head", "skipped");
  const std::string text = f.Class();
  EXPECT_NE(text.find("  T = class\n"), std::string::npos);
  EXPECT_NE(text.find("    procedure a;\n    procedure b;\n    procedure c;\n    procedure d;\n"
                      "    procedure e;\n  end;\n"),
            text.npos);
  EXPECT_EQ(text.find("skipped"), text.npos);
  const std::string methods = f.Methods();
  EXPECT_EQ(methods.find("skipped"), methods.npos);
  EXPECT_NE(methods.find("procedure T.d;"), methods.npos);
  EXPECT_NE(methods.find("Request.Method := rmDelete;"), methods.npos);
}

}  // namespace
}  // namespace tolvane
