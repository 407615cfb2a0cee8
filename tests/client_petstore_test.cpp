// The bundled example document converted without the class switch, compared
// line for line with the reviewed unit kept beside the tests.
#include <gtest/gtest.h>

#include "client_test_support.h"

namespace tolvane::testing {
namespace {

TEST(ClientPetstoreTest, WholeUnitAsReviewed) {
  const std::string source = TOLVANE_SOURCE_DIR;
  const TClientRun run = RunTolvane(ReadBytes(source + "/examples/petstore.json"), "petstore.json");
  ASSERT_TRUE(run.Written) << run.Output;
  EXPECT_EQ(run.Errors, "");
  const std::vector<std::string> expected = ReadUnitLines(source + "/tests/expected/petstore.pas");
  ASSERT_EQ(expected.size(), 462u);
  ASSERT_EQ(expected[1], HeaderLine());
  ASSERT_EQ(run.Lines.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(run.Lines[i], expected[i]) << "line " << i + 1;
  }
  const std::string log =
      "class: Kind processed\nclass: Label processed\nclass: Pet processed\n"
      "class: Address processed\nclass: Order processed\nclass: Owner processed\n"
      "Writing source file\nDone\n";
  ASSERT_GE(run.Output.size(), log.size());
  EXPECT_EQ(run.Output.substr(run.Output.size() - log.size()), log);
}

}  // namespace
}  // namespace tolvane::testing
