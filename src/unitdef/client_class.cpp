// Placeholder until the client class writer lands.
#include "unitdef/unit_definition.h"

namespace tolvane {

void TUnitDefinition::WriteClientClass(TLineList&) {}

}  // namespace tolvane
