#include "unitdef/identifiers.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "platform/utf8.h"

namespace tolvane {

// constexpr so that the index below can read it at compile time; reading a
// merely const array there is not a constant expression, which clang rejects.
constexpr std::array<std::string_view, 104> ReservedWords = {
    "and",          "array",       "as",         "asm",
    "begin",        "case",        "class",      "const",
    "constructor",  "destructor",  "dispinterface", "div",
    "do",           "downto",      "else",       "end",
    "except",       "exports",     "file",       "finalization",
    "finally",      "for",         "function",   "goto",
    "if",           "implementation", "in",      "inherited",
    "initialization", "inline",    "interface",  "is",
    "label",        "library",     "mod",        "nil",
    "not",          "object",      "of",         "or",
    "out",          "packed",      "procedure",  "program",
    "property",     "raise",       "record",     "repeat",
    "resourcestring", "set",       "shl",        "shr",
    "string",       "then",        "threadvar",  "to",
    "try",          "type",        "unit",       "until",
    "uses",         "var",         "while",      "with",
    "xor",          "absolute",    "abstract",   "assembler",
    "automated",    "cdecl",       "contains",   "default",
    "dispid",       "dynamic",     "export",     "external",
    "far",          "forward",     "implements", "index",
    "message",      "name",        "near",       "nodefault",
    "overload",     "override",    "package",    "pascal",
    "private",      "protected",   "public",     "published",
    "read",         "readonly",    "register",   "reintroduce",
    "requires",     "resident",    "safecall",   "stdcall",
    "stored",       "virtual",     "write",      "writeonly",
};

namespace {

// The folded form of the UTF-8 byte at text[i]. Only two kinds of characters
// fold: ASCII a-z, and the two-byte letters U+00E0..U+00FE (C3 A0..C3 BE)
// except U+00F7 (C3 B7), whose second byte moves down by 0x20.
char FoldedByte(std::string_view text, size_t i) {
  const char c = text[i];
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  const auto byte = static_cast<unsigned char>(c);
  if (i > 0 && byte >= 0xA0 && byte <= 0xBE && byte != 0xB7 &&
      static_cast<unsigned char>(text[i - 1]) == 0xC3) {
    return static_cast<char>(byte - 0x20);
  }
  return c;
}

}  // namespace

std::string UpperCaseFold(std::string_view text) {
  std::string out(text);
  // Every name of a unit is folded: ASCII is folded eight bytes at a time.
  // With every byte below 0x80, the two sums below carry into no other
  // byte; their high bits mark the bytes from 'a' on and those after 'z'.
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHighBits = 0x8080808080808080ull;
  size_t i = 0;
  for (; i + 8 <= out.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, out.data() + i, 8);
    if ((word & kHighBits) != 0) break;
    const uint64_t lower = (word + kOnes * (0x80 - 'a')) & ~(word + kOnes * (0x80 - 'z' - 1)) & kHighBits;
    word -= lower >> 2;  // 0x20 off each lower-case letter
    std::memcpy(out.data() + i, &word, 8);
  }
  for (; i < text.size(); ++i) out[i] = FoldedByte(text, i);
  return out;
}

bool SameTextFold(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    // Equal bytes fold alike: their predecessors compared equal once folded,
    // so either both or neither are the lead byte C3.
    if (a[i] == b[i]) continue;
    if (FoldedByte(a, i) != FoldedByte(b, i)) return false;
  }
  return true;
}

bool StartsWithFold(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameTextFold(text.substr(0, prefix.size()), prefix);
}

