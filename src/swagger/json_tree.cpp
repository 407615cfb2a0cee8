#include "swagger/json_tree.h"

#include <rapidjson/encodings.h>
#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <algorithm>
#include <limits>

#include "platform/exceptions.h"

namespace tolvane {
namespace {

// An in-place input stream that counts lines and columns while it reads, so
// that a failure can say where it arose even though the strings before it
// have already been decoded over the original text.
class TrackingInsituStream {
 public:
  using Ch = char;

  explicit TrackingInsituStream(char* AText) : src_(AText), dst_(nullptr), head_(AText) {}

  Ch Peek() const { return *src_; }
  Ch Take() {
    const Ch c = *src_++;
    // Columns count characters: every byte but the continuation bytes of UTF-8.
    column_ += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (c == '\n') {
      ++line_;
      column_ = 0;
    }
    return c;
  }
  size_t Tell() const { return static_cast<size_t>(src_ - head_); }

  Ch* PutBegin() { return dst_ = src_; }
  void Put(Ch c) { *dst_++ = c; }
  void Flush() {}
  size_t PutEnd(Ch* ABegin) { return static_cast<size_t>(dst_ - ABegin); }
  Ch* Push(size_t ACount) {
    Ch* begin = dst_;
    dst_ += ACount;
    return begin;
  }
  void Pop(size_t ACount) { dst_ -= ACount; }

  // Line (from 1) and column (from 1, in characters) of the byte at AOffset,
  // which lies on the current line at or before the read position: the
  // reader reports failures at the start of the escape or character that
  // failed, after it has read part of it.
  std::pair<size_t, size_t> Position(size_t AOffset) const {
    size_t column = column_ + 1;
    for (size_t i = AOffset; i < Tell() && column > 1; ++i) {
      column -= (static_cast<unsigned char>(head_[i]) & 0xC0) != 0x80;
    }
    return {line_, column};
  }

 private:
  Ch* src_;
  Ch* dst_;
  Ch* head_;
  size_t line_ = 1;
  size_t column_ = 0;  // characters read since the last line feed
};

// An in-place input stream that only reads: positions of failures are
// computed afterwards from the original text.
class InsituStream {
 public:
  using Ch = char;

  explicit InsituStream(char* AText) : src_(AText), dst_(nullptr), head_(AText) {}

  Ch Peek() const { return *src_; }
  Ch Take() { return *src_++; }
  size_t Tell() const { return static_cast<size_t>(src_ - head_); }

  Ch* PutBegin() { return dst_ = src_; }
  void Put(Ch c) { *dst_++ = c; }
  void Flush() {}
  size_t PutEnd(Ch* ABegin) { return static_cast<size_t>(dst_ - ABegin); }
  Ch* Push(size_t ACount) {
    Ch* begin = dst_;
    dst_ += ACount;
    return begin;
  }
  void Pop(size_t ACount) { dst_ -= ACount; }

 private:
  Ch* src_;
  Ch* dst_;
  Ch* head_;
};

// Line and column (from 1, columns in characters) of AOffset in AText.
std::pair<size_t, size_t> PositionIn(std::string_view AText, size_t AOffset) {
  AOffset = std::min(AOffset, AText.size());
  size_t line = 1;
  size_t line_start = 0;
  for (size_t i = 0; i < AOffset; ++i) {
    if (AText[i] == '\n') {
      ++line;
      line_start = i + 1;
    }
  }
  size_t column = 1;
  for (size_t i = line_start; i < AOffset; ++i) {
    column += (static_cast<unsigned char>(AText[i]) & 0xC0) != 0x80;
  }
  return {line, column};
}

// Raised from the encoder when a \u escape decodes to a low surrogate that
// no high surrogate precedes; the reader itself only rejects the high case.
struct LoneSurrogate {};

// UTF-8 that rejects lone low surrogates. In-place parsing decodes escapes
// with the source encoding, so the reader reads and writes this one.
struct CheckedUtf8 : rapidjson::UTF8<char> {
  template <typename OutputStream>
  static void Encode(OutputStream& AStream, unsigned ACodePoint) {
    if (ACodePoint >= 0xDC00 && ACodePoint <= 0xDFFF) throw LoneSurrogate{};
    rapidjson::UTF8<char>::Encode(AStream, ACodePoint);
  }
};

}  // namespace
}  // namespace tolvane

