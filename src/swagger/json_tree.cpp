#include "swagger/json_tree.h"

#include <rapidjson/encodings.h>
#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <algorithm>
#include <limits>

#include "platform/byte_scan.h"
#include "platform/exceptions.h"
#include "platform/large_buffer.h"

namespace tolvane {
namespace {

// An in-place input stream for a text without room after it. It is not
// RapidJSON's own, whose white space scans read sixteen bytes at a time and
// so past such a text's end. Positions of failures are computed afterwards
// from the original text, since strings decoded in place overwrite it.
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

// RapidJSON's reader refuses numbers beyond the range of a double even when
// it hands numbers over as text: an integer part of about 309 digits or a
// positive exponent beyond 308. JSON sets no range, so a text that failed
// for that reason is parsed once more with every such number replaced by a
// number of the same length that the reader takes ("0.000"), and the
// original digits are written back afterwards. Numbers are never moved by
// in-place parsing, so the tree's offsets point at the restored text.
class HugeNumberMask {
 public:
  // Replaces, outside strings, every number with an exponent or with more
  // than 300 digits before its point: more than the reader refuses, never
  // less. The text before the first fault is valid JSON, where this scan
  // and the reader agree on what is a string and what a number, so the
  // reader meets that fault at the same place and for the same reason.
  explicit HugeNumberMask(std::string& AText) {
    const size_t size = AText.size();
    size_t i = 0;
    while (i < size) {
      const char c = AText[i];
      if (c == '"') {
        for (++i; i < size && AText[i] != '"'; ++i) i += AText[i] == '\\';
        ++i;
      } else if (c == '-' || IsDigit(c)) {
        i = MaskNumber(AText, i);
      } else {
        ++i;
      }
    }
  }

  void Restore(std::string& AText) const {
    size_t from = 0;
    for (const auto& [offset, length] : numbers_) {
      AText.replace(offset, length, originals_, from, length);
      from += length;
    }
  }

 private:
  static bool IsDigit(char AChar) { return AChar >= '0' && AChar <= '9'; }

  // Reads the number at AStart by the JSON grammar, masks it when it may be
  // refused and returns the offset after it (after AStart at least).
  size_t MaskNumber(std::string& AText, size_t AStart) {
    const size_t size = AText.size();
    const auto digits = [&](size_t AFrom) {
      while (AFrom < size && IsDigit(AText[AFrom])) ++AFrom;
      return AFrom;
    };
    size_t i = AStart + (AText[AStart] == '-');
    if (i == size || !IsDigit(AText[i])) return AStart + 1;
    const size_t integer_start = i;
    i = AText[i] == '0' ? i + 1 : digits(i);
    const size_t integer_digits = i - integer_start;
    if (i + 1 < size && AText[i] == '.' && IsDigit(AText[i + 1])) i = digits(i + 1);
    bool exponent = false;
    if (i < size && (AText[i] == 'e' || AText[i] == 'E')) {
      size_t j = i + 1;
      if (j < size && (AText[j] == '+' || AText[j] == '-')) ++j;
      if (j < size && IsDigit(AText[j])) {
        i = digits(j);
        exponent = true;
      }
    }
    if (exponent || integer_digits > 300) {
      // At least three characters: "1e5" is the shortest with an exponent.
      const size_t length = i - AStart;
      numbers_.emplace_back(AStart, length);
      originals_.append(AText, AStart, length);
      AText.replace(AStart, length, length, '0');
      AText[AStart + 1] = '.';
    }
    return i;
  }

