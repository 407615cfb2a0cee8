#pragma once

// The program's version, "major.minor", as the unit header and --version
// print it. CMake's project version is its one source.

#include <string_view>

namespace tolvane {

inline constexpr std::string_view kProgramVersion = TOLVANE_VERSION;

}  // namespace tolvane
