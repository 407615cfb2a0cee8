#include "unitdef/code_printer.h"

#include <algorithm>
#include <cstring>

#include "platform/byte_scan.h"

namespace tolvane {

bool TLineSink::PrintableLine(std::span<const std::string_view> APieces) {
  if (!std::all_of(APieces.begin(), APieces.end(), IsPrintableAscii)) return false;
  Line(APieces);
  return true;
}

void TCodePrinter::GrowBlanks(size_t AIndent) { FBlanks.assign(AIndent, ' '); }

void TCodePrinter::CommentLines(std::string_view AText) {
  // Most texts are one line: two library scans find no break in them.
  if (std::memchr(AText.data(), '\n', AText.size()) == nullptr &&
      std::memchr(AText.data(), '\r', AText.size()) == nullptr) {
    Line({"// ", AText});
    return;
  }
  // The next CR and the next LF, each searched again only once passed.
  const auto next = [&](char ABreak, size_t AFrom) {
    const size_t found = AText.find(ABreak, AFrom);
    return found == std::string_view::npos ? AText.size() : found;
  };
  size_t cr = next('\r', 0);
  size_t lf = next('\n', 0);
  size_t start = 0;
  while (start < AText.size()) {
    if (cr < start) cr = next('\r', start);
    if (lf < start) lf = next('\n', start);
    size_t end = std::min(cr, lf);
    Line({"// ", AText.substr(start, end - start)});
    // A CR LF pair is one break; a lone CR or LF is one break too.
    if (end + 1 < AText.size() && AText[end] == '\r' && AText[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

}  // namespace tolvane
