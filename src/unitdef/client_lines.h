#pragma once

// Appending one line of generated text from its pieces, with the line's
// storage sized once: the client writers append about a million lines for a
// large document.

#include <initializer_list>
#include <string>
#include <string_view>

#include "unitdef/unit_definition.h"

namespace tolvane {

inline void AppendLine(TLineList& ALines, std::initializer_list<std::string_view> APieces) {
  size_t size = 0;
  for (const std::string_view piece : APieces) size += piece.size();
  std::string& line = ALines.emplace_back();
  line.reserve(size);
  for (const std::string_view piece : APieces) line.append(piece);
}

}  // namespace tolvane
