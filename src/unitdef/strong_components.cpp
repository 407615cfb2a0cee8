#include "unitdef/strong_components.h"

#include <algorithm>

namespace tolvane {

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

}  // namespace tolvane
