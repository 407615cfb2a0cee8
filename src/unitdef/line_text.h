#pragma once

// A text of the unit made from its pieces with one allocation.

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "platform/byte_scan.h"

namespace tolvane {

inline std::string JoinPieces(std::span<const std::string_view> APieces) {
  size_t length = 0;
  for (const std::string_view piece : APieces) length += piece.size();
  // Most pieces are a few bytes: inline moves, not a library call each.
  std::string text(length, '\0');
  char* next = text.data();
  for (const std::string_view piece : APieces) {
    CopyBytes(next, piece);
    next += piece.size();
  }
  return text;
}

inline std::string JoinText(std::initializer_list<std::string_view> APieces) {
  return JoinPieces(std::span<const std::string_view>(APieces.begin(), APieces.size()));
}

}  // namespace tolvane
