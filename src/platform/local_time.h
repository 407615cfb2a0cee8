#pragma once

#include <string>

namespace tolvane {

// The local date and time as "yyyy-mm-dd hh:nn:ss".
std::string LocalTimeStamp();

}  // namespace tolvane
