#include "unitdef/delphi_limits.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/byte_scan.h"
#include "platform/utf8.h"

namespace tolvane {

namespace {

constexpr std::string_view kContinuationIndent = "    ";

// The control characters as #nn characters of a literal.
constexpr std::array<std::string_view, 32> kControlCharacters = {
    "#0",  "#1",  "#2",  "#3",  "#4",  "#5",  "#6",  "#7",  "#8",  "#9",  "#10",
    "#11", "#12", "#13", "#14", "#15", "#16", "#17", "#18", "#19", "#20", "#21",
    "#22", "#23", "#24", "#25", "#26", "#27", "#28", "#29", "#30", "#31"};

size_t Indent(std::string_view ALine) {
  const size_t indent = ALine.find_first_not_of(' ');
  return indent == std::string_view::npos ? ALine.size() : indent;
}

bool IsCommentLine(std::string_view ALine) { return ALine.substr(Indent(ALine)).starts_with("//"); }

bool StartsControlCharacter(std::string_view ALine, size_t APos) {
  if (ALine[APos] != '#' || APos + 1 >= ALine.size()) return false;
  const char next = ALine[APos + 1];
  return (next >= '0' && next <= '9') || next == '$';
}

// The end of the comment that starts at APos, or APos when none does.
size_t CommentEnd(std::string_view ALine, size_t APos) {
  if (ALine.substr(APos).starts_with("//")) return ALine.size();
  if (ALine[APos] == '{') {
    const size_t close = ALine.find('}', APos);
    return close == std::string_view::npos ? ALine.size() : close + 1;
  }
  if (ALine.substr(APos).starts_with("(*")) {
    const size_t close = ALine.find("*)", APos + 2);
    return close == std::string_view::npos ? ALine.size() : close + 2;
  }
  return APos;
}

// One character of a literal as it is written: a character of a quoted part
// ("''" for a quote) or a #nn character.
struct TLiteralCharacter {
  std::string_view Text;
  bool Control = false;
};

// Reads the literal that starts at a position character by character: its
// quoted parts and #nn characters up to the first other character.
class TLiteralReader {
 public:
  TLiteralReader(std::string_view ALine, size_t APos) : FLine(ALine), FPos(APos) {}

  bool Next(TLiteralCharacter& ACharacter) {
    while (FPos < FLine.size()) {
      if (FQuoted) {
        if (FLine[FPos] == '\'') {
          if (FPos + 1 < FLine.size() && FLine[FPos + 1] == '\'') {
            ACharacter = {FLine.substr(FPos, 2), false};
            FPos += 2;
            return true;
          }
          ++FPos;
          FQuoted = false;
          continue;
        }
        const auto byte = static_cast<unsigned char>(FLine[FPos]);
        if (byte < 0x20) {
          // A control character inside the quotes is written as #nn.
          ACharacter = {kControlCharacters[byte], true};
          FRewritten = true;
          ++FPos;
          return true;
        }
        const size_t length = Utf8CharacterLength(FLine, FPos);
        ACharacter = {FLine.substr(FPos, length), false};
        FPos += length;
        return true;
      }
      if (FLine[FPos] == '\'') {
        ++FPos;
        FQuoted = true;
      } else if (StartsControlCharacter(FLine, FPos)) {
        size_t end = FPos + 1;
        while (end < FLine.size() && (std::isxdigit(static_cast<unsigned char>(FLine[end])) || FLine[end] == '$')) {
          ++end;
        }
        ACharacter = {FLine.substr(FPos, end - FPos), true};
        FPos = end;
        return true;
      } else {
        return false;
      }
    }
    return false;
  }

  size_t Position() const { return FPos; }
  // Whether a character read so far is written differently than it stands.
  bool Rewritten() const { return FRewritten; }

