#include "platform/console.h"

#include <cstdio>

namespace tolvane {

void WriteConsoleLine(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace tolvane
