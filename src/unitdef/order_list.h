#pragma once

// An order-maintenance list: "does a stand before b" in constant time while
// items move. The ordering pass keeps the class order in one.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tolvane {

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

}  // namespace tolvane
