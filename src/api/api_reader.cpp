#include "api/api_reader.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <filesystem>
#include <memory_resource>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "api/json_pointer.h"
#include "platform/code_page.h"
#include "platform/exceptions.h"
#include "platform/file_system.h"
#include "swagger/json_to_object.h"
#include "swagger/yaml_tree.h"

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

// A parameter's identity within one list: its name and location.
struct ParameterKey {
  std::string_view name;
  std::string_view in;
  bool operator==(const ParameterKey&) const = default;
};
struct ParameterKeyHash {
  size_t operator()(const ParameterKey& AKey) const {
    const std::hash<std::string_view> hash;
    return hash(AKey.name) * 31 + hash(AKey.in);
  }
};
// Schema and parameter objects are read member by member in the reader's
// own order, so that its progress lines keep theirs. The members it takes
// are found first, in one pass over the object instead of one pass per key:
// the first of each key, as FindMember gives it.
template <typename TMembers, size_t N>
void FindMembers(TMembers& AMembers, const JsonValue& AObject,
                 const std::pair<std::string_view, std::optional<JsonValue> TMembers::*> (&AKeys)[N]) {
  for (const JsonMember member : AObject.Members()) {
    for (const auto& [key, field] : AKeys) {
      if (member.key != key) continue;
      if (!(AMembers.*field)) AMembers.*field = member.value();
      break;
    }
  }
}

// What a schema and a parameter outside the body share.
struct ShapeMembers {
  std::optional<JsonValue> type, format, items;
};

struct SchemaMembers : ShapeMembers {
  std::optional<JsonValue> ref, title, description, properties, required, all_of, additional_properties, values;

  explicit SchemaMembers(const JsonValue& AObject) {
    using M = SchemaMembers;
    static constexpr std::pair<std::string_view, std::optional<JsonValue> M::*> kKeys[] = {
        {"$ref", &M::ref},
        {"type", &M::type},
        {"format", &M::format},
        {"items", &M::items},
        {"title", &M::title},
        {"description", &M::description},
        {"properties", &M::properties},
        {"required", &M::required},
        {"allOf", &M::all_of},
        {"additionalProperties", &M::additional_properties},
        {"enum", &M::values},
    };
    FindMembers(*this, AObject, kKeys);
  }
};

struct ParameterMembers : ShapeMembers {
  std::optional<JsonValue> name, in, required, description, schema, collection_format;

  explicit ParameterMembers(const JsonValue& AObject) {
    using M = ParameterMembers;
    static constexpr std::pair<std::string_view, std::optional<JsonValue> M::*> kKeys[] = {
        {"name", &M::name},
        {"in", &M::in},
        {"required", &M::required},
        {"description", &M::description},
        {"schema", &M::schema},
        {"type", &M::type},
        {"format", &M::format},
        {"items", &M::items},
        {"collectionFormat", &M::collection_format},
    };
    FindMembers(*this, AObject, kKeys);
  }
};

// A list has a few parameters: their keys are held on the stack unless
// there are many.
class ParameterKeys {
 public:
  // False when the key is there already.
  bool Insert(const ParameterKey& AKey) { return keys_.insert(AKey).second; }
  bool Contains(const ParameterKey& AKey) const { return keys_.contains(AKey); }

 private:
  std::array<std::byte, 2048> buffer_;
  std::pmr::monotonic_buffer_resource memory_{buffer_.data(), buffer_.size()};
  std::pmr::unordered_set<ParameterKey, ParameterKeyHash> keys_{&memory_};
};

bool IsSuccessCode(std::string_view ACode) {
  return ACode.size() == 3 && ACode[0] == '2' && ACode[1] >= '0' && ACode[1] <= '9' &&
         ACode[2] >= '0' && ACode[2] <= '9';
}

// One file the reader reads from: the document (file 0) or a file that one
// of its references names.
struct SourceFile {
  std::string name;                  // relative to the document's folder; empty for the document
  std::filesystem::path folder;      // the folder its references are relative to
  std::unique_ptr<JsonTree> tree;    // handed to the document once it is read
  PointerIndex index;
};

// A value of one of the files.
struct Loc {
  uint32_t file;
  uint32_t node;
  uint64_t Key() const { return (static_cast<uint64_t>(file) << 32) | node; }
};

// Where a chain of references ends, or the reason it ends nowhere.
struct ChainEnd {
  std::optional<Loc> end;
  std::string reason;
};

