// The ordering pass: every class is declared after the classes its
// properties use, as far as cycles allow.
#include <algorithm>
#include <cassert>
#include <numeric>
#include <unordered_map>

#include "platform/debug_trace.h"
#include "unitdef/delphi_type.h"
#include "unitdef/order_list.h"
#include "unitdef/strong_components.h"
#include "unitdef/unit_definition.h"

namespace tolvane {

//
// The order is that of a loop of passes over the list: at position i, the
// first property of the class there that names a class standing after i
// (by the exact text "T" + Name) moves that class to position i - 1 (or 0),
// and the pass goes on at i + 1, where the referring class now stands; the
// loop ends after a pass without a move. Every move writes a trace line
// "X depends on Y", every pass "Resolving".
//
// A pass, seen from the class it is at, is simpler than it looks: the
// classes before the current one have all been passed (looked at or moved),
// those after it have not. The current class therefore moves, one after the
// other, every class it refers to that stands after it, property by property
// and within one name in list order; each lands right before the class that
// precedes the referring one. So "stands after" is one comparison of order
// labels, and a move is one relinking in an order list.
//
// Most positions of a pass do nothing, and the chain worst case needs as
// many passes as classes, so the passes do not walk the list. A class can
// only move something when it stands before a class it refers to; a class
// that has been looked at in a pass stands after all of them until it is
// itself moved. So the classes to look at in the next pass are exactly those
// moved in this one, and the first pass looks at all. They are kept in list
// order without sorting: moved classes land in the order of their moves,
// except that the classes moved by the class at position 0 land in front of
// each other after the first (the first lands at 0, every later one before
// the class at 0, which is then the first one moved).
//
// Cycles: on references that form a cycle the loop would never end. The
// references between two classes of one strongly connected component of the
// reference graph are therefore left out of the ordering; on a document
// without cycles nothing is left out. Classes that a class declared before
// them refers to are then declared forward.

namespace {

// The reference graph and the data the passes need, from the model.
struct TReferences {
  // Per class, its reference slots: one per named class name, in property
  // order, each name once. A slot's targets are the classes of that name,
  // the class itself and the classes of its own component left out.
  std::vector<int> SlotStart;   // per class, size count + 1
  std::vector<int> TargetStart;  // per slot, size slots + 1
  std::vector<int> Targets;
  TGraph Graph;  // every reference, to every class of the name but itself
};

TReferences CollectReferences(TObjectDefinitionList& AObjects) {
  const int count = static_cast<int>(AObjects.size());
  // The classes of each exact type text "T" + Name.
  std::unordered_map<std::string, int> name_group;
  name_group.reserve(AObjects.size() * 2);
  std::vector<std::vector<int>> groups;
  for (int i = 0; i < count; ++i) {
    const auto [entry, is_new] = name_group.try_emplace("T" + AObjects[i]->Name(), static_cast<int>(groups.size()));
    if (is_new) groups.emplace_back();
    groups[entry->second].push_back(i);
  }

  // Every property's type text is read here, after the last change of any
  // reference, which also records it as the property's BaseName.
  std::vector<int> group_start{0};
  std::vector<int> object_groups;
  std::vector<int> seen(groups.size(), -1);
  for (int i = 0; i < count; ++i) {
    for (const auto& property : AObjects[i]->Properties()) {
      const std::string type = StripArrayPrefix(property->DataType());
      if (IsSimpleType(type) || type == "array" || type == "number") continue;
      const auto group = name_group.find(type);
      if (group == name_group.end() || seen[group->second] == i) continue;
      seen[group->second] = i;
      object_groups.push_back(group->second);
    }
    group_start.push_back(static_cast<int>(object_groups.size()));
  }

  TReferences references;
  TGraph& graph = references.Graph;
  for (int i = 0; i < count; ++i) {
    graph.AddNode();
    for (int g = group_start[i]; g < group_start[i + 1]; ++g) {
      for (const int target : groups[object_groups[g]]) {
        if (target != i) graph.AddEdge(target);
      }
    }
  }
  const std::vector<int> component = StrongComponents(graph);

  references.SlotStart.push_back(0);
  references.TargetStart.push_back(0);
  for (int i = 0; i < count; ++i) {
    for (int g = group_start[i]; g < group_start[i + 1]; ++g) {
      const size_t before = references.Targets.size();
      for (const int target : groups[object_groups[g]]) {
        if (component[target] != component[i]) references.Targets.push_back(target);
      }
      if (references.Targets.size() != before) {
        references.TargetStart.push_back(static_cast<int>(references.Targets.size()));
      }
    }
    references.SlotStart.push_back(static_cast<int>(references.TargetStart.size()) - 1);
  }
  return references;
}

}  // namespace

void TUnitDefinition::ResolveDependencies() {
  const TReferences references = CollectReferences(FObjects);
  const int count = static_cast<int>(FObjects.size());
  TOrderList order(FObjects.size());

  // The classes to look at in this pass, in list order, and those moved.
  std::vector<int> candidates(FObjects.size());
  std::iota(candidates.begin(), candidates.end(), 0);
  std::vector<int> moved;
  std::vector<uint32_t> moved_in_pass(FObjects.size(), 0);
  std::string line;

  for (uint32_t pass = 1;; ++pass) {
    OutputDebugString(FTraceProcedure, "Resolving");
    moved.clear();
    assert(std::is_sorted(candidates.begin(), candidates.end(),
                          [&order](int a, int b) { return order.Before(a, b); }));
    for (const int current : candidates) {
      if (moved_in_pass[current] == pass) continue;  // no longer after the position
      // At position 0 the first class moved lands at 0 and every later one
      // before it.
      const bool at_front = order.Prev(current) == TOrderList::kNone;
      for (int slot = references.SlotStart[current]; slot < references.SlotStart[current + 1]; ++slot) {
        const int* const begin = references.Targets.data() + references.TargetStart[slot];
        const int* const end = references.Targets.data() + references.TargetStart[slot + 1];
        while (true) {
          // The first class of the name that stands after the current one.
          int target = TOrderList::kNone;
          for (const int* candidate = begin; candidate != end; ++candidate) {
            if (order.Before(current, *candidate) &&
                (target == TOrderList::kNone || order.Before(*candidate, target))) {
              target = *candidate;
            }
          }
          if (target == TOrderList::kNone) break;
          line.assign(FObjects[current]->Name()).append(" depends on ").append(FObjects[target]->Name());
          OutputDebugString(FTraceProcedure, line);
          const int previous = order.Prev(current);
          order.MoveBefore(target, previous == TOrderList::kNone ? current : previous);
          moved_in_pass[target] = pass;
          moved.push_back(target);
        }
      }
      if (at_front && moved.size() > 1) std::rotate(moved.begin(), moved.begin() + 1, moved.end());
    }
    if (moved.empty()) break;
    candidates.swap(moved);
  }

  // The new order, and the classes that a class declared before them refers
  // to, which only references inside a cycle leave.
  const std::vector<int> items = order.Items();
  std::vector<int> position(FObjects.size());
  for (int p = 0; p < count; ++p) position[items[p]] = p;
  std::vector<bool> forward(FObjects.size(), false);
  const TGraph& graph = references.Graph;
  for (int i = 0; i < count; ++i) {
    for (int e = graph.Start[i]; e < graph.Start[i + 1]; ++e) {
      if (position[graph.Target[e]] > position[i]) forward[graph.Target[e]] = true;
    }
  }
  TObjectDefinitionList ordered;
  ordered.reserve(FObjects.size());
  FForwardDeclarations.clear();
  for (const int item : items) {
    if (forward[item]) FForwardDeclarations.push_back(FObjects[item].get());
    ordered.push_back(std::move(FObjects[item]));
  }
  FObjects.swap(ordered);
}

}  // namespace tolvane
