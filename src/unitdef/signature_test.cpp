#include "unitdef/signature.h"

#include <gtest/gtest.h>

#include "platform/exceptions.h"
#include "swagger/swagger_classes.h"
#include "unitdef/client_test_model.h"

namespace tolvane {
namespace {

using TParam = TUnitDefinition::TParam;
using testing::AddParameter;
using testing::AddResponse;
using testing::Schema;

TEST(SignatureTest, RendersDeclarationAndHeading) {
  TUnitDefinition unit;
  TOperation get;
  get.FoperationId = "getPetById";
  AddParameter(get, "petId", "path", "integer").Fformat = "int64";
  AddResponse(get, "200", Schema("#/definitions/Pet"));
  const auto function = unit.CreateSignature("api", get);
  EXPECT_EQ(function->GetInterface(), "function getPetById(petId : int64) : TPet;");
  EXPECT_EQ(function->GetImplementation(), "function Tapi.getPetById(petId : int64) : TPet;");

  TOperation logout;
  logout.FoperationId = "logoutUser";
  AddResponse(logout, "default", nullptr);
  const auto procedure = unit.CreateSignature("api", logout);
  EXPECT_EQ(procedure->GetInterface(), "procedure logoutUser;");
  EXPECT_EQ(procedure->GetImplementation(), "procedure Tapi.logoutUser;");

  TOperation unnamed;  // no operationId, no responses member at all
  const auto empty = unit.CreateSignature("", unnamed);
  EXPECT_EQ(empty->GetInterface(), "procedure ;");
  EXPECT_EQ(empty->GetImplementation(), "procedure T.;");
}

TEST(SignatureTest, ArgumentsKeepTheDocumentsNameForTheRequest) {
  TUnitDefinition unit;
  TOperation operation;
  AddParameter(operation, "type", "query", "string");
  AddParameter(operation, "page-size", "Header", "integer", false);
  auto& tags = AddParameter(operation, "tags", "body", "array");
  tags.Fitems = std::make_unique<TItems>();
  tags.Fitems->Ftype = "string";
  const auto signature = unit.CreateSignature("api", operation);
  ASSERT_EQ(signature->Params.size(), 3u);
  const TParam& type = *signature->Params[0];
  const TParam& pageSize = *signature->Params[1];
  EXPECT_EQ(type.Name, "&type");
  EXPECT_EQ(type.ResourceName, "type");
  EXPECT_EQ(pageSize.Name, "page_size");
  EXPECT_EQ(pageSize.ResourceName, "page-size");
  EXPECT_EQ(pageSize.Position, "Header");
  EXPECT_FALSE(pageSize.Required);
  EXPECT_EQ(signature->Params[2]->Datatype, "TArray<string>");
  EXPECT_TRUE(signature->Params.ContainsArrayInBody());
  EXPECT_EQ(signature->GetInterface(),
            "procedure (&type : string; page_size : integer; tags : TArray<string>);");
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

// Names and types from the document are cleaned where they are written; the
// signature itself keeps them, and so do the plain renderings.
TEST(SignatureTest, WriterRenderingCleansNamesAndTypes) {
  TUnitDefinition unit;
  TOperation operation;
  operation.FoperationId = "get;Halt";
  auto& body = AddParameter(operation, "in)x", "body", "");
  body.Fschema = Schema("", "array", "#/definitions/a;b");
  AddResponse(operation, "200", Schema("#/definitions/Pet{x}"));
  const auto signature = unit.CreateSignature("a.b", operation);
  EXPECT_EQ(signature->Name, "get;Halt");
  EXPECT_EQ(signature->GetImplementation(),
            "function Ta.b.get;Halt(in)x : TArray<Ta;b>) : TPet{x};");
  EXPECT_EQ(signature->GetImplementation(unit),
            "function Ta_b.get_Halt(in_x : TArray<Ta_b>) : TPet_x_;");
  EXPECT_EQ(signature->GetInterface(unit), "function get_Halt(in_x : TArray<Ta_b>) : TPet_x_;");
  EXPECT_EQ(signature->Params[0]->RequiredCondition(unit), "Length(in_x) > 0");

  unit.FConfig.SanitizeNames = false;
  EXPECT_EQ(signature->GetImplementation(unit), signature->GetImplementation());
}

}  // namespace
}  // namespace tolvane
