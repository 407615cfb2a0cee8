// The check that holds a unit against its document: a small document with
// units that miss one thing each (the real documents are held against their
// units with all six totals in client_completeness_schemas_test.cpp).

#include "client_completeness.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvane::testing {
namespace {

const char* const kDocument = R"({"swagger": "2.0",
  "security": [{"key": []}],
  "securityDefinitions": {"key": {"type": "apiKey", "name": "X-Key", "in": "header"}},
  "parameters": {"Limit": {"name": "limit", "in": "query", "type": "integer"}},
  "paths": {
    "/pets/{id}": {
      "parameters": [{"name": "id", "in": "path", "type": "string", "required": true}],
      "get": {"parameters": [{"$ref": "#/parameters/Limit"}, {"name": "X-Trace", "in": "header", "type": "string"},
                             {"in": "query"}, {"name": "c", "in": "cookie"}],
              "responses": {"201": {"description": "x"}, "200": {"schema": {"type": "string"}}}},
      "post": {"security": [], "parameters": [{"name": "body", "in": "body", "schema": {}}],
               "responses": {"201": {"description": "created"}}}},
    "/o'k": {"delete": {"security": [], "responses": {"default": {"schema": {}}}}}}})";

// The unit that serves kDocument completely.
const char* const kCompleteUnit =
    "unit api;\r\ninterface\r\nimplementation\r\n\r\n"
    "function Tapi.getPet(id : string; limit : integer; X_Trace : string) : string;\r\n"
    "begin\r\n"
    "    Request.Method := rmGET;\r\n"
    "    Request.Resource := '/pets/' + '{id}';\r\n"
    "    if FAuthorization <> '' then\r\n"
    "      Request.AddParameter('X-Key', FAuthorization , pkHTTPHEADER, [poDoNotEncode]);\r\n"
    "    Request.AddParameter('id', id, pkURLSEGMENT, []);\r\n"
    "    Request.AddParameter('limit', IntToStr(limit), pkQUERY, []);\r\n"
    "    Request.AddParameter('X-Trace', X_Trace, pkHTTPHEADER, [poDoNotEncode]);\r\n"
    "end;\r\n\r\n"
    "procedure Tapi.addPet(id : string; body : TJSONValue);\r\n"
    "begin\r\n"
    "    Request.Method := rmPOST;\r\n"
    "    Request.Resource := '/pets/{id}';\r\n"
    "    Request.AddParameter('id', id,\r\n      pkURLSEGMENT, []);\r\n"
    "    Request.AddBody(TJSON.ObjectToJsonObject(body));\r\n"
    "end;\r\n\r\n"
    "procedure Tapi.delete_o_k;\r\n"
    "begin\r\n"
    "    Request.Method := rmDelete;\r\n"
    "    Request.Resource := '/o''k';\r\n"
    "end;\r\n\r\nend.\r\n";

std::string Replaced(std::string AText, const std::string& AFrom, const std::string& ATo) {
  const size_t at = AText.find(AFrom);
  if (at == std::string::npos) ADD_FAILURE() << "no " << AFrom;
  return at == std::string::npos ? AText : AText.replace(at, AFrom.size(), ATo);
}

TEST(ClientCompleteness, CatchesWhatAUnitMisses) {
  const std::string complete = kCompleteUnit;
  const struct {
    const char* Fault;
    std::string Unit;
    const char* Totals;
  } cases[] = {
      {"none", complete, "operations 3/3, results 3/3, parameters 5/5, credentials 1/1"},
      {"no unit", "", "operations 0/3, results 0/3, parameters 0/5, credentials 0/1"},
      {"a parameter missing", Replaced(complete, "'limit'", "'Limit'"),
       "operations 3/3, results 3/3, parameters 4/5, credentials 1/1"},
      {"a header sent in the query", Replaced(complete, "X_Trace, pkHTTPHEADER", "X_Trace, pkQUERY"),
       "operations 3/3, results 3/3, parameters 4/5, credentials 1/1"},
      {"no body", Replaced(complete, "Request.AddBody(", "Request.Add("),
       "operations 3/3, results 3/3, parameters 4/5, credentials 1/1"},
      {"a text body as a request-body parameter",
       Replaced(complete, "Request.AddBody(TJSON.ObjectToJsonObject(body))",
                "Request.AddParameter('body', body, pkREQUESTBODY, [poDoNotEncode])"),
       "operations 3/3, results 3/3, parameters 5/5, credentials 1/1"},
      {"a procedure for a result", Replaced(complete, "function Tapi.getPet", "procedure Tapi.getPet"),
       "operations 3/3, results 2/3, parameters 5/5, credentials 1/1"},
      {"the wrong request method", Replaced(complete, "rmGET", "rmPUT"),
       "operations 2/3, results 2/3, parameters 2/5, credentials 0/1"},
      {"the wrong resource", Replaced(complete, "'/o''k'", "'/o'"),
       "operations 2/3, results 2/3, parameters 5/5, credentials 1/1"},
      {"credentials under another name", Replaced(complete, "'X-Key'", "'api_key'"),
       "operations 3/3, results 3/3, parameters 5/5, credentials 0/1"},
      {"credentials without the value", Replaced(complete, "FAuthorization ,", "'',"),
       "operations 3/3, results 3/3, parameters 5/5, credentials 0/1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckCompleteness(kDocument, c.Unit).Text(), c.Totals) << c.Fault;
  }
}

}  // namespace
}  // namespace tolvane::testing
