#include "api/api_reader.h"

#include <array>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "api/json_pointer.h"
#include "platform/code_page.h"
#include "platform/exceptions.h"
#include "platform/file_system.h"
#include "swagger/json_to_object.h"

namespace tolvane {
namespace {

// Where a value stands, for progress lines: built on the stack as the reader
// descends and turned into text only when a line is written. A root holds a
// whole prefix as its key ("definitions.Pet").
struct Where {
  const Where* parent = nullptr;
  std::string_view key;
  int64_t element = -1;

  Where Member(std::string_view AKey) const { return Where{this, AKey, -1}; }
  Where Element(size_t AIndex) const { return Where{this, {}, static_cast<int64_t>(AIndex)}; }

  std::string Text() const {
    std::vector<const Where*> chain;
    for (const Where* where = this; where != nullptr; where = where->parent) chain.push_back(where);
    std::string text;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      if ((*it)->element >= 0) {
        text += "[" + std::to_string((*it)->element) + "]";
      } else if (!(*it)->key.empty() || (*it)->parent != nullptr) {
        if (!text.empty()) text += '.';
        text += (*it)->key;
      }
    }
    return text;
  }
};

constexpr std::array<std::string_view, 5> kServedMethods = {"get", "put", "post", "delete",
                                                            "patch"};
constexpr std::array<std::string_view, 5> kLocations = {"path", "query", "header", "body",
                                                        "formData"};

bool IsSuccessCode(std::string_view ACode) {
  return ACode.size() == 3 && ACode[0] == '2' && ACode[1] >= '0' && ACode[1] <= '9' &&
         ACode[2] >= '0' && ACode[2] <= '9';
}

// Where a chain of references ends: a node of the pointer index, or the
// reason it ends nowhere.
struct ChainEnd {
  std::optional<uint32_t> node;
  std::string reason;
};

class ApiReader {
 public:
  ApiReader(const JsonTree& ATree, const TLogProc& ALog)
      : root_(ATree.Root()), log_(ALog), pointers_(root_), api_(std::make_unique<ApiDocument>()) {}

  std::unique_ptr<ApiDocument> Read();

 private:
  void Line(std::string_view AVerb, const Where& AWhere, std::string_view AWhy) {
    log_(std::string(AVerb) + " " + AWhere.Text() + ": " + std::string(AWhy));
  }

  // Scalars and lists of the document's texts.
  std::string Text(const JsonValue& AValue, const Where& AWhere);
  std::string MemberText(const JsonValue& AObject, std::string_view AKey, const Where& AWhere);
  std::vector<std::string> TextList(const JsonValue& AValue, const Where& AWhere);
  bool Flag(const JsonValue& AValue, const Where& AWhere);

  // Schemas. A reference is not followed at once: its target gets its
  // schema node now and is read from the queue later, so that reading
  // recurses only along the JSON nesting, never along references.
  ApiSchema* Schema(const JsonValue& AValue, const Where& AWhere);
  void ReadShape(ApiSchema& ASchema, const JsonValue& AValue, const Where& AWhere);
  void FillSchema(ApiSchema& ASchema, const JsonValue& AValue, const Where& AWhere);
  void ReadSchemaReference(ApiSchema& ASchema, std::string_view ARef, const Where& AWhere);
  ApiSchema* SchemaAtNode(uint32_t ANode);
  void ReadQueuedSchemas();
  void ResolveSchemaChains();

  // References outside schemas: parameters, responses, path items.
  std::optional<std::vector<std::string>> ReferenceTokens(std::string_view ARef, const Where& AWhere,
                                                          std::string& AReason);
  ChainEnd FollowReferences(const JsonValue& AObject, const Where& AWhere);
  const ApiParameter* ParameterAtNode(uint32_t ANode);
  const ApiParameter* ReadParameter(const JsonValue& AValue, const Where& AWhere);
  std::vector<const ApiParameter*> ParameterList(const JsonValue& AValue, const Where& AWhere);
  ApiResponse* ResponseAtNode(uint32_t ANode);
  ApiResponse* ReadResponse(const JsonValue& AValue, const Where& AWhere);
  const ApiResponse* Result(const JsonValue& AResponses, const Where& AWhere);

