// The client class declaration and the method signatures, through the real
// program on small documents.
#include <gtest/gtest.h>

#include "client_test_support.h"

namespace tolvane::testing {
namespace {

TEST(ClientClassTest, DeclaresOneMethodPerServedOperationInMethodTableOrder) {
  const TClientRun run = RunTolvane(ClientDocument(R"({
    "/pet": {
      "post": {"operationId": "addPet", "responses": {}},
      "options": {"operationId": "optionsPet"},
      "put": {"operationId": "updatePet"}},
    "/pet/{petId}": {
      "get": {"operationId": "getPetById",
              "parameters": [{"name": "petId", "in": "path", "required": true,
                              "type": "integer", "format": "int64"}],
              "responses": {"200": {"description": "ok", "schema": {"$ref": "#/definitions/Pet"}}}},
      "head": {"operationId": "headPet"},
      "delete": {"operationId": "deletePet",
                 "parameters": [{"name": "petId", "in": "path", "required": true,
                                 "type": "integer", "format": "int64"}]}},
    "/user/logout": {"get": {"operationId": "logoutUser", "responses": {"default": {"description": "ok"}}}}
  })"));
  ASSERT_TRUE(run.Written) << run.Output;
  EXPECT_EQ(run.Errors, "");
  EXPECT_EQ(ClientClassText(run.Lines),
            "  Tapi = class\n"
            "  private\n"
            "    FAuthorization : string;\n"
            "  public\n"
            "    property Authorization : string read FAuthorization write FAuthorization;\n"
            "    procedure updatePet;\n"
            "    procedure addPet;\n"
            "    function getPetById(petId : int64) : TPet;\n"
            "    procedure deletePet(petId : int64);\n"
            "    procedure logoutUser;\n"
            "  end;\n");
  EXPECT_EQ(MethodText(run.Lines, "function Tapi.getPetById").substr(0, 49),
            "function Tapi.getPetById(petId : int64) : TPet;\nv");
  EXPECT_NE(MethodText(run.Lines, "procedure Tapi.logoutUser;"), "");
  EXPECT_EQ(MethodText(run.Lines, "procedure Tapi.optionsPet"), "");
  EXPECT_EQ(MethodText(run.Lines, "procedure Tapi.headPet"), "");
}

// The result type is decided by the first response coded exactly "200" or
// "default"; responses reach only the first operation of a path.
TEST(ClientClassTest, ResultTypeOfTheMethod) {
  const struct {
    const char* operations;
    const char* methods;
  } cases[] = {
      {R"("get": {"operationId": "op", "responses": {
           "default": {"schema": {"$ref": "#/definitions/Error"}},
           "200": {"schema": {"$ref": "#/definitions/Pet"}}}})",
       "    function op : TError;\n"},
      {R"("get": {"operationId": "op", "responses": {
           "200": {"description": "no schema"},
           "default": {"schema": {"$ref": "#/definitions/Error"}}}})",
       "    procedure op;\n"},
      {R"("get": {"operationId": "op", "responses": {
           "201": {"schema": {"$ref": "#/definitions/Pet"}},
           "2XX": {"schema": {"$ref": "#/definitions/Pet"}},
           "Default": {"schema": {"$ref": "#/definitions/Pet"}}}})",
       "    procedure op;\n"},
      {R"("get": {"operationId": "op", "responses": {
           "200": {"schema": {"type": "array", "items": {"$ref": "#/definitions/Pet"}}}}})",
       "    function op : TArray<TPet>;\n"},
      {R"("get": {"operationId": "op", "responses": {"200": {"schema": {"type": "integer", "format": "int64"}}}})",
       "    function op : integer;\n"},
      {R"("get": {"responses": {}})", "    procedure ;\n"},
      {R"("get": {"operationId": "first", "responses": {"200": {"schema": {"$ref": "#/definitions/Pet"}}}},
          "put": {"operationId": "second", "responses": {"200": {"schema": {"$ref": "#/definitions/Pet"}}}},
          "patch": {"operationId": "second"})",
       "    function first : TPet;\n    procedure second;\n    procedure second;\n"},
  };
  for (const auto& c : cases) {
    const TClientRun run = RunTolvane(ClientDocument(std::string(R"({"/p": {)") + c.operations + "}}"));
    const std::string text = ClientClassText(run.Lines);
    const size_t start = text.find("FAuthorization;\n") + 16;
    ASSERT_NE(start, 15u) << run.Output;
    EXPECT_EQ(text.substr(start), std::string(c.methods) + "  end;\n") << c.operations;
  }
}

TEST(ClientClassTest, ClassNameFromTheBasePath) {
  const struct {
    const char* head;
    const char* className;
  } cases[] = {
      {R"("host": "h",)", "T"},
      {R"("basePath": "/",)", "T"},
      {R"("basePath": "",)", "T"},
      {R"("basePath": "/public",)", "Tpublic"},
      {R"("basePath": "/api/store-v2",)", "Tapistore_v2"},
  };
  for (const auto& c : cases) {
    const TClientRun run = RunTolvane(
        ClientDocument(R"({"/p": {"get": {"operationId": "op", "responses": {}}}})", "{}", c.head));
    EXPECT_NE(ClientClassText(run.Lines, c.className), "") << c.head;
    EXPECT_NE(MethodText(run.Lines, std::string("procedure ") + c.className + ".op;"), "") << c.head;
  }
}

TEST(ClientClassTest, DocumentWithoutPathsStillHasTheClientClass) {
  const TClientRun run = RunTolvane(ClientDocument("{}"));
  ASSERT_EQ(run.Lines.size(), 33u) << run.Output;
  EXPECT_EQ(run.Lines[12], "");
  EXPECT_EQ(ClientClassText(run.Lines),
            "  Tapi = class\n"
            "  private\n"
            "    FAuthorization : string;\n"
            "  public\n"
            "    property Authorization : string read FAuthorization write FAuthorization;\n"
            "  end;\n");
  EXPECT_EQ(run.Lines[29], "  System.DateUtils;");
  EXPECT_EQ(run.Lines[30], "");  // the client methods: only their opening blank line
}

}  // namespace
}  // namespace tolvane::testing
