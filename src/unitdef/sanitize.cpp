#include "unitdef/sanitize.h"

#include <array>
#include <cstdint>

#include "platform/utf8.h"

namespace tolvane {

namespace {

// ASCII letters and digits, "_", and the letters of Windows-1252.
bool IsIdentifierCharacter(char32_t c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_') {
    return true;
  }
  if (c >= 0xC0 && c <= 0xFF) return c != 0xD7 && c != 0xF7;
  switch (c) {
    case 0x152:
    case 0x153:
    case 0x160:
    case 0x161:
    case 0x178:
    case 0x17D:
    case 0x17E:
    case 0x192:
      return true;
    default:
      return false;
  }
}

// ASCII letters, digits and "_": the ASCII characters an identifier keeps.
// A table, since every byte of every name is looked up.
constexpr std::array<bool, 256> kAsciiIdentifierBytes = [] {
  std::array<bool, 256> table{};
  for (unsigned c = 0; c < 256; ++c) {
    table[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  }
  return table;
}();

bool IsAsciiIdentifierByte(unsigned char c) { return kAsciiIdentifierBytes[c]; }

}  // namespace

void AppendSanitized(std::string& out, std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    // Runs of ASCII identifier characters, the common case, are copied whole.
    size_t run = pos;
    while (run < text.size() && IsAsciiIdentifierByte(static_cast<unsigned char>(text[run]))) ++run;
    out.append(text.data() + pos, run - pos);
    pos = run;
    if (pos == text.size()) break;
    char32_t c;
    const size_t length = Utf8CharacterAt(text, pos, c);
    if (c >= 0x80 && IsIdentifierCharacter(c)) {
      out.append(text.substr(pos, length));
    } else {
      out += '_';
    }
    pos += length;
  }
}

std::string SanitizeIdentifier(std::string_view AText) {
  std::string out;
  out.reserve(AText.size());
  if (!AText.empty() && AText.front() == '&') {
    out += '&';
    AText.remove_prefix(1);
  }
  AppendSanitized(out, AText);
  return out;
}

std::string QuoteLiteral(std::string_view AText) {
  std::string out;
  out.reserve(AText.size() + 2);
  bool quoted = false;  // inside a quoted run
  size_t pos = 0;
  while (pos < AText.size()) {
    const char c = AText[pos];
    if (c == '\r' || c == '\n') {
      if (quoted) {
        out += '\'';
        quoted = false;
      }
      out += c == '\r' ? "#13" : "#10";
      ++pos;
      continue;
    }
    if (!quoted) {
      out += '\'';
      quoted = true;
    }
    // The characters up to the next quote or line break go in as one run.
    size_t run = pos;
    while (run < AText.size() && AText[run] != '\'' && AText[run] != '\r' && AText[run] != '\n') ++run;
    if (run > pos) {
      out.append(AText.substr(pos, run - pos));
      pos = run;
    } else {
      out += "''";
      ++pos;
    }
  }
  if (quoted) {
    out += '\'';
  } else if (out.empty()) {
    out = "''";
  }
  return out;
}

std::string CommentText(std::string_view AText) {
  std::string out(AText);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

}  // namespace tolvane
