#pragma once

#include <functional>
#include <string>

namespace tolvane {

// Receives one progress or failure line, without its line break.
using TLogProc = std::function<void(const std::string&)>;

// Writes the text and "\n" to standard output and flushes.
void WriteConsoleLine(const std::string& text);

}  // namespace tolvane
