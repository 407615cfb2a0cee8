#pragma once

// The check that holds a unit against its document: does the client serve
// every operation completely? Its expectations come straight from the raw
// JSON tree, by a deliberately plain reading of the document that shares no
// code with the program's readers, so that it catches their faults.
//
// An operation is every get, put, post, delete and patch of a path item
// (also one reached through the item's "$ref"). For each it counts:
// - a method whose Request.Method and Request.Resource are the operation's;
// - that the method is a function exactly when the operation has a result
//   (response "200", else the lowest 2xx, after "$ref", has a "schema");
// - every effective parameter (the path item's and the operation's, the
//   operation's winning on name and in, after "$ref"; a parameter without
//   a name or with an unknown "in" is none) sent under its JSON name:
//   Request.AddParameter with that name and the kind its "in" gives, or
//   Request.Params.AddItem for form data; a body parameter by AddBody (or
//   as a parameter of the kind pkREQUESTBODY, which the request sends as
//   its body);
// - credentials where the operation requires them (its own "security",
//   an empty array meaning none, else the document's; the first scheme of
//   the first requirement, when securityDefinitions has it): an apiKey
//   under its name in its header or query, anything else as the
//   Authorization header, the value taken from the Authorization property.

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"
#include "swagger/json_tree.h"

namespace tolvane::testing {

struct TCompleteness {
  size_t Operations = 0;      // served operations of the document
  size_t Matched = 0;         // with a method of their Request.Method and Request.Resource
  size_t ResultsRight = 0;    // matched, and a function exactly when there is a result
  size_t Parameters = 0;      // effective parameters of all operations
  size_t ParametersSent = 0;  // sent under their name by their operation's method
  size_t Secured = 0;         // operations that require credentials
  size_t SecuredSent = 0;     // whose method sends them

