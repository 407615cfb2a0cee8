#include "unitdef/code_printer.h"

#include <gtest/gtest.h>

namespace tolvane {
namespace {

using Lines = std::vector<std::string>;

TEST(CodePrinterTest, CommentsSplitAtEveryLineBreak) {
  const struct {
    const char* text;
    int indent;
    Lines expected;
  } cases[] = {
      {"", 2, {}},
      {"A pet for sale", 2, {"  // A pet for sale"}},
      {"one\r\ntwo", 4, {"    // one", "    // two"}},
      {"one\rtwo\nthree", 0, {"// one", "// two", "// three"}},
      {"ends in a break\r\n", 2, {"  // ends in a break"}},
      {"one\n\ntwo", 2, {"  // one", "  // ", "  // two"}},
      {"\n", 2, {"  // "}},
      {"\n\r", 2, {"  // ", "  // "}},
      {"a\r\r\nb", 2, {"  // a", "  // ", "  // b"}},
  };
  for (const auto& c : cases) {
    Lines lines{"before"};
    TLineCollector collector(lines);
    TCodePrinter printer(collector);
    printer.SetIndent(static_cast<size_t>(c.indent));
    printer.Comment(c.text);
    Lines expected{"before"};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    EXPECT_EQ(lines, expected) << c.text;
  }
}

TEST(CodePrinterTest, ScopedIndent) {
  Lines lines;
  TLineCollector collector(lines);
  TCodePrinter printer(collector);
  printer.Line("begin");
  {
    const TIndented body(printer);
    printer.Line({"if ", "x", " then"});
    {
      const TIndented inner(printer, 4);
      printer.Blank();
      printer.Lines({"a;", "b;"});
    }
    printer.Line("end;");
  }
  printer.Line("end.");
  EXPECT_EQ(lines, (Lines{"begin", "  if x then", "", "      a;", "      b;", "  end;", "end."}));
}

}  // namespace
}  // namespace tolvane
