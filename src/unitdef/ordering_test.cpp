#include "unitdef/ordering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "ordering_reference.h"
#include "platform/debug_trace.h"
#include "unitdef/unit_definition.h"

namespace tolvane {
namespace {

using Lines = std::vector<std::string>;

// Collects the trace lines while it lives.
class TraceCapture {
 public:
  TraceCapture() {
    previous_ = SetTraceSink([this](std::string_view line) { lines.emplace_back(line); });
  }
  ~TraceCapture() { SetTraceSink(std::move(previous_)); }
  Lines lines;

 private:
  TTraceSink previous_;
};

// One class of a test model. Each property is written as
//   "Pet"     a $ref to #/definitions/Pet
//   "[]Tag"   an array whose items $ref #/definitions/Tag
//   ":string" a plain type
struct ClassSpec {
  std::string name;
  std::vector<std::string> properties;
};

void AddProperty(TObjectDefinition& object, const std::string& entry, size_t index) {
  const std::string name = "p" + std::to_string(index);
  if (entry.rfind("[]", 0) == 0) {
    object.AddProperty(name, "array", "", "", "#/definitions/" + entry.substr(2), "", "");
  } else if (entry.rfind(":", 0) == 0) {
    object.AddProperty(name, entry.substr(1), "", "", "", "", "");
  } else {
    object.AddProperty(name, "", "", "#/definitions/" + entry, "", "", "");
  }
}

// The classes in order; each one's description is its index, so that classes
// of equal names can be told apart after the ordering.
void AddClasses(TUnitDefinition& unit, const std::vector<ClassSpec>& classes) {
  for (size_t i = 0; i < classes.size(); ++i) {
    TObjectDefinition* object = unit.AddObject(classes[i].name, "object");
    object->Setdescription(std::to_string(i));
    for (size_t p = 0; p < classes[i].properties.size(); ++p) AddProperty(*object, classes[i].properties[p], p);
  }
}

Lines Names(const TUnitDefinition& unit) {
  Lines names;
  for (const auto& object : unit.FObjects) names.push_back(object->Name());
  return names;
}

Lines Tags(const std::vector<const TObjectDefinition*>& objects) {
  Lines tags;
  for (const TObjectDefinition* object : objects) tags.push_back(object->description());
  return tags;
}

Lines Tags(const TObjectDefinitionList& objects) {
  Lines tags;
  for (const auto& object : objects) tags.push_back(object->description());
  return tags;
}

// ---------------------------------------------------------------------------
// Free helpers

TEST(StripArrayPrefixTest, Table) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"TArray<TPet>", "TPet"},
      {"TPet", "TPet"},
      {"TArray<>", ""},
      {"TArray<", ""},
      {"", ""},
      {"TArray<TArray<TTag>>", "TArray<TTag>"},
      {"xTArray<TA>", "TA"},
      {"tarray<TPet>", "tarray<TPet>"},  // case-sensitive
      {"TArray<Tx\xC3\xA4", "Tx"},       // the last character is two bytes long
  };
  for (const auto& c : cases) EXPECT_EQ(StripArrayPrefix(c.text), c.expected) << c.text;
}

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

// ---------------------------------------------------------------------------
// Order list and components

TEST(OrderListTest, MovesAgreeWithAPlainListAcrossRelabeling) {
  std::mt19937 random(7);
  for (const size_t count : {1u, 2u, 5u, 300u}) {
    TOrderList order(count);
    std::vector<int> model(count);
    for (size_t i = 0; i < count; ++i) model[i] = static_cast<int>(i);
    ASSERT_EQ(order.Items(), model);
    if (count < 2) continue;
    for (int step = 0; step < 20000; ++step) {
      // Moves before one anchor crowd its neighbourhood and force relabeling.
      const int anchor = step % 3 == 0 ? model[random() % count] : model[count / 2];
      int item = model[random() % count];
      if (item == anchor) continue;
      order.MoveBefore(item, anchor);
      model.erase(std::find(model.begin(), model.end(), item));
      model.insert(std::find(model.begin(), model.end(), anchor), item);
    }
    ASSERT_EQ(order.Items(), model) << count;
    for (size_t i = 0; i + 1 < count; ++i) ASSERT_TRUE(order.Before(model[i], model[i + 1]));
    EXPECT_EQ(order.First(), model.front());
    EXPECT_EQ(order.Prev(model.front()), TOrderList::kNone);
    EXPECT_EQ(order.Next(model.back()), TOrderList::kNone);
  }
}

