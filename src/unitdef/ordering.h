#pragma once

// The helpers of the two passes that prepare the class list for writing:
// MakeNamesUnique renames classes whose names repeat ignoring case, and
// ResolveDependencies puts every class after the classes its properties use.
// Both passes are members of TUnitDefinition; what is declared here is their
// machinery, public so that it can be tested on its own.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

// The text after the first "TArray<" without the last character of the
// whole text; the text unchanged when it holds no "TArray<".
// "TArray<TPet>" gives "TPet", "TPet" gives "TPet", "TArray<" gives "".
std::string StripArrayPrefix(std::string_view AText);

// AText with every occurrence of AOld replaced by ANew (case-sensitive);
// AText unchanged when it does not contain AOld or AOld is empty.
std::string ReplaceIfContains(std::string_view AText, std::string_view AOld, std::string_view ANew);

// A reference ("#/definitions/pet") pointed at a renamed class: the renaming
// applies to the name after the first 14 characters only, the part from which
// the property's type text is made, so that a short name such as "s" or "on"
// does not also rewrite the "#/definitions/" in front of it.
std::string RenameReference(std::string_view ARef, std::string_view AOld, std::string_view ANew);

// A list of the items 0 .. count-1 in which "does a stand before b" is one
// comparison and moving an item elsewhere costs amortized logarithmic time.
// Each item carries an integer label that grows along the list; an item put
// between two neighbours whose labels leave no room relabels the smallest
// aligned label range around the spot whose items are sparse enough (the
// order-maintenance scheme of Bender et al.).
class TOrderList {
 public:
  static constexpr int kNone = -1;

  // The items 0 .. ACount-1 in this order.
  explicit TOrderList(size_t ACount);

  bool Before(int A, int B) const { return FLabel[A] < FLabel[B]; }
  int First() const { return Real(FNext[Head()]); }
  int Next(int AItem) const { return Real(FNext[AItem]); }
  int Prev(int AItem) const { return Real(FPrev[AItem]); }

  // Takes AItem out of the list and puts it right before AAnchor.
  void MoveBefore(int AItem, int AAnchor);

  // The items in list order.
  std::vector<int> Items() const;

  // How often labels were rewritten; for tests and benchmarks.
  uint64_t RelabeledItems() const { return FRelabeled; }

 private:
  int Head() const { return static_cast<int>(FLabel.size()) - 2; }
  int Tail() const { return static_cast<int>(FLabel.size()) - 1; }
  int Real(int ANode) const { return ANode == Head() || ANode == Tail() ? kNone : ANode; }
  void Unlink(int AItem);
  void InsertAfter(int AItem, int APrev);
  void Relabel(int AItem, int APrev);

  // Two sentinels follow the items: the head with label 0 and the tail with
  // the label 2^62, which no range that is relabeled reaches.
  std::vector<uint64_t> FLabel;
  std::vector<int> FPrev;
  std::vector<int> FNext;
  uint64_t FRelabeled = 0;
};

// A directed graph over the nodes 0 .. count-1 in compressed form: the
// targets of node v are Target[Start[v] .. Start[v+1]).
struct TGraph {
  std::vector<int> Start{0};
  std::vector<int> Target;

  size_t Count() const { return Start.size() - 1; }
  void AddNode() { Start.push_back(static_cast<int>(Target.size())); }
  // Adds an edge from the node added last.
  void AddEdge(int ATarget) {
    Target.push_back(ATarget);
    ++Start.back();
  }
};

// The strongly connected component of every node, as a number; two nodes get
// the same number exactly when each reaches the other. Iterative, so deep
// graphs (a chain of many thousand classes) do not exhaust the stack.
std::vector<int> StrongComponents(const TGraph& AGraph);

}  // namespace tolvane
