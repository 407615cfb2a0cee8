// Fuzz target: documents built from the fuzzer's input rather than its raw
// bytes. FuzzedDataProvider picks the parts of a Swagger document (definitions
// with properties of every type, references to existing, missing and cyclic
// definitions, odd names, paths with operations of every method, parameters of
// every kind and location, responses with schemas, security definitions of
// every type, schemes, basePath, consumes and produces), so that most inputs
// load and reach the deep paths of the unit writer and the client writer.
// Each document is converted without a filter and with the name of one of its
// definitions as the filter, checked by conversion_check.h.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "conversion_check.h"

namespace {

// Names that exercise identifiers, reserved words, renaming and sanitizing.
constexpr const char* kNames[] = {
    "Pet", "pet", "PET", "Category", "Tag", "Order", "type", "begin", "end", "Class", "name",
    "string", "index", "default", "", " ", "  / ", "/", "a/b", "pet-store", "Pet-Store", "x y",
    "$ref", "$id", "Café", "ÄRGER", "ärger", "猫", "it's", "q\"uote", "line\r\nbreak", "tab\tx",
    "a;end.", "a;end;implementation{}initialization{}Halt;end.{", "TArray<X>", "T", "Item",
    "id", "self", "{petId}", "*)", "(*", "}", "//", "\\", "Ｐｅｔ", "é", "É", "ß", "Œ"};

constexpr const char* kTypes[] = {"integer", "number", "string", "boolean", "object", "file",
                                  "array", "Number", "STRING", "", "int64", "TDateTime",
                                  "double", "Integer", "timestamp", "T", "null"};

constexpr const char* kFormats[] = {"", "int32", "int64", "float", "double", "date",
                                    "date-time", "byte", "binary", "password", "uuid"};

constexpr const char* kLocations[] = {"path", "query", "header", "body", "formData",
                                      "FormData", "Header", "BODY", "cookie", ""};

constexpr const char* kMethods[] = {"get", "put", "post", "delete", "options", "head",
                                    "patch", "x-foo", "GET", "parameters", "$ref", "trace"};

constexpr const char* kResponseCodes[] = {"200", "default", "201", "2XX", "Default", "404",
                                          "", "200 "};

constexpr const char* kMediaTypes[] = {"application/json", "application/xml",
                                       "application/x-www-form-urlencoded",
                                       "multipart/form-data", "text/plain", ""};

constexpr const char* kSecurityTypes[] = {"apiKey", "basic", "oauth2", "OAuth2", "APIKEY", ""};

constexpr const char* kBasePaths[] = {"/", "/api", "/api/store", "/a-b c/$d", "", "/v1/",
                                      "/type", "/é"};

constexpr const char* kPathKeys[] = {"/pet", "/pet/{petId}", "/store/order/{orderId}", "",
                                     "/a b", "/x-y/{a-b}", "/{type}", "/é/{é}"};

template <size_t N>
std::string Pick(FuzzedDataProvider& AData, const char* const (&ATable)[N]) {
  return ATable[AData.ConsumeIntegralInRange<size_t>(0, N - 1)];
}

// A JSON string literal; control characters become \u escapes, everything
// else (UTF-8 included) is written as it is.
std::string Quote(const std::string& AText) {
  std::string quoted = "\"";
  for (const char c : AText) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      quoted += "\\u00";
      quoted += kHex[byte >> 4];
      quoted += kHex[byte & 15];
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

// Builds an object member by member: {"a": 1, "b": 2}.
class ObjectText {
 public:
  void Add(const std::string& AKey, const std::string& AValue) {
    text_ += text_.empty() ? "{" : ", ";
    text_ += Quote(AKey) + ": " + AValue;
  }
  std::string Text() const { return text_.empty() ? "{}" : text_ + "}"; }

 private:
  std::string text_;
};

std::string ArrayText(const std::vector<std::string>& AElements) {
  std::string text = "[";
  for (size_t i = 0; i < AElements.size(); ++i) text += (i ? ", " : "") + AElements[i];
  return text + "]";
}

class DocumentBuilder {
 public:
  explicit DocumentBuilder(FuzzedDataProvider& AData) : data_(AData) {}

  // The document and the class filter for the second run.
  std::string Build(std::string& AFilter) {
    const size_t definition_count = data_.ConsumeIntegralInRange<size_t>(0, 8);
    for (size_t i = 0; i < definition_count; ++i) definition_names_.push_back(Name());
    const size_t security_count = data_.ConsumeIntegralInRange<size_t>(0, 4);
    for (size_t i = 0; i < security_count; ++i) security_names_.push_back(Name());

    ObjectText root;
    const int version = data_.ConsumeIntegralInRange(0, 15);
    if (version == 0) {
      root.Add("swagger", "\"1.2\"");
    } else if (version == 1) {
      root.Add("swagger", "2.0");
    } else if (version != 2) {
      root.Add("swagger", "\"2.0\"");
    }
    if (data_.ConsumeBool()) root.Add("host", Quote(Name()));
    if (data_.ConsumeBool()) root.Add("basePath", Quote(Pick(data_, kBasePaths)));
    if (data_.ConsumeBool()) root.Add("schemes", StringArray({"http", "https", "ws", "wss", ""}));
    if (data_.ConsumeBool()) root.Add("consumes", MediaTypes());
    if (data_.ConsumeBool()) root.Add("produces", MediaTypes());
    if (data_.ConsumeIntegralInRange(0, 3) == 0) root.Add("info", Info());
    if (data_.ConsumeIntegralInRange(0, 30) != 0) root.Add("paths", Paths());
    if (data_.ConsumeIntegralInRange(0, 30) != 0) root.Add("securityDefinitions", Security());
    if (data_.ConsumeIntegralInRange(0, 30) != 0) root.Add("definitions", Definitions());

    AFilter = definition_names_.empty() || data_.ConsumeIntegralInRange(0, 7) == 0
                  ? Name()
                  : definition_names_[data_.ConsumeIntegralInRange<size_t>(
                        0, definition_names_.size() - 1)];
    return Encode(root.Text());
  }

 private:
  // A name from the table, a definition name, or a few bytes of the input.
  std::string Name() {
    switch (data_.ConsumeIntegralInRange(0, 3)) {
      case 0:
        return data_.ConsumeRandomLengthString(12);
      case 1:
        if (!definition_names_.empty()) {
          return definition_names_[data_.ConsumeIntegralInRange<size_t>(
              0, definition_names_.size() - 1)];
        }
        [[fallthrough]];
      default:
        return Pick(data_, kNames);
    }
  }

  std::string Text() {
    return data_.ConsumeBool() ? Quote(Name()) : Quote(data_.ConsumeRandomLengthString(40));
  }

  std::string StringArray(std::initializer_list<const char*> AChoices) {
    const std::vector<const char*> choices(AChoices);
    std::vector<std::string> elements;
    const size_t count = data_.ConsumeIntegralInRange<size_t>(0, 3);
    for (size_t i = 0; i < count; ++i) {
      elements.push_back(
          Quote(choices[data_.ConsumeIntegralInRange<size_t>(0, choices.size() - 1)]));
    }
    return ArrayText(elements);
  }

  std::string MediaTypes() {
    std::vector<std::string> elements;
    const size_t count = data_.ConsumeIntegralInRange<size_t>(0, 3);
    for (size_t i = 0; i < count; ++i) elements.push_back(Quote(Pick(data_, kMediaTypes)));
    return ArrayText(elements);
  }

  // A value that fails or is absorbed by the filling rule.
  std::string OddValue() {
    switch (data_.ConsumeIntegralInRange(0, 6)) {
      case 0: return "null";
      case 1: return "true";
      case 2: return "12.50";
      case 3: return "[]";
      case 4: return "[\"x\", 1, null, []]";
      case 5: return "{}";
      default: return Quote(Name());
    }
  }

  std::string Info() {
    ObjectText info;
    info.Add("title", Text());
    if (data_.ConsumeBool()) info.Add("description", Text());
    if (data_.ConsumeBool()) info.Add("contact", data_.ConsumeBool() ? "{\"name\": \"n\"}" : OddValue());
    info.Add("version", data_.ConsumeBool() ? "\"1.0\"" : OddValue());
    return info.Text();
  }

  std::string Reference() {
    switch (data_.ConsumeIntegralInRange(0, 5)) {
      case 0: return Quote("#/definitions/" + Name());  // often missing
      case 1: return Quote(Name());                     // shorter than the prefix
      case 2: return Quote("#/parameters/" + Name());
      default:
        return Quote("#/definitions/" + (definition_names_.empty()
                                             ? Name()
                                             : definition_names_[data_.ConsumeIntegralInRange<size_t>(
                                                   0, definition_names_.size() - 1)]));
    }
  }

  // An "items" object: a reference, a type, both or neither.
  std::string Items() {
    ObjectText items;
    const int kind = data_.ConsumeIntegralInRange(0, 3);
    if (kind == 0 || kind == 2) items.Add("$ref", Reference());
    if (kind == 1 || kind == 2) items.Add("type", Quote(Pick(data_, kTypes)));
    if (data_.ConsumeIntegralInRange(0, 7) == 0) items.Add("ref", Reference());
    return items.Text();
  }

  // A property schema or a parameter's or response's schema.
  std::string Schema(int ADepth = 0) {
    if (data_.ConsumeIntegralInRange(0, 15) == 0) return OddValue();
    ObjectText schema;
    switch (data_.ConsumeIntegralInRange(0, 4)) {
      case 0:
        schema.Add("$ref", Reference());
        break;
      case 1:
        schema.Add("type", "\"array\"");
        if (data_.ConsumeIntegralInRange(0, 4) != 0) {
          schema.Add("items", ADepth < 2 && data_.ConsumeBool() ? Schema(ADepth + 1) : Items());
        }
        break;
      case 2:
        schema.Add("type", Quote(Pick(data_, kTypes)));
        schema.Add("format", Quote(Pick(data_, kFormats)));
        break;
      case 3:
        schema.Add("type", Quote(Pick(data_, kTypes)));
        schema.Add("$ref", Reference());
        break;
      default:
        break;
    }
    if (data_.ConsumeBool()) schema.Add("description", Text());
    if (data_.ConsumeIntegralInRange(0, 7) == 0) schema.Add(Pick(data_, kNames), OddValue());
    return schema.Text();
  }

  std::string Definitions() {
    ObjectText definitions;
    for (const std::string& name : definition_names_) {
      if (data_.ConsumeIntegralInRange(0, 20) == 0) {
        definitions.Add(name, OddValue());
        continue;
      }
      ObjectText definition;
      if (data_.ConsumeBool()) definition.Add("type", "\"object\"");
      if (data_.ConsumeBool()) definition.Add("description", Text());
      if (data_.ConsumeIntegralInRange(0, 10) != 0) {
        ObjectText properties;
        const size_t count = data_.ConsumeIntegralInRange<size_t>(0, 6);
        for (size_t i = 0; i < count; ++i) properties.Add(Name(), Schema());
        definition.Add("properties", data_.ConsumeIntegralInRange(0, 20) == 0
                                         ? OddValue()
                                         : properties.Text());
      }
      if (data_.ConsumeIntegralInRange(0, 5) == 0) definition.Add("required", "[\"id\"]");
      definitions.Add(name, definition.Text());
    }
    return definitions.Text();
  }

  std::string Security() {
    ObjectText security;
    for (const std::string& name : security_names_) {
      if (data_.ConsumeIntegralInRange(0, 20) == 0) {
        security.Add(name, OddValue());
        continue;
      }
      ObjectText definition;
      definition.Add("type", Quote(Pick(data_, kSecurityTypes)));
      if (data_.ConsumeBool()) definition.Add("name", Quote(Name()));
      if (data_.ConsumeBool()) definition.Add("in", Quote(Pick(data_, kLocations)));
      if (data_.ConsumeBool()) definition.Add("authorizationUrl", Text());
      if (data_.ConsumeBool()) definition.Add("flow", "\"implicit\"");
      if (data_.ConsumeBool()) definition.Add("scopes", "{\"write\": \"w\"}");
      security.Add(name, definition.Text());
    }
    return security.Text();
  }

  std::string Parameter() {
    if (data_.ConsumeIntegralInRange(0, 25) == 0) return OddValue();
    ObjectText parameter;
    parameter.Add("name", Quote(Name()));
    parameter.Add("in", Quote(Pick(data_, kLocations)));
    switch (data_.ConsumeIntegralInRange(0, 5)) {
      case 0: break;
      case 1: parameter.Add("required", "true"); break;
      case 2: parameter.Add("required", "\"TRUE\""); break;
      case 3: parameter.Add("required", "1"); break;
      default: parameter.Add("required", "false"); break;
    }
    if (data_.ConsumeIntegralInRange(0, 2) == 0) {
      parameter.Add("schema", Schema());
    } else {
      parameter.Add("type", Quote(Pick(data_, kTypes)));
      if (data_.ConsumeBool()) parameter.Add("format", Quote(Pick(data_, kFormats)));
      if (data_.ConsumeBool()) parameter.Add("items", Items());
    }
    if (data_.ConsumeIntegralInRange(0, 5) == 0) {
      parameter.Add("default", data_.ConsumeIntegralInRange(0, 3) == 0 ? "false" : "\"x\"");
    }
    if (data_.ConsumeIntegralInRange(0, 7) == 0) parameter.Add("enum", "[\"a\", 2]");
    if (data_.ConsumeIntegralInRange(0, 7) == 0) parameter.Add("collectionFormat", "\"multi\"");
    if (data_.ConsumeIntegralInRange(0, 7) == 0) parameter.Add("maximum", "10.5");
    return parameter.Text();
  }

  std::string Operation() {
    if (data_.ConsumeIntegralInRange(0, 20) == 0) return OddValue();
    ObjectText operation;
    if (data_.ConsumeIntegralInRange(0, 7) != 0) operation.Add("operationId", Quote(Name()));
    if (data_.ConsumeBool()) operation.Add("summary", Text());
    if (data_.ConsumeBool()) operation.Add("consumes", MediaTypes());
    if (data_.ConsumeBool()) operation.Add("produces", MediaTypes());
    if (data_.ConsumeBool()) {
      std::vector<std::string> parameters;
      const size_t count = data_.ConsumeIntegralInRange<size_t>(0, 5);
      for (size_t i = 0; i < count; ++i) parameters.push_back(Parameter());
      operation.Add("parameters", ArrayText(parameters));
    }
    if (data_.ConsumeIntegralInRange(0, 3) == 0) operation.Add("security", SecurityRequirements());
    if (data_.ConsumeIntegralInRange(0, 15) != 0) {
      ObjectText responses;
      const size_t count = data_.ConsumeIntegralInRange<size_t>(0, 3);
      for (size_t i = 0; i < count; ++i) {
        if (data_.ConsumeIntegralInRange(0, 25) == 0) {
          responses.Add(Pick(data_, kResponseCodes), OddValue());
          continue;
        }
        ObjectText response;
        response.Add("description", Text());
        if (data_.ConsumeIntegralInRange(0, 3) != 0) response.Add("schema", Schema());
        if (data_.ConsumeIntegralInRange(0, 7) == 0) response.Add("headers", "{\"X-Rate\": {}}");
        if (data_.ConsumeIntegralInRange(0, 7) == 0) response.Add("examples", "{\"a\": [1]}");
        responses.Add(Pick(data_, kResponseCodes), response.Text());
      }
      operation.Add("responses", data_.ConsumeIntegralInRange(0, 25) == 0 ? OddValue()
                                                                         : responses.Text());
    }
    if (data_.ConsumeIntegralInRange(0, 7) == 0) operation.Add("deprecated", "true");
    if (data_.ConsumeIntegralInRange(0, 7) == 0) operation.Add("tags", "[\"a\", 1]");
    return operation.Text();
  }

  std::string SecurityRequirements() {
    switch (data_.ConsumeIntegralInRange(0, 9)) {
      case 0: return "[]";
      case 1: return "[{}]";
      case 2: return OddValue();
      default: break;
    }
    std::vector<std::string> elements;
    const size_t count = data_.ConsumeIntegralInRange<size_t>(1, 3);
    for (size_t i = 0; i < count; ++i) {
      ObjectText requirement;
      const std::string name =
          security_names_.empty() || data_.ConsumeIntegralInRange(0, 4) == 0
              ? Name()
              : security_names_[data_.ConsumeIntegralInRange<size_t>(0, security_names_.size() - 1)];
      requirement.Add(name, "[]");
      if (data_.ConsumeBool()) requirement.Add(Name(), "[\"write\"]");
      elements.push_back(requirement.Text());
    }
    return ArrayText(elements);
  }

  std::string Paths() {
    ObjectText paths;
    const size_t count = data_.ConsumeIntegralInRange<size_t>(0, 5);
    for (size_t i = 0; i < count; ++i) {
      ObjectText item;
      const size_t methods = data_.ConsumeIntegralInRange<size_t>(0, 4);
      for (size_t m = 0; m < methods; ++m) {
        const std::string method = Pick(data_, kMethods);
        if (method == "parameters") {
          item.Add(method, "[" + Parameter() + "]");
        } else if (method == "$ref") {
          item.Add(method, Reference());
        } else {
          item.Add(method, Operation());
        }
      }
      paths.Add(data_.ConsumeBool() ? Pick(data_, kPathKeys) : "/" + Name(), item.Text());
    }
    return paths.Text();
  }

  // The text as the file holds it: UTF-8 with or without byte order mark,
  // UTF-16 with one, or the raw bytes read as Windows-1252.
  std::string Encode(const std::string& AText) {
    switch (data_.ConsumeIntegralInRange(0, 9)) {
      case 0: return "\xEF\xBB\xBF" + AText;
      case 1: return Utf16(AText, false);
      case 2: return Utf16(AText, true);
      default: return AText;
    }
  }

  static std::string Utf16(const std::string& AText, bool ABigEndian) {
    std::string bytes = ABigEndian ? "\xFE\xFF" : "\xFF\xFE";
    const auto put = [&](uint32_t AUnit) {
      const char high = static_cast<char>(AUnit >> 8), low = static_cast<char>(AUnit & 0xFF);
      bytes += ABigEndian ? high : low;
      bytes += ABigEndian ? low : high;
    };
    for (size_t i = 0; i < AText.size();) {
      const auto lead = static_cast<unsigned char>(AText[i]);
      const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
      for (size_t k = 1; k < length && i + k < AText.size(); ++k) {
        code = (code << 6) | (static_cast<unsigned char>(AText[i + k]) & 0x3F);
      }
      i += length;
      if (code >= 0x10000) {
        code -= 0x10000;
        put(0xD800 + (code >> 10));
        put(0xDC00 + (code & 0x3FF));
      } else {
        put(code);
      }
    }
    return bytes;
  }

  FuzzedDataProvider& data_;
  std::vector<std::string> definition_names_;
  std::vector<std::string> security_names_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* AData, size_t ASize) {
  FuzzedDataProvider data(AData, ASize);
  std::string filter;
  const std::string document = DocumentBuilder(data).Build(filter);
  // To see what an input stands for: TOLVANE_FUZZ_PRINT=1 structure_fuzzer INPUT
  if (std::getenv("TOLVANE_FUZZ_PRINT") != nullptr) {
    std::fprintf(stderr, "filter: %s\ndocument:\n%s\n", filter.c_str(), document.c_str());
  }
  tolvane::fuzzing::CheckConversion(document, filter);
  return 0;
}
