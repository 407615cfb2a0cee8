// The name plan of --compilable: identifiers, scopes and their numbering,
// unit names, the types written, and the names of a whole unit's classes,
// properties, methods and arguments.
#include "unitdef/name_plan.h"

#include <gtest/gtest.h>

#include "platform/exceptions.h"
#include "swagger/swagger_classes.h"
#include "unitdef/client_test_model.h"
#include "unitdef/unit_definition.h"
#include "unitdef/unit_resolver.h"
#include "unitdef/unit_writer.h"

namespace tolvane {
namespace {

using namespace tolvane::testing;  // the model builders

TEST(NamePlanIdentifiers, PlainIdentifier) {
  const struct {
    std::string text;
    std::string identifier;
  } cases[] = {
      {"petId", "petId"},
      {"2fa", "_2fa"},
      {"odata.type", "odata_type"},
      {"@type", "_type"},
      {"+1", "_1"},
      {"gr\xC3\xB6\xC3\x9F" "e", "gr__e"},  // one "_" per character
      {"\xE2\x82\xAC" "x", "_x"},
      {"", "_"},
      {std::string(150, 'x'), std::string(kMaxNameLength, 'x')},
      {"9" + std::string(150, 'x'), "_9" + std::string(kMaxNameLength - 2, 'x')},
  };
  for (const auto& c : cases) EXPECT_EQ(PlainIdentifier(c.text), c.identifier) << c.text;
}

TEST(NamePlanIdentifiers, MethodNameFromPath) {
  EXPECT_EQ(MethodNameFromPath("get", "/pets/{id}"), "get_pets_id");
  EXPECT_EQ(MethodNameFromPath("delete", "/a-b/{c}.json"), "delete_a_b_c_json");
  EXPECT_EQ(MethodNameFromPath("post", "/"), "post");
  EXPECT_EQ(MethodNameFromPath("put", "/\xC3\xBC" "ber/x"), "put_ber_x");
}

TEST(NamePlanIdentifiers, ReservedWordsIncludeFreePascalOnes) {
  for (const char* word : {"type", "Begin", "otherwise", "BITPACKED", "name"}) {
    EXPECT_TRUE(IsDelphiReservedWord(word)) << word;
  }
  for (const char* word : {"types", "Self", "T", ""}) EXPECT_FALSE(IsDelphiReservedWord(word)) << word;
}

TEST(NamePlanIdentifiers, UnitNames) {
  const struct {
    const char* name;
    const char* unit;
  } cases[] = {
      {"petstore", "petstore"},
      {"my.api", "my.api"},
      {"kubernetes_1.13", "kubernetes_1_13"},
      {"my.type", "my_type"},
      {"1.2", "_1_2"},
      {"gr\xC3\xB6\xC3\x9F" "e", "gr__e"},
      {"type", "type1"},
      {"system", "system1"},
      {"System.JSON", "System.JSON1"},
      {"rest.client", "rest.client1"},
      {"my.json", "my.json"},
      {"", "_"},
  };
  for (const auto& c : cases) EXPECT_EQ(CompilableUnitName(c.name), c.unit) << c.name;
}

TEST(NameScope, NumbersClashesIgnoringCaseAndSeesOuterScopes) {
  TNameScope outer;
  outer.Take("Client");
  TNameScope scope(&outer);
  std::vector<std::string> names;
  for (const char* base : {"id", "ID", "Id", "id1", "client", "x"}) {
    names.push_back(scope.Unique(base));
    scope.Take(names.back());
  }
  // "id1" was given to ID before the document's own id1 came.
  EXPECT_EQ(names, (std::vector<std::string>{"id", "ID1", "Id2", "id11", "client1", "x"}));
  EXPECT_TRUE(outer.IsFree("client1"));  // the outer scope does not see the inner one
  const std::string accepted = scope.Unique("x", [](const std::string& name) { return name != "x1"; });
  EXPECT_EQ(accepted, "x2");
}

// A unit model with every kind of clash the plan resolves.
struct PlanFixture {
  TUnitDefinition unit;
  TPaths paths;

