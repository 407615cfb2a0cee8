#pragma once

// The ordering pass over any list of classes: every class is declared after
// the classes it refers to, as far as cycles allow; the classes that a class
// declared before them refers to are declared forward. The unit model orders
// its classes with it (TUnitDefinition::ResolveDependencies), and so does the
// unit built from the API model.

#include <functional>
#include <string_view>
#include <vector>

#include "platform/debug_trace.h"

namespace tolvane {

// What each class refers to: per class, its slots in the order of its
// properties (one per name it uses, each name once), and per slot the
// classes of that name. Built class by class: the targets of a slot, then
// EndSlot; the slots of a class, then EndClass.
struct TClassSlots {
  std::vector<int> SlotStart{0};    // class c has the slots [SlotStart[c], SlotStart[c + 1])
  std::vector<int> TargetStart{0};  // slot s has the targets [TargetStart[s], TargetStart[s + 1])
  std::vector<int> Targets;

  void AddTarget(int AClass) { Targets.push_back(AClass); }
  void EndSlot() { TargetStart.push_back(static_cast<int>(Targets.size())); }
  void EndClass() { SlotStart.push_back(static_cast<int>(TargetStart.size()) - 1); }
};

struct TClassOrder {
  std::vector<int> Items;     // the classes in declaration order
  std::vector<bool> Forward;  // per class: declared forward
};

// The order and the forward declarations. Every pass writes the trace line
// "Resolving", every move "X depends on Y" with the names AName gives.
TClassOrder OrderClasses(const TClassSlots& ASlots, const TTraceProc& ATrace,
                         const std::function<std::string_view(int)>& AName);

}  // namespace tolvane
