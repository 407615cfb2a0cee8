#pragma once

// A Swagger 2.0 document as a client of its API needs it: the definitions,
// the security schemes and every served operation with its effective
// parameters, its result and its credentials, every local reference
// resolved. Built by the reader (api_reader.h) without the default loader's
// failure rules; the model owns everything it views.
//
// Pointers between the nodes (a schema's items, an operation's parameters)
// point into the document's own pools; the texts of the files view the
// text of their JSON trees, which the document keeps, and the reader's own
// texts and every list view the document's store. They stay valid as long
// as the ApiDocument lives; the document is neither copied nor moved. Texts
// and lists are views so that a node costs no allocation of its own, and no
// text is copied: a large document has hundreds of thousands of schemas.

#include <deque>
#include <memory>
#include <memory_resource>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "swagger/json_tree.h"

namespace tolvane {

struct ApiSchema;
struct ApiDefinition;

// One property of an object schema, in the order of "properties".
struct ApiProperty {
  std::string_view name;              // the key exactly as the document gives it
  const ApiSchema* schema = nullptr;  // never null
};

// A scalar value as the document writes it: an "enum" element. Strings are
// decoded, numbers keep their text as written, true/false/null their word;
// objects and arrays keep only their kind.
struct ApiValue {
  JsonKind kind = JsonKind::Null;
  std::string_view text;
};

// The members of a schema that few schemas have: held apart, so that the
// hundreds of thousands of property schemas of a large document stay small.
struct ApiSchemaDetails {
  // Why the schema's "resolved" is null ("#/definitions/X not found",
  // "reference cycle", "reference into another file"); empty otherwise.
  std::string_view unresolved;
  // The definition this schema is the root of ("definitions" entry); null
  // for every other schema. A reference to #/definitions/X has a target
  // whose definition is X.
  const ApiDefinition* definition = nullptr;
  std::span<const std::string_view> required;  // "required" names
  std::span<const ApiSchema* const> all_of;    // "allOf" parts, in order
  // "additionalProperties": absent or false leaves both empty; true sets
  // has_additional_properties with a null schema (any value); a schema
  // object ({} included) sets both.
  bool has_additional_properties = false;
  const ApiSchema* additional_properties = nullptr;
  std::span<const ApiValue> enum_values;  // "enum", in order
};

// One schema object: a definition, a property, an array's items, a body
// parameter's or a response's schema. Fields absent in the document are
// empty, null or false. Members that no unit says (a schema's "title", the
// descriptions of parameters, responses and operations, an operation's
// "summary") are read for their progress lines and not kept.
struct ApiSchema {
  std::string_view type;  // "type"; the first string of an array of types
  std::string_view format;
  std::string_view description;

  // "$ref" as written; empty when the schema is no reference.
  std::string_view ref;
  // The schema at the reference's target (which may itself be a
  // reference); null when the target could not be reached.
  const ApiSchema* target = nullptr;
  // The schema this one stands for after following "$ref" chains: the
  // schema itself when it has no "$ref"; null when the chain ends at a
  // missing target, a file or URL not followed, or runs in a cycle (the
  // reason is unresolved()).
  const ApiSchema* resolved = nullptr;

  const ApiSchema* items = nullptr;          // "items" (its first element when an array)
  std::span<const ApiProperty> properties;  // inline "properties", in order

