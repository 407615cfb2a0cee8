#include "unitdef/unit_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace tolvane {
namespace {

// A line that is not all printable ASCII is refused whole, wherever the
// byte that stops it lies, and leaves the text as it was; the same line then
// goes through Line, which encodes it.
TEST(UnitTextTest, APrintableLineIsTakenWholeOrNotAtAll) {
  TUnitText text;
  const std::vector<std::string_view> plain = {"  ", "// ", "a comment"};
  EXPECT_TRUE(text.PrintableLine(plain));
  const std::string before(text.Bytes());
  EXPECT_EQ(before, "  // a comment\r\n");
  const std::vector<std::vector<std::string_view>> refused = {
      {"  ", "// caf\xC3\xA9"}, {"a\tb"}, {"x", "", std::string_view("\0", 1)}};
  for (const std::vector<std::string_view>& pieces : refused) {
    EXPECT_FALSE(text.PrintableLine(pieces));
    EXPECT_EQ(text.Bytes(), before);
  }
  EXPECT_EQ(text.LineCount(), 1u);
  text.Line(refused[0]);
  EXPECT_EQ(text.Bytes(), before + "  // caf\xE9\r\n");
}

}  // namespace
}  // namespace tolvane
