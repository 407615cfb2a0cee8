// The rule of --compilable on the API model: class identifiers, written
// types and fields; method names and arguments; the request lines of each
// kind of argument, credentials, the status check and the result.
#include "unitdef/api_unit.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "api/api_reader.h"
#include "platform/exceptions.h"
#include "unitdef/unit_writer.h"

namespace tolvane {
namespace {

TResolvedUnit Resolve(const std::string& ADocument, const std::string& AFilter = "",
                      std::vector<std::string>* ALines = nullptr) {
  const TLogProc log = [ALines](const std::string& ALine) {
    if (ALines != nullptr) ALines->push_back(ALine);
  };
  const std::unique_ptr<ApiDocument> api = ReadApiText(ADocument, log);
  return ResolveApiUnit(*api, "kubernetes-1.13.json", AFilter, log);
}

TEST(ApiUnit, ClassIdentifiersAndWrittenTypes) {
  const struct {
    const char* schema;
    const char* written;
  } types[] = {
      {R"({"type": "string"})", "string"},
      {R"({"type": "Integer"})", "integer"},
      {R"({"type": "integer", "format": "int64"})", "int64"},
      {R"({"type": "number"})", "double"},
      {R"({"type": "string", "format": "date-time"})", "TDateTime"},
      {R"({"type": "file"})", "string"},
      {R"({"$ref": "#/definitions/Pet"})", "TPet"},
      {R"({"$ref": "#/definitions/pet-owner"})", "Tpet_owner"},
      {R"({"$ref": "#/definitions/io.k8s.Pod"})", "Tio_k8s_Pod"},
      {R"({"$ref": "#/definitions/Alias"})", "TAlias"},
      {R"({"$ref": "#/definitions/Pet/properties/p0"})", "string"},
      {R"({"type": "array", "items": {"$ref": "#/definitions/Pet"}})", "TArray<TPet>"},
      {R"({"type": "array", "items": {"type": "number"}})", "TArray<double>"},
      {R"({"type": "array", "items": {"type": "array", "items": {"type": "string"}}})", "TArray<TJSONValue>"},
      {R"({"type": "array", "items": {}})", "TArray<TJSONValue>"},
      {R"({"type": "array"})", "TJSONValue"},
      {R"({"type": "object"})", "TJSONObject"},
      {R"({"additionalProperties": {"type": "string"}})", "TJSONObject"},
      {R"({"properties": {"a": {"type": "string"}}})", "TTyped_p18"},
      {R"({"type": "array", "items": {"properties": {"a": {"type": "string"}}}})", "TArray<TTyped_p19_Item>"},
      {R"({"allOf": [{"$ref": "#/definitions/Pet"}]})", "TPet"},
      {R"({"$ref": "#/definitions/Pets"})", "TArray<TPet>"},
      {R"({"$ref": "#/definitions/Color"})", "string"},
      {R"({"$ref": "#/definitions/Map"})", "TJSONObject"},
      {R"({})", "TJSONValue"},
      {R"({"type": "uuid"})", "TJSONValue"},
      {R"({"$ref": "#/definitions/Missing"})", "TJSONValue"},
      {R"({"$ref": "#/definitions/Loop"})", "TLoop"},
      {R"({"$ref": "#/definitions/Pet/properties/p1"})", "TJSONValue"},
      {R"({"$ref": "other.json#/definitions/Pet"})", "TJSONValue"},
  };
  std::string properties;
  for (size_t i = 0; i < std::size(types); ++i) {
    properties += (i == 0 ? "\"p" : ", \"p") + std::to_string(i) + "\": " + types[i].schema;
  }
  const std::string document = R"({"swagger": "2.0", "basePath": "/api", "paths": {}, "definitions": {
    "Pet": {"properties": {"p0": {"type": "string"}, "p1": {"$ref": "#/definitions/Pet/properties/p1"}}}, "pet-owner": {}, "pet_owner": {}, "Array": {},
    "JSON": {}, "api": {}, "ry": {}, "": {}, "io.k8s.Pod": {}, "Loop": {"$ref": "#/definitions/Loop2"},
    "Loop2": {"$ref": "#/definitions/Loop"}, "Alias": {"$ref": "#/definitions/Pet"},
    "Typed": {"properties": {)" + properties + R"(}},
    "Early": {"properties": {"late": {"type": "array", "items": {"$ref": "#/definitions/Late"}}}}, "Late": {},
    "Pets": {"type": "array", "items": {"$ref": "#/definitions/Pet"}}, "Color": {"type": "string", "enum": ["red"]},
    "Map": {"type": "object", "additionalProperties": true}}})";
  const TResolvedUnit unit = Resolve(document);
  EXPECT_EQ(unit.Output.FileName, "kubernetes_1_13.pas");
  std::vector<std::string> identifiers;
  for (const TResolvedClass& clazz : unit.Classes) identifiers.push_back(clazz.Identifier);
  // A class follows the classes it uses.
  EXPECT_EQ(identifiers, (std::vector<std::string>{"TPet", "Tpet_owner", "Tpet_owner1", "TArray1", "TJSON1",
                                                   "Tapi1", "Try1", "T1", "Tio_k8s_Pod", "TLoop", "TLoop2",
                                                   "TTyped_p18", "TTyped_p19_Item", "TAlias", "TLate", "TTyped",
                                                   "TEarly", "TPets", "TColor", "TMap"}));
  EXPECT_EQ(unit.ForwardDeclarations, identifiers);
  EXPECT_EQ(unit.ClientClass, "Tapi");
  const TResolvedClass& typed = unit.Classes[15];
  ASSERT_EQ(typed.Fields.size(), std::size(types));
  for (size_t i = 0; i < std::size(types); ++i) EXPECT_EQ(typed.Fields[i].Type, types[i].written) << types[i].schema;
}

TEST(ApiUnit, FieldsAndPropertiesOfAClass) {
  const TResolvedUnit unit = Resolve(R"({"swagger": "2.0", "definitions": {"Pet": {"description": "A pet",
    "properties": {"id": {"type": "string", "description": "its id"}, "ID": {"type": "string"},
      "or": {"type": "string"}, "2fa": {"type": "string"}, "assigned": {"$ref": "#/definitions/Pet"},
      "Free": {"type": "integer"}, "tags": {"type": "array", "items": {"type": "object"}},
      "price": {"type": "number"}, "TPet": {"type": "string"}}}}})");
  ASSERT_EQ(unit.Classes.size(), 1u);
  const TResolvedClass& pet = unit.Classes[0];
  std::vector<std::string> texts;
  for (const TResolvedField& p : pet.Fields) {
    texts.push_back(p.Field + " " + p.Property + " : " + p.Type +
                    (p.Ownership == TOwnership::Object ? " object" : "") +
                    (p.Ownership == TOwnership::ObjectArray ? " objects" : ""));
  }
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "Fid id : string", "FID1 ID1 : string", "&For &or : string", "F_2fa _2fa : string",
                       "Fassigned1 assigned1 : TPet object", "FFree1 Free1 : integer",
                       "Ftags tags : TArray<TJSONObject> objects", "Fprice price : double", "FTPet1 TPet1 : string"}));
  EXPECT_EQ(pet.Description, "A pet");
  EXPECT_EQ(pet.Fields[0].Description, "its id");
  EXPECT_TRUE(pet.Fields[0].Comments.empty());
}

// A class as "TKid(TPet): name='name' ...": each field's property and JSON key, in order.
std::string Describe(const TResolvedClass& AClass) {
  std::string text = AClass.Identifier + (AClass.Ancestor.empty() ? "" : "(" + AClass.Ancestor + ")") + ":";
  for (const TResolvedField& field : AClass.Fields) {
    text += " " + field.Property + "=" + field.JsonKey;
  }
  return text;
}

TEST(ApiUnit, AllOfDerivesOrMergesAndAncestorsComeFirst) {
  std::vector<std::string> lines;
  // Kid stands before Pet and Pet refers to Kid: the order of uses alone
  // could put Kid first.
  const TResolvedUnit unit = Resolve(R"({"swagger": "2.0", "definitions": {
    "Kid": {"allOf": [{"$ref": "#/definitions/Pet"}, {"properties": {"id": {"type": "string"},
            "Age": {"type": "string"}, "toy": {"type": "string"}}}]},
    "Pet": {"properties": {"age": {"type": "string"}, "id": {"type": "integer"}, "kid": {"$ref": "#/definitions/Kid"}}},
    "Both": {"properties": {"own": {"type": "string"}}, "allOf": [{"$ref": "#/definitions/Kid"},
             {"$ref": "#/definitions/Pet"}]},
    "A": {"allOf": [{"$ref": "#/definitions/B"}, {"properties": {"a": {"type": "string"}}}]},
    "B": {"allOf": [{"$ref": "#/definitions/A"}, {"properties": {"b": {"type": "string"}}}]}}})", "", &lines);
  std::vector<std::string> classes;
  for (const TResolvedClass& clazz : unit.Classes) classes.push_back(Describe(clazz));
  EXPECT_EQ(classes, (std::vector<std::string>{
                         // Inherited keys are left out; a name that repeats one of the
                         // ancestor's ignoring case is numbered.
                         "TPet: age='age' id='id' kid='kid'",
                         "TKid(TPet): Age1='Age' toy='toy'",
                         // Merged: its own, then each part's, references followed.
                         "TBoth: own='own' age='age' id='id' "
                         "kid='kid' Age1='Age' toy='toy'",
                         // A cycle: its first class merges, the others derive.
                         "TA: b='b' a='a'", "TB(TA):"}));
  EXPECT_EQ(std::count(lines.begin(), lines.end(),
                       "Cycle through ancestors: TA, TB; TA merges the properties of its allOf parts"),
            1);
}

TEST(ApiUnit, MergedKeysAreTakenOnceInClassesOfManyProperties) {
  // The keys p0..p17 of the first part, then p15..p19 of the second: past
  // the first few keys they are looked up in a table.
  const auto part = [](int AFrom, int ATo) {
    std::string text = R"({"properties": {)";
    for (int i = AFrom; i <= ATo; ++i) text += (i == AFrom ? "" : ",") + ("\"p" + std::to_string(i)) + R"(": {})";
    return text + "}}";
  };
  const TResolvedUnit unit = Resolve(R"({"swagger": "2.0", "definitions": {"M": {"allOf": [)" + part(0, 17) + "," +
                                     part(15, 19) + "]}}}", "");
  std::string expected = "TM:";
  for (int i = 0; i <= 19; ++i) expected += " p" + std::to_string(i) + "='p" + std::to_string(i) + "'";
  ASSERT_EQ(unit.Classes.size(), 1u);
  EXPECT_EQ(Describe(unit.Classes[0]), expected);
}

TEST(ApiUnit, InlineSchemasBecomeClassesNamedAfterTheirPlace) {
  const TResolvedUnit unit = Resolve(R"({"swagger": "2.0", "paths": {"/pets": {
    "get": {"operationId": "listPets", "responses": {"200": {"schema": {"type": "array",
            "items": {"properties": {"total": {"type": "integer"}}}}}}},
    "post": {"operationId": "addPet", "parameters": [{"name": "body", "in": "body",
             "schema": {"properties": {"name": {"type": "string"}}}}], "responses": {"200": {"description": ""}}}},
    "/maps": {"put": {"operationId": "putMaps", "parameters": [{"name": "body", "in": "body",
             "schema": {"type": "array", "items": {}}}],
        "responses": {"200": {"schema": {"type": "array", "items": {"type": "object"}}}}}}},
    "definitions": {"Pet": {"properties": {
      "category": {"properties": {"it's": {"type": "string"}}},
      "tags": {"type": "array", "items": {"properties": {"€ 日😀": {"type": "string"}, "a\tb": {"type": "string"}}}},
      "map": {"additionalProperties": {"type": "integer"}},
      "color": {"type": "string", "enum": ["red", "green"]}}},
    "Pet_category": {}, "Pets": {"type": "array", "items": {"properties": {"p": {"type": "string"}}}}}})");
  std::vector<std::string> classes;
  for (const TResolvedClass& clazz : unit.Classes) classes.push_back(Describe(clazz));
  std::sort(classes.begin(), classes.end());
  EXPECT_EQ(classes, (std::vector<std::string>{
                         "TPet: category='category' tags='tags' map='map' "
                         "color='color'",
                         "TPet_category1: it_s='it''s'", "TPet_category:",
                         "TPet_tags_Item: ___='€ '#$65E5#$D83D#$DE00 a_b='a'#9'b'",
                         "TPets:", "TPets_Item: p='p'", "TaddPet_Body: &name='name'",
                         "TlistPets_Response_Item: total='total'"}));
  const TResolvedClass& pet = *std::find_if(unit.Classes.begin(), unit.Classes.end(),
                                            [](const TResolvedClass& AClass) { return AClass.Identifier == "TPet"; });
  std::vector<std::string> types;
  for (const TResolvedField& field : pet.Fields) types.push_back(field.Type);
  EXPECT_EQ(types, (std::vector<std::string>{"TPet_category1", "TArray<TPet_tags_Item>", "TJSONObject", "string"}));
  EXPECT_EQ(pet.Fields[2].Ownership, TOwnership::Object);
  EXPECT_EQ(pet.Fields[3].Comments, std::vector<std::string>{"Allowed values: red, green"});
  EXPECT_EQ(unit.Methods[0].ResultType, "TArray<TlistPets_Response_Item>");
  EXPECT_EQ(unit.Methods[1].Arguments[0].Type, "TaddPet_Body");
  // JSON values in arrays are copied, not mapped onto new objects.
  const TResolvedMethod& maps = unit.Methods[2];
  EXPECT_EQ(maps.ResultType, "TArray<TJSONObject>");
  EXPECT_NE(std::find(maps.ResultLines.begin(), maps.ResultLines.end(),
                      "  Result[I] := TJSONObject(ReturnArray.Items[I].Clone);"),
            maps.ResultLines.end());
  const std::vector<std::string>& body = maps.Arguments[0].RequestLines;
  EXPECT_NE(std::find(body.begin(), body.end(), "  LbodyItemArray.AddElement(TJSONValue(LbodyItem.Clone));"),
            body.end());
}

// Every served operation, with the path item's parameters and its own, each
// sent where its "in" says.
const char* const kClientDocument = R"({"swagger": "2.0", "basePath": "/api",
  "securityDefinitions": {"key": {"type": "apiKey", "name": "X-Key", "in": "header"},
    "query": {"type": "apiKey", "name": "k", "in": "query"}, "basic": {"type": "basic"},
    "oauth": {"type": "oauth2", "flow": "implicit"}, "cookie": {"type": "apiKey", "name": "s", "in": "cookie"}},
  "security": [{"key": []}],
  "definitions": {"Pet": {}},
  "parameters": {"Limit": {"name": "limit", "in": "query", "type": "integer"}},
  "responses": {"Pets": {"description": "", "schema": {"type": "array", "items": {"$ref": "#/definitions/Pet"}}}},
  "paths": {
    "/pets/{id}": {
      "parameters": [{"name": "id", "in": "path", "type": "integer", "format": "int64", "required": true},
                     {"name": "type", "in": "query", "type": "string"}],
      "get": {"parameters": [{"$ref": "#/parameters/Limit"}, {"name": "request", "in": "header", "type": "string"},
          {"name": "i", "in": "query", "type": "boolean"},
          {"name": "csv", "in": "query", "type": "array", "items": {"type": "integer"}, "required": true},
          {"name": "ssv", "in": "query", "type": "array", "items": {"type": "string"}, "collectionFormat": "ssv", "required": true},
          {"name": "tsv", "in": "header", "type": "array", "items": {"type": "number"}, "collectionFormat": "tsv", "required": true},
          {"name": "pipes", "in": "query", "type": "array", "items": {"type": "boolean"}, "collectionFormat": "pipes", "required": true},
          {"name": "multi", "in": "query", "type": "array", "items": {"type": "string"}, "collectionFormat": "multi", "required": true}],
        "responses": {"404": {"description": ""}, "200": {"$ref": "#/responses/Pets"}}},
      "put": {"security": [{"query": []}], "parameters": [
          {"name": "type", "in": "query", "type": "integer", "required": true},
          {"name": "body", "in": "body", "required": true, "schema": {"type": "array", "items": {"$ref": "#/definitions/Pet"}}}],
        "responses": {"201": {"description": "", "schema": {"type": "integer", "format": "int64"}}}},
      "post": {"security": [{"basic": []}], "consumes": ["application/x-www-form-urlencoded"], "parameters": [
          {"name": "name", "in": "formData", "type": "string", "required": true},
          {"name": "tags", "in": "formData", "type": "array", "items": {"type": "string"}, "required": true}],
        "responses": {"202": {"description": "", "schema": {"$ref": "#/definitions/Pet"}}}},
      "delete": {"security": [], "responses": {"204": {"description": ""}}},
      "patch": {"security": [{"oauth": []}], "parameters": [
          {"name": "body", "in": "body", "required": true, "schema": {}}], "responses": {}}},
    "/other": {"get": {"operationId": "getPets", "security": [{"cookie": []}],
        "parameters": [{"name": "body", "in": "body", "schema": {"type": "string"}}], "responses": {}},
      "post": {"operationId": "GetPets", "responses": {}}}}})";

