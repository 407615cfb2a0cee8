#include "swagger/yaml_tree.h"

#include <yaml.h>

#include <algorithm>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/code_page.h"
#include "platform/exceptions.h"
#include "platform/file_system.h"

namespace tolvane {
namespace {

constexpr std::string_view kCoreTag = "tag:yaml.org,2002:";

std::string_view View(const yaml_char_t* AText, size_t ALength) {
  return {reinterpret_cast<const char*>(AText), ALength};
}
std::string_view View(const yaml_char_t* AText) {
  return AText == nullptr ? std::string_view() : std::string_view(reinterpret_cast<const char*>(AText));
}

[[noreturn]] void Fail(const std::string& AWhat, const yaml_mark_t& AMark) {
  throw EYAMLException(AWhat + " (line " + std::to_string(AMark.line + 1) + ", column " +
                       std::to_string(AMark.column + 1) + ")");
}

// ---------------------------------------------------------------------------
// The core schema

bool IsDigit(char AChar) { return AChar >= '0' && AChar <= '9'; }

bool AllOf(std::string_view AText, bool (*AAccepts)(char)) {
  return !AText.empty() && std::all_of(AText.begin(), AText.end(), AAccepts);
}

bool IsCoreNull(std::string_view AText) {
  return AText.empty() || AText == "~" || AText == "null" || AText == "Null" || AText == "NULL";
}

std::optional<bool> CoreBool(std::string_view AText) {
  if (AText == "true" || AText == "True" || AText == "TRUE") return true;
  if (AText == "false" || AText == "False" || AText == "FALSE") return false;
  return std::nullopt;
}

// [-+]? [0-9]+ | 0o [0-7]+ | 0x [0-9a-fA-F]+
bool IsCoreInt(std::string_view AText) {
  if (AText.starts_with("0o")) return AllOf(AText.substr(2), [](char c) { return c >= '0' && c <= '7'; });
  if (AText.starts_with("0x")) {
    return AllOf(AText.substr(2), [](char c) {
      return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
  }
  if (!AText.empty() && (AText[0] == '-' || AText[0] == '+')) AText.remove_prefix(1);
  return AllOf(AText, IsDigit);
}

// [-+]? ( \. [0-9]+ | [0-9]+ ( \. [0-9]* )? ) ( [eE] [-+]? [0-9]+ )?
// | [-+]? \. ( inf | Inf | INF ) | \. ( nan | NaN | NAN )
bool IsCoreFloat(std::string_view AText) {
  if (AText == ".nan" || AText == ".NaN" || AText == ".NAN") return true;
  if (!AText.empty() && (AText[0] == '-' || AText[0] == '+')) AText.remove_prefix(1);
  if (AText == ".inf" || AText == ".Inf" || AText == ".INF") return true;
  size_t i = 0;
  const auto digits = [&] {
    const size_t start = i;
    while (i < AText.size() && IsDigit(AText[i])) ++i;
    return i - start;
  };
  const size_t integer = digits();
  if (i < AText.size() && AText[i] == '.') {
    ++i;
    if (digits() == 0 && integer == 0) return false;
  } else if (integer == 0) {
    return false;
  }
  if (i < AText.size() && (AText[i] == 'e' || AText[i] == 'E')) {
    ++i;
    if (i < AText.size() && (AText[i] == '-' || AText[i] == '+')) ++i;
    if (digits() == 0) return false;
  }
  return i == AText.size();
}

// The kind of value a scalar is, by its tag or, untagged, by the core schema
// (plain scalars) or as a string (quoted and block scalars).
JsonKind ScalarKind(const yaml_event_t& AEvent) {
  const auto& scalar = AEvent.data.scalar;
  const std::string_view text = View(scalar.value, scalar.length);
  const std::string_view tag = View(scalar.tag);
  const auto misfit = [&] {
    Fail("The scalar '" + std::string(text) + "' is not a valid !!" +
             std::string(tag.substr(kCoreTag.size())),
         AEvent.start_mark);
  };
  if (tag == "!" || tag == "tag:yaml.org,2002:str") return JsonKind::String;
  if (tag == "tag:yaml.org,2002:null") {
    if (!IsCoreNull(text)) misfit();
    return JsonKind::Null;
  }
  if (tag == "tag:yaml.org,2002:bool") {
    const std::optional<bool> value = CoreBool(text);
    if (!value) misfit();
    return *value ? JsonKind::True : JsonKind::False;
  }
  if (tag == "tag:yaml.org,2002:int") {
    if (!IsCoreInt(text)) misfit();
    return JsonKind::Number;
  }
  if (tag == "tag:yaml.org,2002:float") {
    if (!IsCoreFloat(text) && !IsCoreInt(text)) misfit();
    return JsonKind::Number;
  }
  // Other tags are taken as no tag.
  if (scalar.style != YAML_PLAIN_SCALAR_STYLE) return JsonKind::String;
  if (IsCoreNull(text)) return JsonKind::Null;
  if (const std::optional<bool> value = CoreBool(text)) {
    return *value ? JsonKind::True : JsonKind::False;
  }
  if (IsCoreInt(text) || IsCoreFloat(text)) return JsonKind::Number;
  return JsonKind::String;
}

bool IsMergeKey(const yaml_event_t& AEvent) {
  const auto& scalar = AEvent.data.scalar;
  const std::string_view tag = View(scalar.tag);
  if (tag == "tag:yaml.org,2002:merge") return true;
  return tag.empty() && scalar.style == YAML_PLAIN_SCALAR_STYLE &&
         View(scalar.value, scalar.length) == "<<";
}

// Line and column of a byte offset, for the reader's failures, which give
// only the offset; columns count characters, as the parser's do.
yaml_mark_t MarkAt(std::string_view ABytes, size_t AOffset, yaml_encoding_t AEncoding) {
  yaml_mark_t mark{};
  AOffset = std::min(AOffset, ABytes.size());
  const bool utf16 = AEncoding == YAML_UTF16LE_ENCODING || AEncoding == YAML_UTF16BE_ENCODING;
  const size_t step = utf16 ? 2 : 1;
  size_t i = utf16 ? 2 : ABytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  for (; i + step <= AOffset; i += step) {
    const auto low = static_cast<unsigned char>(ABytes[i]);
    unsigned unit = low;
    if (utf16) {
      const auto high = static_cast<unsigned char>(ABytes[i + 1]);
      unit = AEncoding == YAML_UTF16LE_ENCODING ? low | high << 8 : low << 8 | high;
    }
    if (unit == '\n') {
      ++mark.line;
      mark.column = 0;
    } else if (utf16 ? unit < 0xDC00 || unit > 0xDFFF : (unit & 0xC0) != 0x80) {
      ++mark.column;
    }
  }
  return mark;
}

class Parser {
 public:
  explicit Parser(std::string_view ABytes) : bytes_(ABytes) {
    if (yaml_parser_initialize(&parser_) == 0) throw std::bad_alloc();
    yaml_parser_set_input_string(&parser_, reinterpret_cast<const unsigned char*>(ABytes.data()),
                                 ABytes.size());
  }
  ~Parser() { yaml_parser_delete(&parser_); }
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  // The next event into AEvent, which the caller deletes; fails with the
  // parser's own words.
  void Next(yaml_event_t& AEvent) {
    if (yaml_parser_parse(&parser_, &AEvent) != 0) return;
    if (parser_.error == YAML_MEMORY_ERROR) throw std::bad_alloc();
    std::string what = parser_.problem != nullptr ? parser_.problem : "invalid YAML";
    if (parser_.error == YAML_READER_ERROR) {
      Fail(what, MarkAt(bytes_, parser_.problem_offset, parser_.encoding));
    }
    if (parser_.context != nullptr) what += std::string(" ") + parser_.context;
    Fail(what, parser_.problem_mark);
  }

 private:
  yaml_parser_t parser_;
  std::string_view bytes_;
};

class Event {
 public:
  Event() = default;
  ~Event() { yaml_event_delete(&event_); }
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  yaml_event_t& Get() { return event_; }

 private:
  yaml_event_t event_{};
};

}  // namespace

// Receives the parser's events and appends one node per value or key to the
// tree, as the JSON reader's handler does; scalars' texts are appended to
// the tree's text. An alias appends a copy of its anchor's nodes, which share
// their texts. The value of a merge key leaves no node in the document: an
// inline mapping or sequence written there is moved aside when it ends, and
// the mapping that holds the merge key appends the members it takes from it
// when it ends itself.
class YamlTreeBuilder {
 public:
  explicit YamlTreeBuilder(size_t ADocumentBytes)
      : alias_limit_(ADocumentBytes + 65536), alias_budget_(alias_limit_) {
    tree_.text_.reserve(ADocumentBytes);
    tree_.nodes_.reserve(ADocumentBytes / 8 + 1);
  }

  JsonTree Build(Parser& AParser) {
    int documents = 0;
    for (;;) {
      Event event;
      AParser.Next(event.Get());
      const yaml_event_t& e = event.Get();
      switch (e.type) {
        case YAML_DOCUMENT_START_EVENT:
          if (++documents > 1) Fail("The stream holds more than one document", e.start_mark);
          break;
        case YAML_STREAM_END_EVENT:
          if (documents == 0) Fail("The stream holds no document", e.start_mark);
          return std::move(tree_);
        case YAML_SCALAR_EVENT:
          Scalar(e);
          break;
        case YAML_ALIAS_EVENT:
          Alias(e);
          break;
        case YAML_SEQUENCE_START_EVENT:
          Open(e, JsonKind::Array, e.data.sequence_start.anchor);
          break;
        case YAML_MAPPING_START_EVENT:
          Open(e, JsonKind::Object, e.data.mapping_start.anchor);
          break;
        case YAML_SEQUENCE_END_EVENT:
        case YAML_MAPPING_END_EVENT:
          Close(e.start_mark);
          break;
        default:  // stream start, document end, no event
          break;
      }
    }
  }

 private:
  using Node = JsonTree::Node;

  // A node in the document or in the nodes moved aside.
  struct NodeRef {
    bool aside;
    uint32_t index;
  };

  struct Anchor {
    bool complete = false;
    bool scalar = false;
    // Scalars: their kind as a value and their text.
    JsonKind kind = JsonKind::Null;
    uint32_t first = 0, second = 0;
    // Containers: their node and the levels they take (1 with only scalars).
    NodeRef node{false, 0};
    uint32_t height = 0;
  };

  struct Container {
    uint32_t index = 0;
    bool mapping = false;
    uint32_t count = 0;
    uint32_t child_height = 0;     // the height of its highest child
    bool expect_key = true;        // mappings: the next node is a key
    bool merge_value = false;      // mappings: the next value is a merge key's
    bool is_merge_value = false;   // it is the value of its parent's merge key
    bool merge_sources = false;    // sequences: it is a merge key's value
    Anchor* anchor = nullptr;
    std::vector<NodeRef> merges;   // mappings: the mappings named by merge keys
  };

  const std::vector<Node>& Nodes(bool AAside) const { return AAside ? aside_ : tree_.nodes_; }
  static uint32_t End(const std::vector<Node>& ANodes, uint32_t AIndex) {
    const Node& node = ANodes[AIndex];
    return node.kind == JsonKind::Object || node.kind == JsonKind::Array ? node.second : AIndex + 1;
  }
  std::string_view TextOf(const Node& ANode) const {
    return std::string_view(tree_.text_).substr(ANode.first, ANode.second);
  }

  bool AtKey() const { return !open_.empty() && open_.back().mapping && open_.back().expect_key; }

  static void MergeValueFault(const yaml_mark_t& AMark) {
    Fail("The value of a merge key must be a mapping or a sequence of mappings", AMark);
  }

  uint32_t AppendText(std::string_view AText, const yaml_mark_t& AMark) {
    if (tree_.text_.size() + AText.size() >= std::numeric_limits<uint32_t>::max()) {
      Fail("The document is larger than 4 GiB", AMark);
    }
    const auto offset = static_cast<uint32_t>(tree_.text_.size());
    tree_.text_.append(AText);
    return offset;
  }

  Anchor& Define(const yaml_char_t* AName) {
    Anchor& anchor = anchors_[std::string(View(AName))];
    anchor = Anchor();
    return anchor;
  }

  // A scalar, an alias or a container has been added as a value.
  void ValueAdded(uint32_t AHeight) {
    if (open_.empty()) return;
    Container& parent = open_.back();
    ++parent.count;
    parent.child_height = std::max(parent.child_height, AHeight);
    parent.expect_key = true;
  }

  void Scalar(const yaml_event_t& AEvent) {
    const auto& scalar = AEvent.data.scalar;
    const std::string_view text = View(scalar.value, scalar.length);
    if (AtKey()) {
      Container& mapping = open_.back();
      mapping.expect_key = false;
      if (IsMergeKey(AEvent)) {
        mapping.merge_value = true;
        return;
      }
      const uint32_t offset = AppendText(text, AEvent.start_mark);
      tree_.nodes_.push_back({offset, static_cast<uint32_t>(text.size()), JsonKind::Key});
      if (scalar.anchor != nullptr) DefineScalar(scalar.anchor, ScalarKind(AEvent), offset, text.size());
      return;
    }
    if (InMergeValue()) MergeValueFault(AEvent.start_mark);
    const JsonKind kind = ScalarKind(AEvent);
    Node node{0, 0, kind};
    // Null and Boolean nodes need no text, unless an alias may use it as a key.
    if (kind == JsonKind::String || kind == JsonKind::Number || scalar.anchor != nullptr) {
      node.first = AppendText(text, AEvent.start_mark);
      node.second = static_cast<uint32_t>(text.size());
    }
    tree_.nodes_.push_back(node);
    if (scalar.anchor != nullptr) DefineScalar(scalar.anchor, kind, node.first, node.second);
    ValueAdded(0);
  }

  void DefineScalar(const yaml_char_t* AName, JsonKind AKind, uint32_t AOffset, size_t ALength) {
    Anchor& anchor = Define(AName);
    anchor.complete = true;
    anchor.scalar = true;
    anchor.kind = AKind;
    anchor.first = AOffset;
    anchor.second = static_cast<uint32_t>(ALength);
  }

  // The next value is (part of) a merge key's value, which takes mappings only.
  bool InMergeValue() const {
    if (open_.empty()) return false;
    const Container& parent = open_.back();
    return parent.mapping ? parent.merge_value : parent.merge_sources;
  }

  void Alias(const yaml_event_t& AEvent) {
    const std::string name(View(AEvent.data.alias.anchor));
    const auto found = anchors_.find(name);
    if (found == anchors_.end()) Fail("The alias *" + name + " names no anchor", AEvent.start_mark);
    const Anchor& anchor = found->second;
    if (!anchor.complete) {
      Fail("The alias *" + name + " stands inside the node it names", AEvent.start_mark);
    }
    if (AtKey()) {
      if (!anchor.scalar) Fail("A mapping key must be a scalar", AEvent.start_mark);
      open_.back().expect_key = false;
      tree_.nodes_.push_back({anchor.first, anchor.second, JsonKind::Key});
      return;
    }
    const bool is_mapping =
        !anchor.scalar && Nodes(anchor.node.aside)[anchor.node.index].kind == JsonKind::Object;
    if (!open_.empty() && open_.back().mapping && open_.back().merge_value) {
      if (!is_mapping) MergeValueFault(AEvent.start_mark);
      Container& mapping = open_.back();
      // The members taken are one level below the mapping named.
      CheckDepth(open_.size() + anchor.height - 1, AEvent.start_mark);
      mapping.merges.push_back(anchor.node);
      mapping.child_height = std::max(mapping.child_height, anchor.height - 1);
      mapping.merge_value = false;
      mapping.expect_key = true;
      return;
    }
    if (InMergeValue() && !is_mapping) MergeValueFault(AEvent.start_mark);
    if (anchor.scalar) {
      tree_.nodes_.push_back({anchor.first, anchor.second, anchor.kind});
      ValueAdded(0);
      return;
    }
    CheckDepth(open_.size() + anchor.height, AEvent.start_mark);
    const uint32_t end = End(Nodes(anchor.node.aside), anchor.node.index);
    Spend(end - anchor.node.index, AEvent.start_mark);
    Copy(anchor.node.aside, anchor.node.index, end);
    ValueAdded(anchor.height);
  }

  static void CheckDepth(size_t ALevels, const yaml_mark_t& AMark) {
    if (ALevels > static_cast<size_t>(kMaxJsonDepth)) {
      Fail("Nesting deeper than " + std::to_string(kMaxJsonDepth) + " levels", AMark);
    }
  }

  void Spend(uint32_t ANodes, const yaml_mark_t& AMark) {
    if (ANodes > alias_budget_) {
      Fail("Aliases expand to more than " + std::to_string(alias_limit_) + " nodes", AMark);
    }
    alias_budget_ -= ANodes;
  }

  // Appends a copy of the nodes [AFrom, ATo) to the document. The source
  // may be the document itself: nodes are read by index, before each append.
  void Copy(bool AAside, uint32_t AFrom, uint32_t ATo) {
    std::vector<Node>& target = tree_.nodes_;
    const std::vector<Node>& source = Nodes(AAside);
    const auto shift = static_cast<uint32_t>(target.size() - AFrom);  // modulo 2^32
    for (uint32_t i = AFrom; i < ATo; ++i) {
      Node node = source[i];
      if (node.kind == JsonKind::Object || node.kind == JsonKind::Array) node.second += shift;
      target.push_back(node);
    }
  }

  void Open(const yaml_event_t& AEvent, JsonKind AKind, const yaml_char_t* AAnchor) {
    if (AtKey()) Fail("A mapping key must be a scalar", AEvent.start_mark);
    bool is_merge_value = false;
    bool merge_sources = false;
    if (!open_.empty() && open_.back().mapping && open_.back().merge_value) {
      is_merge_value = true;
      merge_sources = AKind == JsonKind::Array;
    } else if (InMergeValue() && AKind != JsonKind::Object) {
      MergeValueFault(AEvent.start_mark);
    }
    CheckDepth(open_.size() + 1, AEvent.start_mark);
    const auto index = static_cast<uint32_t>(tree_.nodes_.size());
    tree_.nodes_.push_back({0, 0, AKind});
    Container container;
    container.index = index;
    container.mapping = AKind == JsonKind::Object;
    container.is_merge_value = is_merge_value;
    container.merge_sources = merge_sources;
    if (AAnchor != nullptr) {
      Anchor& anchor = Define(AAnchor);
      anchor.node = {false, index};
      container.anchor = &anchor;
      in_document_.emplace_back(&anchor, index);
    }
    open_.push_back(std::move(container));
  }

  void Close(const yaml_mark_t& AMark) {
    Container& container = open_.back();
    if (!container.merges.empty()) AppendMerged(container, AMark);
    Node& node = tree_.nodes_[container.index];
    node.first = container.count;
    node.second = static_cast<uint32_t>(tree_.nodes_.size());
    const uint32_t height = container.child_height + 1;
    // Unless the name has been given to a node inside it since.
    if (container.anchor != nullptr && !container.anchor->scalar && !container.anchor->node.aside &&
        container.anchor->node.index == container.index) {
      container.anchor->complete = true;
      container.anchor->height = height;
    }
    const Container closed = std::move(container);
    open_.pop_back();
    if (!closed.is_merge_value) {
      ValueAdded(height);
      return;
    }
    // A merge key's inline value: moved aside, where its mappings are read
    // when the mapping that holds the merge key ends.
    const NodeRef moved = MoveAside(closed.index);
    Container& mapping = open_.back();
    if (closed.mapping) {
      mapping.merges.push_back(moved);
      mapping.child_height = std::max(mapping.child_height, height - 1);
    } else {
      for (uint32_t i = moved.index + 1; i < aside_[moved.index].second; i = End(aside_, i)) {
        mapping.merges.push_back({true, i});
      }
      if (height >= 2) mapping.child_height = std::max(mapping.child_height, height - 2);
    }
    mapping.merge_value = false;
    mapping.expect_key = true;
  }

  // Moves the nodes from AFrom to the end of the document aside; anchors
  // defined among them follow.
  NodeRef MoveAside(uint32_t AFrom) {
    std::vector<Node>& nodes = tree_.nodes_;
    const auto base = static_cast<uint32_t>(aside_.size());
    const uint32_t shift = base - AFrom;  // modulo 2^32
    for (uint32_t i = AFrom; i < nodes.size(); ++i) {
      Node node = nodes[i];
      if (node.kind == JsonKind::Object || node.kind == JsonKind::Array) node.second += shift;
      aside_.push_back(node);
    }
    nodes.resize(AFrom);
    while (!in_document_.empty() && in_document_.back().second >= AFrom) {
      const auto [anchor, index] = in_document_.back();
      in_document_.pop_back();
      // Unless the name has been given to another node since.
      if (!anchor->node.aside && anchor->node.index == index) anchor->node = {true, index + shift};
    }
    return {true, base};
  }

  // Appends to the mapping that ends the members of the mappings its merge
  // keys name, in their order, whose keys it does not hold yet. Every member
  // read counts against the bound of alias expansion, taken or not.
  void AppendMerged(Container& AMapping, const yaml_mark_t& AMark) {
    std::unordered_set<std::string_view> keys;
    const std::vector<Node>& nodes = tree_.nodes_;
    for (uint32_t key = AMapping.index + 1; key < nodes.size(); key = End(nodes, key + 1)) {
      keys.insert(TextOf(nodes[key]));
    }
    for (const NodeRef source : AMapping.merges) {
      const std::vector<Node>& from = Nodes(source.aside);
      const uint32_t end = from[source.index].second;
      for (uint32_t key = source.index + 1; key < end;) {
        const uint32_t next = End(from, key + 1);
        Spend(next - key, AMark);
        if (keys.insert(TextOf(from[key])).second) {
          Copy(source.aside, key, next);
          ++AMapping.count;
        }
        key = next;
      }
    }
  }

  JsonTree tree_;
  std::vector<Node> aside_;
  std::vector<Container> open_;
  std::unordered_map<std::string, Anchor> anchors_;
  // The anchors of containers in the document, in the order of their nodes.
  std::vector<std::pair<Anchor*, uint32_t>> in_document_;
  const size_t alias_limit_;
  size_t alias_budget_;
};

JsonTree ParseYaml(std::string_view ABytes) {
  if (ABytes.size() >= std::numeric_limits<uint32_t>::max()) {
    throw EYAMLException("The document is larger than 4 GiB (line 1, column 1)");
  }
  Parser parser(ABytes);
  return YamlTreeBuilder(ABytes.size()).Build(parser);
}

bool IsYamlFileName(std::string_view AFileName) {
  const auto ends_with = [&](std::string_view ASuffix) {
    if (AFileName.size() < ASuffix.size()) return false;
    const std::string_view tail = AFileName.substr(AFileName.size() - ASuffix.size());
    return std::equal(tail.begin(), tail.end(), ASuffix.begin(), [](char a, char b) {
      return (a >= 'A' && a <= 'Z' ? a + ('a' - 'A') : a) == b;
    });
  };
  return ends_with(".yaml") || ends_with(".yml");
}

JsonTree ParseDocumentFile(const std::string& AFileName) {
  const auto read = [&AFileName] { return DecodeDocument(ReadFileBytes(AFileName)); };
  if (!IsYamlFileName(AFileName)) return JsonTree::Parse(read(), read);
  // A JSON text is read as JSON whatever the file's name; YAML without a
  // byte order mark is UTF-8, so the bytes are read once more undecoded.
  if (std::optional<JsonTree> tree = JsonTree::TryParse(read(), read)) return std::move(*tree);
  return ParseYaml(ReadFileBytes(AFileName));
}

}  // namespace tolvane
