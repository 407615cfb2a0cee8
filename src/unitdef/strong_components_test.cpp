#include "unitdef/strong_components.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace tolvane {
namespace {

using Lines = std::vector<std::string>;

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

}  // namespace
}  // namespace tolvane