std::vector<std::string> MethodLines(const TResolvedMethod& AMethod) {
  std::vector<std::string> lines = {MethodHeading(AMethod, "")};
  for (const std::string& local : AMethod.Locals) lines.push_back("var " + local);
  for (const std::string& creation : AMethod.Creations) lines.push_back("new " + creation);
  if (!AMethod.Credentials.Name.empty()) {
    lines.push_back("credentials " + AMethod.Credentials.Name + " " + AMethod.Credentials.Kind);
  }
  for (const TResolvedArgument& argument : AMethod.Arguments) {
    if (!argument.Condition.empty()) lines.push_back("if " + argument.Condition);
    for (const std::string& line : argument.RequestLines) lines.push_back(line);
  }
  for (const std::string& line : AMethod.ResultLines) lines.push_back("result " + line);
  return lines;
}

TEST(ApiUnit, ServesEveryOperation) {
  const TResolvedUnit unit = Resolve(kClientDocument);
  const std::vector<std::vector<std::string>> expected = {
      {"function get_pets_id(id : int64; &type : string; limit : integer; request1 : string; i1 : boolean; "
       "csv : TArray<integer>; ssv : TArray<string>; tsv : TArray<double>; pipes : TArray<boolean>; "
       "multi : TArray<string>) : TArray<TPet>;",
       "var LcsvItem : integer;", "var LcsvText : string;", "var LssvItem : string;", "var LssvText : string;",
       "var LtsvItem : double;", "var LtsvText : string;", "var LpipesItem : boolean;", "var LpipesText : string;",
       "var LmultiItem : string;", "var I          : Integer;", "var ReturnArray: TJSONArray;",
       "credentials 'X-Key' pkHTTPHEADER",
       "Request.AddParameter('id', IntToStr(id), pkURLSEGMENT, []);",
       "if &type <> emptyStr", "Request.AddParameter('type', &type, pkQUERY, []);",
       "if limit<> 0", "Request.AddParameter('limit', IntToStr(limit), pkQUERY, []);",
       "if request1 <> emptyStr", "Request.AddParameter('request', request1, pkHTTPHEADER, [poDoNotEncode]);",
       "if i1", "Request.AddParameter('i', BoolToStr(i1, True), pkQUERY, []);",
       "LcsvText := '';", "for LcsvItem in csv do", "  LcsvText := LcsvText + ',' + IntToStr(LcsvItem);",
       "Request.AddParameter('csv', Copy(LcsvText, 2, MaxInt), pkQUERY, []);",
       "LssvText := '';", "for LssvItem in ssv do", "  LssvText := LssvText + ' ' + LssvItem;",
       "Request.AddParameter('ssv', Copy(LssvText, 2, MaxInt), pkQUERY, []);",
       "LtsvText := '';", "for LtsvItem in tsv do",
       "  LtsvText := LtsvText + #9 + FloatToStr(LtsvItem, TFormatSettings.Invariant);",
       "Request.AddParameter('tsv', Copy(LtsvText, 2, MaxInt), pkHTTPHEADER, [poDoNotEncode]);",
       "LpipesText := '';", "for LpipesItem in pipes do",
       "  LpipesText := LpipesText + '|' + BoolToStr(LpipesItem, True);",
       "Request.AddParameter('pipes', Copy(LpipesText, 2, MaxInt), pkQUERY, []);",
       "for LmultiItem in multi do", "  Request.AddParameter('multi', LmultiItem, pkQUERY, []);",
       "result ReturnArray := TJSONArray(TJSONObject.ParseJSONValue(Response.Content));",
       "result SetLength(Result, ReturnArray.Count);", "result for I := 0 to ReturnArray.Count -1 do",
       "result begin", "result   Result[I] := TJSON.JsonToObject<TPet>(TJSONObject(ReturnArray.Items[I]));",
       "result end;", "result ReturnArray.Free;"},
      // The operation's own "type" wins over the path item's.
      {"function put_pets_id(id : int64; &type : integer; body : TArray<TPet>) : int64;",
       "var LbodyItem : TPet;", "var LbodyItemArray : TJSONArray;", "new LbodyItemArray := TJSONArray.Create;",
       "credentials 'k' pkQUERY", "Request.AddParameter('id', IntToStr(id), pkURLSEGMENT, []);",
       "Request.AddParameter('type', IntToStr(&type), pkQUERY, []);", "for LbodyItem in body do",
       "  LbodyItemArray.AddElement(TJSON.ObjectToJSONObject(LbodyItem));",
       "Request.AddBody(LbodyItemArray.ToJSON, ctAPPLICATION_JSON);", "LbodyItemArray.Free;",
       "result Result := StrToInt64(Response.Content);"},
      {"function post_pets_id(id : int64; &type : string; &name : string; tags : TArray<string>) : TPet;",
       "var LtagsItem : string;", "var LtagsText : string;", "credentials 'Authorization' pkHTTPHEADER",
       "Request.AddParameter('id', IntToStr(id), pkURLSEGMENT, []);", "if &type <> emptyStr",
       "Request.AddParameter('type', &type, pkQUERY, []);",
       "Request.Params.AddItem('name', &name, pkGETorPOST, [], TRESTContentType.ctAPPLICATION_X_WWW_FORM_URLENCODED);",
       "LtagsText := '';", "for LtagsItem in tags do", "  LtagsText := LtagsText + ',' + LtagsItem;",
       "Request.Params.AddItem('tags', Copy(LtagsText, 2, MaxInt), pkGETorPOST, [], "
       "TRESTContentType.ctAPPLICATION_X_WWW_FORM_URLENCODED);",
       "result Result := TJSON.JSONToObject<TPet>(Response.Content);"},
      {"procedure delete_pets_id(id : int64; &type : string);",
       "Request.AddParameter('id', IntToStr(id), pkURLSEGMENT, []);", "if &type <> emptyStr",
       "Request.AddParameter('type', &type, pkQUERY, []);"},
      {"procedure patch_pets_id(id : int64; &type : string; body : TJSONValue);",
       "credentials 'Authorization' pkHTTPHEADER", "Request.AddParameter('id', IntToStr(id), pkURLSEGMENT, []);",
       "if &type <> emptyStr", "Request.AddParameter('type', &type, pkQUERY, []);",
       "Request.AddBody(body.ToJSON, ctAPPLICATION_JSON);"},
      {"procedure getPets(body : string);", "credentials 'Authorization' pkHTTPHEADER", "if body <> emptyStr",
       "Request.AddParameter('body', body, pkREQUESTBODY, [poDoNotEncode]);"},
      {"procedure GetPets1;", "credentials 'X-Key' pkHTTPHEADER"},
  };
  ASSERT_EQ(unit.Methods.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(MethodLines(unit.Methods[i]), expected[i]) << i;
  const TResolvedMethod& get = unit.Methods[0];
  EXPECT_EQ(get.RequestMethod, "rmGET");
  EXPECT_EQ(get.Resource, "'/pets/{id}'");
  EXPECT_EQ(get.ResultCondition, "");
  EXPECT_EQ(unit.StatusCheck, (std::vector<std::string>{
                                  "if (Response.StatusCode < 200) or (Response.StatusCode > 299) then",
                                  "  raise EApiError.Create(Response.StatusCode, Response.Content);"}));
  EXPECT_EQ(unit.Methods[3].RequestMethod, "rmDelete");
  EXPECT_TRUE(unit.Methods[2].ClearsResult);
  EXPECT_FALSE(unit.Methods[1].ClearsResult);
  // The exception class is declared once, deriving from SysUtils' Exception.
  ASSERT_EQ(unit.Support.size(), 1u);
  EXPECT_EQ(unit.InterfaceUses, (std::vector<std::string>{"System.JSON", "REST.Json.Types", "System.SysUtils"}));
  EXPECT_EQ(unit.BaseUrl, "'http:///api'");
}

TEST(ApiUnit, ClassFilterAndProgressLines) {
  std::vector<std::string> lines;
  const TResolvedUnit unit = Resolve(kClientDocument, "Pet", &lines);
  EXPECT_FALSE(unit.HasClient);
  EXPECT_TRUE(unit.Support.empty());
  ASSERT_EQ(unit.Classes.size(), 1u);
  EXPECT_EQ(lines, (std::vector<std::string>{"Processing kubernetes-1.13.json", "Checking  references",
                                             "Creating source unit kubernetes_1_13.pas", "class: Pet processed"}));
  try {
    Resolve(kClientDocument, "pet");
    FAIL() << "no failure";
  } catch (const Exception& failure) {
    EXPECT_STREQ(failure.ClassName(), "Exception");
    EXPECT_EQ(failure.Message(), "Class pet not found");
  }
}

}  // namespace
}  // namespace tolvane