TEST(OrderListTest, RelabelsWhenTheGapsRunOut) {
  // Moving items one after the other in front of the same item halves one gap
  // each time; 62 halvings exhaust it.
  TOrderList order(200);
  for (int item = 1; item < 200; ++item) order.MoveBefore(item, 0);
  EXPECT_GT(order.RelabeledItems(), 0u);
  std::vector<int> expected;
  for (int item = 1; item < 200; ++item) expected.push_back(item);
  expected.push_back(0);
  EXPECT_EQ(order.Items(), expected);
}

TGraph MakeGraph(const std::vector<std::vector<int>>& edges) {
  TGraph graph;
  for (const auto& targets : edges) {
    graph.AddNode();
    for (const int target : targets) graph.AddEdge(target);
  }
  return graph;
}

TEST(StrongComponentsTest, AgreesWithMutualReachability) {
  std::mt19937 random(11);
  for (int round = 0; round < 500; ++round) {
    const int n = static_cast<int>(random() % 9);
    std::vector<std::vector<int>> edges(n);
    std::vector<std::vector<bool>> reach(n, std::vector<bool>(n, false));
    for (int v = 0; v < n; ++v) {
      reach[v][v] = true;
      const int degree = static_cast<int>(random() % 3);
      for (int e = 0; e < degree; ++e) {
        const int target = static_cast<int>(random() % n);
        edges[v].push_back(target);
        reach[v][target] = true;
      }
    }
    for (int k = 0; k < n; ++k)
      for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b)
          if (reach[a][k] && reach[k][b]) reach[a][b] = true;
    const std::vector<int> component = StrongComponents(MakeGraph(edges));
    for (int a = 0; a < n; ++a) {
      for (int b = 0; b < n; ++b) {
        ASSERT_EQ(component[a] == component[b], reach[a][b] && reach[b][a]) << round << " " << a << " " << b;
      }
    }
  }
}

TEST(StrongComponentsTest, DeepGraphsNeedNoDeepStack) {
  const int n = 200000;
  std::vector<std::vector<int>> ring(n);
  for (int v = 0; v < n; ++v) ring[v].push_back((v + 1) % n);
  const std::vector<int> in_ring = StrongComponents(MakeGraph(ring));
  EXPECT_TRUE(std::all_of(in_ring.begin(), in_ring.end(), [&](int c) { return c == in_ring[0]; }));

  ring[n - 1].clear();  // now a chain: every node its own component
  const std::vector<int> in_chain = StrongComponents(MakeGraph(ring));
  EXPECT_EQ(std::set<int>(in_chain.begin(), in_chain.end()).size(), static_cast<size_t>(n));
}

// ---------------------------------------------------------------------------
// MakeNamesUnique

TEST(MakeNamesUniqueTest, PetOrderPet) {
  TUnitDefinition unit;
  Lines log;
  unit.FLogProcedure = [&log](const std::string& line) { log.push_back(line); };
  unit.AddObject("Pet", "object");
  TObjectDefinition* order = unit.AddObject("Order", "object");
  TPropertyDefinition* item = order->AddProperty("item", "", "", "#/definitions/pet", "", "", "");
  TPropertyDefinition* items = order->AddProperty("items", "array", "", "", "#/definitions/Pet", "", "");
  TPropertyDefinition* others = order->AddProperty("others", "array", "", "", "#/definitions/pet", "", "");
  unit.AddObject("pet", "object");

  unit.MakeNamesUnique();

  EXPECT_EQ(log, (Lines{"Duplicate Current: pet  Found: Pet"}));
  EXPECT_EQ(Names(unit), (Lines{"Pet", "Order", "pet1"}));
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
      references.push_back(property->Itemref().empty() ? property->ref() : property->Itemref());
    }
    EXPECT_EQ(references, c.references) << c.title;
  }
}