  bool Complete() const {
    return Matched == Operations && ResultsRight == Operations && ParametersSent == Parameters &&
           SecuredSent == Secured;
  }
  std::string Text() const {
    const auto pair = [](size_t AHave, size_t AWant) {
      return std::to_string(AHave) + "/" + std::to_string(AWant);
    };
    return "operations " + pair(Matched, Operations) + ", results " +
           pair(ResultsRight, Operations) + ", parameters " + pair(ParametersSent, Parameters) +
           ", credentials " + pair(SecuredSent, Secured);
  }
};

namespace completeness {

inline bool IsDigit(char AChar) { return AChar >= '0' && AChar <= '9'; }
inline int HexValue(char AChar) {
  if (IsDigit(AChar)) return AChar - '0';
  if (AChar >= 'a' && AChar <= 'f') return AChar - 'a' + 10;
  if (AChar >= 'A' && AChar <= 'F') return AChar - 'A' + 10;
  return -1;
}

// --- The document side. ----------------------------------------------------

// The value a local reference names, or none. Pointer tokens are
// %-decoded, then ~1 and ~0.
inline std::optional<JsonValue> Pointer(const JsonValue& ARoot, std::string_view ARef) {
  if (ARef.rfind("#", 0) != 0) return std::nullopt;
  std::string fragment;
  for (size_t i = 1; i < ARef.size(); ++i) {
    if (ARef[i] == '%' && i + 2 < ARef.size() && HexValue(ARef[i + 1]) >= 0 &&
        HexValue(ARef[i + 2]) >= 0) {
      fragment += static_cast<char>(HexValue(ARef[i + 1]) * 16 + HexValue(ARef[i + 2]));
      i += 2;
    } else {
      fragment += ARef[i];
    }
  }
  JsonValue value = ARoot;
  size_t start = 1;
  while (start <= fragment.size() && !fragment.empty()) {
    size_t end = fragment.find('/', start);
    if (end == std::string::npos) end = fragment.size();
    std::string token;
    for (size_t i = start; i < end; ++i) {
      if (fragment[i] == '~' && i + 1 < end) {
        token += fragment[++i] == '0' ? '~' : '/';
      } else {
        token += fragment[i];
      }
    }
    std::optional<JsonValue> next;
    if (value.IsObject()) {
      next = value.FindMember(token);
    } else if (value.IsArray() && !token.empty() &&
               std::all_of(token.begin(), token.end(), IsDigit) && token.size() < 9) {
      size_t index = std::stoul(token);
      for (const JsonValue element : value.Elements()) {
        if (index-- == 0) {
          next = element;
          break;
        }
      }
    }
    if (!next) return std::nullopt;
    value = *next;
    start = end + 1;
  }
  return value;
}

// AValue with its "$ref" chain followed (a few dozen steps at most).
inline std::optional<JsonValue> Deref(const JsonValue& ARoot, JsonValue AValue) {
  for (int step = 0; step < 64; ++step) {
    const std::optional<JsonValue> ref = AValue.IsObject() ? AValue.FindMember("$ref") : std::nullopt;
    if (!ref || ref->Kind() != JsonKind::String) return AValue;
    const std::optional<JsonValue> target = Pointer(ARoot, ref->Text());
    if (!target) return std::nullopt;
    AValue = *target;
  }
  return std::nullopt;
}

inline std::string TextOf(const std::optional<JsonValue>& AValue) {
  return AValue && AValue->Kind() == JsonKind::String ? std::string(AValue->Text()) : std::string();
}

struct TExpectedParameter {
  std::string Name, In;
};

struct TExpectedOperation {
  std::string Method;  // upper case: GET
  std::string Path;
  bool HasResult = false;
  std::vector<TExpectedParameter> Parameters;
  std::optional<TExpectedParameter> Credentials;  // name and "header" or "query"
  std::optional<JsonValue> ResultSchema;  // the "schema" of the result, as written
  std::optional<TExpectedParameter> Body;  // the body parameter ("in" empty) with its schema
  std::optional<JsonValue> BodySchema;
};

inline void AddParameters(const JsonValue& ARoot, const std::optional<JsonValue>& AList,
                          std::vector<TExpectedParameter>& AInto, TExpectedOperation& AOperation) {
  if (!AList || !AList->IsArray()) return;
  for (const JsonValue element : AList->Elements()) {
    const std::optional<JsonValue> parameter = Deref(ARoot, element);
    if (!parameter || !parameter->IsObject()) continue;
    std::optional<JsonValue> name_value = parameter->FindMember("name");
    std::string name = name_value && name_value->Kind() == JsonKind::Number
                           ? std::string(name_value->Text())
                           : TextOf(name_value);
    const std::optional<JsonValue> in_value = parameter->FindMember("in");
    const std::string in = in_value ? TextOf(in_value) : "query";
    static const std::set<std::string> kLocations = {"path", "query", "header", "body", "formData"};
    if (name.empty() || kLocations.count(in) == 0) continue;
    const auto same = [&](const TExpectedParameter& p) { return p.Name == name && p.In == in; };
    const auto found = std::find_if(AInto.begin(), AInto.end(), same);
    if (found != AInto.end()) continue;
    AInto.push_back({name, in});
    if (in == "body" && !AOperation.Body) {
      AOperation.Body = TExpectedParameter{name, ""};
      AOperation.BodySchema = parameter->FindMember("schema");
    }
  }
}

inline std::vector<TExpectedOperation> ExpectedOperations(const JsonValue& ARoot) {
  std::vector<TExpectedOperation> operations;
  const std::optional<JsonValue> paths = ARoot.FindMember("paths");
  if (!paths || !paths->IsObject()) return operations;
  const std::optional<JsonValue> root_security = ARoot.FindMember("security");
  const std::optional<JsonValue> schemes = ARoot.FindMember("securityDefinitions");
  for (const JsonMember path : paths->Members()) {
    if (path.key.rfind("x-", 0) == 0 || !path.value().IsObject()) continue;
    // The item, then what its "$ref" chain leads to.
    std::vector<JsonValue> items = {path.value()};
    for (int step = 0; step < 64; ++step) {
      const std::optional<JsonValue> ref = items.back().FindMember("$ref");
      if (!ref) break;
      const std::optional<JsonValue> target = Pointer(ARoot, TextOf(ref));
      if (!target || !target->IsObject()) break;
      items.push_back(*target);
    }
    std::optional<JsonValue> path_parameters;
    for (const JsonValue& item : items) {
      if ((path_parameters = item.FindMember("parameters"))) break;
    }
    for (const char* method : {"get", "put", "post", "delete", "patch"}) {
      std::optional<JsonValue> operation;
      for (const JsonValue& item : items) {
        if ((operation = item.FindMember(method))) break;
      }
      if (!operation || !operation->IsObject()) continue;
      TExpectedOperation expected;
      for (const char* c = method; *c; ++c) expected.Method += static_cast<char>(::toupper(*c));
      expected.Path = path.key;
      // The operation's own parameters first, so that they win.
      AddParameters(ARoot, operation->FindMember("parameters"), expected.Parameters, expected);
      AddParameters(ARoot, path_parameters, expected.Parameters, expected);

      if (const std::optional<JsonValue> responses = operation->FindMember("responses");
          responses && responses->IsObject()) {
        std::optional<JsonMember> chosen;
        for (const JsonMember response : responses->Members()) {
          const bool success = response.key.size() == 3 && response.key[0] == '2' &&
                               IsDigit(response.key[1]) && IsDigit(response.key[2]);
          if (success && (!chosen || response.key == "200" ||
                          (chosen->key != "200" && response.key < chosen->key))) {
            chosen = response;
          }
        }
        if (chosen) {
          const std::optional<JsonValue> response = Deref(ARoot, chosen->value());
          expected.HasResult = response && response->IsObject() && response->FindMember("schema") &&
                               response->FindMember("schema")->IsObject();
          if (expected.HasResult) expected.ResultSchema = response->FindMember("schema");
        }
      }

      std::optional<JsonValue> security = operation->FindMember("security");
      if (!security || !security->IsArray()) security = root_security;
      std::optional<JsonValue> requirement;
      if (security && security->IsArray()) {
        for (const JsonValue element : security->Elements()) {
          if (element.IsObject()) {
            requirement = element;
            break;
          }
        }
      }
      const std::optional<JsonMember> first = requirement ? requirement->FirstMember() : std::nullopt;
      const std::optional<JsonValue> scheme =
          first && schemes && schemes->IsObject() ? schemes->FindMember(first->key) : std::nullopt;
      if (scheme && scheme->IsObject()) {
        const std::string type = TextOf(scheme->FindMember("type"));
        const std::string name = TextOf(scheme->FindMember("name"));
        const std::string in = TextOf(scheme->FindMember("in"));
        if (type == "apiKey" && !name.empty() && (in == "header" || in == "query")) {
          expected.Credentials = TExpectedParameter{name, in};
        } else {
          expected.Credentials = TExpectedParameter{"Authorization", "header"};
        }
      }
      operations.push_back(std::move(expected));
    }
  }
  return operations;
}

// --- The unit side. --------------------------------------------------------

// A Delphi string expression at AText[APos]: quoted pieces ('' inside for
// one quote), #nn and #$hh characters, joined by "+". Its value (UTF-8), or
// none.
inline void AppendUtf8(std::string& AInto, uint32_t ACode) {
  if (ACode < 0x80) {
    AInto += static_cast<char>(ACode);
  } else if (ACode < 0x800) {
    AInto += static_cast<char>(0xC0 | (ACode >> 6));
    AInto += static_cast<char>(0x80 | (ACode & 0x3F));
  } else if (ACode < 0x10000) {
    AInto += static_cast<char>(0xE0 | (ACode >> 12));
    AInto += static_cast<char>(0x80 | ((ACode >> 6) & 0x3F));
    AInto += static_cast<char>(0x80 | (ACode & 0x3F));
  } else {
    AInto += static_cast<char>(0xF0 | (ACode >> 18));
    AInto += static_cast<char>(0x80 | ((ACode >> 12) & 0x3F));
    AInto += static_cast<char>(0x80 | ((ACode >> 6) & 0x3F));
    AInto += static_cast<char>(0x80 | (ACode & 0x3F));
  }
}

inline std::optional<std::string> Literal(std::string_view AText, size_t APos) {
  std::string value;
  bool any = false;
  uint32_t high_surrogate = 0;
  size_t i = APos;
  for (;;) {
    while (i < AText.size() && AText[i] == ' ') ++i;
    if (i < AText.size() && AText[i] == '\'') {
      for (++i; i < AText.size(); ++i) {
        if (AText[i] != '\'') {
          value += AText[i];
        } else if (i + 1 < AText.size() && AText[i + 1] == '\'') {
          value += '\'';
          ++i;
        } else {
          break;
        }
      }
      ++i;
      any = true;
    } else if (i < AText.size() && AText[i] == '#') {
      // #nn or #$hh: the character of that ordinal (a UTF-16 code unit, as
      // in a Delphi string; a surrogate pair is joined).
      const bool hex = i + 1 < AText.size() && AText[i + 1] == '$';
      size_t end = i += hex ? 2 : 1;
      uint32_t code = 0;
      while (end < AText.size() && end - i < 6 && (hex ? HexValue(AText[end]) >= 0 : IsDigit(AText[end]))) {
        code = code * (hex ? 16 : 10) + static_cast<uint32_t>(HexValue(AText[end]));
        ++end;
      }
      if (end == i) return std::nullopt;
      if (code >= 0xDC00 && code < 0xE000 && high_surrogate) {
        code = 0x10000 + ((high_surrogate - 0xD800) << 10) + (code - 0xDC00);
        high_surrogate = 0;
      }
      if (code >= 0xD800 && code < 0xDC00) {
        high_surrogate = code;
      } else {
        AppendUtf8(value, code);
      }
      i = end;
      any = true;
    } else {
      break;
    }
    // Pieces follow each other directly ('a'#13'b') or after a "+".
    if (i < AText.size() && (AText[i] == '\'' || AText[i] == '#')) continue;
    while (i < AText.size() && AText[i] == ' ') ++i;
    if (i < AText.size() && AText[i] == '+') {
      ++i;
    } else {
      break;
    }
  }
  if (!any) return std::nullopt;
  return value;
}

// The arguments of the call whose "(" is at AText[APos], split at the
// commas outside parentheses and literals.
inline std::vector<std::string> Arguments(std::string_view AText, size_t APos) {
  std::vector<std::string> arguments(1);
  int depth = 0;
  bool quoted = false;
  for (size_t i = APos + 1; i < AText.size(); ++i) {
    const char c = AText[i];
    if (c == '\'') quoted = !quoted;
    if (!quoted && c == ')' && depth == 0) break;
    if (!quoted && c == ',' && depth == 0) {
      arguments.emplace_back();
      continue;
    }
    if (!quoted && c == '(') ++depth;
    if (!quoted && c == ')') --depth;
    arguments.back() += c;
  }
  for (std::string& argument : arguments) {
    argument.erase(0, argument.find_first_not_of(' '));
    argument.erase(argument.find_last_not_of(' ') + 1);
  }
  return arguments;
}

struct TSentParameter {
  std::string Name, Kind, Value;
};

struct TUnitMethod {
  std::string Name;        // the identifier after "T...."
  std::string ResultType;  // of a function
  std::vector<std::pair<std::string, std::string>> Arguments;  // identifier and type
  bool IsFunction = false;
  std::vector<TSentParameter> Sent;  // AddParameter calls; Params.AddItem as the kind "AddItem"
  bool SendsBody = false;
};

inline std::string Trimmed(std::string_view AText) {
  const size_t first = AText.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  return std::string(AText.substr(first, AText.find_last_not_of(' ') + 1 - first));
}

// The name, arguments and result type of the heading at the start of
// AText: "function Tapi.getPet(id : int64; const b : TPet) : TPet;".
inline void ReadHeading(std::string_view AText, TUnitMethod& AMethod) {
  size_t i = AText.find(' ');
  const size_t stop = AText.find_first_of("(:;", i);
  if (i == std::string_view::npos || stop == std::string_view::npos) return;
  const std::string qualified = Trimmed(AText.substr(i, stop - i));
  AMethod.Name = qualified.substr(qualified.rfind('.') + 1);
  i = stop;
  if (AText[i] == '(') {
    const size_t close = AText.find(')', i);
    if (close == std::string_view::npos) return;
    std::string_view list = AText.substr(i + 1, close - i - 1);
    while (!list.empty()) {
      const size_t semicolon = std::min(list.find(';'), list.size());
      std::string_view argument = list.substr(0, semicolon);
      list.remove_prefix(std::min(semicolon + 1, list.size()));
      const size_t colon = argument.find(':');
      if (colon == std::string_view::npos) continue;
      std::string name = Trimmed(argument.substr(0, colon));
      for (const char* modifier : {"const ", "var ", "out "}) {
        if (name.rfind(modifier, 0) == 0) name = Trimmed(std::string_view(name).substr(std::strlen(modifier)));
      }
      AMethod.Arguments.emplace_back(name, Trimmed(argument.substr(colon + 1)));
    }
    i = close + 1;
  }
  while (i < AText.size() && AText[i] == ' ') ++i;
  if (i < AText.size() && AText[i] == ':') {
    const size_t end = std::min(AText.find(';', i), AText.size());
    AMethod.ResultType = Trimmed(AText.substr(i + 1, end - i - 1));
  }
}

// The unit's method implementations by (request method, resource): their
// heading lines start at the left margin with "function T" or
// "procedure T" and end at the next "end;" there.
inline std::multimap<std::pair<std::string, std::string>, TUnitMethod> UnitMethods(const std::string& AUnitBytes) {
  const std::string unit = Windows1252ToUtf8(AUnitBytes);
  std::multimap<std::pair<std::string, std::string>, TUnitMethod> methods;
  size_t pos = unit.find("\nimplementation");
  while (pos != std::string::npos && pos < unit.size()) {
    const size_t line = pos + 1;
    pos = unit.find('\n', line);
    const std::string_view heading = std::string_view(unit).substr(line, 12);
    const bool is_function = heading.rfind("function T", 0) == 0;
    if (!is_function && heading.rfind("procedure T", 0) != 0) continue;
    const size_t end = unit.find("\nend;", line);
    std::string body = unit.substr(line, end == std::string::npos ? std::string::npos : end - line);
    std::replace(body.begin(), body.end(), '\r', ' ');
    std::replace(body.begin(), body.end(), '\n', ' ');
    TUnitMethod method;
    method.IsFunction = is_function;
    ReadHeading(body, method);
    std::string verb, resource;
    const auto after = [&](std::string_view AWhat, size_t AFrom) {
      const size_t found = body.find(AWhat, AFrom);
      return found == std::string::npos ? found : found + AWhat.size();
    };
    if (size_t at = after("Request.Method := ", 0); at != std::string::npos) {
      const size_t stop = body.find_first_of("; ", at);
      verb = body.substr(at, stop - at);
      if (verb.rfind("rm", 0) == 0) verb.erase(0, 2);
      for (char& c : verb) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    if (size_t at = after("Request.Resource := ", 0); at != std::string::npos) {
      resource = Literal(body, at).value_or("");
    }
    for (size_t at = after("Request.AddParameter(", 0); at != std::string::npos;
         at = after("Request.AddParameter(", at)) {
      const std::vector<std::string> arguments = Arguments(body, at - 1);
      if (arguments.size() < 3) continue;
      method.Sent.push_back({Literal(arguments[0], 0).value_or(""), arguments[2], arguments[1]});
    }
    for (size_t at = after("Request.Params.AddItem(", 0); at != std::string::npos;
         at = after("Request.Params.AddItem(", at)) {
      const std::vector<std::string> arguments = Arguments(body, at - 1);
      method.Sent.push_back({Literal(arguments[0], 0).value_or(""), "AddItem", ""});
    }
    method.SendsBody = body.find("Request.AddBody(") != std::string::npos;
    methods.emplace(std::pair{verb, resource}, std::move(method));
    pos = end == std::string::npos ? end : end + 1;
  }
  return methods;
}

// The request-parameter kinds that send a parameter where its "in" says.
inline bool KindFits(const std::string& AIn, const std::string& AKind) {
  if (AIn == "path") return AKind == "pkURLSEGMENT";
  if (AIn == "query") return AKind == "pkQUERY" || AKind == "pkGETorPOST";
  if (AIn == "header") return AKind == "pkHTTPHEADER";
  if (AIn == "formData") return AKind == "pkREQUESTBODY" || AKind == "pkGETorPOST" || AKind == "AddItem";
  return false;
}

inline bool Sends(const TUnitMethod& AMethod, const TExpectedParameter& AParameter) {
  return std::any_of(AMethod.Sent.begin(), AMethod.Sent.end(), [&](const TSentParameter& ASent) {
    // A text body goes out as a parameter of the request-body kind.
    if (AParameter.In == "body") return ASent.Kind == "pkREQUESTBODY";
    return ASent.Name == AParameter.Name && KindFits(AParameter.In, ASent.Kind);
  }) || (AParameter.In == "body" && AMethod.SendsBody);
}

inline bool SendsCredentials(const TUnitMethod& AMethod, const TExpectedParameter& ACredentials) {
  return std::any_of(AMethod.Sent.begin(), AMethod.Sent.end(), [&](const TSentParameter& ASent) {
    return ASent.Name == ACredentials.Name && KindFits(ACredentials.In, ASent.Kind) &&
           ASent.Value.find("Authorization") != std::string::npos;
  });
}

}  // namespace completeness

// ADocument: the document's text (UTF-8, as decoded); AUnit: the unit's
// bytes as written (Windows-1252), empty when no unit was written.
inline TCompleteness CheckCompleteness(const std::string& ADocument, const std::string& AUnit) {
  using namespace completeness;
  const JsonTree tree = JsonTree::Parse(ADocument);
  const std::multimap<std::pair<std::string, std::string>, TUnitMethod> methods = UnitMethods(AUnit);
  TCompleteness totals;
  for (const TExpectedOperation& operation : ExpectedOperations(tree.Root())) {
    ++totals.Operations;
    totals.Parameters += operation.Parameters.size();
    if (operation.Credentials) ++totals.Secured;
    const auto found = methods.find({operation.Method, operation.Path});
    if (found == methods.end()) continue;
    const TUnitMethod& method = found->second;
    ++totals.Matched;
    if (method.IsFunction == operation.HasResult) ++totals.ResultsRight;
    for (const TExpectedParameter& parameter : operation.Parameters) {
      if (Sends(method, parameter)) ++totals.ParametersSent;
    }
    if (operation.Credentials && SendsCredentials(method, *operation.Credentials)) ++totals.SecuredSent;
  }
  return totals;
}

}  // namespace tolvane::testing
