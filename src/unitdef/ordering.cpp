// Placeholder until the renaming and ordering passes land.
#include "unitdef/unit_definition.h"

namespace tolvane {

void TUnitDefinition::MakeNamesUnique() {}
void TUnitDefinition::ResolveDependencies() {}

}  // namespace tolvane
