#include "swagger/convert_swagger.h"

#include "api/api_reader.h"
#include "platform/code_page.h"
#include "platform/exceptions.h"
#include "platform/file_system.h"
#include "platform/keep_until_exit.h"
#include "swagger/json_to_object.h"
#include "swagger/yaml_tree.h"
#include "unitdef/api_unit.h"
#include "unitdef/unit_definition.h"

namespace tolvane {
namespace {

[[noreturn]] void ThrowArgumentOutOfRange() {
  throw EArgumentOutOfRangeException("Argument außerhalb des Bereichs");
}

[[noreturn]] void ThrowPathFailure(std::string_view APath, std::string_view AWhat) {
  throw EJSONException("Path '" + std::string(APath) + "': " + std::string(AWhat));
}

// The root's member AName (its first one), which must be an object.
JsonValue RequireMap(const JsonValue& ARoot, std::string_view AName) {
  const std::optional<JsonValue> map = ARoot.FindMember(AName);
  if (!map) throw EJSONException("Wert '" + std::string(AName) + "' nicht gefunden");
  if (map->IsNull()) throw EJSONException("Member '" + std::string(AName) + "' is null");
  // Any other kind has already failed the filling rule at the root.
  if (!map->IsObject()) {
    throw EJSONException("Member '" + std::string(AName) + "' is not an object");
  }
  return *map;
}

// The operation that the first member of a path item names must have
// loaded before its security name or responses are attached to it.
void RequireOperation(const std::unique_ptr<TOperation>& AOperation, std::string_view APath,
                      std::string_view AMethod) {
  if (AOperation == nullptr) {
    ThrowPathFailure(APath, "the operation '" + std::string(AMethod) + "' could not be loaded");
  }
}

// One path item. Only its first member is read as an operation: that
// operation gets the name of its first security scheme and the responses.
std::unique_ptr<TPath> ReadPath(std::string_view AKey, const JsonValue& AItem) {
  std::unique_ptr<TPath> path = JsonToObject<TPath>(AItem);
  path->Fpath = AKey;

  const std::optional<JsonMember> first = AItem.FirstMember();
  if (!first) ThrowArgumentOutOfRange();
  const std::string_view method = first->key;
  const JsonValue operation = first->value();
  constexpr std::string_view kNoOperation =
      "the first member is not an operation object with a 'responses' object";
  if (!operation.IsObject()) ThrowPathFailure(AKey, kNoOperation);
  // Null for a method that is not in the method table ("x-foo"): its
  // responses are read and discarded.
  std::unique_ptr<TOperation>* field = path->OperationField(method);

  if (const std::optional<JsonValue> security = operation.FindMember("security")) {
    const auto throw_not_objects = [&] {
      ThrowPathFailure(AKey, "'security' of the operation '" + std::string(method) +
                                 "' is not an array of objects");
    };
    if (!security->IsArray()) throw_not_objects();
    const std::optional<JsonValue> requirement = security->FirstElement();
    if (!requirement) ThrowArgumentOutOfRange();
    if (!requirement->IsObject()) throw_not_objects();
    const std::optional<JsonMember> scheme = requirement->FirstMember();
    if (!scheme) ThrowArgumentOutOfRange();
    if (field != nullptr) {
      RequireOperation(*field, AKey, method);
      path->SetSecurity(method, scheme->key);
    }
  }

  const std::optional<JsonValue> responses = operation.FindMember("responses");
  if (!responses || !responses->IsObject()) ThrowPathFailure(AKey, kNoOperation);
  for (const JsonMember member : responses->Members()) {
    std::unique_ptr<TResponse> response = JsonToObject<TResponse>(member.value());
    response->FresponseCode = member.key;
    if (field == nullptr) continue;
    RequireOperation(*field, AKey, method);
    TOperation& target = **field;
    // Absent only when a failure inside "responses" was absorbed.
    if (target.Fresponses == nullptr) target.Fresponses = std::make_unique<TResponses>();
    target.Fresponses->Add(std::move(response));
  }
  if (field != nullptr) RequireOperation(*field, AKey, method);
  return path;
}

void ReadPaths(const JsonValue& ARoot, TSwagger& ASwagger) {
  const JsonValue paths = RequireMap(ARoot, "paths");
  // The collection is absent when a failure inside it was absorbed.
  if (ASwagger.Fpaths == nullptr) ASwagger.Fpaths = std::make_unique<TPaths>();
  ASwagger.Fpaths->FItems.reserve(ASwagger.Fpaths->FItems.size() + paths.Count());
  for (const JsonMember member : paths.Members()) {
    ASwagger.Fpaths->Add(ReadPath(member.key, member.value()));
  }
}

void ReadSecurityDefinitions(const JsonValue& ARoot, TSwagger& ASwagger) {
  const JsonValue definitions = RequireMap(ARoot, "securityDefinitions");
  if (ASwagger.FsecurityDefinitions == nullptr) {
    ASwagger.FsecurityDefinitions = std::make_unique<TSecurityDefinitions>();
  }
  ASwagger.FsecurityDefinitions->FItems.reserve(ASwagger.FsecurityDefinitions->FItems.size() +
                                                definitions.Count());
  for (const JsonMember member : definitions.Members()) {
    std::unique_ptr<TSecurityDefinition> definition =
        JsonToObject<TSecurityDefinition>(member.value());
    definition->FSecurityname = member.key;
    ASwagger.FsecurityDefinitions->Add(std::move(definition));
  }
}

void ReadDefinitions(const JsonValue& ARoot, TSwagger& ASwagger) {
  const JsonValue definitions = RequireMap(ARoot, "definitions");
  if (ASwagger.Fdefinitions == nullptr) ASwagger.Fdefinitions = std::make_unique<TDefinitions>();
  ASwagger.Fdefinitions->FItems.reserve(ASwagger.Fdefinitions->FItems.size() + definitions.Count());
  for (const JsonMember member : definitions.Members()) {
    const JsonValue value = member.value();
    if (!value.IsObject()) ThrowNotAnObject();
    ASwagger.Fdefinitions->Add(
        ReadDefinition(value, member.key, value.FindMember("properties")));
  }
}

}  // namespace

std::unique_ptr<TDefinition> ReadDefinition(const JsonValue& ADefinition, std::string_view AName,
                                            std::optional<JsonValue> AProperties) {
  std::unique_ptr<TDefinition> definition = JsonToObject<TDefinition>(ADefinition);
  definition->FName = AName;
  // Any other kind has been read by the filling rule alone: an array into
  // properties filled as model objects, null into none, the rest a failure.
  if (!AProperties || !AProperties->IsObject()) return definition;
  definition->Fproperties.reserve(definition->Fproperties.size() + AProperties->Count());
  for (const JsonMember member : AProperties->Members()) {
    std::unique_ptr<TProperty> property = JsonToObject<TProperty>(member.value());
    property->Fname = member.key;
    // The whole property object read as a schema: its "$ref", "type" and
    // "items", replacing the schema that its "items" member filled.
    property->Fitems = JsonToObject<TSchema>(member.value());
    definition->Add(std::move(property));
  }
  return definition;
}

namespace {

std::unique_ptr<TSwagger> ReadModel(const JsonTree& ATree) {
  const JsonValue root = ATree.Root();
  std::unique_ptr<TSwagger> swagger = JsonToObject<TSwagger>(root);
  if (swagger->FSwagger != "2.0") {
    throw Exception("Wrong Swagger version: \"" + std::string(swagger->FSwagger) + "\". Expected \"2.0\"");
  }
  ReadPaths(root, *swagger);
  ReadSecurityDefinitions(root, *swagger);
  ReadDefinitions(root, *swagger);
  return swagger;
}

// The model's texts view the tree's text: the model keeps it, and the nodes
// are freed once the model is read.
std::unique_ptr<TSwagger> LoadTree(JsonTree ATree) {
  auto tree = std::make_unique<JsonTree>(std::move(ATree));
  std::unique_ptr<TSwagger> swagger = ReadModel(*tree);
  tree->ReleaseNodes();
  swagger->FDocumentText = std::move(tree);
  return swagger;
}

}  // namespace

std::unique_ptr<TSwagger> LoadSwaggerText(std::string AText) {
  return LoadTree(JsonTree::Parse(std::move(AText)));
}

std::unique_ptr<TSwagger> LoadSwagger(const std::string& AFileName) {
  return LoadTree(ParseDocumentFile(AFileName));
}

void HandOver(TSwagger& ASwagger, TUnitDefinition& AUnit, const std::string& AFileName,
              const std::string& AClassnameFilter, const TLogProc& ALogProcedure) {
  AUnit.FLogProcedure = ALogProcedure;
  AUnit.FName = AFileName;
  AUnit.FHost = ASwagger.Fhost;
  AUnit.FBasePath = ASwagger.FbasePath;
  AUnit.FClassnameFilter = AClassnameFilter;
  for (const std::string_view scheme : ASwagger.Fschemes) AUnit.FSchemes.emplace_back(scheme);
  AUnit.FPaths = ASwagger.Fpaths.get();
  if (ASwagger.FsecurityDefinitions != nullptr) {
    for (const auto& definition : ASwagger.FsecurityDefinitions->FItems) {
      AUnit.FSecurityDefinitions.push_back(definition.get());
    }
  }
  if (ASwagger.Fdefinitions != nullptr) {
    AUnit.FObjects.reserve(AUnit.FObjects.size() + ASwagger.Fdefinitions->FItems.size());
    for (std::unique_ptr<TDefinition>& definition : ASwagger.Fdefinitions->FItems) {
      TObjectDefinition* object =
          AUnit.AddObject(std::string(definition->FName), std::string(definition->Ftype));
      object->Setdescription(std::string(definition->Fdescription));
      object->Properties().reserve(definition->Fproperties.size());
      for (const auto& property : definition->Fproperties) {
        std::string_view ref;
        std::string_view item_ref;
        std::string_view item_type;
        if (const TSchema* schema = property->Fitems.get()) {
          ref = schema->Fref;
          if (const TItems* items = schema->Fitems.get()) {
            item_ref = items->Fref;
            item_type = items->Ftype;
          }
        }
        object->AddProperty(std::string(property->Fname), std::string(property->Ftype),
                            std::string(property->Fformat), std::string(ref), std::string(item_ref),
                            std::string(item_type), std::string(property->Fdescription));
      }
      // Freed at once, so that the next classes take the room it leaves.
      definition.reset();
    }
    ASwagger.Fdefinitions.reset();
  }
  AUnit.FConfig.WriteOperations = AClassnameFilter.empty();
  AUnit.FClassnameFilter = AClassnameFilter;
}

TSwaggerConverter::TSwaggerConverter(TLogProc AWriteLine)
    : FUnitDefinition(std::make_unique<TUnitDefinition>()), FWriteLine(std::move(AWriteLine)) {}

TSwaggerConverter::~TSwaggerConverter() = default;

void TSwaggerConverter::SetFileName(const std::string& AFileName) {
  FFileName = AFileName;
  Convert();
}

void TSwaggerConverter::Convert() {
  const TLogProc log = FWriteLine;
  log("Reading " + FFileName);
  if (FUnitDefinition->FConfig.Compilable) {
    // --compilable reads the document tolerantly into the API model and
    // builds its unit from that; the unit model is not used.
    std::unique_ptr<ApiDocument> api = ReadApiFile(FFileName, log);
    TResolvedUnit unit = ResolveApiUnit(*api, FFileName, FClassnameFilter, log);
    // The resolved unit holds every text the writers need, the document's
    // text it views included: the rest of the API model is freed before the
    // unit's bytes are made, so the two are never held together.
    api.reset();
    SaveResolvedUnit(std::move(unit), log);
    return;
  }
  std::unique_ptr<TSwagger> swagger = LoadSwagger(FFileName);
  // Takes the definitions over and frees them.
  HandOver(*swagger, *FUnitDefinition, FFileName, FClassnameFilter, log);

  // The unit model borrows the paths and the security definitions only
  // while it writes; drop the references before the tree goes, also when
  // Save fails.
  struct DropBorrowed {
    TUnitDefinition& unit;
    ~DropBorrowed() {
      unit.FPaths = nullptr;
      unit.FSecurityDefinitions.clear();
    }
  } drop_borrowed{*FUnitDefinition};
  FUnitDefinition->Save();
  Discard(std::move(swagger));
}

}  // namespace tolvane
