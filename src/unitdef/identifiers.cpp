#include "unitdef/identifiers.h"

#include <algorithm>
#include <cstdint>

namespace tolvane {

const std::array<std::string_view, 104> ReservedWords = {
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
  for (size_t i = 0; i < text.size(); ++i) out[i] = FoldedByte(text, i);
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

bool IsReservedWord(std::string_view text) {
  // The words are 2 to 14 ASCII letters long; anything else is no match.
  if (text.size() < 2 || text.size() > 14) return false;
  for (const std::string_view word : ReservedWords) {
    if (SameTextFold(text, word)) return true;
  }
  return false;
}

std::string MakeIdentifier(std::string_view AText, bool AEscapeReserved) {
  // The four replacements in one pass: none of them produces a character
  // that a later one would act on.
  std::string out;
  out.reserve(AText.size() + 1);
  for (const char c : AText) {
    switch (c) {
      case ' ':
      case '/':
        break;
      case '-':
        out += '_';
        break;
      case '$':
        out += 'S';
        break;
      default:
        out += c;
    }
  }
  if (AEscapeReserved && IsReservedWord(out)) out.insert(out.begin(), '&');
  return out;
}

void AppendDroppingCharacters(std::string& out, std::string_view text, size_t count) {
  size_t units = 0;
  size_t pos = 0;
  while (pos < text.size() && units < count) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    size_t length = 1;
    if (lead >= 0xF0) {
      length = 4;
    } else if (lead >= 0xE0) {
      length = 3;
    } else if (lead >= 0xC0) {
      length = 2;
    }
    length = std::min(length, text.size() - pos);
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
