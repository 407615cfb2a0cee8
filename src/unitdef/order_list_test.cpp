#include "unitdef/order_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace tolvane {
namespace {

using Lines = std::vector<std::string>;

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

}  // namespace
}  // namespace tolvane
