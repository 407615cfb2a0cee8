#include "swagger/swagger_classes.h"

#include <gtest/gtest.h>

#include "swagger/json_to_object.h"

namespace tolvane {
namespace {

TEST(SwaggerClassesTest, OperationsAndSupportedOperations) {
  const auto path = JsonToObject<TPath>(R"({"get": {}, "options": {}, "head": {}})");
  const auto all = path->Operations();
  EXPECT_EQ(all[0], path->Fget.get());
  EXPECT_EQ(all[4], path->Foptions.get());
  EXPECT_EQ(all[5], path->Fhead.get());
  for (int i : {1, 2, 3, 6}) EXPECT_EQ(all[i], nullptr) << i;
  const auto supported = path->SupportedOperations();
  EXPECT_EQ(supported[0], path->Fget.get());
  for (int i = 1; i < 5; ++i) EXPECT_EQ(supported[i], nullptr) << i;

  const auto full = JsonToObject<TPath>(
      R"({"patch": {}, "head": {}, "options": {}, "delete": {}, "post": {}, "put": {}, "get": {}})");
  const std::array<TOperation*, 5> expected = {full->Fget.get(), full->Fput.get(), full->Fpost.get(),
                                               full->Fdelete.get(), full->Fpatch.get()};
  EXPECT_EQ(full->SupportedOperations(), expected);
}

TEST(SwaggerClassesTest, SecurityUsesTheMethodTableWithLetterCase) {
  auto path = JsonToObject<TPath>(
      R"({"delete": {"security": [{"a": []}, {"b": []}]}, "get": {"security": [{}]}, "put": {}})");
  const struct {
    std::string method;
    bool changes_delete;
  } cases[] = {{"delete", true}, {"DELETE", false}, {"Delete", false}, {"trace", false}, {"", false}};
  for (const auto& c : cases) {
    path->Fdelete->Fsecurity[0]->FName = {};
    path->SetSecurity(c.method, "api_key");
    EXPECT_EQ(path->Fdelete->Fsecurity[0]->FName, c.changes_delete ? "api_key" : "") << c.method;
    EXPECT_EQ(path->GetSecurity(c.method), c.changes_delete ? "api_key" : "") << c.method;
  }
  EXPECT_EQ(path->Fdelete->Fsecurity[1]->FName, "");  // only the first entry

  // An operation without security entries, or an absent one: nothing happens.
  path->SetSecurity("put", "x");
  EXPECT_TRUE(path->Fput->Fsecurity.empty());
  EXPECT_EQ(path->GetSecurity("put"), "");
  path->SetSecurity("post", "x");
  EXPECT_EQ(path->Fpost, nullptr);
  EXPECT_EQ(path->GetSecurity("post"), "");
}

TEST(SwaggerClassesTest, OperationFieldFollowsTheMethodTable) {
  TPath path;
  const struct {
    const char* method;
    std::unique_ptr<TOperation>* field;
  } cases[] = {{"get", &path.Fget},         {"put", &path.Fput},   {"post", &path.Fpost},
               {"delete", &path.Fdelete},   {"options", &path.Foptions}, {"head", &path.Fhead},
               {"patch", &path.Fpatch},     {"Get", nullptr},      {"x-foo", nullptr},
               {"parameters", nullptr}};
  for (const auto& c : cases) EXPECT_EQ(path.OperationField(c.method), c.field) << c.method;
}

TEST(SwaggerClassesTest, AddReturnsTheIndexAndKeepsOrder) {
  TDefinitions definitions;
  for (int i = 0; i < 3; ++i) {
    auto definition = std::make_unique<TDefinition>();
    definition->FName = "D" + std::to_string(i);
    EXPECT_EQ(definitions.Add(std::move(definition)), i);
  }
  EXPECT_EQ(definitions.FItems[2]->FName, "D2");
  TDefinition definition;
  EXPECT_EQ(definition.Add(std::make_unique<TProperty>()), 0);
  EXPECT_EQ(definition.Add(std::make_unique<TProperty>()), 1);
}

}  // namespace
}  // namespace tolvane
