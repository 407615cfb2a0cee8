#pragma once

// A compact directed graph and its strongly connected components; the
// ordering pass leaves the references inside a cycle out of its moves.

#include <cstddef>
#include <vector>

namespace tolvane {

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