namespace rapidjson {

template <>
struct StreamTraits<tolvane::TrackingInsituStream> {
  enum { copyOptimization = 1 };
};

template <>
struct StreamTraits<tolvane::InsituStream> {
  enum { copyOptimization = 1 };
};

}  // namespace rapidjson

namespace tolvane {

// Receives the reader's events and appends one node per value or key.
class JsonTreeBuilder {
 public:
  using Ch = char;

  JsonTreeBuilder(JsonTree& ATree) : tree_(ATree), base_(ATree.text_.data()) {}

  bool Null() { return Add(JsonKind::Null); }
  bool Bool(bool AValue) { return Add(AValue ? JsonKind::True : JsonKind::False); }
  bool RawNumber(const Ch* AText, rapidjson::SizeType ALength, bool) {
    return AddText(JsonKind::Number, AText, ALength);
  }
  bool String(const Ch* AText, rapidjson::SizeType ALength, bool) {
    return AddText(JsonKind::String, AText, ALength);
  }
  bool Key(const Ch* AText, rapidjson::SizeType ALength, bool) {
    return AddText(JsonKind::Key, AText, ALength);
  }
  bool StartObject() { return Open(JsonKind::Object); }
  bool StartArray() { return Open(JsonKind::Array); }
  bool EndObject(rapidjson::SizeType ACount) { return Close(ACount); }
  bool EndArray(rapidjson::SizeType ACount) { return Close(ACount); }

  // Never called with kParseNumbersAsStringsFlag.
  bool Int(int) { return false; }
  bool Uint(unsigned) { return false; }
  bool Int64(int64_t) { return false; }
  bool Uint64(uint64_t) { return false; }
  bool Double(double) { return false; }

  bool TooDeep() const { return too_deep_; }

 private:
  bool Add(JsonKind AKind) {
    tree_.nodes_.push_back({0, 0, AKind});
    return true;
  }
  bool AddText(JsonKind AKind, const Ch* AText, rapidjson::SizeType ALength) {
    tree_.nodes_.push_back({static_cast<uint32_t>(AText - base_), ALength, AKind});
    return true;
  }
  bool Open(JsonKind AKind) {
    if (open_.size() == static_cast<size_t>(kMaxJsonDepth)) {
      too_deep_ = true;
      return false;
    }
    open_.push_back(static_cast<uint32_t>(tree_.nodes_.size()));
    tree_.nodes_.push_back({0, 0, AKind});
    return true;
  }
  bool Close(rapidjson::SizeType ACount) {
    JsonTree::Node& node = tree_.nodes_[open_.back()];
    open_.pop_back();
    node.first = ACount;
    node.second = static_cast<uint32_t>(tree_.nodes_.size());
    return true;
  }