class ApiReader {
 public:
  // ADocument: the document's file, within whose folder references into
  // other files are followed; empty to follow none.
  ApiReader(std::unique_ptr<JsonTree> ATree, const TLogProc& ALog, const std::string& ADocument)
      : tree_(*ATree), root_(ATree->Root()), log_(ALog), api_(std::make_unique<ApiDocument>()) {
    if (!ADocument.empty()) {
      std::error_code error;
      const std::filesystem::path document = std::filesystem::weakly_canonical(ADocument, error);
      root_folder_ = document.parent_path();
      // A reference back into the document reads the document itself.
      file_by_path_[document.string()] = {0, {}};
    }
    files_.push_back(
        std::make_unique<SourceFile>(SourceFile{{}, root_folder_, std::move(ATree), PointerIndex(root_)}));
  }

  std::unique_ptr<ApiDocument> Read();

 private:
  // Makes AFile the file whose references are resolved, until it goes.
  class InFile {
   public:
    InFile(ApiReader& AReader, uint32_t AFile) : reader_(AReader), saved_(AReader.current_) {
      reader_.current_ = AFile;
    }
    ~InFile() { reader_.current_ = saved_; }

   private:
    ApiReader& reader_;
    uint32_t saved_;
  };

  PointerIndex& Index(uint32_t AFile) { return files_[AFile]->index; }
  JsonValue Value(Loc ALoc) { return Index(ALoc.file).Value(ALoc.node); }
  // The place of a value as lines name it: definitions.Pet, or
  // network.json:definitions.SubResource in another file.
  std::string PathOf(Loc ALoc) {
    const std::string path = Index(ALoc.file).Path(ALoc.node);
    return ALoc.file == 0 ? path : files_[ALoc.file]->name + ":" + path;
  }

  // One progress line; the document's keys may hold line breaks and other
  // control characters, which become blanks so that it stays one line.
  void Line(std::string_view AVerb, const Where& AWhere, std::string_view AWhy) {
    std::string line = std::string(AVerb) + " " + AWhere.Text() + ": " + std::string(AWhy);
    for (char& c : line) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    log_(line);
  }

  // A text the reader made, copied into the document's store. The texts of
  // the files are not copied: the document keeps the trees' texts
  // (ApiDocument::sources), and the model views them where they are.
  std::string_view Keep(std::string_view AText) { return api_->store.Text(AText); }
  // Whether a scalar gives a text (a string, or a number as written), with
  // the line of a number or of a value that gives none.
  bool GivesText(const JsonValue& AValue, const Where& AWhere);
  // Scalars and lists of the document's texts, kept in its store.
  std::string_view Text(const JsonValue& AValue, const Where& AWhere);
  std::string_view MemberText(const JsonValue& AObject, std::string_view AKey, const Where& AWhere);
  // A text member that no unit says: read for its progress line alone, not
  // kept.
  void SkipMemberText(const JsonValue& AObject, std::string_view AKey, const Where& AWhere);
  std::span<const std::string_view> TextList(const JsonValue& AValue, const Where& AWhere);
  bool Flag(const JsonValue& AValue, const Where& AWhere);

  // Schemas. A reference is not followed at once: its target gets its
  // schema node now and is read from the queue later, so that reading
  // recurses only along the JSON nesting, never along references.
  ApiSchema* Schema(const JsonValue& AValue, const Where& AWhere);
  // The schema's rarer members, made when the first of them is set.
  ApiSchemaDetails& Details(ApiSchema& ASchema) {
    if (ASchema.details == nullptr) ASchema.details = &api_->details_pool.emplace_back();
    return *ASchema.details;
  }
  void ReadShape(ApiSchema& ASchema, const ShapeMembers& AMembers, const Where& AWhere);
  void FillSchema(ApiSchema& ASchema, const JsonValue& AValue, const Where& AWhere);
  void ReadSchemaReference(ApiSchema& ASchema, std::string_view ARef, const Where& AWhere);
  ApiSchema* SchemaAt(Loc ALoc);
  void ReadQueuedSchemas();
  void ReachOtherFiles();
  void ResolveSchemaChains();

  // References outside schemas: parameters, responses, path items.
  std::optional<Loc> Resolve(std::string_view ARef, const Where& AWhere, std::string& AReason);
  std::optional<uint32_t> OpenFile(const std::string& AName, std::string& AReason);
  ChainEnd FollowReferences(const JsonValue& AObject, const Where& AWhere);
  const ApiParameter* ParameterAt(Loc ALoc);
  const ApiParameter* ReadParameter(const JsonValue& AValue, const Where& AWhere);
  std::vector<const ApiParameter*> ParameterList(const JsonValue& AValue, const Where& AWhere);
  ApiResponse* ResponseAt(Loc ALoc);
  ApiResponse* ReadResponse(const JsonValue& AValue, const Where& AWhere);
  const ApiResponse* Result(const JsonValue& AResponses, const Where& AWhere);

