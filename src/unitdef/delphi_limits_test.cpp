// Delphi's line and literal limits: long literals split into pieces, long
// comment and code lines broken, everything else left alone.
#include "unitdef/delphi_limits.h"

#include <gtest/gtest.h>

namespace tolvane {
namespace {

std::string Repeated(const std::string& piece, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += piece;
  return text;
}

TEST(DelphiLimits, LongLiteralsAreSplitAndControlCharactersKeptOut) {
  const std::string a255 = Repeated("a", 255);
  const struct {
    std::string line;
    std::string fitted;
  } cases[] = {
      {"    Request.Resource := '" + a255 + "';", "    Request.Resource := '" + a255 + "';"},
      {"    Request.Resource := '" + a255 + "b';", "    Request.Resource := '" + a255 + "' + 'b';"},
      // A doubled quote is one character and is never cut in two.
      {"  X := '" + Repeated("a", 254) + "''b';", "  X := '" + Repeated("a", 254) + "''' + 'b';"},
      // #nn characters belong to the literal; a piece may start with one.
      {"  X := '" + a255 + "'#13#10'c';", "  X := '" + a255 + "' + #13#10'c';"},
      // A character of several bytes counts once.
      {"  X := '" + Repeated("\xC3\xA9", 255) + "';", "  X := '" + Repeated("\xC3\xA9", 255) + "';"},
      // Two literals on one line, each on its own.
      {"  F('" + a255 + "b', '" + a255 + "');", "  F('" + a255 + "' + 'b', '" + a255 + "');"},
      // Comments are not code.
      {"  // '" + a255 + "b'", "  // '" + a255 + "b'"},
      {"  X := 1; { '" + a255 + "b' }", "  X := 1; { '" + a255 + "b' }"},
      // Control characters: #nn inside quotes (Ctrl-Z would end the file),
      // blanks in comments.
      {"  X := 'a\x1A" "b\tc';", "  X := 'a'#26'b'#9'c';"},
      {"  // a\x1A" "b", "  // a b"},
      {"  X := 1; { a\x01 }", "  X := 1; { a  }"},
  };
  for (const auto& c : cases) EXPECT_EQ(FitLiterals(c.line), c.fitted) << c.line;
}

TEST(DelphiLimits, LongCommentLinesAreBrokenAtBlanks) {
  const std::string line = "    // " + Repeated("word ", 500);
  const std::vector<std::string> lines = WrapLine(line);
  ASSERT_EQ(lines.size(), 3u);
  std::string text;
  for (const std::string& piece : lines) {
    EXPECT_LE(CharacterCount(piece), kMaxLineLength);
    ASSERT_EQ(piece.rfind("    // ", 0), 0u) << piece;
    text += piece.substr(7) + " ";
  }
  EXPECT_EQ(text, Repeated("word ", 500) + " ");
  // A word longer than a line is cut.
  const std::vector<std::string> cut = WrapLine("// " + Repeated("\xC3\xA9", 3000));
  ASSERT_EQ(cut.size(), 3u);
  EXPECT_EQ(CharacterCount(cut[0]), kMaxLineLength);
  EXPECT_EQ(CharacterCount(cut[2]), 3 + 3000 - 2 * (kMaxLineLength - 3));
}

TEST(DelphiLimits, LongCodeLinesAreBrokenOutsideLiteralsAndComments) {
  std::string arguments;
  for (int i = 0; i < 60; ++i) arguments += (i ? "; " : "") + std::string("argument_number_") + std::to_string(i) + " : string";
  const std::string declaration = "    procedure find(" + arguments + ");";
  const std::vector<std::string> lines = WrapLine(declaration);
  ASSERT_GT(lines.size(), 1u);
  std::string joined;
  for (const std::string& piece : lines) {
    EXPECT_LE(piece.size(), kMaxLineLength);
    joined += (joined.empty() ? "" : " ") + piece.substr(piece.find_first_not_of(' '));
  }
  EXPECT_EQ("    " + joined, declaration);
  EXPECT_EQ(lines[1].rfind("        ", 0), 0u);  // four more blanks

  // Blanks inside literals and comments are no places to break.
  const std::string literal = "'" + Repeated("a b ", 200) + "'";
  const std::string comment = "{" + Repeated("c d ", 200) + "}";
  const std::vector<std::string> kept = WrapLine("  X := " + literal + " + " + comment + ";");
  EXPECT_EQ(kept, (std::vector<std::string>{"  X := " + literal + " +", "      " + comment + ";"}));
}

TEST(DelphiLimits, FitLeavesShortLinesAndSplitsLongOnes) {
  TLineList lines = {"unit x;", "", "    Request.Resource := '" + Repeated("segment/", 300) + "';",
                     "  // " + Repeated("z ", 600),
                     // Longer than the buffer the pass keeps between lines.
                     "  // " + Repeated("y ", 40000), "end."};
  FitDelphiLimits(lines);
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines.back(), "end.");
  EXPECT_EQ(lines[0], "unit x;");
  EXPECT_EQ(lines[1], "");
  for (const std::string& line : lines) EXPECT_LE(CharacterCount(line), kMaxLineLength) << line;
  EXPECT_EQ(lines[2].rfind("    Request.Resource := '" + Repeated("segment/", 31) + "segment' +", 0), 0u);

  // #$FFFD is one character of a literal and six of a line: a literal of 200
  // of them is split into pieces narrow enough to break the line between,
  // one of 100 fits and is left as it is.
  const std::string wide = "    [JSONName('q'#13#10" + Repeated("#$FFFD", 200) + ")]";
  const std::string fits = "    [JSONName('q'#13#10" + Repeated("#$FFFD", 100) + ")]";
  TLineList escaped = {wide, fits};
  FitDelphiLimits(escaped);
  ASSERT_EQ(escaped.size(), 3u);
  EXPECT_EQ(escaped[2], fits);
  std::string rejoined = escaped[0] + " " + escaped[1].substr(escaped[1].find_first_not_of(' '));
  for (const std::string& line : escaped) EXPECT_LE(line.size(), kMaxLineLength);
  for (size_t at; (at = rejoined.find(" + ")) != std::string::npos;) rejoined.erase(at, 3);
  EXPECT_EQ(rejoined, wide);
}

}  // namespace
}  // namespace tolvane
