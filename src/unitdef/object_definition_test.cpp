#include "unitdef/object_definition.h"

#include <gtest/gtest.h>

namespace tolvane {
namespace {

TEST(DataTypeTest, Rows) {
  const struct {
    const char* type;
    const char* format;
    const char* ref;
    const char* item_ref;
    const char* item_type;
    const char* expected;
  } cases[] = {
      {"integer", "int32", "", "", "", "integer"},
      {"integer", "int64", "", "", "", "int64"},
      {"integer", "int64", "#/definitions/X", "", "", "int64"},
      {"number", "float", "", "", "", "double"},
      {"number", "", "#/definitions/Category", "", "", "double"},
      {"string", "", "", "", "", "string"},
      {"string", "date-time", "", "", "", "TDateTime"},
      {"string", "date", "", "", "", "string"},
      {"boolean", "", "", "", "", "boolean"},
      {"object", "", "", "", "", "object"},
      {"file", "", "", "", "", "string"},
      {"", "", "#/definitions/Category", "", "", "TCategory"},
      {"", "", "#/definitions/pet-owner", "", "", "Tpet_owner"},
      {"", "", "#/definitions/pet owner", "", "", "Tpetowner"},
      {"", "", "#/definitions/a$b/c", "", "", "Ta$b/c"},
      {"", "", "#/definitions/", "", "", "T"},
      {"array", "", "", "#/definitions/Tag", "", "TArray<TTag>"},
      {"array", "", "#/definitions/X", "#/definitions/Tag", "", "TArray<TTag>"},
      {"array", "", "", "#/definitions/my-tag x", "", "TArray<Tmy_tagx>"},
      {"array", "", "", "", "string", "TArray<string>"},
      {"array", "", "", "", "number", "TArray<double>"},
      {"array", "", "", "", "integer", "TArray<integer>"},
      {"array", "int64", "", "", "integer", "TArray<integer>"},
      {"array", "", "", "", "", "TArray<>"},
      {"array", "", "", "", "array", "TArray<array>"},
      {"Number", "", "", "", "", "Number"},
      {"STRING", "", "", "", "", "STRING"},
      {"my-type x", "", "", "", "", "my_typex"},
      {"", "int64", "", "", "", "???"},
      {"", "", "", "#/definitions/Tag", "string", "???"},
  };
  for (const auto& c : cases) {
    TPropertyDefinition property;
    property.SetType(c.type);
    property.SetFormat(c.format);
    property.Setref(c.ref);
    property.SetItemref(c.item_ref);
    property.SetItemtype(c.item_type);
    EXPECT_EQ(property.DataType(), c.expected)
        << c.type << " " << c.format << " " << c.ref << " " << c.item_ref << " " << c.item_type;
  }
}

TEST(IsObjectTest, FollowsTheCurrentType) {
  TObjectDefinition object;
  TPropertyDefinition* property =
      object.AddProperty("category", "", "", "#/definitions/Category", "", "", "");
  EXPECT_TRUE(property->IsObject());
  EXPECT_TRUE(object.HasObjects());
  property->Setref("");
  property->SetType("string");
  EXPECT_FALSE(property->IsObject());
  EXPECT_FALSE(object.HasObjects());
}

// DataType keeps its text between reads: every input it depends on makes the
// next read work it out again.
TEST(DataTypeTest, EveryInputCountsAfterARead) {
  TPropertyDefinition property;
  const auto read = [&] { return std::string(property.DataType()); };
  EXPECT_EQ(read(), "???");
  property.SetType("integer");
  EXPECT_EQ(read(), "integer");
  property.SetFormat("int64");
  EXPECT_EQ(read(), "int64");
  property.SetType("");
  property.SetFormat("");
  property.Setref("#/definitions/Pet");
  EXPECT_EQ(read(), "TPet");
  property.SetType("array");
  property.SetItemtype("number");
  EXPECT_EQ(read(), "TArray<double>");
  property.SetItemref("#/definitions/Tag");
  EXPECT_EQ(read(), "TArray<TTag>");
  property.Setdescription("no input");
  EXPECT_EQ(read(), "TArray<TTag>");
}

TEST(ObjectDefinitionTest, HasObjectsAndArrays) {
  const struct {
    std::vector<const char*> base_names;
    bool has_objects;
    bool has_object_arrays;
  } cases[] = {
      {{}, false, false},
      {{"string", "integer"}, false, false},
      {{"string", "TCategory"}, true, false},
      {{"TArray<string>", "TArray<TTag>"}, false, true},
      {{"TArray<TTag>", "TCategory"}, true, true},
  };
  for (const auto& c : cases) {
    TObjectDefinition object;
    for (const char* base_name : c.base_names) {
      object.AddProperty("p", base_name, "", "", "", "", "");
    }
    EXPECT_EQ(object.HasObjects(), c.has_objects);
    EXPECT_EQ(object.HasObjectArrays(), c.has_object_arrays);
  }
}

TEST(ObjectDefinitionTest, AddPropertyStoresEveryValueInOrder) {
  TObjectDefinition object;
  object.AddProperty("type", "array", "fmt", "#/definitions/A", "#/definitions/B", "itype", "desc");
  object.AddProperty("type", "", "", "", "", "", "");
  ASSERT_EQ(object.Properties().size(), 2u);
  const TPropertyDefinition& first = object.Properties()[0];
  EXPECT_EQ(first.Name(), "type");
  EXPECT_EQ(first.PropertyName(), "&type");
  EXPECT_EQ(first.FieldName(), "Ftype");
  EXPECT_EQ(first.Type(), "array");
  EXPECT_EQ(first.Format(), "fmt");
  EXPECT_EQ(first.ref(), "#/definitions/A");
  EXPECT_EQ(first.Itemref(), "#/definitions/B");
  EXPECT_EQ(first.Itemtype(), "itype");
  EXPECT_EQ(first.description(), "desc");
  EXPECT_EQ(object.Properties()[1].Name(), "type");
}

TEST(IndexOfNameTest, FirstMatchIgnoringCase) {
  TObjectDefinitionList list;
  EXPECT_EQ(list.IndexOfName("PET"), -1);
  for (const char* name : {"Order", "Tag", "Pet", "Category", "\xC3\xA4rger", "pet"}) {
    list.push_back(std::make_unique<TObjectDefinition>());
    list.back()->SetName(name);
  }
  EXPECT_EQ(list.IndexOfName("PET"), 2);
  EXPECT_EQ(list.IndexOfName("pet"), 2);
  EXPECT_EQ(list.IndexOfName("\xC3\x84RGER"), 4);
  EXPECT_EQ(list.IndexOfName("Pets"), -1);
  EXPECT_EQ(list.IndexOfName(""), -1);
}

}  // namespace
}  // namespace tolvane
