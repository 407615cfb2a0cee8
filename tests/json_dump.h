#pragma once

#include <string>

#include "swagger/json_tree.h"

namespace tolvane::testing {

// The tree written back in a compact form that shows kinds: strings in
// quotes, numbers as written, members in order.
inline std::string Dump(const JsonValue& AValue) {
  switch (AValue.Kind()) {
    case JsonKind::Null:
      return "null";
    case JsonKind::False:
      return "false";
    case JsonKind::True:
      return "true";
    case JsonKind::Number:
      return std::string(AValue.Text());
    case JsonKind::String:
      return "\"" + std::string(AValue.Text()) + "\"";
    case JsonKind::Object: {
      std::string text = "{";
      for (const JsonMember member : AValue.Members()) {
        if (text.size() > 1) text += ",";
        text += std::string(member.key) + ":" + Dump(member.value());
      }
      return text + "}";
    }
    case JsonKind::Array: {
      std::string text = "[";
      for (const JsonValue element : AValue.Elements()) {
        if (text.size() > 1) text += ",";
        text += Dump(element);
      }
      return text + "]";
    }
    case JsonKind::Key:
      break;
  }
  return "?";
}

}  // namespace tolvane::testing