  void ReadSecuritySchemes(const JsonValue& AValue, const Where& AWhere);
  std::optional<const ApiSecurityScheme*> Requirement(const JsonValue& AValue, const Where& AWhere);
  void ReadDefinitions(const JsonValue& AValue, const Where& AWhere);
  void ReadPaths(const JsonValue& AValue, const Where& AWhere);
  void ReadPathItem(std::string_view APath, const JsonValue& AItem, const Where& AWhere);
  void ReadOperation(std::string_view AMethod, std::string_view APath, const JsonValue& AValue,
                     const Where& AWhere, const std::vector<const ApiParameter*>& APathParameters);

  const JsonTree& tree_;
  JsonValue root_;
  const TLogProc& log_;
  std::unique_ptr<ApiDocument> api_;
  std::filesystem::path root_folder_;
  std::vector<std::unique_ptr<SourceFile>> files_;
  // Files by their canonical path: the file's index, or why it is not read.
  std::unordered_map<std::string, std::pair<std::optional<uint32_t>, std::string>> file_by_path_;
  uint32_t current_ = 0;  // the file whose references are being resolved
  // The nodes of the local references ("#/...") found so far, by file and
  // text: a definition is named from many places, and its reference is
  // parsed and looked up once per file.
  std::vector<std::unordered_map<std::string_view, uint32_t>> local_targets_;

  // Memos by Loc::Key.
  std::unordered_map<uint64_t, ApiSchema*> schema_at_;
  std::unordered_map<const ApiSchema*, Loc> loc_of_;
  std::vector<Loc> schema_queue_;
  std::vector<ApiSchema*> references_;  // every schema with a followed "$ref"
  std::unordered_map<uint64_t, ChainEnd> chain_end_;
  std::unordered_map<uint64_t, const ApiParameter*> parameter_at_;
  std::unordered_map<uint64_t, ApiResponse*> response_at_;
  std::unordered_map<std::string_view, const ApiSecurityScheme*> scheme_by_key_;
  std::optional<const ApiSecurityScheme*> root_security_;
};

// ---------------------------------------------------------------------------
// Scalars.

bool ApiReader::GivesText(const JsonValue& AValue, const Where& AWhere) {
  switch (AValue.Kind()) {
    case JsonKind::String:
      return true;
    case JsonKind::Number:
      Line("Read", AWhere, "a number taken as text");
      return true;
    default:
      Line("Skipped", AWhere, "not a string");
      return false;
  }
}

std::string_view ApiReader::Text(const JsonValue& AValue, const Where& AWhere) {
  return GivesText(AValue, AWhere) ? AValue.Text() : std::string_view();
}

std::string_view ApiReader::MemberText(const JsonValue& AObject, std::string_view AKey,
                                       const Where& AWhere) {
  const std::optional<JsonValue> value = AObject.FindMember(AKey);
  return value ? Text(*value, AWhere.Member(AKey)) : std::string_view();
}

void ApiReader::SkipMemberText(const JsonValue& AObject, std::string_view AKey, const Where& AWhere) {
  if (const std::optional<JsonValue> value = AObject.FindMember(AKey)) GivesText(*value, AWhere.Member(AKey));
}

