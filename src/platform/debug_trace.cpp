#include "platform/debug_trace.h"

#include <utility>

namespace tolvane {
namespace {

// The one piece of global state of the program: where trace lines go.
TTraceSink& Sink() {
  static TTraceSink sink;
  return sink;
}

}  // namespace

void OutputDebugString(std::string_view text) {
  const TTraceSink& sink = Sink();
  if (sink) sink(text);
}

TTraceSink SetTraceSink(TTraceSink sink) {
  return std::exchange(Sink(), std::move(sink));
}

}  // namespace tolvane