 private:
  std::string_view FLine;
  size_t FPos;
  bool FQuoted = false;
  bool FRewritten = false;
};

// The end of the literal that starts at APos, its number of characters, and
// whether it holds a control character inside its quotes.
size_t LiteralEnd(std::string_view ALine, size_t APos, size_t& ACount, bool& AControls) {
  TLiteralReader reader(ALine, APos);
  TLiteralCharacter character;
  ACount = 0;
  while (reader.Next(character)) ++ACount;
  AControls = reader.Rewritten();
  return reader.Position();
}

bool IsControlByte(char c) { return static_cast<unsigned char>(c) < 0x20; }

// Whether a comment ("//", "{", "(*"), a literal ("'", "#nn") or a control
// character may start at a byte.
bool MayStartSomething(char c) {
  return c == '\'' || c == '#' || c == '/' || c == '{' || c == '(' || IsControlByte(c);
}

// The text with every control character as a blank.
void AppendBlankingControls(std::string& AOut, std::string_view AText) {
  for (const char c : AText) AOut += IsControlByte(c) ? ' ' : c;
}

// Breaks AText into pieces of at most AWidth characters at blanks (dropped
// at the break), or within a word that is longer than AWidth.
std::vector<std::string_view> BreakText(std::string_view AText, size_t AWidth) {
  std::vector<std::string_view> pieces;
  size_t pos = 0;
  while (true) {
    size_t end = pos;
    for (size_t count = 0; end < AText.size() && count < AWidth; ++count) end += Utf8CharacterLength(AText, end);
    if (end >= AText.size()) break;
    // The last blank within the piece, or the next one right after it.
    size_t blank = end;
    while (blank > pos && AText[blank] != ' ') --blank;
    if (blank == pos) {
      pieces.push_back(AText.substr(pos, end - pos));
      pos = end;
    } else {
      pieces.push_back(AText.substr(pos, blank - pos));
      pos = blank + 1;
    }
  }
  pieces.push_back(AText.substr(pos));
  return pieces;
}

// The parts of a code line between blanks that stand outside literals and
// comments, without the indent.
std::vector<std::string_view> CodeSegments(std::string_view ALine) {
  std::vector<std::string_view> segments;
  size_t start = std::string_view::npos;
  size_t pos = Indent(ALine);
  while (pos < ALine.size()) {
    if (ALine[pos] == ' ') {
      if (start != std::string_view::npos) segments.push_back(ALine.substr(start, pos - start));
      start = std::string_view::npos;
      ++pos;
      continue;
    }
    if (start == std::string_view::npos) start = pos;
    if (const size_t end = CommentEnd(ALine, pos); end != pos) {
      pos = end;
    } else if (ALine[pos] == '\'' || StartsControlCharacter(ALine, pos)) {
      size_t count;
      bool controls;
      pos = LiteralEnd(ALine, pos, count, controls);
    } else {
      ++pos;
    }
  }
  if (start != std::string_view::npos) segments.push_back(ALine.substr(start));
  return segments;
}

}  // namespace

size_t CharacterCount(std::string_view AText) { return Utf8CharacterCount(AText); }

std::string FitLiterals(std::string_view ALine, bool ANarrowPieces) {
  const size_t maxWidth = ANarrowPieces ? kMaxLiteralPieceWidth : std::string_view::npos;
  std::string out;
  out.reserve(ALine.size() + 16);
  if (IsCommentLine(ALine)) {
    AppendBlankingControls(out, ALine);
    return out;
  }
  size_t pos = 0;
  while (pos < ALine.size()) {
    // Characters that start no comment, literal or control character are
    // copied as a run.
    size_t plain = pos;
    while (plain < ALine.size() && !MayStartSomething(ALine[plain])) ++plain;
    out.append(ALine.substr(pos, plain - pos));
    pos = plain;
    if (pos == ALine.size()) break;
    if (const size_t end = CommentEnd(ALine, pos); end != pos) {
      AppendBlankingControls(out, ALine.substr(pos, end - pos));
      pos = end;
      continue;
    }
    if (ALine[pos] != '\'' && !StartsControlCharacter(ALine, pos)) {
      out += IsControlByte(ALine[pos]) ? ' ' : ALine[pos];
      ++pos;
      continue;
    }
    size_t count;
    bool controls;
    const size_t end = LiteralEnd(ALine, pos, count, controls);
    const std::string_view literal = ALine.substr(pos, end - pos);
    if (count <= kMaxLiteralLength && !controls && (!ANarrowPieces || CharacterCount(literal) <= maxWidth)) {
      out.append(literal);
    } else {
      // Pieces of at most kMaxLiteralLength characters (and maxWidth
      // characters of the line, quotes included), each a literal of its own.
      TLiteralReader reader(ALine, pos);
      TLiteralCharacter character;
      bool quoted = false;
      size_t inPiece = 0;
      size_t pieceWidth = 0;
      while (reader.Next(character)) {
        const size_t width = CharacterCount(character.Text);
        if (inPiece == kMaxLiteralLength || (inPiece > 0 && pieceWidth + width + 2 > maxWidth)) {
          if (quoted) out += '\'';
          quoted = false;
          out.append(" + ");
          inPiece = 0;
          pieceWidth = 0;
        }
        if (character.Control == quoted) {
          out += '\'';
          quoted = !quoted;
          ++pieceWidth;
        }
        out.append(character.Text);
        ++inPiece;
        pieceWidth += width;
      }
      if (quoted) out += '\'';
    }
    pos = end;
  }
  return out;
}

std::vector<std::string> WrapLine(std::string_view ALine) {
  std::vector<std::string> lines;
  if (CharacterCount(ALine) <= kMaxLineLength) {
    lines.emplace_back(ALine);
    return lines;
  }
  if (IsCommentLine(ALine)) {
    // "<indent>// " starts every line of the comment.
    size_t start = Indent(ALine) + 2;
    if (start < ALine.size() && ALine[start] == ' ') ++start;
    const std::string_view prefix = ALine.substr(0, start);
    for (const std::string_view piece : BreakText(ALine.substr(start), kMaxLineLength - prefix.size())) {
      lines.push_back(std::string(prefix).append(piece));
    }
    return lines;
  }
  const std::string indent(Indent(ALine), ' ');
  std::string line = indent;
  size_t length = indent.size();
  for (const std::string_view segment : CodeSegments(ALine)) {
    const size_t segmentLength = CharacterCount(segment);
    const bool first = length == indent.size() && lines.empty();
    if (!first && length + 1 + segmentLength > kMaxLineLength) {
      lines.push_back(std::move(line));
      line = indent + std::string(kContinuationIndent);
      length = line.size();
    } else if (!first) {
      line += ' ';
      ++length;
    }
    line.append(segment);
    length += segmentLength;
  }
  lines.push_back(std::move(line));
  return lines;
}

std::string_view TDelphiLimitsFilter::Join(std::span<const std::string_view> APieces) {
  size_t length = 0;
  for (const std::string_view piece : APieces) length += piece.size();
  // A document's text can make one line hundreds of megabytes long; a buffer
  // grown for such a line goes at the next line that fits a small one.
  constexpr size_t kKeptCapacity = size_t{64} << 10;
  if (length > FCapacity || (FCapacity > kKeptCapacity && length <= kKeptCapacity)) {
    FCapacity = length > FCapacity ? std::max(length, 2 * FCapacity) : kKeptCapacity;
    FBuffer = std::make_unique_for_overwrite<char[]>(FCapacity);
  }
  size_t size = 0;
  for (const std::string_view piece : APieces) {
    CopyBytes(FBuffer.get() + size, piece);
    size += piece.size();
  }
  return {FBuffer.get(), size};
}

namespace {

// Whether the line the pieces make is a comment line: "//" after its blanks.
bool StartsComment(std::span<const std::string_view> APieces) {
  size_t seen = 0;
  for (const std::string_view piece : APieces) {
    for (const char c : piece) {
      if (seen == 0 && c == ' ') continue;
      if (c != '/') return false;
      if (++seen == 2) return true;
    }
  }
  return false;
}

}  // namespace

void TDelphiLimitsFilter::Line(std::span<const std::string_view> APieces) {
  // A line of printable ASCII within the limits goes on as it is: a short
  // line, or a comment line that fits a line (no literal in it is read).
  // The next sink tests it as it copies it, so most lines are never joined.
  size_t length = 0;
  for (const std::string_view piece : APieces) length += piece.size();
  if ((length <= kMaxLiteralLength + 2 || (length <= kMaxLineLength && StartsComment(APieces))) &&
      FNext.PrintableLine(APieces)) {
    return;
  }
  // The line is tested as one text, not piece by piece: most pieces are a
  // few bytes long.
  const std::string_view joined = Join(APieces);
  const bool controls = HasControlByte(joined);
  // A literal of 256 characters takes at least 258 bytes, a line of 1024
  // characters at least 1024 bytes.
  if (joined.size() <= kMaxLiteralLength + 2 && !controls) {
    FNext.Line(joined);
    return;
  }
  // FitLiterals leaves a comment line without control characters as it is.
  std::string fitted;
  std::string_view line = joined;
  if (controls || !IsCommentLine(joined)) {
    fitted = FitLiterals(joined);
    line = fitted;
  }
  if (line.size() <= kMaxLineLength) {
    FNext.Line(line);
    return;
  }
  std::vector<std::string> lines = WrapLine(line);
  const auto tooLong = [](const std::string& ALine) { return CharacterCount(ALine) > kMaxLineLength; };
  // A literal wider than a line leaves nowhere to break: split it narrower.
  if (std::any_of(lines.begin(), lines.end(), tooLong)) lines = WrapLine(FitLiterals(joined, true));
  for (const std::string& piece : lines) FNext.Line(piece);
}

void FitDelphiLimits(TLineList& ALines) {
  TLineList fitted;
  fitted.reserve(ALines.size());
  TLineCollector collector(fitted);
  TDelphiLimitsFilter filter(collector);
  for (const std::string& line : ALines) filter.Line(line);
  ALines.swap(fitted);
}

}  // namespace tolvane
