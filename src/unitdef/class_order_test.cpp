#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "class_model.h"
#include "ordering_reference.h"
#include "unitdef/delphi_type.h"
#include "unitdef/unit_definition.h"

namespace tolvane {
namespace {

using Lines = std::vector<std::string>;
using namespace tolvane::testing;  // the class models

TEST(ResolveDependenciesTest, PetCategoryTag) {
  TUnitDefinition unit;
  TObjectDefinition* pet = unit.AddObject("Pet", "object");
  pet->AddProperty("category", "", "", "#/definitions/Category", "", "", "");
  pet->AddProperty("tags", "array", "", "", "#/definitions/Tag", "", "");
  unit.AddObject("Category", "object");
  unit.AddObject("Tag", "object");

  TraceCapture trace(unit);
  unit.ResolveDependencies();
  EXPECT_EQ(trace.lines, (Lines{"Resolving", "Pet depends on Category", "Pet depends on Tag", "Resolving"}));
  EXPECT_EQ(Names(unit), (Lines{"Tag", "Category", "Pet"}));
  EXPECT_TRUE(unit.FForwardDeclarations.empty());
  EXPECT_TRUE(pet->HasObjects());
}

TEST(ResolveDependenciesTest, EdgeCases) {
  const struct {
    const char* title;
    std::vector<ClassSpec> classes;
    Lines order;
    Lines trace;
  } cases[] = {
      {"empty list", {}, {}, {"Resolving"}},
      {"already ordered",
       {{"Tag", {}}, {"Category", {":string"}}, {"Pet", {"Category", "[]Tag", ":integer"}}},
       {"Tag", "Category", "Pet"},
       {"Resolving"}},
      {"self reference", {{"Node", {"Node", "[]Node"}}, {"Leaf", {}}}, {"Node", "Leaf"}, {"Resolving"}},
      {"hyphenated name never matches",
       {{"Pet", {"pet-owner"}}, {"pet-owner", {}}},
       {"Pet", "pet-owner"},
       {"Resolving"}},
      {"name with a blank never matches",
       {{"Pet", {"pet owner"}}, {"pet owner", {}}},
       {"Pet", "pet owner"},
       {"Resolving"}},
      {"reference differing in case",
       {{"Pet", {"category"}}, {"Category", {}}},
       {"Pet", "Category"},
       {"Resolving"}},
      {"simple type texts are no references",
       {{"Event", {":string", "[]DateTime"}}, {"DateTime", {}}, {"string", {}}},
       {"Event", "DateTime", "string"},
       {"Resolving"}},
      {"underscore name matches a hyphenated reference",
       {{"Pet", {"pet-owner"}}, {"pet_owner", {}}},
       {"pet_owner", "Pet"},
       {"Resolving", "Pet depends on pet_owner", "Resolving"}},
      {"the moved class lands before the preceding one",
       {{"A", {}}, {"B", {"C"}}, {"C", {}}},
       {"C", "A", "B"},
       {"Resolving", "B depends on C", "Resolving"}},
      {"equal names are moved in list order",
       {{"X", {"a1", ":string"}}, {"a1", {}}, {"a1", {}}},
       {"a1", "a1", "X"},
       {"Resolving", "X depends on a1", "X depends on a1", "Resolving"}},
      {"chain in the worst order",
       {{"A", {"B"}}, {"B", {"C"}}, {"C", {"D"}}, {"D", {}}},
       {"D", "C", "B", "A"},
       {"Resolving", "A depends on B", "C depends on D", "Resolving", "B depends on C", "Resolving",
        "C depends on D", "Resolving"}},
  };
  for (const auto& c : cases) {
    TUnitDefinition unit;
    AddClasses(unit, c.classes);
    TraceCapture trace(unit);
    unit.ResolveDependencies();
    EXPECT_EQ(Names(unit), c.order) << c.title;
    EXPECT_EQ(trace.lines, c.trace) << c.title;
    EXPECT_TRUE(unit.FForwardDeclarations.empty()) << c.title;
  }
}

// Cycles: the references inside a cycle are left out, the rest is ordered.
TEST(ResolveDependenciesTest, CyclesEndWithForwardDeclarations) {
  const struct {
    const char* title;
    std::vector<ClassSpec> classes;
    Lines order;
    Lines trace;
    Lines forward;
  } cases[] = {
      {"two classes",
       {{"Folder", {"[]File"}}, {"File", {"Folder"}}},
       {"Folder", "File"},
       {"Resolving"},
       {"File"}},
      {"a cycle through three classes, listed backwards",
       {{"Employee", {"Manager"}}, {"Manager", {"[]Team"}}, {"Team", {"[]Employee"}}},
       {"Employee", "Manager", "Team"},
       {"Resolving"},
       {"Manager", "Team"}},
      {"classes outside the cycle are ordered around it",
       {{"Report", {"Folder", ":string"}}, {"Folder", {"[]File", "Owner"}}, {"File", {"Folder"}}, {"Owner", {}}},
       {"Owner", "Folder", "Report", "File"},
       {"Resolving", "Report depends on Folder", "Resolving", "Folder depends on Owner", "Resolving"},
       {"File"}},
      {"a self reference is no cycle",
       {{"Node", {"Node", "Leaf"}}, {"Leaf", {}}},
       {"Leaf", "Node"},
       {"Resolving", "Node depends on Leaf", "Resolving"},
       {}},
  };
  for (const auto& c : cases) {
    TUnitDefinition unit;
    AddClasses(unit, c.classes);
    TraceCapture trace(unit);
    unit.ResolveDependencies();
    EXPECT_EQ(Names(unit), c.order) << c.title;
    EXPECT_EQ(trace.lines, c.trace) << c.title;
    Lines forward;
    for (const TObjectDefinition* object : unit.FForwardDeclarations) forward.push_back(object->Name());
    EXPECT_EQ(forward, c.forward) << c.title;
  }
}

// Random models for the comparison with the transcribed loop. Names come from
// a small pool so that equal names, names differing in case and hyphenated
// names occur; with acyclic set, a class only refers to names all of whose
// classes rank below it in a hidden order.
std::vector<ClassSpec> RandomClasses(std::mt19937& random, bool acyclic) {
  static const std::vector<std::string> kNames = {"A", "B", "C", "D", "E", "F", "G", "H", "a", "b",
                                                  "x-y", "x_y", "my pet", "String", "A", "B"};
  const size_t count = random() % 11;
  std::vector<ClassSpec> classes(count);
  for (auto& entry : classes) entry.name = kNames[random() % kNames.size()];
  std::vector<size_t> rank(count);
  for (size_t i = 0; i < count; ++i) rank[i] = i;
  std::shuffle(rank.begin(), rank.end(), random);

  for (size_t i = 0; i < count; ++i) {
    const size_t properties = random() % 5;
    for (size_t p = 0; p < properties; ++p) {
      const std::string target = random() % 6 == 0 ? kNames[random() % kNames.size()] : classes[random() % count].name;
      std::string entry = random() % 3 == 0 ? "[]" + target : target;
      if (random() % 8 == 0) entry = ":string";
      // The type text this reference will have, and the classes it names.
      TObjectDefinition holder;
      AddProperty(holder, entry, 0);
      const std::string type(StripArrayPrefix(holder.Properties()[0].DataType()));
      bool allowed = true;
      for (size_t k = 0; acyclic && k < count; ++k) {
        if (k != i && "T" + classes[k].name == type && rank[k] > rank[i]) allowed = false;
      }
      if (allowed) classes[i].properties.push_back(entry);
    }
  }
  return classes;
}

// Pairs of classes that reach each other through references (brute force).
std::function<bool(const TObjectDefinition*, const TObjectDefinition*)> MutuallyReachable(
    const TObjectDefinitionList& objects) {
  const size_t n = objects.size();
  std::map<const TObjectDefinition*, size_t> index;
  for (size_t i = 0; i < n; ++i) index[objects[i].get()] = i;
  auto reach = std::make_shared<std::vector<std::vector<bool>>>(n, std::vector<bool>(n, false));
  for (size_t a = 0; a < n; ++a) {
    for (const auto& property : objects[a]->Properties()) {
      const std::string type(StripArrayPrefix(property.DataType()));
      if (IsSimpleType(type)) continue;
      for (size_t b = 0; b < n; ++b) {
        if (b != a && "T" + objects[b]->Name() == type) (*reach)[a][b] = true;
      }
    }
  }
  for (size_t k = 0; k < n; ++k)
    for (size_t a = 0; a < n; ++a)
      for (size_t b = 0; b < n; ++b)
        if ((*reach)[a][k] && (*reach)[k][b]) (*reach)[a][b] = true;
  return [reach, index](const TObjectDefinition* a, const TObjectDefinition* b) {
    const size_t i = index.at(a);
    const size_t j = index.at(b);
    return (*reach)[i][j] && (*reach)[j][i];
  };
}

// The classes that some class declared before them refers to.
Lines ExpectedForward(const TObjectDefinitionList& objects) {
  Lines forward;
  for (size_t b = 0; b < objects.size(); ++b) {
    bool needed = false;
    for (size_t a = 0; a < b && !needed; ++a) {
      for (const auto& property : objects[a]->Properties()) {
        if (StripArrayPrefix(property.DataType()) == "T" + objects[b]->Name()) needed = true;
      }
    }
    if (needed) forward.push_back(objects[b]->description());
  }
  return forward;
}

void CompareWithTranscription(bool acyclic, int rounds, unsigned seed) {
  std::mt19937 random(seed);
  int with_moves = 0;
  int with_many_passes = 0;
  for (int round = 0; round < rounds; ++round) {
    const std::vector<ClassSpec> classes = RandomClasses(random, acyclic);
    TUnitDefinition fast;
    AddClasses(fast, classes);
    TraceCapture trace(fast);
    fast.ResolveDependencies();

    TUnitDefinition slow;
    AddClasses(slow, classes);
    std::vector<TObjectDefinition*> list;
    for (const auto& object : slow.FObjects) list.push_back(object.get());
    const testing::TReferenceOrdering expected = testing::ReferenceResolveDependencies(
        list, acyclic ? nullptr : MutuallyReachable(slow.FObjects), 1000);

    ASSERT_TRUE(expected.Ended) << round;
    ASSERT_EQ(trace.lines, expected.Trace) << round;
    Lines expected_order;
    for (const TObjectDefinition* object : list) expected_order.push_back(object->description());
    ASSERT_EQ(Tags(fast.FObjects), expected_order) << round;
    const Lines forward = Tags(fast.FForwardDeclarations);
    ASSERT_EQ(forward, ExpectedForward(fast.FObjects)) << round;
    if (acyclic) {
      ASSERT_TRUE(forward.empty()) << round;
    }
    const auto passes = std::count(expected.Trace.begin(), expected.Trace.end(), "Resolving");
    with_moves += expected.Trace.size() > static_cast<size_t>(passes);
    with_many_passes += passes >= 3;
  }
  // The models are varied enough to exercise the passes.
  EXPECT_GT(with_moves, rounds / 3);
  EXPECT_GT(with_many_passes, rounds / 20);
}

TEST(ResolveDependenciesTest, AgreesWithTheTranscribedLoopOnAcyclicModels) {
  CompareWithTranscription(true, 5000, 1);
}

TEST(ResolveDependenciesTest, AgreesWithTheTranscribedLoopWithoutCycleReferences) {
  CompareWithTranscription(false, 3000, 2);
}

TEST(ResolveDependenciesTest, LongChainAgreesWithTheTranscribedLoop) {
  // Many passes with many moves each.
  std::vector<ClassSpec> classes;
  for (int i = 0; i < 150; ++i) classes.push_back({"C" + std::to_string(i), {"C" + std::to_string(i + 1)}});
  TUnitDefinition fast;
  AddClasses(fast, classes);
  TraceCapture trace(fast);
  fast.ResolveDependencies();
  TUnitDefinition slow;
  AddClasses(slow, classes);
  std::vector<TObjectDefinition*> list;
  for (const auto& object : slow.FObjects) list.push_back(object.get());
  const testing::TReferenceOrdering expected = testing::ReferenceResolveDependencies(list);
  EXPECT_EQ(trace.lines, expected.Trace);
  // A chain of n classes in the worst order takes n passes.
  EXPECT_EQ(std::count(trace.lines.begin(), trace.lines.end(), "Resolving"), 150);
  EXPECT_EQ(Tags(fast.FObjects), Tags(std::vector<const TObjectDefinition*>(list.begin(), list.end())));
}

}  // namespace
}  // namespace tolvane
