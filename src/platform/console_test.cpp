#include "platform/console.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvane {
namespace {

using namespace std::string_literals;

TEST(ConsoleTest, WritesTextUnchangedAndLineBreak) {
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  WriteConsoleLine("Reading äpi €.json");
  WriteConsoleLine("");
  WriteConsoleLine("a\0b %s\r"s);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "Reading äpi €.json\n\na\0b %s\r\n"s);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace tolvane