  JsonTree& tree_;
  const char* base_;
  std::vector<uint32_t> open_;
  bool too_deep_ = false;
};

namespace {

std::string WithPosition(std::string_view AWhat, std::pair<size_t, size_t> APosition) {
  return std::string(AWhat) + " (line " + std::to_string(APosition.first) + ", column " +
         std::to_string(APosition.second) + ")";
}

// RapidJSON's English text for an error, without its final full stop.
std::string_view ReaderMessage(rapidjson::ParseErrorCode ACode) {
  std::string_view text = rapidjson::GetParseError_En(ACode);
  if (!text.empty() && text.back() == '.') text.remove_suffix(1);
  return text;
}

}  // namespace

// What made a text invalid JSON, and where (offset in the text).
struct ParseFailure {
  std::string what;
  size_t offset = 0;
};

// Parses the tree's text in place into its nodes; returns the failure, if
// any, with the stream left where the reader stopped.
template <typename Stream>
std::optional<ParseFailure> JsonTree::ParseInPlace(Stream& AStream) {
  if (text_.size() >= std::numeric_limits<uint32_t>::max()) {
    // Offsets into the text are kept in 32 bits.
    return ParseFailure{"The document is larger than 4 GiB", 0};
  }
  constexpr unsigned kFlags = rapidjson::kParseInsituFlag | rapidjson::kParseNumbersAsStringsFlag |
                              rapidjson::kParseIterativeFlag |
                              rapidjson::kParseValidateEncodingFlag;
  // Typical documents take 10 to 20 bytes per node; reserving address space
  // for one node per 8 bytes saves copying the nodes as they grow, and pages
  // that are never used are never touched.
  nodes_.reserve(text_.size() / 8 + 1);
  JsonTreeBuilder builder(*this);
  rapidjson::GenericReader<CheckedUtf8, CheckedUtf8> reader;
  rapidjson::ParseResult result;
  try {
    result = reader.Parse<kFlags>(AStream, builder);
  } catch (const LoneSurrogate&) {
    // Thrown right after the four hex digits of the escape "\uDCxx".
    return ParseFailure{std::string(ReaderMessage(rapidjson::kParseErrorStringUnicodeSurrogateInvalid)),
                        AStream.Tell() - 6};
  }
  if (result.IsError()) {
    if (builder.TooDeep()) {
      return ParseFailure{"Nesting deeper than " + std::to_string(kMaxJsonDepth) + " levels",
                          result.Offset()};
    }
    return ParseFailure{std::string(ReaderMessage(result.Code())), result.Offset()};
  }
  // The reader takes a NUL byte for the end of the text; anything from there
  // on follows the value.
  if (AStream.Tell() != text_.size()) {
    return ParseFailure{std::string(ReaderMessage(rapidjson::kParseErrorDocumentRootNotSingular)),
                        AStream.Tell()};
  }
  return std::nullopt;
}

JsonTree JsonTree::Parse(std::string AText) {
  JsonTree tree;
  tree.text_ = std::move(AText);
  TrackingInsituStream stream(tree.text_.data());
  if (const std::optional<ParseFailure> failure = tree.ParseInPlace(stream)) {
    throw EJSONException(WithPosition(failure->what, stream.Position(failure->offset)));
  }
  return tree;
}

JsonTree JsonTree::Parse(std::string AText, const std::function<std::string()>& AReload) {
  JsonTree tree;
  tree.text_ = std::move(AText);
  InsituStream stream(tree.text_.data());
  if (const std::optional<ParseFailure> failure = tree.ParseInPlace(stream)) {
    // The strings read so far have been decoded over the text: count lines
    // and columns in a fresh copy, once this one is gone.
    tree = JsonTree();
    const std::string original = AReload();
    throw EJSONException(WithPosition(failure->what, PositionIn(original, failure->offset)));
  }
  return tree;
}

uint32_t JsonValue::Count() const {
  const JsonKind kind = Kind();
  return kind == JsonKind::Object || kind == JsonKind::Array ? tree_->nodes_[index_].first : 0;
}

std::string_view JsonValue::Text() const {
  const JsonTree::Node& node = tree_->nodes_[index_];
  if (node.kind != JsonKind::String && node.kind != JsonKind::Number) return {};
  return std::string_view(tree_->text_.data() + node.first, node.second);
}

JsonValue::Range<JsonValue::MemberIterator> JsonValue::Members() const {
  if (!IsObject()) return {MemberIterator(tree_, 0), MemberIterator(tree_, 0)};
  return {MemberIterator(tree_, index_ + 1), MemberIterator(tree_, tree_->nodes_[index_].second)};
}

JsonValue::Range<JsonValue::ElementIterator> JsonValue::Elements() const {
  if (!IsArray()) return {ElementIterator(tree_, 0), ElementIterator(tree_, 0)};
  return {ElementIterator(tree_, index_ + 1),
          ElementIterator(tree_, tree_->nodes_[index_].second)};
}

std::optional<JsonValue> JsonValue::FindMember(std::string_view AKey) const {
  for (const JsonMember member : Members()) {
    if (member.key == AKey) return member.value();
  }
  return std::nullopt;
}

std::optional<JsonMember> JsonValue::FirstMember() const {
  const auto members = Members();
  if (members.begin() == members.end()) return std::nullopt;
  return *members.begin();
}

std::optional<JsonValue> JsonValue::FirstElement() const {
  const auto elements = Elements();
  if (elements.begin() == elements.end()) return std::nullopt;
  return *elements.begin();
}

}  // namespace tolvane
