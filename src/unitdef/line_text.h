#pragma once

// Joining the pieces of one line of the unit with a single allocation.

#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tolvane {

inline std::string JoinLine(std::initializer_list<std::string_view> APieces) {
  size_t length = 0;
  for (const std::string_view piece : APieces) length += piece.size();
  std::string line(length, '\0');
  char* out = line.data();
  for (const std::string_view piece : APieces) {
    if (!piece.empty()) std::memcpy(out, piece.data(), piece.size());
    out += piece.size();
  }
  return line;
}

}  // namespace tolvane
