// The tolvane program: one conversion per start (see RunCommandLine).

#include <string>
#include <vector>

#include "main/allocator.h"
#include "main/command_line.h"
#include "platform/console.h"
#include "platform/keep_until_exit.h"

int main(int argc, char** argv) {
  tolvane::SetUpAllocator();
  const std::vector<std::string> args(argv + 1, argv + argc);
  // The process ends right after the run: its models go with it.
  tolvane::KeepDiscardedUntilExit();
  return tolvane::RunCommandLine(args, tolvane::WriteConsoleLine);
}
