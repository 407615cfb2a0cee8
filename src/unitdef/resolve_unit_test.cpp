// The client class and methods as the plain rule resolves them from
// hand-made paths (every operation with its own responses and security,
// which the loader gives only the first one of a path item): cleaning of
// document texts, failures, and the security lookup.
#include <gtest/gtest.h>

#include <deque>

#include "platform/exceptions.h"
#include "swagger/swagger_classes.h"
#include "unitdef/client_test_model.h"
#include "unitdef/unit_definition.h"
#include "unitdef/unit_resolver.h"
#include "unitdef/unit_writer.h"

namespace tolvane {
namespace {

using namespace tolvane::testing;  // the model builders
using Lines = std::vector<std::string>;

std::string Join(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

struct ClientFixture {
  TUnitDefinition unit;
  TPaths paths;
  std::vector<std::unique_ptr<TSecurityDefinition>> definitions;
  std::deque<std::string> texts;  // what the definitions' texts view

  ClientFixture() {
    unit.FPaths = &paths;
    unit.FHost = "h";
    unit.FBasePath = "/api";
    unit.FSchemes = {"https", "http"};
    unit.FConfig.WriteOperations = true;
  }

  TSecurityDefinition& Define(const std::string& name, const std::string& type,
                              const std::string& parameter, const std::string& in) {
    auto definition = std::make_unique<TSecurityDefinition>();
    definition->FSecurityname = texts.emplace_back(name);
    definition->Ftype = texts.emplace_back(type);
    definition->Fname = texts.emplace_back(parameter);
    definition->FIn = texts.emplace_back(in);
    definitions.push_back(std::move(definition));
    unit.FSecurityDefinitions.push_back(definitions.back().get());
    return *definitions.back();
  }

  // The section as the writer prints the unit resolved by the plain rule.
  std::string Section(void (*AWrite)(const TResolvedUnit&, TCodePrinter&)) {
    const TResolvedUnit resolved = MakePlainResolver(unit)->Resolve(unit);
    Lines lines;
    TLineCollector collector(lines);
    TCodePrinter printer(collector);
    AWrite(resolved, printer);
    return Join(lines);
  }
  std::string Class() { return Section(WriteClientClass); }
  std::string Methods() { return Section(WriteClientMethods); }
};

// A hostile document cannot end a name, a literal or a comment line early.
TEST(PlainClientRuleTest, DocumentTextsCannotBreakOutOfTheirPlace) {
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

TEST(PlainClientRuleTest, OptionalArgumentWithoutPresenceTestEndsTheWriting) {
  ClientFixture f;
  TPath& path = AddPath(f.paths, "/p");
  AddOperation(path, "get", "fine");
  TOperation& bad = AddOperation(path, "post", "bad");
  AddParameter(bad, "list", "query", "array", false);  // no items
  try {
    f.Methods();
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

TEST(PlainClientRuleTest, CredentialsFromTheFirstDefinitionOfTheName) {
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

TEST(PlainClientRuleTest, ClassDeclaresServedOperationsInMethodOrder) {
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
