// The name plan of --compilable: identifiers, unit names and the scopes with
// their numbering.
#include "unitdef/name_plan.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "unitdef/identifiers.h"

namespace tolvane {
namespace {

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
      {std::string(kMaxNameLength, 'x') + "\xC3\xA4", std::string(kMaxNameLength, 'x')},
      {std::string(kMaxNameLength - 1, 'x') + "\xC3\xA4yy", std::string(kMaxNameLength - 1, 'x') + "_"},
      {"9" + std::string(150, 'x'), "_9" + std::string(kMaxNameLength - 2, 'x')},
  };
  for (const auto& c : cases) EXPECT_EQ(PlainIdentifier(c.text), c.identifier) << c.text;
}

// A name of the document as a whole identifier and as a part of one: the
// model's cleaning first, then the plain rules, copied where nothing changes.
TEST(NamePlanIdentifiers, DocumentIdentifier) {
  const struct {
    std::string name;
    std::string identifier;
    std::string part;
  } cases[] = {
      {"petId", "petId", "petId"},
      {"pet-id", "pet_id", "pet_id"},
      {"a b/c$", "abcS", "abcS"},
      {"2fa", "_2fa", "2fa"},
      {"", "_", ""},
      {"-", "_", "_"},
      {std::string(kMaxNameLength, 'x'), std::string(kMaxNameLength, 'x'), std::string(kMaxNameLength, 'x')},
      {std::string(kMaxNameLength + 1, 'x'), std::string(kMaxNameLength, 'x'), std::string(kMaxNameLength, 'x')},
      {"9" + std::string(kMaxNameLength - 1, 'x'), "_9" + std::string(kMaxNameLength - 2, 'x'),
       "9" + std::string(kMaxNameLength - 1, 'x')},
      {"io.k8s.api/v1", "io_k8s_apiv1", "io_k8s_apiv1"},
      {"gr\xC3\xB6-x", "gr__x", "gr__x"},  // a character beyond ASCII
      {" /" + std::string(kMaxNameLength, 'x') + "-", std::string(kMaxNameLength, 'x'),
       std::string(kMaxNameLength, 'x')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DocumentIdentifier(c.name), c.identifier) << c.name;
    EXPECT_EQ(DocumentIdentifierPart(c.name), c.part) << c.name;
  }
  // Whatever the bytes, the same as the cleaning followed by the plain rules.
  std::vector<std::string> names;
  for (int c = 0; c < 256; ++c) {
    names.push_back(std::string(1, static_cast<char>(c)) + "a" + static_cast<char>(c));
    names.push_back(std::string(kMaxNameLength - 1, 'y') + static_cast<char>(c) + "zz");
  }
  for (const std::string& name : names) {
    EXPECT_EQ(DocumentIdentifier(name), PlainIdentifier(MakeIdentifier(name, false))) << name;
    EXPECT_EQ(DocumentIdentifierPart(name), AsciiIdentifierPart(MakeIdentifier(name, false))) << name;
  }
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
    names.push_back(scope.TakeUnique(base));
  }
  // "id1" was given to ID before the document's own id1 came.
  EXPECT_EQ(names, (std::vector<std::string>{"id", "ID1", "Id2", "id11", "client1", "x"}));
  EXPECT_TRUE(outer.IsFree("client1"));  // the outer scope does not see the inner one
  EXPECT_EQ(scope.Unique("x", [](const std::string& name) { return name != "x1"; }), "x2");
  // A base refused by the test is numbered, and the number taken.
  EXPECT_EQ(scope.TakeUnique("y", [](const std::string& name) { return name != "y"; }), "y1");
  EXPECT_FALSE(scope.IsFree("Y1"));
}

TEST(NameScope, KeepsManyNamesApartIgnoringCase) {
  // Enough names to grow the scope's table several times.
  TNameScope scope;
  for (int i = 0; i < 1000; ++i) scope.Take("name" + std::to_string(i));
  scope.Take("caf\u00e9");
  for (int i = 0; i < 1000; ++i) EXPECT_FALSE(scope.IsFree("NAME" + std::to_string(i))) << i;
  EXPECT_FALSE(scope.IsFree("CAF\u00c9"));
  EXPECT_TRUE(scope.IsFree("name1000"));
  EXPECT_TRUE(scope.IsFree("name"));
  // name51 ... name599 are taken.
  EXPECT_EQ(scope.Unique("Name5"), "Name5100");
}

}  // namespace
}  // namespace tolvane
