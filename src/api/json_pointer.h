#pragma once

// References ("$ref") into a JSON tree: the parse of a reference text into
// its file part and its JSON pointer tokens, and an index that resolves
// pointers into one tree, each step once.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "swagger/json_tree.h"

namespace tolvane {

struct ParsedReference {
  std::string file;                 // the part before "#"; empty for the same document
  std::vector<std::string> tokens;  // the pointer's decoded tokens; empty for the whole file
  std::string error;                // non-empty: the reference cannot be followed, and why
};

// "#/definitions/a~1b" gives the tokens definitions and a/b: %-escapes are
// decoded first, then ~1 is "/" and ~0 is "~". "common.json#/X" names the
// file common.json. A URL gives an error, as does a malformed pointer.
ParsedReference ParseReference(std::string_view AReference);

// Resolves pointers into one tree. Every value a pointer passes through gets
// a node, and an object or array passed through is indexed once, so a
// pointer costs one hash lookup per token however many references there
// are. Node 0 is the root.
class PointerIndex {
 public:
  explicit PointerIndex(JsonValue ARoot);

  static constexpr uint32_t kRoot = 0;

  // The node of the value the tokens lead to from the root; empty when a
  // token names no member or element.
  std::optional<uint32_t> Find(const std::vector<std::string>& ATokens);
  // The node of AParent's member AKey (its first one) or element AKey (a
  // decimal index); empty when there is none.
  std::optional<uint32_t> Child(uint32_t AParent, std::string_view AKey);

  JsonValue Value(uint32_t ANode) const { return nodes_[ANode].value; }
  uint32_t Parent(uint32_t ANode) const { return nodes_[ANode].parent; }
  // The member key that leads from the parent to the node; empty for an element.
  std::string_view Key(uint32_t ANode) const { return nodes_[ANode].token; }
  // The node's place as a progress line names it: definitions.Pet,
  // paths./a.get.parameters[2].
  std::string Path(uint32_t ANode) const;

 private:
  struct Node {
    JsonValue value;
    uint32_t parent;
    std::string_view token;  // a member's key, as the tree holds it
    int64_t element = -1;    // an array element's index
    bool indexed = false;
  };
  struct Slot {
    JsonValue value;
    uint32_t node = UINT32_MAX;  // made on first use
  };
  void BuildIndex(uint32_t ANode);
  uint32_t NodeOf(uint32_t AParent, Slot& ASlot, std::string_view AKey, int64_t AElement);

  std::vector<Node> nodes_;
  // Per indexed node: members by key, or elements by position.
  std::unordered_map<uint32_t, std::unordered_map<std::string_view, Slot>> members_;
  std::unordered_map<uint32_t, std::vector<Slot>> elements_;
};

}  // namespace tolvane
