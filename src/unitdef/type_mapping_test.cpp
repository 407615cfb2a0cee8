#include "unitdef/type_mapping.h"

#include <gtest/gtest.h>

#include <memory>

#include "swagger/swagger_classes.h"

namespace tolvane {
namespace {

TEST(IsSimpleTypeTest, EightTextsIgnoringCase) {
  const struct {
    const char* text;
    bool expected;
  } cases[] = {
      {"INTEGER", true}, {"integer", true}, {"double", true}, {"Object", true},
      {"int64", true},   {"TDate", true},   {"tdatetime", true}, {"string", true},
      {"boolean", true}, {"number", false}, {"array", false},  {"file", false},
      {"", false},       {"TJSONValue", false}, {"Integers", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSimpleType(c.text), c.expected) << c.text;
}

TEST(MapSimpleTypeTest, Rows) {
  const struct {
    const char* type;
    const char* format;
    const char* expected;
  } cases[] = {
      {"number", "", "double"},
      {"number", "float", "double"},
      {"object", "", "TJSONValue"},
      {"integer", "int64", "int64"},
      {"integer", "int32", "integer"},
      {"string", "date-time", "TDateTime"},
      {"string", "date", "string"},
      {"Number", "", "Number"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MapSimpleType(c.type, c.format), c.expected) << c.type << " " << c.format;
  }
}

std::unique_ptr<TItems> Items(const char* ref, const char* type) {
  auto items = std::make_unique<TItems>();
  items->Fref = ref;
  items->Ftype = type;
  return items;
}

TEST(MapSchemaTypeTest, WithoutSchema) {
  const auto string_items = Items("", "string");
  const auto number_items = Items("", "number");
  const struct {
    const char* type;
    const char* format;
    const TItems* items;
    const char* expected;
  } cases[] = {
      {"integer", "int64", nullptr, "int64"},
      {"number", "", nullptr, "double"},
      {"string", "date-time", nullptr, "TDateTime"},
      {"array", "", string_items.get(), "TArray<string>"},
      {"array", "", number_items.get(), "TArray<double>"},
      {"array", "", nullptr, "array"},
      {"file", "", nullptr, "string"},
      {"object", "", nullptr, "TJSONValue"},
      {"", "", nullptr, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MapSchemaType(nullptr, c.type, c.format, c.items), c.expected) << c.type;
  }
}

TEST(MapSchemaTypeTest, WithSchema) {
  const struct {
    const char* ref;
    const char* type;
    bool has_items;
    const char* items_ref;
    const char* items_type;
    const char* expected;
  } cases[] = {
      {"#/definitions/Pet", "", false, "", "", "TPet"},
      {"", "array", true, "#/definitions/Pet", "", "TArray<TPet>"},
      {"", "array", true, "", "object", "TArray<TJSONValue>"},
      {"", "array", true, "", "string", "TArray<string>"},
      {"", "array", true, "", "number", "TArray<Tnumber>"},
      {"", "array", true, "", "", "TArray<T>"},
      {"", "array", false, "", "", "array"},
      {"#/definitions/Pet", "array", false, "", "", "array"},
      {"", "number", false, "", "", "Tnumber"},
      {"", "object", false, "", "", "TJSONValue"},
      {"", "integer", false, "", "", "integer"},
      {"", "", false, "", "", "T"},
      {"#/definitions/pet-owner", "", false, "", "", "Tpet-owner"},
      {"#/x", "", false, "", "", "T"},
  };
  for (const auto& c : cases) {
    TSchema schema;
    schema.Fref = c.ref;
    schema.Ftype = c.type;
    if (c.has_items) schema.Fitems = Items(c.items_ref, c.items_type);
    // The parameter's own type and items are not looked at beside a schema.
    const auto ignored = Items("", "boolean");
    EXPECT_EQ(MapSchemaType(&schema, "file", "", ignored.get()), c.expected)
        << c.ref << " " << c.type << " " << c.items_ref << " " << c.items_type;
  }
}

TEST(MapSchemaTypeTest, ItemTypesTakeTheCallsFormat) {
  TSchema schema;
  schema.Ftype = "array";
  schema.Fitems = Items("", "string");
  EXPECT_EQ(MapSchemaType(&schema, "", "date-time", nullptr), "TArray<TDateTime>");
  const auto integer_items = Items("", "integer");
  EXPECT_EQ(MapSchemaType(nullptr, "array", "int64", integer_items.get()), "TArray<int64>");
}

}  // namespace
}  // namespace tolvane
