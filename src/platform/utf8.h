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