TEST(MakeNamesUniqueTest, WithoutDuplicatesNothingIsReadOrChanged) {
  TUnitDefinition unit;
  Lines log;
  unit.FLogProcedure = [&log](const std::string& line) { log.push_back(line); };
  AddClasses(unit, {{"Pet", {"Tag", ":string"}}, {"Tag", {"[]Pet"}}, {"Pet-Tag", {}}});
  unit.MakeNamesUnique();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(Names(unit), (Lines{"Pet", "Tag", "Pet-Tag"}));
  for (const auto& object : unit.FObjects) {
    for (const auto& property : object->Properties()) EXPECT_EQ(property->BaseName(), "");
  }
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
        const TPropertyDefinition& a = *fast.FObjects[i]->Properties()[p];
        const TPropertyDefinition& b = *slow.FObjects[i]->Properties()[p];
        ASSERT_EQ(a.ref(), b.ref()) << round;
        ASSERT_EQ(a.Itemref(), b.Itemref()) << round;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// ResolveDependencies

TEST(ResolveDependenciesTest, PetCategoryTag) {
  TUnitDefinition unit;
  TObjectDefinition* pet = unit.AddObject("Pet", "object");
  pet->AddProperty("category", "", "", "#/definitions/Category", "", "", "");
  pet->AddProperty("tags", "array", "", "", "#/definitions/Tag", "", "");
  unit.AddObject("Category", "object");
  unit.AddObject("Tag", "object");

  TraceCapture trace;
  unit.ResolveDependencies();
  EXPECT_EQ(trace.lines, (Lines{"Resolving", "Pet depends on Category", "Pet depends on Tag", "Resolving"}));
  EXPECT_EQ(Names(unit), (Lines{"Tag", "Category", "Pet"}));
  EXPECT_TRUE(unit.FForwardDeclarations.empty());
  // The base names are current, so the writers see the objects.
  EXPECT_EQ(pet->Properties()[0]->BaseName(), "TCategory");
  EXPECT_EQ(pet->Properties()[1]->BaseName(), "TArray<TTag>");
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
    TraceCapture trace;
    unit.ResolveDependencies();
    EXPECT_EQ(Names(unit), c.order) << c.title;
    EXPECT_EQ(trace.lines, c.trace) << c.title;
    EXPECT_TRUE(unit.FForwardDeclarations.empty()) << c.title;
  }
}

TEST(ResolveDependenciesTest, ReadsEveryTypeAfterTheRenaming) {
  TUnitDefinition unit;
  AddClasses(unit, {{"Order", {"pet", "[]pet", ":string"}}, {"Pet", {}}, {"pet", {}}});
  unit.MakeNamesUnique();
  unit.ResolveDependencies();
  for (const auto& object : unit.FObjects) {
    for (const auto& property : object->Properties()) {
      const std::string base = property->BaseName();
      EXPECT_EQ(base, property->DataType());
    }
  }
  EXPECT_EQ(Names(unit), (Lines{"pet1", "Order", "Pet"}));
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
    TraceCapture trace;
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
      const std::string type = StripArrayPrefix(holder.Properties()[0]->DataType());
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
      const std::string type = StripArrayPrefix(property->DataType());
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
        if (StripArrayPrefix(property->DataType()) == "T" + objects[b]->Name()) needed = true;
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
    TraceCapture trace;
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
  TraceCapture trace;
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
