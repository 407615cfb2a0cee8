#include "platform/console.h"

#include <cstdio>

namespace tolvane {

// Not flushed per line: the C library writes a terminal's output line by
// line and buffers a pipe's or a file's, and exit flushes the rest. A large
// document prints a line per class, and a flush per line cost tens of
// milliseconds of system calls.
void WriteConsoleLine(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace tolvane