namespace {

// The reserved words grouped by length and first letter, so that a look-up
// compares a text with the two or three words that share both, not with all
// 104. The words are 2 to 14 lower-case ASCII letters long.
constexpr size_t kShortestWord = 2;
constexpr size_t kLongestWord = 14;
constexpr size_t kBuckets = (kLongestWord - kShortestWord + 1) * 26;

constexpr size_t BucketOf(size_t ALength, char AFirstLower) {
  return (ALength - kShortestWord) * 26 + static_cast<size_t>(AFirstLower - 'a');
}

struct TReservedIndex {
  // Words of bucket b: Words[Start[b]] .. Words[Start[b + 1] - 1].
  std::array<uint8_t, kBuckets + 1> Start{};
  std::array<std::string_view, ReservedWords.size()> Words{};
};

constexpr TReservedIndex MakeReservedIndex() {
  TReservedIndex index;
  std::array<uint8_t, kBuckets + 1> count{};
  for (const std::string_view word : ReservedWords) {
    // Not a constant expression: a word outside the assumptions does not compile.
    if (word.size() < kShortestWord || word.size() > kLongestWord) throw "reserved word length";
    for (const char c : word) {
      if (c < 'a' || c > 'z') throw "reserved words are lower-case letters";
    }
    ++count[BucketOf(word.size(), word[0]) + 1];
  }
  for (size_t b = 0; b < kBuckets; ++b) index.Start[b + 1] = static_cast<uint8_t>(index.Start[b] + count[b + 1]);
  std::array<uint8_t, kBuckets> filled{};
  for (const std::string_view word : ReservedWords) {
    const size_t bucket = BucketOf(word.size(), word[0]);
    index.Words[index.Start[bucket] + filled[bucket]++] = word;
  }
  return index;
}

constexpr TReservedIndex kReservedIndex = MakeReservedIndex();

}  // namespace

bool IsReservedWord(std::string_view text) {
  // Anything but 2 to 14 ASCII letters is no match: folding maps only a-z
  // onto the words' letters (Latin-1 letters fold onto non-ASCII bytes).
  if (text.size() < kShortestWord || text.size() > kLongestWord) return false;
  const char first = static_cast<char>(text[0] | 0x20);
  if (first < 'a' || first > 'z') return false;
  const size_t bucket = BucketOf(text.size(), first);
  // A byte or-ed with 0x20 is a lower-case letter exactly when the byte is
  // that letter in either case, so the words are compared without folding.
  const auto same = [&](std::string_view AWord) {
    for (size_t i = 1; i < AWord.size(); ++i) {
      if ((text[i] | 0x20) != AWord[i]) return false;
    }
    return true;
  };
  for (size_t w = kReservedIndex.Start[bucket]; w < kReservedIndex.Start[bucket + 1]; ++w) {
    if (same(kReservedIndex.Words[w])) return true;
  }
  return false;
}

std::string MakeIdentifier(std::string_view AText, bool AEscapeReserved) {
  // The four replacements in one pass over a copy, in place: none of them
  // produces a character that a later one would act on, and the text only
  // shrinks. The four characters are looked up in a table.
  static constexpr std::array<bool, 256> kReplaced = [] {
    std::array<bool, 256> table{};
    for (const char c : {' ', '/', '-', '$'}) table[static_cast<unsigned char>(c)] = true;
    return table;
  }();
  std::string out(AText);
  size_t kept = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    char c = out[i];
    if (kReplaced[static_cast<unsigned char>(c)]) {
      if (c == ' ' || c == '/') continue;
      c = c == '-' ? '_' : 'S';
    }
    out[kept++] = c;
  }
  out.resize(kept);
  if (AEscapeReserved && IsReservedWord(out)) out.insert(out.begin(), '&');
  return out;
}

void AppendDroppingCharacters(std::string& out, std::string_view text, size_t count) {
  size_t units = 0;
  size_t pos = 0;
  while (pos < text.size() && units < count) {
    const size_t length = Utf8CharacterLength(text, pos);
    const size_t character_units = length == 4 ? 2 : 1;
    if (units + character_units > count) {
      // The cut falls between the two halves of a surrogate pair: the low
      // half that remains is no character of its own and becomes U+FFFD.
      out.append("\xEF\xBF\xBD");
      pos += length;
      break;
    }
    units += character_units;
    pos += length;
  }
  out.append(text.substr(pos));
}

std::string DropCharacters(std::string_view text, size_t count) {
  std::string out;
  AppendDroppingCharacters(out, text, count);
  return out;
}

}  // namespace tolvane