std::span<const std::string_view> ApiReader::TextList(const JsonValue& AValue, const Where& AWhere) {
  std::vector<std::string_view> texts;
  if (AValue.Kind() == JsonKind::String) {
    Line("Read", AWhere, "a string taken as a list of one");
    texts.push_back(AValue.Text());
    return api_->store.List(texts);
  }
  if (!AValue.IsArray()) {
    Line("Skipped", AWhere, "not an array");
    return {};
  }
  texts.reserve(AValue.Count());
  size_t index = 0;
  for (const JsonValue element : AValue.Elements()) {
    const Where where = AWhere.Element(index++);
    if (element.Kind() == JsonKind::String) {
      texts.push_back(element.Text());
    } else {
      Line("Skipped", where, "not a string");
    }
  }
  return api_->store.List(texts);
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
  const SchemaMembers members(AValue);
  if (const std::optional<JsonValue>& ref = members.ref) {
    if (ref->Kind() == JsonKind::String) {
      ReadSchemaReference(ASchema, ref->Text(), AWhere);
    } else {
      Line("Skipped", AWhere.Member("$ref"), "not a string");
    }
  }
  if (ASchema.ref.empty()) ASchema.resolved = &ASchema;
  ReadShape(ASchema, members, AWhere);
  if (members.title) GivesText(*members.title, AWhere.Member("title"));
  ASchema.description =
      members.description ? Text(*members.description, AWhere.Member("description")) : std::string_view();
  if (const std::optional<JsonValue>& properties = members.properties) {
    const Where where = AWhere.Member("properties");
    if (properties->IsObject()) {
      std::vector<ApiProperty> read;
      read.reserve(properties->Count());
      for (const JsonMember member : properties->Members()) {
        // A property whose value is no schema object still names a key of
        // the JSON object: it holds any value.
        if (!member.value().IsObject()) {
          Line("Read", where.Member(member.key), "not a schema object, taken as any value");
          ApiSchema& any = api_->schema_pool.emplace_back();
          any.resolved = &any;
          read.push_back(ApiProperty{member.key, &any});
        } else if (const ApiSchema* schema = Schema(member.value(), where.Member(member.key))) {
          read.push_back(ApiProperty{member.key, schema});
        }
      }
      ASchema.properties = api_->store.List(read);
    } else {
      Line("Skipped", where, "not an object");
    }
  }
  if (const std::optional<JsonValue>& required = members.required) {
    if (const auto names = TextList(*required, AWhere.Member("required")); !names.empty()) Details(ASchema).required = names;
  }
  if (const std::optional<JsonValue>& all_of = members.all_of) {
    const Where where = AWhere.Member("allOf");
    if (all_of->IsArray()) {
      std::vector<const ApiSchema*> parts;
      parts.reserve(all_of->Count());
      size_t index = 0;
      for (const JsonValue part : all_of->Elements()) {
        if (const ApiSchema* schema = Schema(part, where.Element(index))) parts.push_back(schema);
        ++index;
      }
      if (!parts.empty()) Details(ASchema).all_of = api_->store.List(parts);
    } else {
      Line("Skipped", where, "not an array");
    }
  }
  if (const std::optional<JsonValue>& extra = members.additional_properties) {
    if (extra->Kind() == JsonKind::True) {
      Details(ASchema).has_additional_properties = true;
    } else if (extra->IsObject()) {
      const ApiSchema* extra_schema = Schema(*extra, AWhere.Member("additionalProperties"));
      ApiSchemaDetails& details = Details(ASchema);
      details.has_additional_properties = true;
      details.additional_properties = extra_schema;
    } else if (extra->Kind() != JsonKind::False) {
      Line("Skipped", AWhere.Member("additionalProperties"), "neither a boolean nor a schema");
    }
  }
  if (const std::optional<JsonValue>& values = members.values) {
    if (values->IsArray()) {
      std::vector<ApiValue> read;
      read.reserve(values->Count());
      for (const JsonValue value : values->Elements()) {
        std::string_view text;
        switch (value.Kind()) {
          case JsonKind::True: text = "true"; break;
          case JsonKind::False: text = "false"; break;
          case JsonKind::Null: text = "null"; break;
          default: text = value.Text();
        }
        read.push_back(ApiValue{value.Kind(), text});
      }
      if (!read.empty()) Details(ASchema).enum_values = api_->store.List(read);
    } else {
      Line("Skipped", AWhere.Member("enum"), "not an array");
    }
  }
}

