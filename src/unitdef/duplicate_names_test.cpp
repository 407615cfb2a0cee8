#include "unitdef/duplicate_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "class_model.h"
#include "ordering_reference.h"
#include "unitdef/unit_definition.h"

namespace tolvane {
namespace {

using Lines = std::vector<std::string>;
using namespace tolvane::testing;  // the class models

TEST(ReplaceIfContainsTest, Table) {
  const struct {
    const char* text;
    const char* old_text;
    const char* new_text;
    const char* expected;
  } cases[] = {
      {"#/definitions/pet", "pet", "pet1", "#/definitions/pet1"},
      {"#/definitions/Pet", "pet", "pet1", "#/definitions/Pet"},
      {"a-a-a", "a", "bb", "bb-bb-bb"},
      {"aaa", "aa", "x", "xa"},
      {"abc", "", "x", "abc"},
      {"", "a", "x", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceIfContains(c.text, c.old_text, c.new_text), c.expected) << c.text << " " << c.old_text;
  }
}

TEST(RenameReferenceTest, RenamesTheNameAfterTheReferencePrefixOnly) {
  const struct {
    const char* ref;
    const char* old_text;
    const char* new_text;
    const char* expected;
  } cases[] = {
      {"#/definitions/pet", "pet", "pet1", "#/definitions/pet1"},
      // A whole-text replacement would give "#/definition1s1/s1".
      {"#/definitions/s", "s", "s1", "#/definitions/s1"},
      {"#/definitions/definitions", "definitions", "definitions2", "#/definitions/definitions2"},
      {"#/definitions/", "", "1", "#/definitions/"},
      {"short", "short", "x", "short"},
      {"#/definitions/pet", "cat", "cat1", "#/definitions/pet"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RenameReference(c.ref, c.old_text, c.new_text), c.expected) << c.ref << " " << c.old_text;
  }
}


TEST(MakeNamesUniqueTest, PetOrderPet) {
  TUnitDefinition unit;
  Lines log;
  unit.FLogProcedure = [&log](const std::string& line) { log.push_back(line); };
  unit.AddObject("Pet", "object");
  TObjectDefinition* order = unit.AddObject("Order", "object");
  order->AddProperty("item", "", "", "#/definitions/pet", "", "", "");
  order->AddProperty("items", "array", "", "", "#/definitions/Pet", "", "");
  order->AddProperty("others", "array", "", "", "#/definitions/pet", "", "");
  unit.AddObject("pet", "object");

  unit.MakeNamesUnique();

  EXPECT_EQ(log, (Lines{"Duplicate Current: pet  Found: Pet"}));
  EXPECT_EQ(Names(unit), (Lines{"Pet", "Order", "pet1"}));
  const TPropertyDefinition* item = &order->Properties()[0];
  const TPropertyDefinition* items = &order->Properties()[1];
  const TPropertyDefinition* others = &order->Properties()[2];
  EXPECT_EQ(item->ref(), "#/definitions/pet1");
  EXPECT_EQ(item->DataType(), "Tpet1");
  EXPECT_EQ(items->Itemref(), "#/definitions/Pet");
  EXPECT_EQ(items->DataType(), "TArray<TPet>");
  EXPECT_EQ(others->Itemref(), "#/definitions/pet1");
  EXPECT_EQ(others->DataType(), "TArray<Tpet1>");
}

TEST(MakeNamesUniqueTest, NamesReferencesAndLog) {
  const struct {
    const char* title;
    std::vector<ClassSpec> classes;
    Lines names;
    Lines references;  // per property of the last class, its $ref or items $ref after the pass
    Lines log;
  } cases[] = {
      {"numbering advances",
       {{"Pet", {}}, {"pet", {}}, {"PET", {}}, {"User", {"pet", "PET", "[]Pet"}}},
       {"Pet", "pet1", "PET2", "User"},
       {"#/definitions/pet1", "#/definitions/PET2", "#/definitions/Pet"},
       {"Duplicate Current: pet  Found: Pet", "Duplicate Current: PET  Found: Pet"}},
      {"a new name takes part in later tests",
       {{"Pet", {}}, {"pet", {}}, {"pet1", {}}, {"User", {"pet", "pet1"}}},
       {"Pet", "pet1", "pet12", "User"},
       {"#/definitions/pet1", "#/definitions/pet12"},
       {"Duplicate Current: pet  Found: Pet", "Duplicate Current: pet1  Found: pet1"}},
      {"a renamed class can equal a kept name exactly",
       {{"A", {}}, {"a1", {}}, {"a", {}}, {"User", {"a", "a1"}}},
       {"A", "a1", "a1", "User"},
       {"#/definitions/a1", "#/definitions/a1"},
       {"Duplicate Current: a  Found: A"}},
      {"equal names: every reference goes to the renamed one",
       {{"Pet", {}}, {"Pet", {}}, {"User", {"Pet", "[]Pet"}}},
       {"Pet", "Pet1", "User"},
       {"#/definitions/Pet1", "#/definitions/Pet1"},
       {"Duplicate Current: Pet  Found: Pet"}},
      {"hyphenated names: the references stay",
       {{"pet-owner", {}}, {"Pet-Owner", {}}, {"User", {"pet-owner", "Pet-Owner"}}},
       {"pet-owner", "Pet-Owner1", "User"},
       {"#/definitions/pet-owner", "#/definitions/Pet-Owner"},
       {"Duplicate Current: Pet-Owner  Found: pet-owner"}},
      {"names with blanks: the references stay",
       {{"my pet", {}}, {"My Pet", {}}, {"User", {"My Pet"}}},
       {"my pet", "My Pet1", "User"},
       {"#/definitions/My Pet"},
       {"Duplicate Current: My Pet  Found: my pet"}},
      {"a name inside the reference prefix",
       {{"S", {}}, {"s", {}}, {"User", {"s", "[]S"}}},
       {"S", "s1", "User"},
       {"#/definitions/s1", "#/definitions/S"},
       {"Duplicate Current: s  Found: S"}},
      {"a reference whose type text is a simple type is not followed",
       {{"Date", {}}, {"date", {}}, {"User", {"date"}}},
       {"Date", "date1", "User"},
       {"#/definitions/date"},
       {"Duplicate Current: date  Found: Date"}},
      {"folding covers Latin-1 letters",
       {{"\xC3\xA4pfel", {}}, {"\xC3\x84PFEL", {}}, {"User", {}}},
       {"\xC3\xA4pfel", "\xC3\x84PFEL1", "User"},
       {},
       {"Duplicate Current: \xC3\x84PFEL  Found: \xC3\xA4pfel"}},
  };
  for (const auto& c : cases) {
    TUnitDefinition unit;
    Lines log;
    unit.FLogProcedure = [&log](const std::string& line) { log.push_back(line); };
    AddClasses(unit, c.classes);
    unit.MakeNamesUnique();
    EXPECT_EQ(Names(unit), c.names) << c.title;
    EXPECT_EQ(log, c.log) << c.title;
    Lines references;
    for (const auto& property : unit.FObjects.back()->Properties()) {
      references.push_back(property.Itemref().empty() ? property.ref() : property.Itemref());
    }
    EXPECT_EQ(references, c.references) << c.title;
  }
}

TEST(MakeNamesUniqueTest, WithoutDuplicatesNothingChanges) {
  TUnitDefinition unit;
  Lines log;
  unit.FLogProcedure = [&log](const std::string& line) { log.push_back(line); };
  AddClasses(unit, {{"Pet", {"Tag", ":string"}}, {"Tag", {"[]Pet"}}, {"Pet-Tag", {}}});
  unit.MakeNamesUnique();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(Names(unit), (Lines{"Pet", "Tag", "Pet-Tag"}));
}

TEST(MakeNamesUniqueTest, AgreesWithIndexOfNameOnRandomLists) {
  const std::vector<std::string> pool = {"Pet", "pet", "PET", "pet1", "Pet1", "pet2", "a", "A", "a1",
                                         "s", "S", "x-y", "X-Y", "my pet", "Tag", "tag"};
  std::mt19937 random(3);
  for (int round = 0; round < 2000; ++round) {
    std::vector<ClassSpec> classes(random() % 9);
    for (auto& entry : classes) {
      entry.name = pool[random() % pool.size()];
      const size_t count = random() % 4;
      for (size_t p = 0; p < count; ++p) {
        const std::string& target = pool[random() % pool.size()];
        entry.properties.push_back(random() % 2 ? target : "[]" + target);
      }
    }
    TUnitDefinition fast;
    Lines log;
    fast.FLogProcedure = [&log](const std::string& line) { log.push_back(line); };
    AddClasses(fast, classes);
    fast.MakeNamesUnique();
    TUnitDefinition slow;
    AddClasses(slow, classes);
    const Lines slow_log = testing::ReferenceMakeNamesUnique(slow.FObjects);

    ASSERT_EQ(log, slow_log) << round;
    ASSERT_EQ(Names(fast), Names(slow)) << round;
    for (size_t i = 0; i < classes.size(); ++i) {
      for (size_t p = 0; p < classes[i].properties.size(); ++p) {
        const TPropertyDefinition& a = fast.FObjects[i]->Properties()[p];
        const TPropertyDefinition& b = slow.FObjects[i]->Properties()[p];
        ASSERT_EQ(a.ref(), b.ref()) << round;
        ASSERT_EQ(a.Itemref(), b.Itemref()) << round;
      }
    }
  }
}

}  // namespace
}  // namespace tolvane
