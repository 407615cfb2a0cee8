#include "unitdef/code_printer.h"

#include <cstring>

namespace tolvane {

void TCodePrinter::GrowBlanks(size_t AIndent) { FBlanks.assign(AIndent, ' '); }

void TCodePrinter::Comment(std::string_view AText) {
  // Most texts are one line: two library scans find no break in them.
  if (std::memchr(AText.data(), '\n', AText.size()) == nullptr &&
      std::memchr(AText.data(), '\r', AText.size()) == nullptr) {
    if (!AText.empty()) Line({"// ", AText});
    return;
  }
  size_t start = 0;
  while (start < AText.size()) {
    size_t end = start;
    while (end < AText.size() && AText[end] != '\r' && AText[end] != '\n') ++end;
    Line({"// ", AText.substr(start, end - start)});
    // A CR LF pair is one break; a lone CR or LF is one break too.
    if (end + 1 < AText.size() && AText[end] == '\r' && AText[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

}  // namespace tolvane