// The type, format and items: what a schema and a non-body parameter share.
void ApiReader::ReadShape(ApiSchema& ASchema, const ShapeMembers& AMembers, const Where& AWhere) {
  if (const std::optional<JsonValue>& type = AMembers.type) {
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
  ASchema.format = AMembers.format ? Text(*AMembers.format, AWhere.Member("format")) : std::string_view();
  if (const std::optional<JsonValue>& items = AMembers.items) {
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

// The value a reference names, from the file being read.
std::optional<Loc> ApiReader::Resolve(std::string_view ARef, const Where& AWhere,
                                      std::string& AReason) {
  const bool local = ARef.starts_with('#');
  if (local) {
    if (local_targets_.size() <= current_) local_targets_.resize(current_ + 1);
    if (const auto found = local_targets_[current_].find(ARef); found != local_targets_[current_].end()) {
      return Loc{current_, found->second};
    }
  }
  ParsedReference parsed;
  // A bare name ("Pet") is the older way of naming a definition.
  if (!ARef.empty() && ARef.find_first_of("#/.:") == std::string_view::npos) {
    Line("Read", AWhere.Member("$ref"), "a bare name taken as #/definitions/" + std::string(ARef));
    parsed.tokens = {"definitions", std::string(ARef)};
  } else {
    parsed = ParseReference(ARef);
  }
  if (!parsed.error.empty()) {
    AReason = parsed.error.find(ARef) == std::string::npos
                  ? parsed.error + " " + std::string(ARef)
                  : parsed.error;
    return std::nullopt;
  }
  uint32_t file = current_;
  if (!parsed.file.empty()) {
    const std::optional<uint32_t> opened = OpenFile(parsed.file, AReason);
    if (!opened) {
      AReason += " " + std::string(ARef);
      return std::nullopt;
    }
    file = *opened;
  }
  const std::optional<uint32_t> node = Index(file).Find(parsed.tokens);
  if (!node) {
    AReason = std::string(ARef) + " not found";
    return std::nullopt;
  }
  if (local) local_targets_[current_].emplace(ARef, *node);
  return Loc{file, *node};
}

// A file beside the document, named relative to the file being read. Never
// one outside the document's folder, and none when the document came
// without a folder.
std::optional<uint32_t> ApiReader::OpenFile(const std::string& AName, std::string& AReason) {
  namespace fs = std::filesystem;
  if (root_folder_.empty()) {
    AReason = "reference into another file";
    return std::nullopt;
  }
  std::error_code error;
  const fs::path path = fs::weakly_canonical(files_[current_]->folder / AName, error);
  const auto [found, inserted] = file_by_path_.try_emplace(path.string());
  auto& [file, reason] = found->second;
  if (inserted) {
    const fs::path relative = path.lexically_relative(root_folder_);
    if (error || relative.empty() || *relative.begin() == "..") {
      reason = "reference outside the document's folder";
    } else if (!fs::is_regular_file(path, error)) {
      reason = "file not found";
    } else {
      try {
        const auto read = [&path] { return DecodeDocument(ReadFileBytes(path.string())); };
        auto tree = std::make_unique<JsonTree>(JsonTree::Parse(read(), read));
        const JsonValue root = tree->Root();
        file = static_cast<uint32_t>(files_.size());
        files_.push_back(std::make_unique<SourceFile>(SourceFile{
            relative.generic_string(), path.parent_path(), std::move(tree), PointerIndex(root)}));
      } catch (const Exception& failure) {
        // A referenced file that cannot be read leaves its references
        // unresolved; the document itself still converts.
        reason = std::string("file not read (") + failure.ClassName() + ": " + failure.Message() + ")";
      }
    }
  }
  if (!file) AReason = reason;
  return file;
}

void ApiReader::ReadSchemaReference(ApiSchema& ASchema, std::string_view ARef,
                                    const Where& AWhere) {
  ASchema.ref = ARef;
  std::string reason;
  std::optional<Loc> loc = Resolve(ARef, AWhere, reason);
  if (loc && !Value(*loc).IsObject()) {
    reason = std::string(ARef) + " is not a schema object";
    loc.reset();
  }
  if (!loc) {
    Details(ASchema).unresolved = Keep(reason);
    Line("Unresolved", AWhere, reason);
    return;
  }
  ASchema.target = SchemaAt(*loc);
  references_.push_back(&ASchema);
}

ApiSchema* ApiReader::SchemaAt(Loc ALoc) {
  const auto [found, inserted] = schema_at_.try_emplace(ALoc.Key(), nullptr);
  if (!inserted) return found->second;
  ApiSchema* schema = &api_->schema_pool.emplace_back();
  found->second = schema;
  loc_of_.emplace(schema, ALoc);
  schema_queue_.push_back(ALoc);
  // An entry of another file's "definitions" becomes a definition of the
  // document as well, under its own key.
  const PointerIndex& index = Index(ALoc.file);
  const uint32_t parent = index.Parent(ALoc.node);
  if (ALoc.file != 0 && ALoc.node != PointerIndex::kRoot && parent != PointerIndex::kRoot &&
      index.Parent(parent) == PointerIndex::kRoot && index.Key(parent) == "definitions" &&
      !index.Key(ALoc.node).empty()) {
    ApiDefinition& definition = api_->definitions.emplace_back(ApiDefinition{
        index.Key(ALoc.node), schema, Keep(files_[ALoc.file]->name), api_->definitions.size()});
    Details(*schema).definition = &definition;
  }
  return schema;
}

void ApiReader::ReadQueuedSchemas() {
  // Reading a queued schema may queue further ones.
  for (size_t next = 0; next < schema_queue_.size(); ++next) {
    const Loc loc = schema_queue_[next];
    const std::string path = PathOf(loc);
    const InFile in_file(*this, loc.file);
    FillSchema(*schema_at_.at(loc.Key()), Value(loc), Where{nullptr, path, -1});
  }
  schema_queue_.clear();
}

// The definitions of other files that the document names anywhere, also
// in parts the client does not use (error responses), join the document's,
// and so do those named by what such references reach: every "$ref" outside
// "x-" members of the document and of each value reached in another file,
// each value once. A reference that cannot be followed is left to the part
// that uses it to report.
void ApiReader::ReachOtherFiles() {
  // Bare names and the document's own references are read where they stand.
  const auto followed = [](std::string_view ARef, bool AInDocument) {
    return ARef.find_first_of("#/.:") != std::string_view::npos &&
           !(AInDocument && ARef.front() == '#');
  };
  // Most documents name no other file: one pass over the tree's nodes saves
  // them the walk.
  if (root_folder_.empty() ||
      !tree_.AnyStringMember("$ref", [&](std::string_view ARef) { return followed(ARef, true); })) {
    return;
  }
  std::unordered_set<uint64_t> scanned;
  std::vector<Loc> pending = {Loc{0, PointerIndex::kRoot}};
  std::vector<JsonValue> stack;
  while (!pending.empty()) {
    const Loc loc = pending.back();
    pending.pop_back();
    const InFile in_file(*this, loc.file);
    stack.assign(1, Value(loc));
    while (!stack.empty()) {
      const JsonValue value = stack.back();
      stack.pop_back();
      for (const JsonValue element : value.Elements()) stack.push_back(element);
      for (const JsonMember member : value.Members()) {
        if (member.key.rfind("x-", 0) == 0) continue;
        if (member.key != "$ref" || member.value().Kind() != JsonKind::String) {
          stack.push_back(member.value());
          continue;
        }
        const std::string_view ref = member.value().Text();
        if (!followed(ref, loc.file == 0)) continue;
        std::string reason;
        const std::optional<Loc> target = Resolve(ref, Where{}, reason);
        if (!target || target->file == 0 || !scanned.insert(target->Key()).second) continue;
        const PointerIndex& index = Index(target->file);
        const uint32_t parent = index.Parent(target->node);
        if (target->node != PointerIndex::kRoot && parent != PointerIndex::kRoot &&
            index.Parent(parent) == PointerIndex::kRoot && index.Key(parent) == "definitions" &&
            Value(*target).IsObject()) {
          SchemaAt(*target);
        }
        pending.push_back(*target);
      }
    }
  }
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
    std::string_view reason;  // kept in the store, or a literal
    for (ApiSchema* current = start;;) {
      if (current->resolved != nullptr || !current->unresolved().empty()) {
        resolved = current->resolved;
        reason = current->unresolved();
        break;
      }
      if (!on_walk.insert(current).second) {
        reason = "reference cycle";
        Line("Unresolved", Where{nullptr, PathOf(loc_of_.at(current)), -1}, reason);
        break;
      }
      walk.push_back(current);
      // Unresolved targets have their reason already, so target is set.
      current = const_cast<ApiSchema*>(current->target);
    }
    for (ApiSchema* schema : walk) {
      schema->resolved = resolved;
      if (resolved == nullptr) Details(*schema).unresolved = reason;
    }
  }
}

// ---------------------------------------------------------------------------
// References outside schemas.

ChainEnd ApiReader::FollowReferences(const JsonValue& AObject, const Where& AWhere) {
  std::vector<Loc> walk;
  std::unordered_set<uint64_t> on_walk;
  ChainEnd end;
  JsonValue current = AObject;
  const InFile in_file(*this, current_);  // each hop resolves from the file it reached
  for (;;) {
    const std::optional<JsonValue> ref = current.FindMember("$ref");
    if (!ref || ref->Kind() != JsonKind::String) {
      // A target whose "$ref" is no text is taken as it stands.
      if (walk.empty()) {
        end.reason = "'$ref' is not a string";
      } else {
        end.end = walk.back();
      }
      break;
    }
    const std::optional<Loc> loc = Resolve(ref->Text(), AWhere, end.reason);
    if (!loc) break;
    if (const auto known = chain_end_.find(loc->Key()); known != chain_end_.end()) {
      end = known->second;
      break;
    }
    if (!on_walk.insert(loc->Key()).second) {
      end.reason = "reference cycle";
      break;
    }
    walk.push_back(*loc);
    current = Value(*loc);
    current_ = loc->file;
    if (!current.IsObject()) {
      end.reason = std::string(ref->Text()) + " is not an object";
      break;
    }
  }
  for (const Loc loc : walk) chain_end_.emplace(loc.Key(), end);
  if (!end.end) Line("Unresolved", AWhere, end.reason);
  return end;
}

const ApiParameter* ApiReader::ParameterAt(Loc ALoc) {
  const auto [found, inserted] = parameter_at_.try_emplace(ALoc.Key(), nullptr);
  if (inserted) {
    const std::string path = PathOf(ALoc);
    const InFile in_file(*this, ALoc.file);
    found->second = ReadParameter(Value(ALoc), Where{nullptr, path, -1});
  }
  return found->second;
}

const ApiParameter* ApiReader::ReadParameter(const JsonValue& AValue, const Where& AWhere) {
  if (!AValue.IsObject()) {
    Line("Skipped", AWhere, "not an object");
    return nullptr;
  }
  ApiParameter parameter;
  const ParameterMembers members(AValue);
  const std::optional<JsonValue>& name = members.name;
  if (name && name->Kind() == JsonKind::Number) {
    parameter.name = Text(*name, AWhere.Member("name"));
  } else if (name && name->Kind() == JsonKind::String) {
    parameter.name = name->Text();
  }
  if (parameter.name.empty()) {
    Line("Skipped", AWhere, "no name");
    return nullptr;
  }
  if (const std::optional<JsonValue>& in = members.in) {
    if (in->Kind() != JsonKind::String) {
      Line("Skipped", AWhere, "'in' is not a string");
      return nullptr;
    }
    const auto known = std::find(kLocations.begin(), kLocations.end(), in->Text());
    if (known == kLocations.end()) {
      Line("Skipped", AWhere, "unknown location '" + std::string(in->Text()) + "'");
      return nullptr;
    }
    parameter.in = *known;
  } else {
    Line("Read", AWhere, "no 'in', taken as a query parameter");
    parameter.in = "query";
  }
  if (const std::optional<JsonValue>& required = members.required) {
    parameter.required = Flag(*required, AWhere.Member("required"));
  }
  if (members.description) GivesText(*members.description, AWhere.Member("description"));
  if (parameter.in == "body") {
    if (const std::optional<JsonValue>& schema = members.schema) {
      parameter.schema = Schema(*schema, AWhere.Member("schema"));
    }
  } else {
    ApiSchema shape;
    ReadShape(shape, members, AWhere);
    parameter.type = shape.type;
    parameter.format = shape.format;
    parameter.items = shape.items;
    if (const std::optional<JsonValue>& format = members.collection_format) {
      const std::string_view text = Text(*format, AWhere.Member("collectionFormat"));
      if (!text.empty()) parameter.collection_format = text;
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
  ParameterKeys seen;
  size_t index = 0;
  for (const JsonValue element : AValue.Elements()) {
    const Where where = AWhere.Element(index++);
    const ApiParameter* parameter = nullptr;
    if (element.IsObject() && element.FindMember("$ref")) {
      const ChainEnd end = FollowReferences(element, where);
      if (end.end) parameter = ParameterAt(*end.end);
    } else {
      parameter = ReadParameter(element, where);
    }
    if (parameter == nullptr) continue;
    if (!seen.Insert(ParameterKey{parameter->name, parameter->in})) {
      Line("Skipped", where, "repeats the name and location of an earlier parameter");
      continue;
    }
    parameters.push_back(parameter);
  }
  return parameters;
}

ApiResponse* ApiReader::ResponseAt(Loc ALoc) {
  const auto [found, inserted] = response_at_.try_emplace(ALoc.Key(), nullptr);
  if (inserted) {
    const std::string path = PathOf(ALoc);
    const InFile in_file(*this, ALoc.file);
    found->second = ReadResponse(Value(ALoc), Where{nullptr, path, -1});
  }
  return found->second;
}

ApiResponse* ApiReader::ReadResponse(const JsonValue& AValue, const Where& AWhere) {
  if (!AValue.IsObject()) {
    Line("Skipped", AWhere, "not an object");
    return nullptr;
  }
  ApiResponse& response = api_->response_pool.emplace_back();
  SkipMemberText(AValue, "description", AWhere);
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
  ApiResponse* shared = end.end ? ResponseAt(*end.end) : nullptr;
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
  const uint32_t definitions = *Index(0).Child(PointerIndex::kRoot, "definitions");
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
    ApiSchema* schema = SchemaAt(Loc{0, *Index(0).Child(definitions, member.key)});
    ApiDefinition& definition =
        api_->definitions.emplace_back(ApiDefinition{member.key, schema, {}, api_->definitions.size()});
    Details(*schema).definition = &definition;
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
    uint32_t file;
    std::string path;  // empty for the item itself
  };
  std::vector<Part> parts = {Part{AItem, 0, {}}};
  std::unordered_set<uint64_t> on_walk;
  while (const std::optional<JsonValue> ref = parts.back().value.FindMember("$ref")) {
    const Where where = parts.size() == 1 ? AWhere : Where{nullptr, parts.back().path, -1};
    if (ref->Kind() != JsonKind::String) {
      Line("Skipped", where.Member("$ref"), "not a string");
      break;
    }
    std::string reason;
    const InFile in_file(*this, parts.back().file);
    const std::optional<Loc> loc = Resolve(ref->Text(), where, reason);
    if (!loc || !on_walk.insert(loc->Key()).second || !Value(*loc).IsObject()) {
      if (loc) {
        reason = Value(*loc).IsObject() ? "reference cycle"
                                        : std::string(ref->Text()) + " is not an object";
      }
      Line("Unresolved", where, reason);
      break;
    }
    parts.push_back(Part{Value(*loc), loc->file, PathOf(*loc)});
  }
  const auto where_of = [&](const Part& APart) {
    return APart.path.empty() ? AWhere : Where{nullptr, APart.path, -1};
  };

  std::vector<const ApiParameter*> path_parameters;
  for (const Part& part : parts) {
    if (const std::optional<JsonValue> parameters = part.value.FindMember("parameters")) {
      const Where where = where_of(part);
      const InFile in_file(*this, part.file);
      path_parameters = ParameterList(*parameters, where.Member("parameters"));
      break;
    }
  }
  for (const std::string_view method : kServedMethods) {
    for (const Part& part : parts) {
      if (const std::optional<JsonValue> operation = part.value.FindMember(method)) {
        const Where where = where_of(part);
        const InFile in_file(*this, part.file);
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
  operation.method = AMethod;  // one of kServedMethods
  operation.path = APath;
  operation.operation_id = MemberText(AValue, "operationId", AWhere);
  SkipMemberText(AValue, "summary", AWhere);
  SkipMemberText(AValue, "description", AWhere);
  const std::optional<JsonValue> consumes = AValue.FindMember("consumes");
  operation.consumes = consumes ? TextList(*consumes, AWhere.Member("consumes")) : api_->consumes;
  const std::optional<JsonValue> produces = AValue.FindMember("produces");
  operation.produces = produces ? TextList(*produces, AWhere.Member("produces")) : api_->produces;

  std::vector<const ApiParameter*> own;
  if (const std::optional<JsonValue> parameters = AValue.FindMember("parameters")) {
    own = ParameterList(*parameters, AWhere.Member("parameters"));
  }
  std::vector<const ApiParameter*> parameters;
  if (own.empty()) {
    parameters = APathParameters;
  } else {
    ParameterKeys overridden;
    for (const ApiParameter* parameter : own) overridden.Insert(ParameterKey{parameter->name, parameter->in});
    parameters.reserve(APathParameters.size() + own.size());
    for (const ApiParameter* parameter : APathParameters) {
      if (!overridden.Contains(ParameterKey{parameter->name, parameter->in})) parameters.push_back(parameter);
    }
    parameters.insert(parameters.end(), own.begin(), own.end());
  }
  operation.parameters = api_->store.List(parameters);

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
  // The last "swagger" member decides, its key matched ignoring case, as in
  // the default loader.
  for (const JsonMember member : root_.Members()) {
    if (!KeyNamesField(member.key, "swagger")) continue;
    const JsonKind kind = member.value().Kind();
    api_->swagger = kind == JsonKind::String || kind == JsonKind::Number ? member.value().Text()
                                                                         : std::string_view();
  }
  if (api_->swagger != "2.0") {
    throw Exception("Wrong Swagger version: \"" + std::string(api_->swagger) + "\". Expected \"2.0\"");
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
  ReachOtherFiles();
  ReadQueuedSchemas();
  ResolveSchemaChains();
  // The model views the trees' texts; their nodes are not needed any more.
  for (const std::unique_ptr<SourceFile>& file : files_) {
    file->tree->ReleaseNodes();
    api_->sources.push_back(std::move(file->tree));
  }
  return std::move(api_);
}

}  // namespace

std::unique_ptr<ApiDocument> ReadApiText(std::string AText, const TLogProc& ALog) {
  return ApiReader(std::make_unique<JsonTree>(JsonTree::Parse(std::move(AText))), ALog, {}).Read();
}

std::unique_ptr<ApiDocument> ReadApiFile(const std::string& AFileName, const TLogProc& ALog) {
  return ApiReader(std::make_unique<JsonTree>(ParseDocumentFile(AFileName)), ALog, AFileName).Read();
}

}  // namespace tolvane