  // The rarer members (ApiSchemaDetails), empty where the schema has none.
  ApiSchemaDetails* details = nullptr;
  std::string_view unresolved() const { return details ? details->unresolved : std::string_view(); }
  const ApiDefinition* definition() const { return details ? details->definition : nullptr; }
  std::span<const std::string_view> required() const {
    return details ? details->required : std::span<const std::string_view>();
  }
  std::span<const ApiSchema* const> all_of() const {
    return details ? details->all_of : std::span<const ApiSchema* const>();
  }
  bool has_additional_properties() const { return details && details->has_additional_properties; }
  const ApiSchema* additional_properties() const { return details ? details->additional_properties : nullptr; }
  std::span<const ApiValue> enum_values() const { return details ? details->enum_values : std::span<const ApiValue>(); }
};

// One entry of "definitions": of the document, in document order, then of
// the other files that references reach, in the order they are reached.
struct ApiDefinition {
  std::string_view name;              // its key
  const ApiSchema* schema = nullptr;  // never null; schema->definition() is this
  // The file it was read from, relative to the document's folder
  // ("common/types.json"); empty for the document's own definitions.
  std::string_view file;
  // Its position in ApiDocument::definitions.
  size_t position = 0;
};

// One entry of "securityDefinitions".
struct ApiSecurityScheme {
  std::string_view key;   // the entry's key, the name that requirements use
  std::string_view type;  // "apiKey", "basic", "oauth2" (as written)
  std::string_view name;  // apiKey: the header or query parameter's name
  std::string_view in;    // apiKey: "header" or "query"
  std::string_view flow;
  std::string_view authorization_url;
  std::string_view token_url;
};

// One effective parameter of an operation, after "$ref".
struct ApiParameter {
  std::string_view name;  // exactly as written; never empty
  // "path", "query", "header", "body" or "formData"; a parameter without
  // "in" is read as "query" (with a progress line).
  std::string_view in;
  bool required = false;
  std::string_view type;    // not body: "type"
  std::string_view format;  // not body: "format"
  const ApiSchema* items = nullptr;   // not body: "items" (an items object read as a schema)
  const ApiSchema* schema = nullptr;  // body: "schema"; null when absent or unreadable
  std::string_view collection_format = "csv";  // "csv" unless written
};

// The response an operation's result comes from, after "$ref".
struct ApiResponse {
  std::string_view code;  // "200", "201", ...
  const ApiSchema* schema = nullptr;  // null: the response has no body
};

// One served operation (get, put, post, delete or patch of a path item).
struct ApiOperation {
  std::string_view method;  // "get", "put", "post", "delete", "patch"
  std::string_view path;    // the key in "paths", such as /pets/{id}
  std::string_view operation_id;
  std::span<const std::string_view> consumes;  // the operation's own, else the document's
  std::span<const std::string_view> produces;  // the operation's own, else the document's
  // The path item's parameters not overridden by the operation (same name
  // and in), then the operation's own, each in document order.
  std::span<const ApiParameter* const> parameters;
  // Response "200", else the lowest 2xx; null when there is none or it
  // could not be read. result->schema null: the operation has no result.
  const ApiResponse* result = nullptr;
  // The first scheme of the first effective security requirement; null
  // when the operation requires none (or names an unknown scheme).
  const ApiSecurityScheme* security = nullptr;
};

// The storage of the reader's own texts and of the lists: copied in once, never moved,
// freed all at once with the document.
class ApiStore {
 public:
  std::string_view Text(std::string_view AText) {
    if (AText.empty()) return {};
    char* copy = static_cast<char*>(memory_.allocate(AText.size(), 1));
    return {static_cast<const char*>(std::char_traits<char>::copy(copy, AText.data(), AText.size())), AText.size()};
  }
  // Elements that need no destructor: views and pointers.
  template <typename T>
  std::span<const T> List(std::span<const T> AItems) {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
    if (AItems.empty()) return {};
    T* copy = static_cast<T*>(memory_.allocate(AItems.size_bytes(), alignof(T)));
    std::uninitialized_copy(AItems.begin(), AItems.end(), copy);
    return {copy, AItems.size()};
  }
  template <typename T>
  std::span<const T> List(const std::vector<T>& AItems) {
    return List(std::span<const T>(AItems));
  }
  // For the document's pools, whose nodes need no destructor either.
  std::pmr::memory_resource* Resource() { return &memory_; }

 private:
  std::pmr::monotonic_buffer_resource memory_;
};

struct ApiDocument {
  std::string_view swagger;  // "2.0"
  std::string_view host;
  std::string_view base_path;
  std::span<const std::string_view> schemes;
  std::span<const std::string_view> consumes;
  std::span<const std::string_view> produces;
  std::deque<ApiDefinition> definitions;           // document order
  std::deque<ApiSecurityScheme> security_schemes;  // document order
  // Path by path in document order; within a path item get, put, post,
  // delete, patch.
  std::vector<ApiOperation> operations;

  // The files read, the document first, with their nodes freed: the texts
  // of the files that the model views.
  // Shared, so that a unit made from the model can keep them.
  std::vector<std::shared_ptr<const JsonTree>> sources;
  // The store the other texts and every list view, and the pools every
  // pointer above points into, which take their blocks from the store.
  ApiStore store;
  std::pmr::deque<ApiSchema> schema_pool{store.Resource()};
  std::pmr::deque<ApiSchemaDetails> details_pool{store.Resource()};
  std::pmr::deque<ApiParameter> parameter_pool{store.Resource()};
  std::pmr::deque<ApiResponse> response_pool{store.Resource()};

  ApiDocument() = default;
  ApiDocument(const ApiDocument&) = delete;
  ApiDocument& operator=(const ApiDocument&) = delete;
};

}  // namespace tolvane
