#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/console.h"

namespace tolvane {

// The value of the first class switch ("-c:Pet", "/CPet", "-c Pet" ...) among
// the arguments, or nothing when there is none.
std::optional<std::string> FindClassSwitch(const std::vector<std::string>& AArgs);

// One run of the program on its arguments (without the program name). Every
// line goes to AWriteLine; returns the exit status.
int RunCommandLine(const std::vector<std::string>& AArgs, const TLogProc& AWriteLine);

}  // namespace tolvane
