// The two passes that prepare the class list for writing: renaming of
// duplicate names and the declaration order of the classes.
#include "unitdef/ordering.h"

#include <algorithm>
#include <cassert>
#include <numeric>
#include <unordered_map>

#include "platform/debug_trace.h"
#include "unitdef/identifiers.h"
#include "unitdef/type_mapping.h"
#include "unitdef/unit_definition.h"

namespace tolvane {

namespace {

// Length of the local reference prefix "#/definitions/", the part of a
// reference that the type text of a property leaves out.
constexpr size_t kReferencePrefixLength = 14;

constexpr std::string_view kArrayPrefix = "TArray<";

// Labels of the order list live in [0, 2^62]; the head sentinel holds 0, the
// tail sentinel 2^62.
constexpr int kLabelBits = 62;
constexpr uint64_t kLabelSpace = uint64_t{1} << kLabelBits;

// The most items a label range of 2^ALevel may hold after an insertion
// without being spread over a larger range: 2^(ALevel/2), so that the items
// of a relabeled range stand at least 2^(ALevel/2) apart.
uint64_t RangeCapacity(int ALevel) { return uint64_t{1} << (ALevel / 2); }

}  // namespace

std::string StripArrayPrefix(std::string_view AText) {
  const size_t at = AText.find(kArrayPrefix);
  if (at == std::string_view::npos) return std::string(AText);
  // The last character of the text may be several bytes long.
  size_t end = AText.size() - 1;
  while (end > 0 && (static_cast<unsigned char>(AText[end]) & 0xC0) == 0x80) --end;
  const size_t start = at + kArrayPrefix.size();
  if (end <= start) return std::string();
  return std::string(AText.substr(start, end - start));
}

std::string ReplaceIfContains(std::string_view AText, std::string_view AOld, std::string_view ANew) {
  if (AOld.empty()) return std::string(AText);
  std::string out;
  size_t pos = 0;
  for (size_t found = AText.find(AOld); found != std::string_view::npos;
       found = AText.find(AOld, pos)) {
    out.append(AText.substr(pos, found - pos)).append(ANew);
    pos = found + AOld.size();
  }
  out.append(AText.substr(pos));
  return out;
}

std::string RenameReference(std::string_view ARef, std::string_view AOld, std::string_view ANew) {
  const std::string name = DropCharacters(ARef, kReferencePrefixLength);
  // When the cut splits a character, the name part is no longer a tail of
  // the reference; the whole reference is renamed then.
  if (!ARef.ends_with(name)) return ReplaceIfContains(ARef, AOld, ANew);
  const std::string_view prefix = ARef.substr(0, ARef.size() - name.size());
  return std::string(prefix) + ReplaceIfContains(name, AOld, ANew);
}

// ---------------------------------------------------------------------------
// TOrderList

TOrderList::TOrderList(size_t ACount)
    : FLabel(ACount + 2), FPrev(ACount + 2), FNext(ACount + 2) {
  const uint64_t gap = kLabelSpace / (ACount + 1);
  int previous = Head();
  FLabel[Head()] = 0;
  FLabel[Tail()] = kLabelSpace;
  FPrev[Head()] = kNone;
  FNext[Tail()] = kNone;
  for (size_t i = 0; i < ACount; ++i) {
    const int item = static_cast<int>(i);
    FLabel[item] = (i + 1) * gap;
    FPrev[item] = previous;
    FNext[previous] = item;
    previous = item;
  }
  FNext[previous] = Tail();
  FPrev[Tail()] = previous;
}

void TOrderList::MoveBefore(int AItem, int AAnchor) {
  assert(AItem != AAnchor);
  Unlink(AItem);
  InsertAfter(AItem, FPrev[AAnchor]);
}

std::vector<int> TOrderList::Items() const {
  std::vector<int> items;
  items.reserve(FLabel.size() - 2);
  for (int item = First(); item != kNone; item = Next(item)) items.push_back(item);
  return items;
}

void TOrderList::Unlink(int AItem) {
  FNext[FPrev[AItem]] = FNext[AItem];
  FPrev[FNext[AItem]] = FPrev[AItem];
}

void TOrderList::InsertAfter(int AItem, int APrev) {
  const int next = FNext[APrev];
  FPrev[AItem] = APrev;
  FNext[AItem] = next;
  FNext[APrev] = AItem;
  FPrev[next] = AItem;
  const uint64_t low = FLabel[APrev];
  const uint64_t high = FLabel[next];
  if (high - low >= 2) {
    FLabel[AItem] = low + (high - low) / 2;
  } else {
    Relabel(AItem, APrev);
  }
}

// AItem is linked in right after APrev but has no label yet. Finds the
// smallest aligned range of labels around APrev's label whose items,
// AItem included, are few enough, and spreads them evenly over it.
void TOrderList::Relabel(int AItem, int APrev) {
  const uint64_t center = FLabel[APrev];
  int first = APrev;
  int last = AItem;
  uint64_t count = 2;  // the items first .. last
  int level = 0;
  uint64_t start = 0;
  uint64_t size = 0;
  do {
    ++level;
    size = uint64_t{1} << level;
    start = center & ~(size - 1);
    const uint64_t end = start + size;
    while (FPrev[first] != kNone && FLabel[FPrev[first]] >= start) {
      first = FPrev[first];
      ++count;
    }
    // The tail sentinel's label is beyond every range, so the walk stops
    // before it.
    while (FLabel[FNext[last]] < end) {
      last = FNext[last];
      ++count;
    }
  } while (count > RangeCapacity(level) && level < kLabelBits);
  // A range that starts at 0 begins with the head sentinel, which keeps 0.
  const uint64_t gap = size / count;
  uint64_t label = start;
  for (int node = first;; node = FNext[node]) {
    FLabel[node] = label;
    label += gap;
    if (node == last) break;
  }
  FRelabeled += count;
}

// ---------------------------------------------------------------------------
// Strongly connected components (Tarjan), with an explicit stack.

std::vector<int> StrongComponents(const TGraph& AGraph) {
  const int count = static_cast<int>(AGraph.Count());
  constexpr int kUnvisited = -1;
  std::vector<int> component(count, kUnvisited);
  std::vector<int> index(count, kUnvisited);
  std::vector<int> low(count, 0);
  std::vector<bool> on_stack(count, false);
  std::vector<int> stack;
  struct TFrame {
    int node;
    int edge;
  };
  std::vector<TFrame> frames;
  int next_index = 0;
  int next_component = 0;

  for (int root = 0; root < count; ++root) {
    if (index[root] != kUnvisited) continue;
    frames.push_back({root, AGraph.Start[root]});
    index[root] = low[root] = next_index++;
    stack.push_back(root);
    on_stack[root] = true;
    while (!frames.empty()) {
      TFrame& frame = frames.back();
      const int node = frame.node;
      if (frame.edge < AGraph.Start[node + 1]) {
        const int target = AGraph.Target[frame.edge++];
        if (index[target] == kUnvisited) {
          index[target] = low[target] = next_index++;
          stack.push_back(target);
          on_stack[target] = true;
          frames.push_back({target, AGraph.Start[target]});
        } else if (on_stack[target]) {
          low[node] = std::min(low[node], index[target]);
        }
        continue;
      }
      // All edges of node are done: it closes a component or hands its low
      // link to the node it was reached from.
      if (low[node] == index[node]) {
        int member;
        do {
          member = stack.back();
          stack.pop_back();
          on_stack[member] = false;
          component[member] = next_component;
        } while (member != node);
        ++next_component;
      }
      frames.pop_back();
      if (!frames.empty()) {
        const int parent = frames.back().node;
        low[parent] = std::min(low[parent], low[node]);
      }
    }
  }
  return component;
}

// ---------------------------------------------------------------------------
// MakeNamesUnique

void TUnitDefinition::MakeNamesUnique() {
  // The first position that holds each name, folded to upper case, among the
  // classes looked at so far. Names change only at their own step, and a
  // class after position i can never come first, so the map answers exactly
  // as IndexOfName on the whole list would at that moment.
  std::unordered_map<std::string, size_t> first_position;
  first_position.reserve(FObjects.size() * 2);
  // The renamings: "T" + old name to the new name; the first one of a key wins.
  std::unordered_map<std::string, std::string> renamed;
  int number = 1;

  for (size_t i = 0; i < FObjects.size(); ++i) {
    TObjectDefinition& object = *FObjects[i];
    const auto [found, is_new] = first_position.try_emplace(UpperCaseFold(object.Name()), i);
    if (is_new) continue;
    LogFmt("Duplicate Current: %s  Found: %s", {object.Name(), FObjects[found->second]->Name()});
    std::string new_name = object.Name() + std::to_string(number++);
    renamed.try_emplace("T" + object.Name(), new_name);
    object.SetName(new_name);
    // The new name takes part in the tests of the classes after it.
    first_position.try_emplace(UpperCaseFold(new_name), i);
  }
  if (renamed.empty()) return;

  // References follow the renamed classes when their type text is spelled
  // exactly like "T" + the old name.
  for (const auto& object : FObjects) {
    for (const auto& property : object->Properties()) {
      const std::string type = StripArrayPrefix(property->DataType());
      if (IsSimpleType(type)) continue;
      const auto rename = renamed.find(type);
      if (rename == renamed.end()) continue;
      const std::string_view old_name = std::string_view(type).substr(1);
      if (!property->Itemref().empty()) {
        property->SetItemref(RenameReference(property->Itemref(), old_name, rename->second));
      } else {
        property->Setref(RenameReference(property->ref(), old_name, rename->second));
      }
    }
  }
}

// ---------------------------------------------------------------------------
// ResolveDependencies
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
    OutputDebugString("Resolving");
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
          OutputDebugString(line);
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
