// How each kind of argument reaches the request: whole method texts of a
// procedure "op" under post /p, through the real program.
#include <gtest/gtest.h>

#include "client_test_support.h"

namespace tolvane::testing {
namespace {

// The method text with the argument-dependent lines filled in.
std::string ProcedureText(const std::string& AArguments, const std::string& ADeclarations,
                          const std::string& ACreations, const std::string& ARequestLines) {
  return "procedure Tapi.op(" + AArguments + ");\n"
         "var\n"
         "  Client   : TRestClient;\n"
         "  Request  : TRestRequest;\n"
         "  Response : TRestResponse;\n" +
         ADeclarations +
         "begin\n"
         "  Client           := TRestClient.Create('https://h/api');\n"
         "  Request          := TRestRequest.Create(nil);\n"
         "  Response         := TRestResponse.Create(nil);\n" +
         ACreations +
         "  try\n"
         "    Request.Client   := Client;\n"
         "    Request.Response := Response;\n"
         "    Request.HandleRedirects := True;\n"
         "    Request.Method := rmPOST;\n"
         "    Request.Resource := '/p';\n" +
         ARequestLines +
         "    Request.Execute;\n"
         "  finally\n"
         "    Client.Free;\n"
         "    Request.Free;\n"
         "    Response.Free;\n"
         "  end;\n"
         "end;\n";
}

std::string OperationDocument(const std::string& AParameters, const std::string& AConsumes) {
  return ClientDocument(R"({"/p": {"post": {"operationId": "op", "consumes": )" + AConsumes +
                        R"(, "parameters": [)" + AParameters + R"(], "responses": {}}}})");
}

struct RequestCase {
  const char* parameters;
  const char* consumes;
  const char* arguments;
  const char* declarations;
  const char* creations;
  const char* requestLines;
};

void ExpectMethods(const RequestCase* ABegin, const RequestCase* AEnd) {
  for (const RequestCase* c = ABegin; c != AEnd; ++c) {
    const TClientRun run = RunTolvane(OperationDocument(c->parameters, c->consumes));
    EXPECT_EQ(MethodText(run.Lines, "procedure Tapi.op("),
              ProcedureText(c->arguments, c->declarations, c->creations, c->requestLines))
        << c->parameters << "\n" << run.Output;
  }
}

TEST(ClientRequestTest, UsualKindsOfArguments) {
  const RequestCase cases[] = {
      {R"({"name": "petId", "in": "path", "required": true, "type": "integer", "format": "int64"})", "[]",
       "petId : int64", "", "",
       "    Request.AddParameter('petId', IntToStr(petId), pkURLSEGMENT, []);\n"},
      {R"({"name": "limit", "in": "query", "type": "integer"})", "[]", "limit : integer", "", "",
       "    if limit<> 0 then\n"
       "    begin\n"
       "      Request.AddParameter('limit', IntToStr(limit), pkQUERY, []);\n"
       "    end;\n"},
      {R"({"name": "api_key", "in": "header", "type": "string"})", "[]", "api_key : string", "", "",
       "    if api_key <> emptyStr then\n"
       "    begin\n"
       "      Request.AddParameter('api_key', api_key, pkHTTPHEADER, [poDoNotEncode]);\n"
       "    end;\n"},
      {R"({"name": "status", "in": "query", "required": true, "type": "array", "items": {"type": "string"}})",
       "[]", "status : TArray<string>", "  LstatusItem : string;\n", "",
       "    for LstatusItem in status do\n"
       "      Request.AddParameter('status', LstatusItem, pkQUERY, [poDoNotEncode]);\n"},
      {R"({"name": "body", "in": "body", "required": true, "schema": {"$ref": "#/definitions/Pet"}})", "[]",
       "body : TPet", "", "", "    Request.AddBody(TJSON.ObjectToJsonObject(body));\n"},
      {R"({"name": "body", "in": "body", "required": true,
           "schema": {"type": "array", "items": {"$ref": "#/definitions/User"}}})",
       "[]", "body : TArray<TUser>", "  LbodyItem : TUser;\n  LbodyItemArray : TJSONArray;\n",
       "  LbodyItemArray := TJSONArray.Create;\n",
       "    for LbodyItem in body do\n"
       "      LbodyItemArray.AddElement(TJSON.ObjectToJSONObject(LbodyItem));\n"
       "    Request.AddBody(LbodyItemArray.ToJSON, ctAPPLICATION_JSON);\n"},
      {R"({"name": "name", "in": "formData", "type": "string"})", R"(["application/x-www-form-urlencoded"])",
       "&name : string", "", "",
       "    if &name <> emptyStr then\n"
       "    begin\n"
       "      Request.Params.AddItem('name', &name, pkGETorPOST, [], "
       "TRESTContentType.ctAPPLICATION_X_WWW_FORM_URLENCODED);\n"
       "    end;\n"},
      {R"({"name": "upload", "in": "formData", "type": "file"})", R"(["multipart/form-data"])",
       "upload : string", "", "",
       "    if upload <> emptyStr then\n"
       "    begin\n"
       "      Request.AddParameter('upload', upload, pkREQUESTBODY, []);\n"
       "    end;\n"},
  };
  ExpectMethods(std::begin(cases), std::end(cases));
}

