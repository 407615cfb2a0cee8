#include "unitdef/signature.h"

#include <gtest/gtest.h>

#include "platform/exceptions.h"
#include "swagger/swagger_classes.h"
#include "unitdef/client_test_model.h"

namespace tolvane {
namespace {

using testing::AddParameter;
using testing::AddResponse;
using testing::Schema;

TEST(SignatureTest, KindNameAndResult) {
  TOperation get;
  get.FoperationId = "getPetById";
  AddParameter(get, "petId", "path", "integer").Fformat = "int64";
  AddResponse(get, "404", Schema("#/definitions/Error"));
  AddResponse(get, "200", Schema("#/definitions/Pet"));
  const TSignature function = CreateSignature("api", get);
  EXPECT_EQ(function.Clazz, "api");
  EXPECT_EQ(function.CallType, "function");
  EXPECT_EQ(function.Name, "getPetById");
  EXPECT_EQ(function.Returns.Datatype, "TPet");

  TOperation logout;
  logout.FoperationId = "type";
  AddResponse(logout, "default", nullptr);
  const TSignature procedure = CreateSignature("api", logout);
  EXPECT_EQ(procedure.CallType, "procedure");
  EXPECT_EQ(procedure.Name, "&type");
  EXPECT_EQ(procedure.Returns.Datatype, "");

  TOperation unnamed;  // no operationId, no responses member at all
  const TSignature empty = CreateSignature("", unnamed);
  EXPECT_EQ(empty.CallType, "procedure");
  EXPECT_EQ(empty.Name, "");
}

TEST(SignatureTest, ArgumentsKeepTheDocumentsNameForTheRequest) {
  TOperation operation;
  AddParameter(operation, "type", "query", "string");
  AddParameter(operation, "page-size", "Header", "integer", false);
  auto& tags = AddParameter(operation, "tags", "body", "array");
  tags.Fitems = std::make_unique<TItems>();
  tags.Fitems->Ftype = "string";
  const TSignature signature = CreateSignature("api", operation);
  ASSERT_EQ(signature.Params.size(), 3u);
  const TParam& type = signature.Params[0];
  const TParam& pageSize = signature.Params[1];
  EXPECT_EQ(type.Name, "&type");
  EXPECT_EQ(type.ResourceName, "type");
  EXPECT_EQ(pageSize.Name, "page_size");
  EXPECT_EQ(pageSize.ResourceName, "page-size");
  EXPECT_EQ(pageSize.Position, "Header");
  EXPECT_FALSE(pageSize.Required);
  EXPECT_EQ(signature.Params[2].Datatype, "TArray<string>");
}

TEST(SignatureTest, ArgumentTexts) {
  const struct {
    const char* position;
    const char* name;
    const char* datatype;
    const char* itemType;
    const char* itemVar;
    const char* itemArray;
  } cases[] = {
      {"body", "body", "TArray<TPet>", "TPet", "LbodyItem", "LbodyItemArray"},
      {"query", "tags", "TArray<string>", "string", "LtagsItem", ""},
      {"Body", "tags", "TArray<string>", "string", "LtagsItem", ""},  // only "body" exactly
      {"body", "&type", "TArray<string>", "string", "LtypeItem", "LtypeItemArray"},
      {"body", "list", "TArray<>", "", "LlistItem", "LlistItemArray"},
      {"body", "body", "TPet", "", "", ""},
      {"query", "x", "tarray<x>", "", "", ""},  // case counts
  };
  for (const auto& c : cases) {
    TParam param;
    param.Position = c.position;
    param.Name = c.name;
    param.Datatype = c.datatype;
    EXPECT_EQ(param.ItemType(), c.itemType) << c.datatype;
    EXPECT_EQ(param.ItemVar(), c.itemVar) << c.datatype;
    EXPECT_EQ(param.ItemArray(), c.itemArray) << c.datatype;
  }
}

TEST(SignatureTest, PresenceTestOfOptionalArguments) {
  const struct {
    const char* name;
    const char* datatype;
    const char* expected;  // nullptr: Exception "Undefined datatype " + datatype
  } cases[] = {
      {"tags", "TArray<string>", "Length(tags) > 0"},
      {"list", "TArray<>", "list <> nil {unknown datatype}"},
      {"q", "string", "q <> emptyStr"},
      {"limit", "integer", "limit<> 0"},
      {"id", "int64", "id <> 0"},
      {"at", "TDateTime", "at <> 0"},
      {"price", "double", "price <> 0"},
      {"flag", "boolean", "flag"},
      {"body", "TPet", "body <> nil {unknown datatype}"},
      {"value", "TJSONValue", "value <> nil {unknown datatype}"},
      {"&type", "string", "&type <> emptyStr"},
      {"list", "array", nullptr},
      {"raw", "", nullptr},
      {"t", "T", nullptr},
      {"n", "Integer", nullptr},  // the rows compare exactly
  };
  for (const auto& c : cases) {
    TParam param;
    param.Name = c.name;
    param.Datatype = c.datatype;
    if (c.expected != nullptr) {
      EXPECT_EQ(param.RequiredCondition(), c.expected);
      continue;
    }
    try {
      param.RequiredCondition();
      ADD_FAILURE() << "no failure for " << c.datatype;
    } catch (const Exception& e) {
      EXPECT_STREQ(e.ClassName(), "Exception");
      EXPECT_EQ(e.Message(), std::string("Undefined datatype ") + c.datatype);
    }
  }
}

TEST(SignatureTest, ParameterKindIgnoresCase) {
  const struct {
    const char* location;
    const char* kind;
  } cases[] = {
      {"header", "pkHTTPHEADER"}, {"Header", "pkHTTPHEADER"},   {"path", "pkURLSEGMENT"},
      {"QUERY", "pkQUERY"},       {"body", "pkREQUESTBODY"},    {"formData", "pkREQUESTBODY"},
      {"FormData", "pkREQUESTBODY"}, {"cookie", ""},            {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ParameterKind(c.location), c.kind) << c.location;
}

TEST(SignatureTest, RequestMethodByIdentity) {
  TPath path;
  path.Fget = std::make_unique<TOperation>();
  path.Fput = std::make_unique<TOperation>();
  path.Fpost = std::make_unique<TOperation>();
  path.Fdelete = std::make_unique<TOperation>();
  path.Fpatch = std::make_unique<TOperation>();
  path.Foptions = std::make_unique<TOperation>();
  EXPECT_EQ(RequestMethod(path, *path.Fget), "rmGET");
  EXPECT_EQ(RequestMethod(path, *path.Fput), "rmPUT");
  EXPECT_EQ(RequestMethod(path, *path.Fpost), "rmPOST");
  EXPECT_EQ(RequestMethod(path, *path.Fdelete), "rmDelete");
  EXPECT_EQ(RequestMethod(path, *path.Fpatch), "rmPATCH");
  EXPECT_EQ(RequestMethod(path, *path.Foptions), "");
  const TOperation equalButOther;
  EXPECT_EQ(RequestMethod(path, equalButOther), "");
}

// Names and types from the document stay as they are in the signature; the
// rules clean them where they are written.
TEST(SignatureTest, KeepsTheDocumentsTexts) {
  TOperation operation;
  operation.FoperationId = "get;Halt";
  auto& body = AddParameter(operation, "in)x", "body", "");
  body.Fschema = Schema("", "array", "#/definitions/a;b");
  AddResponse(operation, "200", Schema("#/definitions/Pet{x}"));
  const TSignature signature = CreateSignature("a.b", operation);
  EXPECT_EQ(signature.Name, "get;Halt");
  EXPECT_EQ(signature.Params[0].Name, "in)x");
  EXPECT_EQ(signature.Params[0].Datatype, "TArray<Ta;b>");
  EXPECT_EQ(signature.Returns.Datatype, "TPet{x}");
}

}  // namespace
}  // namespace tolvane