  std::vector<std::pair<size_t, size_t>> numbers_;  // offset and length
  std::string originals_;                          // their texts, in order
};

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
  bool number_too_big = false;
};

// Bytes the reader may read past a multi-byte sequence's first byte.
constexpr size_t kUtf8ReadAhead = 3;
// Room after the text for the reader's scans of sixteen bytes at a time,
// which read up to the end of the aligned block that holds the terminating
// NUL.
constexpr size_t kScanPadding = 16;

namespace {

struct DiscardingStream {
  void Put(char) {}
};

// How the reader ended: its result, where it stopped, and whether a lone low
// surrogate stopped it.
struct ReaderOutcome {
  rapidjson::ParseResult result;
  size_t stop = 0;
  bool lone_surrogate = false;
};

template <unsigned kParseFlags, typename TStream>
ReaderOutcome RunReader(char* AText, JsonTreeBuilder& ABuilder) {
  TStream stream(AText);
  rapidjson::GenericReader<CheckedUtf8, CheckedUtf8> reader;
  ReaderOutcome outcome;
  try {
    outcome.result = reader.Parse<kParseFlags>(stream, ABuilder);
  } catch (const LoneSurrogate&) {
    outcome.lone_surrogate = true;
  }
  outcome.stop = stream.Tell();
  return outcome;
}

// True when every multi-byte sequence of the text passes the reader's own
// UTF-8 check; kUtf8ReadAhead bytes after the end must be readable.
bool ReaderAcceptsUtf8(std::string_view AText) {
  size_t pos = SkipAscii(AText, 0);
  while (pos < AText.size()) {
    rapidjson::StringStream sequence(AText.data() + pos);
    DiscardingStream discard;
    if (!rapidjson::UTF8<char>::Validate(sequence, discard)) return false;
    pos = SkipAscii(AText, pos + sequence.Tell());
  }
  return true;
}

}  // namespace

// Parses the tree's text in place into its nodes; returns the failure, if any.
std::optional<ParseFailure> JsonTree::ParseInPlace() {
  if (text_.size() >= std::numeric_limits<uint32_t>::max()) {
    // Offsets into the text are kept in 32 bits.
    return ParseFailure{"The document is larger than 4 GiB", 0};
  }
  constexpr unsigned kFlags =
      rapidjson::kParseInsituFlag | rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseIterativeFlag;
  // Typical documents take 10 to 20 bytes per node; reserving address space
  // for one node per 8 bytes saves copying the nodes as they grow, and pages
  // that are never used are never touched.
  nodes_.reserve(text_.size() / 8 + 1);
  AdviseHugePages(nodes_.data(), nodes_.capacity() * sizeof(Node));
  const size_t size = text_.size();
  // A text that the reader's UTF-8 check accepts throughout is parsed without
  // the check, which lets the reader scan strings and white space sixteen
  // bytes at a time. The scans need NUL bytes after the text, written into
  // the room the file's reader leaves; a text without that room is checked
  // as it is parsed.
  //
  // The reader's sixteen-byte string scan stops only at bytes below 0x1A, so
  // it would let the control characters 0x1A to 0x1F through inside a
  // string, which the byte-by-byte reading refuses: a text holding any of
  // them is checked as it is parsed, which reads strings byte by byte.
  const bool room = text_.capacity() - size >= kScanPadding;
  bool checked = true;
  if (room) {
    text_.append(kScanPadding, '\0');
    const std::string_view text = std::string_view(text_).substr(0, size);
    checked = HasByte18To1F(text) || !ReaderAcceptsUtf8(text);
  } else {
    // The check takes the rest of a multi-byte sequence before it judges
    // it, so a text with a non-ASCII byte among its last three would be read
    // past its end: such a text gets NUL bytes after its end while it is
    // parsed.
    bool pad = false;
    for (size_t i = size > kUtf8ReadAhead ? size - kUtf8ReadAhead : 0; i < size; ++i) {
      pad = pad || static_cast<unsigned char>(text_[i]) >= 0x80;
    }
    if (pad) text_.append(kUtf8ReadAhead, '\0');
  }
  struct Unpad {
    std::string& text;
    size_t size;
    ~Unpad() { text.resize(size); }
  } unpad{text_, size};
  JsonTreeBuilder builder(*this);
  constexpr unsigned kChecked = kFlags | rapidjson::kParseValidateEncodingFlag;
  const ReaderOutcome outcome =
      !room     ? RunReader<kChecked, InsituStream>(text_.data(), builder)
      : checked ? RunReader<kChecked, rapidjson::InsituStringStream>(text_.data(), builder)
                : RunReader<kFlags, rapidjson::InsituStringStream>(text_.data(), builder);
  if (outcome.lone_surrogate) {
    // Thrown right after the four hex digits of the escape "\uDCxx".
    return ParseFailure{std::string(ReaderMessage(rapidjson::kParseErrorStringUnicodeSurrogateInvalid)),
                        outcome.stop - 6};
  }
  const rapidjson::ParseResult& result = outcome.result;
  if (result.IsError()) {
    if (builder.TooDeep()) {
      return ParseFailure{"Nesting deeper than " + std::to_string(kMaxJsonDepth) + " levels",
                          result.Offset()};
    }
    return ParseFailure{std::string(ReaderMessage(result.Code())), result.Offset(),
                        result.Code() == rapidjson::kParseErrorNumberTooBig};
  }
  // The reader takes a NUL byte for the end of the text; anything from there
  // on follows the value.
  if (outcome.stop != size) {
    return ParseFailure{std::string(ReaderMessage(rapidjson::kParseErrorDocumentRootNotSingular)),
                        outcome.stop};
  }
  return std::nullopt;
}

std::optional<ParseFailure> JsonTree::ParseText(std::string AText,
                                                const std::function<std::string()>& AReload) {
  text_ = std::move(AText);
  std::optional<ParseFailure> failure = ParseInPlace();
  if (failure && failure->number_too_big) {
    // Only texts with such numbers pay for the second parse.
    *this = JsonTree();
    text_ = AReload();
    const HugeNumberMask mask(text_);
    failure = ParseInPlace();
    if (!failure) mask.Restore(text_);
  }
  return failure;
}

JsonTree JsonTree::Parse(std::string AText) {
  const std::string original = AText;
  return Parse(std::move(AText), [&original] { return original; });
}

JsonTree JsonTree::Parse(std::string AText, const std::function<std::string()>& AReload) {
  JsonTree tree;
  if (const std::optional<ParseFailure> failure = tree.ParseText(std::move(AText), AReload)) {
    // The strings read so far have been decoded over the text: count lines
    // and columns in a fresh copy, once this one is gone.
    tree = JsonTree();
    const std::string original = AReload();
    throw EJSONException(WithPosition(failure->what, PositionIn(original, failure->offset)));
  }
  return tree;
}

std::optional<JsonTree> JsonTree::TryParse(std::string AText,
                                           const std::function<std::string()>& AReload) {
  JsonTree tree;
  if (tree.ParseText(std::move(AText), AReload)) return std::nullopt;
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
  // Readers look up a handful of keys in every object: the lengths and first
  // bytes rule out most members before the keys are compared.
  for (const JsonMember member : Members()) {
    if (member.key.size() == AKey.size() && (AKey.empty() || member.key[0] == AKey[0]) && member.key == AKey) {
      return member.value();
    }
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