TEST(ClientRequestTest, FormFieldsAndUrlEncodedForms) {
  const RequestCase cases[] = {
      // Two content types, or none, or the location spelled FormData: no form item.
      {R"({"name": "a", "in": "formData", "required": true, "type": "string"})",
       R"(["application/x-www-form-urlencoded", "multipart/form-data"])", "a : string", "", "",
       "    Request.AddParameter('a', a, pkREQUESTBODY, []);\n"},
      {R"({"name": "a", "in": "formData", "required": true, "type": "integer"})", "[]", "a : integer", "", "",
       "    Request.AddParameter('a', IntToStr(a), pkREQUESTBODY, []);\n"},
      {R"({"name": "a", "in": "FormData", "required": true, "type": "string"})",
       R"(["application/x-www-form-urlencoded"])", "a : string", "", "",
       "    Request.AddParameter('a', a, pkREQUESTBODY, []);\n"},
      {R"({"name": "n", "in": "formData", "required": true, "type": "integer", "format": "int64"})",
       R"(["application/x-www-form-urlencoded"])", "n : int64", "", "",
       "    Request.Params.AddItem('n', IntToStr(n), pkGETorPOST, [], "
       "TRESTContentType.ctAPPLICATION_X_WWW_FORM_URLENCODED);\n"},
  };
  ExpectMethods(std::begin(cases), std::end(cases));
}

TEST(ClientRequestTest, ValueTextsTestsAndOptions) {
  const RequestCase cases[] = {
      {R"({"name": "id", "in": "query", "type": "integer", "format": "int64"},
          {"name": "flag", "in": "Header", "type": "boolean"},
          {"name": "at", "in": "query", "required": true, "type": "string", "format": "date-time"},
          {"name": "price", "in": "query", "required": true, "type": "number"},
          {"name": "page-size", "in": "path", "required": true, "type": "integer"})",
       "[]", "id : int64; flag : boolean; at : TDateTime; price : double; page_size : integer", "", "",
       "    if id <> 0 then\n"
       "    begin\n"
       "      Request.AddParameter('id', IntToStr(id), pkQUERY, []);\n"
       "    end;\n"
       "    if flag then\n"
       "    begin\n"
       "      Request.AddParameter('flag', BoolToStr(flag, True), pkHTTPHEADER, [poDoNotEncode]);\n"
       "    end;\n"
       "    Request.AddParameter('at', DateToIso8601(at), pkQUERY, []);\n"
       "    Request.AddParameter('price', price, pkQUERY, []);\n"
       "    Request.AddParameter('page-size', IntToStr(page_size), pkURLSEGMENT, []);\n"},
      // A simple body value is a parameter; a class outside the body is sent as JSON text.
      {R"({"name": "body", "in": "body", "required": true, "schema": {"type": "string"}},
          {"name": "filter", "in": "query", "schema": {"$ref": "#/definitions/Filter"}},
          {"name": "it's", "in": "cookie", "required": true, "type": "string"})",
       "[]", "body : string; filter : TFilter; it_s : string", "", "",
       "    Request.AddParameter('body', body, pkREQUESTBODY, [poDoNotEncode]);\n"
       "    if filter <> nil {unknown datatype} then\n"
       "    begin\n"
       "      Request.AddParameter('filter', TJSON.ObjectToJSONString(filter), pkQUERY, []);\n"
       "    end;\n"
       "    Request.AddParameter('it''s', it_s, , [poDoNotEncode]);\n"},
      {R"({"name": "pet", "in": "body", "schema": {"$ref": "#/definitions/Pet"}})", "[]", "pet : TPet", "", "",
       "    if pet <> nil {unknown datatype} then\n"
       "    begin\n"
       "      Request.AddBody(TJSON.ObjectToJsonObject(pet));\n"
       "    end;\n"},
  };
  ExpectMethods(std::begin(cases), std::end(cases));
}