  PlanFixture() {
    unit.FName = "kubernetes-1.13.json";
    unit.FBasePath = "/api";
    unit.FPaths = &paths;
    unit.FConfig.WriteOperations = true;
    unit.FConfig.Compilable = true;
  }
  TObjectDefinition& Object(const std::string& name) { return *unit.AddObject(name, "object"); }
  TResolvedUnit Resolve() { return MakeCompilableResolver(unit)->Resolve(unit); }
};

void AddProperty(TObjectDefinition& object, const std::string& name, const std::string& type,
                 const std::string& ref = "", const std::string& itemType = "", const std::string& itemRef = "") {
  object.AddProperty(name, type, "", ref, itemRef, itemType, "");
}

TEST(NamePlan, ClassIdentifiersAndWrittenTypes) {
  PlanFixture f;
  f.Object("Pet");
  f.Object("pet-owner");
  f.Object("pet_owner");
  f.Object("Array");
  f.Object("JSON");
  f.Object("api");  // the client class is Tapi
  f.Object("ry");   // Try is a reserved word
  f.Object("");
  f.Object("io.k8s.Pod");
  EXPECT_EQ(MakeCompilableResolver(f.unit)->Output().FileName, "kubernetes_1_13.pas");
  const struct {
    const char* type;  // the property's type, which is its type text
    const char* written;
  } types[] = {
      {"string", "string"},     {"Integer", "integer"},   {"TDateTime", "TDateTime"},
      {"TPet", "TPet"},         {"Tpet", "TPet"},         {"Tpet_owner", "Tpet_owner"},
      {"Tpet-owner", "Tpet_owner"}, {"Tio.k8s.Pod", "Tio_k8s_Pod"}, {"TArray<TPet>", "TArray<TPet>"},
      {"TArray<double>", "TArray<double>"}, {"???", "TJSONValue"}, {"object", "TJSONValue"},
      {"Tnumber", "TJSONValue"}, {"T", "T1"},                {"TMissing", "TJSONValue"},
      {"TArray<object>", "TArray<TJSONValue>"},
      {"TArray<>", "TArray<TJSONValue>"}, {"TArray<array>", "TArray<TJSONValue>"},
      {"TArray<TArray<string>>", "TArray<TJSONValue>"}, {"TJSON", "TJSON1"},
  };
  TObjectDefinition& typed = f.Object("Typed");
  for (const auto& t : types) typed.AddProperty("p", t.type, "", "", "", "", "");
  const TResolvedUnit unit = f.Resolve();
  std::vector<std::string> identifiers;
  for (const TResolvedClass& clazz : unit.Classes) identifiers.push_back(clazz.Identifier);
  EXPECT_EQ(identifiers, (std::vector<std::string>{"TPet", "Tpet_owner", "Tpet_owner1", "TArray1", "TJSON1",
                                                   "Tapi1", "Try1", "T1", "Tio_k8s_Pod", "TTyped"}));
  EXPECT_EQ(unit.ClientClass, "Tapi");
  ASSERT_EQ(unit.Classes.back().Fields.size(), std::size(types));
  for (size_t i = 0; i < std::size(types); ++i) {
    EXPECT_EQ(unit.Classes.back().Fields[i].Type, types[i].written) << types[i].type;
  }
}

TEST(NamePlan, FieldsAndPropertiesOfAClass) {
  PlanFixture f;
  TObjectDefinition& pet = f.Object("Pet");
  AddProperty(pet, "id", "string");
  AddProperty(pet, "ID", "string");
  AddProperty(pet, "or", "string");
  AddProperty(pet, "2fa", "string");
  AddProperty(pet, "assigned", "", "#/definitions/Pet");
  AddProperty(pet, "Free", "integer");
  AddProperty(pet, "tags", "array", "", "object");
  AddProperty(pet, "price", "number");
  AddProperty(pet, "TPet", "string");
  const TResolvedUnit unit = f.Resolve();
  std::vector<std::string> texts;
  for (const TResolvedField& p : unit.Classes[0].Fields) {
    texts.push_back(p.Field + " " + p.Property + " : " + p.Type +
                    (p.Ownership == TOwnership::Object ? " object" : "") +
                    (p.Ownership == TOwnership::ObjectArray ? " objects" : ""));
  }
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "Fid id : string",
                       "FID1 ID1 : string",
                       "&For &or : string",
                       "F_2fa _2fa : string",
                       "Fassigned1 assigned1 : TPet object",
                       "FFree1 Free1 : integer",
                       "Ftags tags : TArray<TJSONValue> objects",
                       "Fprice price : double",
                       "FTPet1 TPet1 : string",
                   }));
  EXPECT_TRUE(unit.Classes[0].HasDestructor());
  EXPECT_TRUE(unit.Classes[0].OwnsArrays());
}

TEST(NamePlan, MethodsAndArguments) {
  PlanFixture f;
  f.Object("Pet");
  TPath& pets = AddPath(f.paths, "/pets/{id}");
  TOperation& get = AddOperation(pets, "get", "");
  AddParameter(get, "request", "path", "integer");
  AddParameter(get, "type", "query", "string");
  AddParameter(get, "Type", "header", "string");
  AddParameter(get, "i", "query", "string");
  AddResponse(get, "200", Schema("", "array", "#/definitions/Pet"));
  TOperation& put = AddOperation(pets, "put", "Authorization");
  SetItems(AddParameter(put, "tags", "body", "array"), "string");
  AddParameter(put, "LtagsItem", "query", "string");
  AddParameter(put, "i", "query", "string");
  AddParameter(put, "length", "query", "array");
  TPath& more = AddPath(f.paths, "/more");
  AddOperation(more, "get", "getPets");
  AddOperation(more, "post", "GetPets");
  const TResolvedUnit unit = f.Resolve();

  const std::vector<std::string> interfaces = {
      // I is a local of a method that returns an array.
      "function get_pets_id(request1 : integer; &type : string; Type1 : string; i1 : string) : TArray<TPet>;",
      "procedure Authorization1(tags : TArray<string>; LtagsItem1 : string; i : string; length1 : TJSONValue);",
      "procedure getPets;",
      "procedure GetPets1;",
  };
  ASSERT_EQ(unit.Methods.size(), interfaces.size());
  for (size_t i = 0; i < interfaces.size(); ++i) {
    EXPECT_EQ(MethodHeading(unit.Methods[i], ""), interfaces[i]);
    EXPECT_EQ(MethodHeading(unit.Methods[i], unit.ClientClass).find(" Tapi."), interfaces[i].find(' '));
  }
}

TEST(NamePlan, FilterThatNamesNoClassFails) {
  PlanFixture f;
  f.Object("Pet");
  f.unit.FClassnameFilter = "pet";
  f.unit.FConfig.WriteOperations = false;
  try {
    MakeCompilableResolver(f.unit);
    FAIL() << "no failure";
  } catch (const Exception& failure) {
    EXPECT_STREQ(failure.ClassName(), "Exception");
    EXPECT_EQ(failure.Message(), "Class pet not found");
  }
  f.unit.FClassnameFilter = "Pet";
  EXPECT_NO_THROW(MakeCompilableResolver(f.unit));
}

}  // namespace
}  // namespace tolvane
