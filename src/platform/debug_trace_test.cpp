#include "platform/debug_trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvane {
namespace {

TEST(DebugTraceTest, SinkReceivesLinesUntilReplaced) {
  OutputDebugString("dropped by the default sink");
  std::vector<std::string> lines;
  const TTraceSink previous =
      SetTraceSink([&](std::string_view line) { lines.emplace_back(line); });
  EXPECT_FALSE(previous);
  OutputDebugString("first");
  OutputDebugString("");
  const TTraceSink mine = SetTraceSink({});
  EXPECT_TRUE(mine);
  OutputDebugString("after restoring the default");
  EXPECT_EQ(lines, (std::vector<std::string>{"first", ""}));
}

}  // namespace
}  // namespace tolvane