  void ReadSecuritySchemes(const JsonValue& AValue, const Where& AWhere);
  std::optional<const ApiSecurityScheme*> Requirement(const JsonValue& AValue, const Where& AWhere);
  void ReadDefinitions(const JsonValue& AValue, const Where& AWhere);
  void ReadPaths(const JsonValue& AValue, const Where& AWhere);
  void ReadPathItem(std::string_view APath, const JsonValue& AItem, const Where& AWhere);
  void ReadOperation(std::string_view AMethod, std::string_view APath, const JsonValue& AValue,
                     const Where& AWhere, const std::vector<const ApiParameter*>& APathParameters);

  JsonValue root_;
  const TLogProc& log_;
  PointerIndex pointers_;
  std::unique_ptr<ApiDocument> api_;

  std::unordered_map<uint32_t, ApiSchema*> schema_at_;
  std::unordered_map<const ApiSchema*, uint32_t> node_of_;
  std::vector<uint32_t> schema_queue_;
  std::vector<ApiSchema*> references_;  // every schema with a followed "$ref"
  std::unordered_map<uint32_t, ChainEnd> chain_end_;
  std::unordered_map<uint32_t, const ApiParameter*> parameter_at_;
  std::unordered_map<uint32_t, ApiResponse*> response_at_;
  std::unordered_map<std::string_view, const ApiSecurityScheme*> scheme_by_key_;
  std::optional<const ApiSecurityScheme*> root_security_;
};

// ---------------------------------------------------------------------------
// Scalars.

std::string ApiReader::Text(const JsonValue& AValue, const Where& AWhere) {
  switch (AValue.Kind()) {
    case JsonKind::String:
      return std::string(AValue.Text());
    case JsonKind::Number:
      Line("Read", AWhere, "a number taken as text");
      return std::string(AValue.Text());
    default:
      Line("Skipped", AWhere, "not a string");
      return {};
  }
}

std::string ApiReader::MemberText(const JsonValue& AObject, std::string_view AKey,
                                  const Where& AWhere) {
  const std::optional<JsonValue> value = AObject.FindMember(AKey);
  return value ? Text(*value, AWhere.Member(AKey)) : std::string();
}

std::vector<std::string> ApiReader::TextList(const JsonValue& AValue, const Where& AWhere) {
  std::vector<std::string> texts;
  if (AValue.Kind() == JsonKind::String) {
    Line("Read", AWhere, "a string taken as a list of one");
    texts.emplace_back(AValue.Text());
    return texts;
  }
  if (!AValue.IsArray()) {
    Line("Skipped", AWhere, "not an array");
    return texts;
  }
  texts.reserve(AValue.Count());
  size_t index = 0;
  for (const JsonValue element : AValue.Elements()) {
    const Where where = AWhere.Element(index++);
    if (element.Kind() == JsonKind::String) {
      texts.emplace_back(element.Text());
    } else {
      Line("Skipped", where, "not a string");
    }
  }
  return texts;
}

bool ApiReader::Flag(const JsonValue& AValue, const Where& AWhere) {
  if (AValue.Kind() == JsonKind::True) return true;
  if (AValue.Kind() == JsonKind::False) return false;
  if (AValue.Kind() == JsonKind::String && (AValue.Text() == "true" || AValue.Text() == "false")) {
    Line("Read", AWhere, "a string taken as a boolean");
    return AValue.Text() == "true";
  }
  Line("Read", AWhere, "not a boolean, taken as false");
  return false;
}

// ---------------------------------------------------------------------------
// Schemas.

ApiSchema* ApiReader::Schema(const JsonValue& AValue, const Where& AWhere) {
  if (!AValue.IsObject()) {
    Line("Skipped", AWhere, "not a schema object");
    return nullptr;
  }
  ApiSchema& schema = api_->schema_pool.emplace_back();
  FillSchema(schema, AValue, AWhere);
  return &schema;
}

void ApiReader::FillSchema(ApiSchema& ASchema, const JsonValue& AValue, const Where& AWhere) {
  if (const std::optional<JsonValue> ref = AValue.FindMember("$ref")) {
    if (ref->Kind() == JsonKind::String) {
      ReadSchemaReference(ASchema, ref->Text(), AWhere);
    } else {
      Line("Skipped", AWhere.Member("$ref"), "not a string");
    }
  }
  if (ASchema.ref.empty()) ASchema.resolved = &ASchema;
  ReadShape(ASchema, AValue, AWhere);
  ASchema.title = MemberText(AValue, "title", AWhere);
  ASchema.description = MemberText(AValue, "description", AWhere);
  if (const std::optional<JsonValue> properties = AValue.FindMember("properties")) {
    const Where where = AWhere.Member("properties");
    if (properties->IsObject()) {
      ASchema.properties.reserve(properties->Count());
      for (const JsonMember member : properties->Members()) {
        if (const ApiSchema* schema = Schema(member.value(), where.Member(member.key))) {
          ASchema.properties.push_back(ApiProperty{std::string(member.key), schema});
        }
      }
    } else {
      Line("Skipped", where, "not an object");
    }
  }
  if (const std::optional<JsonValue> required = AValue.FindMember("required")) {
    ASchema.required = TextList(*required, AWhere.Member("required"));
  }
  if (const std::optional<JsonValue> all_of = AValue.FindMember("allOf")) {
    const Where where = AWhere.Member("allOf");
    if (all_of->IsArray()) {
      size_t index = 0;
      for (const JsonValue part : all_of->Elements()) {
        if (const ApiSchema* schema = Schema(part, where.Element(index))) {
          ASchema.all_of.push_back(schema);
        }
        ++index;
      }
    } else {
      Line("Skipped", where, "not an array");
    }
  }
  if (const std::optional<JsonValue> extra = AValue.FindMember("additionalProperties")) {
    if (extra->Kind() == JsonKind::True) {
      ASchema.has_additional_properties = true;
    } else if (extra->IsObject()) {
      ASchema.has_additional_properties = true;
      ASchema.additional_properties = Schema(*extra, AWhere.Member("additionalProperties"));
    } else if (extra->Kind() != JsonKind::False) {
      Line("Skipped", AWhere.Member("additionalProperties"), "neither a boolean nor a schema");
    }
  }
  if (const std::optional<JsonValue> values = AValue.FindMember("enum")) {
    if (values->IsArray()) {
      ASchema.enum_values.reserve(values->Count());
      for (const JsonValue value : values->Elements()) {
        std::string text;
        switch (value.Kind()) {
          case JsonKind::True: text = "true"; break;
          case JsonKind::False: text = "false"; break;
          case JsonKind::Null: text = "null"; break;
          default: text = value.Text();
        }
        ASchema.enum_values.push_back(ApiValue{value.Kind(), std::move(text)});
      }
    } else {
      Line("Skipped", AWhere.Member("enum"), "not an array");
    }
  }
}

// The type, format and items: what a schema and a non-body parameter share.
void ApiReader::ReadShape(ApiSchema& ASchema, const JsonValue& AValue, const Where& AWhere) {
  if (const std::optional<JsonValue> type = AValue.FindMember("type")) {
    const Where where = AWhere.Member("type");
    if (type->Kind() == JsonKind::String) {
      ASchema.type = type->Text();
    } else if (type->IsArray()) {
      // ["string", "null"] says the value may be absent: its type is string.
      for (const JsonValue element : type->Elements()) {
        if (element.Kind() == JsonKind::String && element.Text() != "null") {
          ASchema.type = element.Text();
          break;
        }
      }
      Line(ASchema.type.empty() ? "Skipped" : "Read", where,
           ASchema.type.empty() ? "a list without a type" : "a list of types, the first taken");
    } else {
      Line("Skipped", where, "not a string");
    }
  }
  ASchema.format = MemberText(AValue, "format", AWhere);
  if (const std::optional<JsonValue> items = AValue.FindMember("items")) {
    const Where where = AWhere.Member("items");
    if (items->IsArray()) {
      if (const std::optional<JsonValue> first = items->FirstElement()) {
        Line("Read", where, "an array, its first element taken");
        ASchema.items = Schema(*first, where.Element(0));
      } else {
        Line("Skipped", where, "an empty array");
      }
    } else {
      ASchema.items = Schema(*items, where);
    }
  }
}

std::optional<std::vector<std::string>> ApiReader::ReferenceTokens(std::string_view ARef,
                                                                   const Where& AWhere,
                                                                   std::string& AReason) {
  // A bare name ("Pet") is the older way of naming a definition.
  if (!ARef.empty() && ARef.find_first_of("#/.:") == std::string_view::npos) {
    Line("Read", AWhere.Member("$ref"), "a bare name taken as #/definitions/" + std::string(ARef));
    return std::vector<std::string>{"definitions", std::string(ARef)};
  }
  ParsedReference parsed = ParseReference(ARef);
  if (!parsed.error.empty()) {
    AReason = parsed.error.find(ARef) == std::string::npos
                  ? parsed.error + " " + std::string(ARef)
                  : parsed.error;
    return std::nullopt;
  }
  return std::move(parsed.tokens);
}

void ApiReader::ReadSchemaReference(ApiSchema& ASchema, std::string_view ARef,
                                    const Where& AWhere) {
  ASchema.ref = ARef;
  std::string reason;
  std::optional<uint32_t> node;
  if (const auto tokens = ReferenceTokens(ARef, AWhere, reason)) {
    node = pointers_.Find(*tokens);
    if (!node) {
      reason = std::string(ARef) + " not found";
    } else if (!pointers_.Value(*node).IsObject()) {
      reason = std::string(ARef) + " is not a schema object";
      node.reset();
    }
  }
  if (!node) {
    ASchema.unresolved = reason;
    Line("Unresolved", AWhere, reason);
    return;
  }
  ASchema.target = SchemaAtNode(*node);
  references_.push_back(&ASchema);
}

ApiSchema* ApiReader::SchemaAtNode(uint32_t ANode) {
  const auto [found, inserted] = schema_at_.try_emplace(ANode, nullptr);
  if (inserted) {
    found->second = &api_->schema_pool.emplace_back();
    node_of_.emplace(found->second, ANode);
    schema_queue_.push_back(ANode);
  }
  return found->second;
}

void ApiReader::ReadQueuedSchemas() {
  // Reading a queued schema may queue further ones.
  for (size_t next = 0; next < schema_queue_.size(); ++next) {
    const uint32_t node = schema_queue_[next];
    const std::string path = pointers_.Path(node);
    FillSchema(*schema_at_.at(node), pointers_.Value(node), Where{nullptr, path, -1});
  }
  schema_queue_.clear();
}

// Follows every chain of references to the schema it stands for, each
// schema once: a walk stops at the first schema already decided.
void ApiReader::ResolveSchemaChains() {
  std::unordered_set<const ApiSchema*> on_walk;
  std::vector<ApiSchema*> walk;
  for (ApiSchema* start : references_) {
    // Emptied by the walk's own entries: clear() would wipe every bucket.
    for (const ApiSchema* schema : walk) on_walk.erase(schema);
    walk.clear();
    const ApiSchema* resolved = nullptr;
    std::string reason;
    for (ApiSchema* current = start;;) {
      if (current->resolved != nullptr || !current->unresolved.empty()) {
        resolved = current->resolved;
        reason = current->unresolved;
        break;
      }
      if (!on_walk.insert(current).second) {
        reason = "reference cycle";
        Line("Unresolved", Where{nullptr, pointers_.Path(node_of_.at(current)), -1}, reason);
        break;
      }
      walk.push_back(current);
      // Unresolved targets have their reason already, so target is set.
      current = const_cast<ApiSchema*>(current->target);
    }
    for (ApiSchema* schema : walk) {
      schema->resolved = resolved;
      if (resolved == nullptr) schema->unresolved = reason;
    }
  }
}

// ---------------------------------------------------------------------------
// References outside schemas.

ChainEnd ApiReader::FollowReferences(const JsonValue& AObject, const Where& AWhere) {
  std::vector<uint32_t> walk;
  std::unordered_set<uint32_t> on_walk;
  ChainEnd end;
  JsonValue current = AObject;
  for (;;) {
    const std::optional<JsonValue> ref = current.FindMember("$ref");
    if (!ref || ref->Kind() != JsonKind::String) {
      // A target whose "$ref" is no text is taken as it stands.
      if (walk.empty()) {
        end.reason = "'$ref' is not a string";
      } else {
        end.node = walk.back();
      }
      break;
    }
    std::string reason;
    const auto tokens = ReferenceTokens(ref->Text(), AWhere, reason);
    const std::optional<uint32_t> node = tokens ? pointers_.Find(*tokens) : std::nullopt;
    if (!node) {
      end.reason = tokens ? std::string(ref->Text()) + " not found" : reason;
      break;
    }
    if (const auto known = chain_end_.find(*node); known != chain_end_.end()) {
      end = known->second;
      break;
    }
    if (!on_walk.insert(*node).second) {
      end.reason = "reference cycle";
      break;
    }
    walk.push_back(*node);
    current = pointers_.Value(*node);
    if (!current.IsObject()) {
      end.reason = std::string(ref->Text()) + " is not an object";
      break;
    }
  }
  for (const uint32_t node : walk) chain_end_.emplace(node, end);
  if (!end.node) Line("Unresolved", AWhere, end.reason);
  return end;
}

const ApiParameter* ApiReader::ParameterAtNode(uint32_t ANode) {
  const auto [found, inserted] = parameter_at_.try_emplace(ANode, nullptr);
  if (inserted) {
    const std::string path = pointers_.Path(ANode);
    found->second = ReadParameter(pointers_.Value(ANode), Where{nullptr, path, -1});
  }
  return found->second;
}

const ApiParameter* ApiReader::ReadParameter(const JsonValue& AValue, const Where& AWhere) {
  if (!AValue.IsObject()) {
    Line("Skipped", AWhere, "not an object");
    return nullptr;
  }
  ApiParameter parameter;
  const std::optional<JsonValue> name = AValue.FindMember("name");
  if (name && name->Kind() == JsonKind::Number) {
    parameter.name = Text(*name, AWhere.Member("name"));
  } else if (name && name->Kind() == JsonKind::String) {
    parameter.name = name->Text();
  }
  if (parameter.name.empty()) {
    Line("Skipped", AWhere, "no name");
    return nullptr;
  }
  if (const std::optional<JsonValue> in = AValue.FindMember("in")) {
    if (in->Kind() != JsonKind::String) {
      Line("Skipped", AWhere, "'in' is not a string");
      return nullptr;
    }
    parameter.in = in->Text();
    bool known = false;
    for (const std::string_view location : kLocations) known = known || parameter.in == location;
    if (!known) {
      Line("Skipped", AWhere, "unknown location '" + parameter.in + "'");
      return nullptr;
    }
  } else {
    Line("Read", AWhere, "no 'in', taken as a query parameter");
    parameter.in = "query";
  }
  if (const std::optional<JsonValue> required = AValue.FindMember("required")) {
    parameter.required = Flag(*required, AWhere.Member("required"));
  }
  parameter.description = MemberText(AValue, "description", AWhere);
  if (parameter.in == "body") {
    if (const std::optional<JsonValue> schema = AValue.FindMember("schema")) {
      parameter.schema = Schema(*schema, AWhere.Member("schema"));
    }
  } else {
    ApiSchema shape;
    ReadShape(shape, AValue, AWhere);
    parameter.type = std::move(shape.type);
    parameter.format = std::move(shape.format);
    parameter.items = shape.items;
    if (const std::optional<JsonValue> format = AValue.FindMember("collectionFormat")) {
      std::string text = Text(*format, AWhere.Member("collectionFormat"));
      if (!text.empty()) parameter.collection_format = std::move(text);
    }
  }
  return &api_->parameter_pool.emplace_back(std::move(parameter));
}

std::vector<const ApiParameter*> ApiReader::ParameterList(const JsonValue& AValue,
                                                          const Where& AWhere) {
  std::vector<const ApiParameter*> parameters;
  if (!AValue.IsArray()) {
    Line("Skipped", AWhere, "not an array");
    return parameters;
  }
  parameters.reserve(AValue.Count());
  std::unordered_set<std::string> seen;
  size_t index = 0;
  for (const JsonValue element : AValue.Elements()) {
    const Where where = AWhere.Element(index++);
    const ApiParameter* parameter = nullptr;
    if (element.IsObject() && element.FindMember("$ref")) {
      const ChainEnd end = FollowReferences(element, where);
      if (end.node) parameter = ParameterAtNode(*end.node);
    } else {
      parameter = ReadParameter(element, where);
    }
    if (parameter == nullptr) continue;
    if (!seen.insert(parameter->name + '\0' + parameter->in).second) {
      Line("Skipped", where, "repeats the name and location of an earlier parameter");
      continue;
    }
    parameters.push_back(parameter);
  }
  return parameters;
}

ApiResponse* ApiReader::ResponseAtNode(uint32_t ANode) {
  const auto [found, inserted] = response_at_.try_emplace(ANode, nullptr);
  if (inserted) {
    const std::string path = pointers_.Path(ANode);
    found->second = ReadResponse(pointers_.Value(ANode), Where{nullptr, path, -1});
  }
  return found->second;
}

ApiResponse* ApiReader::ReadResponse(const JsonValue& AValue, const Where& AWhere) {
  if (!AValue.IsObject()) {
    Line("Skipped", AWhere, "not an object");
    return nullptr;
  }
  ApiResponse& response = api_->response_pool.emplace_back();
  response.description = MemberText(AValue, "description", AWhere);
  if (const std::optional<JsonValue> schema = AValue.FindMember("schema")) {
    response.schema = Schema(*schema, AWhere.Member("schema"));
  }
  return &response;
}

// The response "200", else the lowest 2xx.
const ApiResponse* ApiReader::Result(const JsonValue& AResponses, const Where& AWhere) {
  if (!AResponses.IsObject()) {
    Line("Skipped", AWhere, "not an object");
    return nullptr;
  }
  std::optional<JsonMember> chosen;
  for (const JsonMember member : AResponses.Members()) {
    if (!IsSuccessCode(member.key)) continue;
    if (member.key == "200") {
      chosen = member;
      break;
    }
    if (!chosen || member.key < chosen->key) chosen = member;
  }
  if (!chosen) return nullptr;
  const Where where = AWhere.Member(chosen->key);
  const JsonValue value = chosen->value();
  if (!value.IsObject() || !value.FindMember("$ref")) {
    ApiResponse* response = ReadResponse(value, where);
    if (response != nullptr) response->code = chosen->key;
    return response;
  }
  const ChainEnd end = FollowReferences(value, where);
  ApiResponse* shared = end.node ? ResponseAtNode(*end.node) : nullptr;
  if (shared == nullptr) return nullptr;
  // A shared response takes the code of its first use; a use under another
  // code gets a copy.
  if (shared->code.empty()) shared->code = chosen->key;
  if (shared->code == chosen->key) return shared;
  ApiResponse& copy = api_->response_pool.emplace_back(*shared);
  copy.code = chosen->key;
  return &copy;
}

// ---------------------------------------------------------------------------
// Security.

void ApiReader::ReadSecuritySchemes(const JsonValue& AValue, const Where& AWhere) {
  if (!AValue.IsObject()) {
    Line("Skipped", AWhere, "not an object");
    return;
  }
  for (const JsonMember member : AValue.Members()) {
    const Where where = AWhere.Member(member.key);
    const JsonValue value = member.value();
    if (!value.IsObject()) {
      Line("Skipped", where, "not an object");
      continue;
    }
    if (scheme_by_key_.count(member.key) != 0) {
      Line("Skipped", where, "repeats the key of an earlier security definition");
      continue;
    }
    ApiSecurityScheme& scheme = api_->security_schemes.emplace_back();
    scheme.key = member.key;
    scheme.type = MemberText(value, "type", where);
    scheme.name = MemberText(value, "name", where);
    scheme.in = MemberText(value, "in", where);
    scheme.flow = MemberText(value, "flow", where);
    scheme.authorization_url = MemberText(value, "authorizationUrl", where);
    scheme.token_url = MemberText(value, "tokenUrl", where);
    scheme_by_key_.emplace(member.key, &scheme);
  }
}

// The first scheme of the first requirement: null for none (an empty array
// or an empty requirement); empty when the value cannot be read as a list
// of requirements, so that the caller falls back to its default.
std::optional<const ApiSecurityScheme*> ApiReader::Requirement(const JsonValue& AValue,
                                                               const Where& AWhere) {
  if (!AValue.IsArray()) {
    Line("Skipped", AWhere, "not an array");
    return std::nullopt;
  }
  size_t index = 0;
  for (const JsonValue requirement : AValue.Elements()) {
    const Where where = AWhere.Element(index++);
    if (!requirement.IsObject()) {
      Line("Skipped", where, "not an object");
      continue;
    }
    const std::optional<JsonMember> first = requirement.FirstMember();
    if (!first) return nullptr;
    const auto found = scheme_by_key_.find(first->key);
    if (found == scheme_by_key_.end()) {
      Line("Unresolved", where.Member(first->key), "no such security definition");
      return nullptr;
    }
    return found->second;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// Definitions and paths.

void ApiReader::ReadDefinitions(const JsonValue& AValue, const Where& AWhere) {
  if (!AValue.IsObject()) {
    Line("Skipped", AWhere, "not an object");
    return;
  }
  const uint32_t definitions = *pointers_.Child(PointerIndex::kRoot, "definitions");
  std::unordered_set<std::string_view> seen;
  for (const JsonMember member : AValue.Members()) {
    const Where where = AWhere.Member(member.key);
    if (!member.value().IsObject()) {
      Line("Skipped", where, "not an object");
      continue;
    }
    if (!seen.insert(member.key).second) {
      Line("Skipped", where, "repeats the key of an earlier definition");
      continue;
    }
    ApiSchema* schema = SchemaAtNode(*pointers_.Child(definitions, member.key));
    ApiDefinition& definition =
        api_->definitions.emplace_back(ApiDefinition{std::string(member.key), schema});
    schema->definition = &definition;
  }
}

void ApiReader::ReadPaths(const JsonValue& AValue, const Where& AWhere) {
  if (!AValue.IsObject()) {
    Line("Skipped", AWhere, "not an object");
    return;
  }
  for (const JsonMember member : AValue.Members()) {
    if (member.key.rfind("x-", 0) == 0) continue;
    ReadPathItem(member.key, member.value(), AWhere.Member(member.key));
  }
}

void ApiReader::ReadPathItem(std::string_view APath, const JsonValue& AItem, const Where& AWhere) {
  if (!AItem.IsObject()) {
    Line("Skipped", AWhere, "not an object");
    return;
  }
  // The item and the items its "$ref" chain leads to; a member of an
  // earlier one wins.
  struct Part {
    JsonValue value;
    std::string path;  // empty for the item itself
  };
  std::vector<Part> parts = {Part{AItem, {}}};
  if (AItem.FindMember("$ref")) {
    JsonValue current = AItem;
    std::unordered_set<uint32_t> on_walk;
    while (const std::optional<JsonValue> ref = current.FindMember("$ref")) {
      const Where where = parts.size() == 1 ? AWhere : Where{nullptr, parts.back().path, -1};
      if (ref->Kind() != JsonKind::String) {
        Line("Skipped", where.Member("$ref"), "not a string");
        break;
      }
      std::string reason;
      const auto tokens = ReferenceTokens(ref->Text(), where, reason);
      const std::optional<uint32_t> node = tokens ? pointers_.Find(*tokens) : std::nullopt;
      if (!node) {
        Line("Unresolved", where, tokens ? std::string(ref->Text()) + " not found" : reason);
        break;
      }
      if (!on_walk.insert(*node).second) {
        Line("Unresolved", where, "reference cycle");
        break;
      }
      current = pointers_.Value(*node);
      if (!current.IsObject()) {
        Line("Unresolved", where, std::string(ref->Text()) + " is not an object");
        break;
      }
      parts.push_back(Part{current, pointers_.Path(*node)});
    }
  }
  const auto where_of = [&](const Part& APart) {
    return APart.path.empty() ? AWhere : Where{nullptr, APart.path, -1};
  };

  std::vector<const ApiParameter*> path_parameters;
  for (const Part& part : parts) {
    if (const std::optional<JsonValue> parameters = part.value.FindMember("parameters")) {
      const Where where = where_of(part);
      path_parameters = ParameterList(*parameters, where.Member("parameters"));
      break;
    }
  }
  for (const std::string_view method : kServedMethods) {
    for (const Part& part : parts) {
      if (const std::optional<JsonValue> operation = part.value.FindMember(method)) {
        const Where where = where_of(part);
        ReadOperation(method, APath, *operation, where.Member(method), path_parameters);
        break;
      }
    }
  }
}

void ApiReader::ReadOperation(std::string_view AMethod, std::string_view APath,
                              const JsonValue& AValue, const Where& AWhere,
                              const std::vector<const ApiParameter*>& APathParameters) {
  if (!AValue.IsObject()) {
    Line("Skipped", AWhere, "not an object");
    return;
  }
  ApiOperation operation;
  operation.method = AMethod;
  operation.path = APath;
  operation.operation_id = MemberText(AValue, "operationId", AWhere);
  operation.summary = MemberText(AValue, "summary", AWhere);
  operation.description = MemberText(AValue, "description", AWhere);
  const std::optional<JsonValue> consumes = AValue.FindMember("consumes");
  operation.consumes = consumes ? TextList(*consumes, AWhere.Member("consumes")) : api_->consumes;
  const std::optional<JsonValue> produces = AValue.FindMember("produces");
  operation.produces = produces ? TextList(*produces, AWhere.Member("produces")) : api_->produces;

  std::vector<const ApiParameter*> own;
  if (const std::optional<JsonValue> parameters = AValue.FindMember("parameters")) {
    own = ParameterList(*parameters, AWhere.Member("parameters"));
  }
  std::unordered_set<std::string> overridden;
  for (const ApiParameter* parameter : own) overridden.insert(parameter->name + '\0' + parameter->in);
  operation.parameters.reserve(APathParameters.size() + own.size());
  for (const ApiParameter* parameter : APathParameters) {
    if (overridden.count(parameter->name + '\0' + parameter->in) == 0) {
      operation.parameters.push_back(parameter);
    }
  }
  operation.parameters.insert(operation.parameters.end(), own.begin(), own.end());

  if (const std::optional<JsonValue> responses = AValue.FindMember("responses")) {
    operation.result = Result(*responses, AWhere.Member("responses"));
  }
  std::optional<const ApiSecurityScheme*> security;
  if (const std::optional<JsonValue> own_security = AValue.FindMember("security")) {
    security = Requirement(*own_security, AWhere.Member("security"));
  }
  operation.security = security ? *security : root_security_.value_or(nullptr);
  api_->operations.push_back(std::move(operation));
}

std::unique_ptr<ApiDocument> ApiReader::Read() {
  if (!root_.IsObject()) ThrowNotAnObject();
  // The last "swagger" member decides, as in the default loader.
  for (const JsonMember member : root_.Members()) {
    if (member.key != "swagger") continue;
    const JsonKind kind = member.value().Kind();
    api_->swagger = kind == JsonKind::String || kind == JsonKind::Number
                        ? std::string(member.value().Text())
                        : std::string();
  }
  if (api_->swagger != "2.0") {
    throw Exception("Wrong Swagger version: \"" + api_->swagger + "\". Expected \"2.0\"");
  }
  const Where root;
  api_->host = MemberText(root_, "host", root);
  api_->base_path = MemberText(root_, "basePath", root);
  for (const auto& [key, list] : {std::pair{"schemes", &api_->schemes},
                                 std::pair{"consumes", &api_->consumes},
                                 std::pair{"produces", &api_->produces}}) {
    if (const std::optional<JsonValue> value = root_.FindMember(key)) {
      *list = TextList(*value, root.Member(key));
    }
  }
  if (const std::optional<JsonValue> schemes = root_.FindMember("securityDefinitions")) {
    ReadSecuritySchemes(*schemes, root.Member("securityDefinitions"));
  }
  if (const std::optional<JsonValue> security = root_.FindMember("security")) {
    root_security_ = Requirement(*security, root.Member("security"));
  }
  if (const std::optional<JsonValue> definitions = root_.FindMember("definitions")) {
    ReadDefinitions(*definitions, root.Member("definitions"));
  }
  if (const std::optional<JsonValue> paths = root_.FindMember("paths")) {
    ReadPaths(*paths, root.Member("paths"));
  }
  ReadQueuedSchemas();
  ResolveSchemaChains();
  return std::move(api_);
}

}  // namespace

std::unique_ptr<ApiDocument> ReadApi(const JsonTree& ATree, const TLogProc& ALog) {
  return ApiReader(ATree, ALog).Read();
}

std::unique_ptr<ApiDocument> ReadApiText(std::string AText, const TLogProc& ALog) {
  return ReadApi(JsonTree::Parse(std::move(AText)), ALog);
}

std::unique_ptr<ApiDocument> ReadApiFile(const std::string& AFileName, const TLogProc& ALog) {
  const auto read = [&AFileName] { return DecodeDocument(ReadFileBytes(AFileName)); };
  return ReadApi(JsonTree::Parse(read(), read), ALog);
}

}  // namespace tolvane
