#pragma once

// A compact, read-only JSON tree. The text is parsed in place by RapidJSON's
// SAX reader and the tree points into that buffer, so strings are never
// copied. It keeps what the loader needs and a DOM would lose or blur:
// member order, keys that occur twice, the kind of every value and the text
// of every number as written (1.50 stays "1.50").

#include <cstdint>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

enum class JsonKind : uint8_t { Null, False, True, Number, String, Object, Array, Key };

// Objects and arrays may be nested this deep; one level more fails.
constexpr int kMaxJsonDepth = 512;

class JsonTree;
class JsonValue;
struct ParseFailure;

struct JsonMember {
  std::string_view key;
  JsonValue value() const;
  const JsonTree* tree;
  uint32_t value_index;
};

// A handle to one value of a tree; cheap to copy, valid while the tree lives.
class JsonValue {
 public:
  JsonValue(const JsonTree* ATree, uint32_t AIndex) : tree_(ATree), index_(AIndex) {}

  JsonKind Kind() const;
  bool IsObject() const { return Kind() == JsonKind::Object; }
  bool IsArray() const { return Kind() == JsonKind::Array; }
  bool IsNull() const { return Kind() == JsonKind::Null; }
  // The decoded text of a string (may hold NUL characters) or the text of a
  // number as written; empty for the other kinds.
  std::string_view Text() const;
  // Number of members of an object or elements of an array.
  uint32_t Count() const;

  // Iterates the members of an object, in document order.
  class MemberIterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = JsonMember;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = JsonMember;
    MemberIterator(const JsonTree* ATree, uint32_t AKeyIndex) : tree_(ATree), key_(AKeyIndex) {}
    JsonMember operator*() const;
    MemberIterator& operator++();
    bool operator==(const MemberIterator& AOther) const { return key_ == AOther.key_; }
    bool operator!=(const MemberIterator& AOther) const { return key_ != AOther.key_; }

   private:
    const JsonTree* tree_;
    uint32_t key_;
  };
  // Iterates the elements of an array, in document order.
  class ElementIterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = JsonValue;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = JsonValue;
    ElementIterator(const JsonTree* ATree, uint32_t AIndex) : tree_(ATree), index_(AIndex) {}
    JsonValue operator*() const { return JsonValue(tree_, index_); }
    ElementIterator& operator++();
    bool operator==(const ElementIterator& AOther) const { return index_ == AOther.index_; }
    bool operator!=(const ElementIterator& AOther) const { return index_ != AOther.index_; }

   private:
    const JsonTree* tree_;
    uint32_t index_;
  };
  template <typename Iterator>
  struct Range {
    Iterator first, last;
    Iterator begin() const { return first; }
    Iterator end() const { return last; }
  };

  // Empty ranges for values of another kind.
  Range<MemberIterator> Members() const;
  Range<ElementIterator> Elements() const;

  // The first member of an object with exactly this key, if any.
  std::optional<JsonValue> FindMember(std::string_view AKey) const;
  // The first member of a non-empty object.
  std::optional<JsonMember> FirstMember() const;
  // The first element of a non-empty array.
  std::optional<JsonValue> FirstElement() const;

 private:
  const JsonTree* tree_;
  uint32_t index_;
};

class JsonTree {
 public:
  // Parses one JSON value, optionally surrounded by white space, from UTF-8
  // text and keeps the text. Numbers of any size are taken. Fails with
  // EJSONException: RapidJSON's English description of the error followed
  // by " (line L, column C)", both counted from 1, columns in characters.
  static JsonTree Parse(std::string AText);
  // The same without keeping a copy of the text: AReload gives the same
  // text once more, which is needed only when parsing fails (to count the
  // position) or meets a number beyond the range of a double.
  static JsonTree Parse(std::string AText, const std::function<std::string()>& AReload);
  // The same, or nothing when the text is not valid JSON.
  static std::optional<JsonTree> TryParse(std::string AText,
                                          const std::function<std::string()>& AReload);

  JsonValue Root() const { return JsonValue(this, 0); }
  size_t NodeCount() const { return nodes_.size(); }
  // Whether a member named AKey anywhere in the tree has a string value for
  // which AHolds is true: one pass over the nodes, no walk of the tree.
  template <typename Predicate>
  bool AnyStringMember(std::string_view AKey, Predicate AHolds) const;
  // Frees the nodes and keeps the text, for a model whose texts view it. No
  // value of the tree may be read afterwards.
  void ReleaseNodes() { std::vector<Node>().swap(nodes_); }

  JsonTree(JsonTree&&) = default;
  JsonTree& operator=(JsonTree&&) = default;

 private:
  friend class JsonValue;
  friend struct JsonMember;
  friend class JsonTreeBuilder;
  friend class YamlTreeBuilder;

  // One value or key. Containers are followed by their members (key, value,
  // key, value ...) or elements; scalars and keys take one node. Packed into
  // 9 bytes instead of 12: a large document has millions of nodes, and the
  // processors this runs on read unaligned words at no extra cost.
  struct [[gnu::packed]] Node {
    // Strings, keys and numbers: offset of the text in text_.
    // Objects and arrays: number of members or elements.
    uint32_t first;
    // Strings, keys and numbers: length of the text.
    // Objects and arrays: index of the node after the last descendant.
    uint32_t second;
    JsonKind kind;
  };

  JsonTree() = default;
  std::optional<ParseFailure> ParseInPlace();
  // Takes the text and parses it, once more with numbers beyond a double
  // masked when the reader refused one.
  std::optional<ParseFailure> ParseText(std::string AText, const std::function<std::string()>& AReload);
  // The index of the node after the value at AIndex and its descendants.
  uint32_t End(uint32_t AIndex) const {
    const Node& node = nodes_[AIndex];
    return node.kind == JsonKind::Object || node.kind == JsonKind::Array ? node.second
                                                                          : AIndex + 1;
  }

  std::string text_;
  std::vector<Node> nodes_;
};

inline JsonValue JsonMember::value() const { return JsonValue(tree, value_index); }

inline JsonKind JsonValue::Kind() const { return tree_->nodes_[index_].kind; }

inline JsonMember JsonValue::MemberIterator::operator*() const {
  const JsonTree::Node& key = tree_->nodes_[key_];
  return JsonMember{std::string_view(tree_->text_.data() + key.first, key.second), tree_,
                    key_ + 1};
}

inline JsonValue::MemberIterator& JsonValue::MemberIterator::operator++() {
  key_ = tree_->End(key_ + 1);
  return *this;
}

template <typename Predicate>
bool JsonTree::AnyStringMember(std::string_view AKey, Predicate AHolds) const {
  for (size_t i = 0; i + 1 < nodes_.size(); ++i) {
    const Node& key = nodes_[i];
    const Node& value = nodes_[i + 1];
    if (key.kind != JsonKind::Key || key.second != AKey.size() || value.kind != JsonKind::String ||
        std::string_view(text_.data() + key.first, key.second) != AKey) {
      continue;
    }
    if (AHolds(std::string_view(text_.data() + value.first, value.second))) return true;
  }
  return false;
}

inline JsonValue::ElementIterator& JsonValue::ElementIterator::operator++() {
  index_ = tree_->End(index_);
  return *this;
}

}  // namespace tolvane
