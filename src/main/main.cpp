// The tolvane program: one conversion per start (see RunCommandLine).

#include <string>
#include <vector>

#include "main/command_line.h"
#include "platform/console.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return tolvane::RunCommandLine(args, tolvane::WriteConsoleLine);
}
