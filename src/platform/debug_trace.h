#pragma once

// The debugger output channel of the ordering pass: a callback that takes
// one trace line. Linux has no debugger output, so a run passes none and the
// lines are dropped; tests and benchmarks pass their own.

#include <functional>
#include <string_view>

namespace tolvane {

using TTraceProc = std::function<void(std::string_view)>;

// Writes the line through ATrace, when there is one.
inline void OutputDebugString(const TTraceProc& ATrace, std::string_view ALine) {
  if (ATrace) ATrace(ALine);
}

}  // namespace tolvane
