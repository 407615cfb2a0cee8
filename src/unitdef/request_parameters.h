#pragma once

// The lines of a client method that depend on its arguments. Each pass walks
// the arguments in their order and appends to the method's lines:
//   declarations of the loop and JSON array variables (in the var block),
//   creation of the JSON arrays of array body arguments (after the client
//   objects), and the lines that hand every argument to the request (after
//   the credentials, before the request is executed).

#include <string>
#include <vector>

#include "unitdef/signature.h"
#include "unitdef/unit_definition.h"

namespace tolvane {

void WriteArgumentDeclarations(TLineList& ALines, const TUnitDefinition& AWriter,
                               const TUnitDefinition::TParamList& AParams);

void WriteArgumentCreations(TLineList& ALines, const TUnitDefinition& AWriter,
                            const TUnitDefinition::TParamList& AParams);

// AConsumes is the operation's own consumes list. An optional argument without
// a presence test fails with Exception "Undefined datatype ...".
void WriteArgumentRequestLines(TLineList& ALines, const TUnitDefinition& AWriter,
                               const TUnitDefinition::TParamList& AParams,
                               const std::vector<std::string>& AConsumes);

}  // namespace tolvane
