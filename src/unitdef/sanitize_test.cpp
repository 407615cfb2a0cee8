#include "unitdef/sanitize.h"

#include <gtest/gtest.h>

#include "unitdef/delphi_type.h"

namespace tolvane {
namespace {

TEST(SanitizeIdentifierTest, ReplacesEveryOtherCharacter) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"Pet_Store2", "Pet_Store2"},
      {"&type", "&type"},
      {"a&b", "a_b"},
      {"&&", "&_"},
      {"a;end;implementation{}initialization{}Halt;end.{",
       "a_end_implementation__initialization__Halt_end__"},
      {"a b\tc\r\nd", "a_b_c__d"},
      {"'quote'", "_quote_"},
      {"\xC3\x80\xC3\xBF\xC3\xB6", "\xC3\x80\xC3\xBF\xC3\xB6"},  // À ÿ ö stay
      {"a\xC3\x97" "b\xC3\xB7" "c", "a_b_c"},                     // × ÷ become "_"
      {"\xC5\x92\xC5\x93\xC5\xA0\xC5\xA1\xC5\xB8\xC5\xBD\xC5\xBE\xC6\x92",
       "\xC5\x92\xC5\x93\xC5\xA0\xC5\xA1\xC5\xB8\xC5\xBD\xC5\xBE\xC6\x92"},  // Œœ Šš Ÿ Žž ƒ
      {"\xE2\x82\xAC", "_"},                                      // € is one character
      {"\xF0\x9F\x90\xB6x", "_x"},                                // so is 🐶
      {"\xD0\xB0", "_"},                                          // Cyrillic а
      {"\xC2\xA0", "_"},                                          // no-break space
      {"\xFF\x80", "_"},  // stray bytes (never inside the program) step as one character
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SanitizeIdentifier(c.text), c.expected) << c.text;
}

TEST(SanitizeTypeTextTest, KeepsArrayBracketsAndTheUnknownMark) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"TArray<TTag>", "TArray<TTag>"},
      {"TArray<TArray<string>>", "TArray<TArray<string>>"},
      {"TArray<>", "TArray<>"},
      {"???", "???"},
      {"TArray<??" "?>", "TArray<??" "?>"},  // split: no trigraph
      {"TArray<Ta;b>", "TArray<Ta_b>"},
      {"TArray<a>b>", "TArray<a_b>"},
      {"TArray<", "TArray_"},
      {"tarray<x>", "tarray_x_"},
      {"Ta>;end.{", "Ta__end__"},
      {"&type", "_type"},
      {"????", "____"},
      {"TDateTime", "TDateTime"},
  };
  for (const auto& c : cases) EXPECT_EQ(SanitizeTypeText(c.text), c.expected) << c.text;
}

TEST(SanitizeTypeTextTest, DeepNestingNeedsNoRecursion) {
  std::string text;
  const int depth = 200000;
  for (int i = 0; i < depth; ++i) text += "TArray<";
  text += "x;y";
  text.append(depth, '>');
  std::string expected = text;
  expected[depth * 7 + 1] = '_';
  EXPECT_EQ(SanitizeTypeText(text), expected);
}

TEST(QuoteLiteralTest, QuotesAndJoinsLineBreaks) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"", "''"},
      {"abc", "'abc'"},
      {"it's", "'it''s'"},
      {"''", "''''''"},
      {"a\r\nb", "'a'#13#10'b'"},
      {"a\n", "'a'#10"},
      {"\na", "#10'a'"},
      {"\r", "#13"},
      {"a'\nb'", "'a'''#10'b'''"},
      {"/pet/{petId}", "'/pet/{petId}'"},
  };
  for (const auto& c : cases) EXPECT_EQ(QuoteLiteral(c.text), c.expected) << c.text;
}

TEST(CommentTextTest, LineBreaksBecomeBlanks) {
  EXPECT_EQ(CommentText("a\r\nb\rc\nd"), "a  b c d");
  EXPECT_EQ(CommentText("plain text"), "plain text");
  EXPECT_EQ(CommentText(""), "");
}

}  // namespace
}  // namespace tolvane
