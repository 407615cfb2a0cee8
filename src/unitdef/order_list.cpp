#include "unitdef/order_list.h"

#include <cassert>

namespace tolvane {

namespace {

// Labels of the order list live in [0, 2^62]; the head sentinel holds 0, the
// tail sentinel 2^62.
constexpr int kLabelBits = 62;
constexpr uint64_t kLabelSpace = uint64_t{1} << kLabelBits;

// The most items a label range of 2^ALevel may hold after an insertion
// without being spread over a larger range: 2^(ALevel/2), so that the items
// of a relabeled range stand at least 2^(ALevel/2) apart.
uint64_t RangeCapacity(int ALevel) { return uint64_t{1} << (ALevel / 2); }

}  // namespace

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

}  // namespace tolvane
