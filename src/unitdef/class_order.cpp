// The ordering pass: every class is declared after the classes its
// properties use, as far as cycles allow.
#include <algorithm>
#include <cassert>
#include <numeric>
#include <unordered_map>

#include "platform/debug_trace.h"
#include "unitdef/class_order.h"
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

// The slots with their targets inside the class's own strongly connected
// component (the class itself included) left out, and the graph of every
// reference.
struct TReferences {
  std::vector<int> SlotStart;    // per class, size count + 1
  std::vector<int> TargetStart;  // per slot, size slots + 1
  std::vector<int> Targets;
  TGraph Graph;  // every reference, to every class of the name but itself
};

TReferences FilterReferences(const TClassSlots& ASlots) {
  const int count = static_cast<int>(ASlots.SlotStart.size()) - 1;
  TReferences references;
  TGraph& graph = references.Graph;
  for (int i = 0; i < count; ++i) {
    graph.AddNode();
    for (int slot = ASlots.SlotStart[i]; slot < ASlots.SlotStart[i + 1]; ++slot) {
      for (int t = ASlots.TargetStart[slot]; t < ASlots.TargetStart[slot + 1]; ++t) {
        if (ASlots.Targets[t] != i) graph.AddEdge(ASlots.Targets[t]);
      }
    }
  }
  const std::vector<int> component = StrongComponents(graph);

  references.SlotStart.push_back(0);
  references.TargetStart.push_back(0);
  for (int i = 0; i < count; ++i) {
    for (int slot = ASlots.SlotStart[i]; slot < ASlots.SlotStart[i + 1]; ++slot) {
      const size_t before = references.Targets.size();
      for (int t = ASlots.TargetStart[slot]; t < ASlots.TargetStart[slot + 1]; ++t) {
        const int target = ASlots.Targets[t];
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

// The slots of the unit model: one per named class name, in property order,
// each name once; a slot's targets are the classes of that name.
TClassSlots CollectSlots(const TObjectDefinitionList& AObjects) {
  const int count = static_cast<int>(AObjects.size());
  // The classes of each exact Name; the type text "T" + Name names them.
  // The keys view the names, which do not change during the pass.
  std::unordered_map<std::string_view, int> name_group;
  name_group.reserve(AObjects.size() * 2);
  std::vector<std::vector<int>> groups;
  for (int i = 0; i < count; ++i) {
    const auto [entry, is_new] = name_group.try_emplace(AObjects[i]->Name(), static_cast<int>(groups.size()));
    if (is_new) groups.emplace_back();
    groups[entry->second].push_back(i);
  }

  // Every property's type text is read here, after the last change of any
  // reference, which also records it as the property's BaseName.
  TClassSlots slots;
  std::vector<int> seen(groups.size(), -1);
  for (int i = 0; i < count; ++i) {
    for (const auto& property : AObjects[i]->Properties()) {
      const std::string_view type = StripArrayPrefix(property.DataType());
      if (IsSimpleType(type) || type == "array" || type == "number") continue;
      if (type.empty() || type.front() != 'T') continue;
      const auto group = name_group.find(type.substr(1));
      if (group == name_group.end() || seen[group->second] == i) continue;
      seen[group->second] = i;
      for (const int target : groups[group->second]) slots.AddTarget(target);
      slots.EndSlot();
    }
    slots.EndClass();
  }
  return slots;
}

}  // namespace

TClassOrder OrderClasses(const TClassSlots& ASlots, const TTraceProc& ATrace,
                         const std::function<std::string_view(int)>& AName) {
  const TReferences references = FilterReferences(ASlots);
  const int count = static_cast<int>(ASlots.SlotStart.size()) - 1;
  TOrderList order(count);

  // The classes to look at in this pass, in list order, and those moved.
  std::vector<int> candidates(count);
  std::iota(candidates.begin(), candidates.end(), 0);
  std::vector<int> moved;
  std::vector<uint32_t> moved_in_pass(count, 0);
  std::string line;

  for (uint32_t pass = 1;; ++pass) {
    OutputDebugString(ATrace, "Resolving");
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
          if (ATrace) {
            line.assign(AName(current)).append(" depends on ").append(AName(target));
            ATrace(line);
          }
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
  TClassOrder result;
  result.Items = order.Items();
  std::vector<int> position(count);
  for (int p = 0; p < count; ++p) position[result.Items[p]] = p;
  result.Forward.assign(count, false);
  const TGraph& graph = references.Graph;
  for (int i = 0; i < count; ++i) {
    for (int e = graph.Start[i]; e < graph.Start[i + 1]; ++e) {
      if (position[graph.Target[e]] > position[i]) result.Forward[graph.Target[e]] = true;
    }
  }
  return result;
}

void TUnitDefinition::ResolveDependencies() {
  const TClassOrder order = OrderClasses(CollectSlots(FObjects), FTraceProcedure,
                                         [this](int AClass) -> std::string_view { return FObjects[AClass]->Name(); });
  TObjectDefinitionList ordered;
  ordered.reserve(FObjects.size());
  FForwardDeclarations.clear();
  for (const int item : order.Items) {
    if (order.Forward[item]) FForwardDeclarations.push_back(FObjects[item].get());
    ordered.push_back(std::move(FObjects[item]));
  }
  FObjects.swap(ordered);
}

}  // namespace tolvane