TEST(ClientRequestTest, ArrayArguments) {
  const RequestCase cases[] = {
      {R"({"name": "ids", "in": "body", "required": true, "schema": {"type": "array", "items": {"type": "integer"}}},
          {"name": "names", "in": "body", "schema": {"type": "array", "items": {"type": "string"}}})",
       "[]", "ids : TArray<integer>; names : TArray<string>",
       "  LidsItem : integer;\n  LidsItemArray : TJSONArray;\n"
       "  LnamesItem : string;\n  LnamesItemArray : TJSONArray;\n",
       "  LidsItemArray := TJSONArray.Create;\n  LnamesItemArray := TJSONArray.Create;\n",
       "    for LidsItem in ids do\n"
       "      LidsItemArray.Add(LidsItem.ToString);\n"
       "    Request.AddBody(LidsItemArray.ToJSON, ctAPPLICATION_JSON);\n"
       "    if Length(names) > 0 then\n"
       "    begin\n"
       "      for LnamesItem in names do\n"
       "        LnamesItemArray.Add(LnamesItem);\n"
       "      Request.AddBody(LnamesItemArray.ToJSON, ctAPPLICATION_JSON);\n"
       "    end;\n"},
      {R"({"name": "type", "in": "query", "required": true, "type": "array", "items": {"type": "integer"}},
          {"name": "objs", "in": "header", "required": true, "type": "array", "items": {"type": "object"}})",
       "[]", "&type : TArray<integer>; objs : TArray<TJSONValue>",
       "  LtypeItem : integer;\n  LobjsItem : TJSONValue;\n", "",
       "    for LtypeItem in &type do\n"
       "      Request.AddParameter('type', LtypeItem, pkQUERY, [poDoNotEncode]);\n"
       "    for LobjsItem in objs do\n"
       "      Request.AddParameter('objs', TJSON.ObjectToJSONString(LobjsItem), pkHTTPHEADER, [poDoNotEncode]);\n"},
      // An array without items has no item type: sent as JSON when required.
      {R"({"name": "list", "in": "query", "required": true, "type": "array"})", "[]", "list : array", "", "",
       "    Request.AddParameter('list', TJSON.ObjectToJSONString(list), pkQUERY, []);\n"},
  };
  ExpectMethods(std::begin(cases), std::end(cases));
}

TEST(ClientRequestTest, OptionalArrayWithoutItemsEndsTheConversion) {
  const TClientRun run = RunTolvane(OperationDocument(
      R"({"name": "list", "in": "query", "type": "array"})", "[]"));
  EXPECT_FALSE(run.Written);
  EXPECT_NE(run.Output.find("\nException: Undefined datatype array\n"), std::string::npos) << run.Output;
  EXPECT_EQ(run.Output.find("Done"), std::string::npos);
  EXPECT_EQ(run.Errors, "");
}

}  // namespace
}  // namespace tolvane::testing
