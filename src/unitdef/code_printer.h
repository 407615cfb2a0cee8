#pragma once

// The one way lines of the unit are appended: a printer over a line sink
// with a scoped indent, so that a writer reads like the code it writes.
//
//   printer.Line("try");
//   {
//     const TIndented body(printer);
//     printer.Line({"Request.Method := ", method, ";"});
//   }
//
// A line goes to the sink as its pieces, so that a sink can take them without
// building the line first: a large document's unit has millions of lines,
// and a document's text can make one line hundreds of megabytes long.

#include <array>
#include <cassert>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "unitdef/line_text.h"

namespace tolvane {

// Lines in order, without line breaks.
using TLineList = std::vector<std::string>;

// Where the printer's lines go, in order: the unit's file (unit_text.h) or a
// line list.
class TLineSink {
 public:
  virtual ~TLineSink() = default;
  // One line: the pieces in order.
  virtual void Line(std::span<const std::string_view> APieces) = 0;
  void Line(std::string_view ALine) { Line(std::span<const std::string_view>(&ALine, 1)); }
  // The line, returning true, when every byte of it is 0x20 to 0x7F (no
  // control character, nothing to encode); otherwise nothing, returning
  // false. A sink that copies the pieces anyway tests them as it copies.
  virtual bool PrintableLine(std::span<const std::string_view> APieces);
};

// Appends every line to a line list.
class TLineCollector final : public TLineSink {
 public:
  explicit TLineCollector(TLineList& ALines) : FLines(ALines) {}
  using TLineSink::Line;
  void Line(std::span<const std::string_view> APieces) override { FLines.push_back(JoinPieces(APieces)); }

 private:
  TLineList& FLines;
};

class TCodePrinter {
 public:
  explicit TCodePrinter(TLineSink& ASink) : FSink(ASink) {}

  // The current indent followed by the pieces.
  void Line(std::initializer_list<std::string_view> APieces) {
    assert(APieces.size() < FParts.size());
    size_t count = 0;
    if (FIndent > 0) FParts[count++] = Blanks(FIndent);
    for (const std::string_view piece : APieces) FParts[count++] = piece;
    FSink.Line(std::span<const std::string_view>(FParts.data(), count));
  }
  void Line(std::string_view AText) { Line({AText}); }
  void Lines(const std::vector<std::string>& ATexts) {
    for (const std::string& text : ATexts) Line(text);
  }
  // An empty line, whatever the indent.
  void Blank() { FSink.Line(std::string_view()); }
  // "// " + text at the current indent, one line per line of the text (a CR
  // LF pair, a lone CR and a lone LF each end a line); nothing for no text.
  void Comment(std::string_view AText) {
    if (!AText.empty()) CommentLines(AText);
  }
  void Comments(const std::vector<std::string>& ATexts) {
    for (const std::string& text : ATexts) Comment(text);
  }

  size_t Indent() const { return FIndent; }
  void SetIndent(size_t AIndent) { FIndent = AIndent; }

 private:
  // AIndent blanks; every indented line takes them.
  std::string_view Blanks(size_t AIndent) {
    if (FBlanks.size() < AIndent) GrowBlanks(AIndent);
    return std::string_view(FBlanks.data(), AIndent);
  }
  void GrowBlanks(size_t AIndent);
  void CommentLines(std::string_view AText);

  TLineSink& FSink;
  size_t FIndent = 0;
  std::string FBlanks;
  // The pieces of the line being written, kept so that no line pays for
  // clearing an array of its own.
  std::array<std::string_view, 24> FParts;
};

// Two blanks more (or ABlanks) for the lifetime of the object.
class TIndented {
 public:
  explicit TIndented(TCodePrinter& APrinter, size_t ABlanks = 2) : FPrinter(APrinter), FBlanks(ABlanks) {
    FPrinter.SetIndent(FPrinter.Indent() + FBlanks);
  }
  ~TIndented() { FPrinter.SetIndent(FPrinter.Indent() - FBlanks); }
  TIndented(const TIndented&) = delete;
  TIndented& operator=(const TIndented&) = delete;

 private:
  TCodePrinter& FPrinter;
  size_t FBlanks;
};

}  // namespace tolvane
