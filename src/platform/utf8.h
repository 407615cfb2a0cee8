#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace tolvane {

// The length in bytes of the UTF-8 character that starts at AText[APos], by
// its lead byte, cut at the end of the text. Texts inside the program are
// valid UTF-8, so the lead byte alone decides.
inline size_t Utf8CharacterLength(std::string_view AText, size_t APos) {
  const auto lead = static_cast<unsigned char>(AText[APos]);
  size_t length = 1;
  if (lead >= 0xF0) {
    length = 4;
  } else if (lead >= 0xE0) {
    length = 3;
  } else if (lead >= 0xC0) {
    length = 2;
  }
  return std::min(length, AText.size() - APos);
}

}  // namespace tolvane

namespace tolvane {

// A byte that continues a UTF-8 character (10xxxxxx).
inline bool IsUtf8Continuation(char AByte) { return (static_cast<unsigned char>(AByte) & 0xC0) == 0x80; }

// The number of characters of a UTF-8 text.
inline size_t Utf8CharacterCount(std::string_view AText) {
  size_t count = 0;
  for (const char c : AText) count += IsUtf8Continuation(c) ? 0 : 1;
  return count;
}

// The UTF-8 character at AText[APos]: its length in bytes (as
// Utf8CharacterLength) and its code point.
inline size_t Utf8CharacterAt(std::string_view AText, size_t APos, char32_t& ACodePoint) {
  const size_t length = Utf8CharacterLength(AText, APos);
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t value = static_cast<unsigned char>(AText[APos]) & kLeadBits[length];
  for (size_t i = 1; i < length; ++i) value = (value << 6) | (static_cast<unsigned char>(AText[APos + i]) & 0x3F);
  ACodePoint = value;
  return length;
}

}  // namespace tolvane
