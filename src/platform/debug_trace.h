#pragma once

// The debugger output channel of the ordering pass. Linux has none, so the
// lines go to a replaceable sink that discards them by default; tests install
// a capturing sink.

#include <functional>
#include <string_view>

namespace tolvane {

using TTraceSink = std::function<void(std::string_view)>;

void OutputDebugString(std::string_view text);

// Installs a sink (an empty function restores the discarding default) and
// returns the previous one.
TTraceSink SetTraceSink(TTraceSink sink);

}  // namespace tolvane
