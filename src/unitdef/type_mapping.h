#pragma once

// Schema types to target type texts.

#include <string>
#include <string_view>

#include "unitdef/delphi_type.h"

namespace tolvane {

struct TSchema;
struct TItems;

std::string MapSimpleType(std::string_view AType, std::string_view AFormat);

// The target type of an operation parameter (schema, type, format, items) or
// of a response (schema, "", "", nullptr).
std::string MapSchemaType(const TSchema* ASchema, std::string_view AType,
                          std::string_view AFormat, const TItems* AItems);

}  // namespace tolvane
