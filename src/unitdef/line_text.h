#pragma once

// A text of the unit made from its pieces with one allocation.

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace tolvane {

inline std::string JoinPieces(std::span<const std::string_view> APieces) {
  size_t length = 0;
  for (const std::string_view piece : APieces) length += piece.size();
  std::string text;
  text.reserve(length);
  for (const std::string_view piece : APieces) text.append(piece);
  return text;
}

inline std::string JoinText(std::initializer_list<std::string_view> APieces) {
  return JoinPieces(std::span<const std::string_view>(APieces.begin(), APieces.size()));
}

}  // namespace tolvane
