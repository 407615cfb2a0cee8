#pragma once

// The rule of --compilable: the resolved unit built from the API model
// (api_model.h), so that the client serves every operation of the document
// and every line compiles. Names follow the plan of name_plan.h (in document
// order), a type the unit cannot name is TJSONValue, values are converted to
// and from text, and the lines keep Delphi's limits.
//
// Serving, per operation: every effective parameter is sent where its "in"
// says (arrays joined by their collectionFormat: csv, ssv, tsv, pipes; multi
// repeats the parameter); the method is a function exactly when the result
// response has a schema, typed from it; a status outside 2xx raises the
// unit's exception class with the status code and the response text; the
// Authorization property goes out as the operation's security scheme says
// (apiKey under its name in its header or query, anything else as the
// Authorization header, as given).

#include <string>

#include "api/api_model.h"
#include "platform/console.h"
#include "unitdef/resolved_unit.h"

namespace tolvane {

// Logs "Processing", "Checking  references", "Creating source unit", a
// "class: X processed" or "skipped" line per class and "Missing scheme,
// using http as default", and one "Cycle through ancestors: ..." line per
// cycle of allOf ancestors. AFileName is the document's path as given; a
// non-empty AFilter writes only the class of that definition and no
// client, and fails with Exception "Class X not found" when no definition
// has that name.
TResolvedUnit ResolveApiUnit(const ApiDocument& ADocument, const std::string& AFileName,
                             const std::string& AFilter, const TLogProc& ALog);

// Resolves the unit and saves it (SaveResolvedUnit).
void SaveApiUnit(const ApiDocument& ADocument, const std::string& AFileName, const std::string& AFilter,
                 const TLogProc& ALog);

}  // namespace tolvane
