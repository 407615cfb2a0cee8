#pragma once

// Delphi's two limits on source text: a line holds at most 1023 characters
// and a string literal at most 255. Free Pascal checks neither. Characters
// are counted as the unit's 8-bit code page holds them: one per UTF-8
// character. Besides, control characters from a document are kept out of the
// source text, where the compilers take Ctrl-Z for the end of the file.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "unitdef/code_printer.h"

namespace tolvane {

constexpr size_t kMaxLineLength = 1023;
constexpr size_t kMaxLiteralLength = 255;
// The widest piece of a literal that FitLiterals writes when asked to keep
// pieces narrow: #$FFFD is one character of a literal but six of a line, so
// 255 characters can be too wide for any line.
constexpr size_t kMaxLiteralPieceWidth = 512;

// The characters of a UTF-8 text.
size_t CharacterCount(std::string_view AText);

// The line with every string literal of more than kMaxLiteralLength
// characters split into pieces joined with " + " ('a...' + 'b...'). A literal
// is a run of quoted parts and #nn characters without blanks between them, as
// in 'a'#13#10'b'; a doubled quote and a #nn character count as one character.
// A control character inside the quotes is written as a #nn character; one
// in a comment becomes a blank. With ANarrowPieces, a literal wider than
// kMaxLiteralPieceWidth characters of the line is split too, into pieces no
// wider than that, so that the line can be broken between them.
std::string FitLiterals(std::string_view ALine, bool ANarrowPieces = false);

// The line as lines of at most kMaxLineLength characters: a comment line
// ("// " after the indent) is broken at blanks into comment lines with the
// same start; a code line is broken at blanks outside literals and comments,
// its further lines indented by four more blanks. A shorter line comes back
// as it is.
std::vector<std::string> WrapLine(std::string_view ALine);

// Both, on every line that passes: each line goes on to the next sink as
// one or more lines within the limits. Literals are split into narrow pieces
// only where a line cannot be broken within the limit otherwise.
class TDelphiLimitsFilter final : public TLineSink {
 public:
  explicit TDelphiLimitsFilter(TLineSink& ANext) : FNext(ANext) {}
  using TLineSink::Line;
  void Line(std::span<const std::string_view> APieces) override;

 private:
  // The pieces as one text, in a buffer kept from line to line.
  std::string_view Join(std::span<const std::string_view> APieces);

  TLineSink& FNext;
  std::unique_ptr<char[]> FBuffer;
  size_t FCapacity = 0;
};

// The same on every line of a list.
void FitDelphiLimits(TLineList& ALines);

}  // namespace tolvane
