// Placeholder until the client method writer lands.
#include "unitdef/unit_definition.h"

namespace tolvane {

void TUnitDefinition::WriteClientMethods(TLineList&) {}

}  // namespace tolvane
