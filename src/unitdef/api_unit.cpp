// The rule of --compilable, from the API model: class identifiers and fields
// planned once in document order, then the client's methods, each with the
// lines that send its arguments and credentials, check the status and turn
// the response into the result.
#include "unitdef/api_unit.h"

#include <algorithm>
#include <array>
#include <deque>
#include <memory>
#include <memory_resource>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "platform/code_page.h"
#include "platform/exceptions.h"
#include "platform/local_time.h"
#include "platform/utf8.h"
#include "unitdef/class_order.h"
#include "unitdef/delphi_type.h"
#include "unitdef/identifiers.h"
#include "unitdef/line_text.h"
#include "unitdef/name_plan.h"
#include "unitdef/sanitize.h"
#include "unitdef/signature.h"
#include "unitdef/text_conversions.h"
#include "unitdef/type_mapping.h"
#include "unitdef/unit_definition.h"
#include "unitdef/unit_resolver.h"

namespace tolvane {

namespace {

// Types and constants that the unit names unqualified; a class, property,
// method or argument of the same name would hide them.
constexpr std::array<std::string_view, 21> kLibraryTypes = {
    "TJSON",         "TJSONObject",      "TJSONArray",      "TJSONValue", "TRestClient",
    "TRestRequest",  "TRestResponse",    "TRESTContentType", "TFormatSettings", "TObject",
    "TArray",        "TDateTime",        "Integer",         "Int64",      "Double",
    "Boolean",       "True",             "Exception",       "EApiError",  "JSONName",
    "JSONNameAttribute"};

// Routines and constants that the client methods use unqualified.
constexpr std::array<std::string_view, 28> kBodyNames = {
    "IntToStr",      "BoolToStr",          "FloatToStr",   "DateToIso8601", "ISO8601ToDate", "StrToInt",
    "StrToInt64",    "StrToBool",          "StrToFloat",   "SetLength",     "Length",        "Assigned",
    "emptyStr",      "Self",               "pkHTTPHEADER", "pkURLSEGMENT",  "pkQUERY",       "pkREQUESTBODY",
    "pkGETorPOST",   "rmGET",              "rmPOST",       "rmPUT",         "rmDelete",      "rmPATCH",
    "poDoNotEncode", "ctAPPLICATION_JSON", "Copy",         "MaxInt"};

// The locals of every client method and the members of the client class.
constexpr std::array<std::string_view, 6> kMethodLocals = {"Client", "Request",        "Response",
                                                           "Result", "FAuthorization", "Authorization"};
// The methods of every object that the generated code and its users call:
// Free on every object, Create where JSONToObject makes one, Destroy in a
// destructor. A member of the same name would hide them.
constexpr std::array<std::string_view, 3> kObjectMethods = {"Free", "Create", "Destroy"};

// The locals of a method that returns an array.
constexpr std::array<std::string_view, 2> kArrayResultLocals = {"I", "ReturnArray"};

// The class that a failed request raises, declared once in a unit with a
// client.
const TSupportCode& ApiErrorCode() {
  static const TSupportCode code{
      {"",
       "  // Raised by the client's methods for a response whose status is outside 2xx.",
       "  EApiError = class(Exception)",
       "  private",
       "    FStatusCode : Integer;",
       "    FResponseText : string;",
       "  public",
       "    constructor Create(AStatusCode : Integer; const AResponseText : string);",
       "    property StatusCode : Integer read FStatusCode;",
       "    property ResponseText : string read FResponseText;",
       "  end;"},
      {"",
       "{ EApiError }",
       "",
       "constructor EApiError.Create(AStatusCode : Integer; const AResponseText : string);",
       "begin",
       "  inherited Create('HTTP status ' + IntToStr(AStatusCode) + ': ' + AResponseText);",
       "  FStatusCode := AStatusCode;",
       "  FResponseText := AResponseText;",
       "end;"}};
  return code;
}

const std::vector<std::string> kClientComments = {
    "One method per operation of the document. Each argument is sent where the document says (path, "
    "query, header, form field or body); an array is joined by its collectionFormat (csv with \",\", "
    "ssv with \" \", tsv with a tab, pipes with \"|\") or, for multi, sent once per item.",
    "A response status outside 2xx raises EApiError with the status code and the response text; a "
    "method with a result returns the response of the operation's status 200, else its lowest 2xx.",
    "Authorization is sent as the operation's security scheme says (its own security, else the "
    "document's): an apiKey under its name in its header or query, basic and oauth2 as the "
    "Authorization header, as given: set it to 'Basic ...' or 'Bearer ...'."};

std::string Escaped(const std::string& AName) { return IsDelphiReservedWord(AName) ? "&" + AName : AName; }

bool NotReserved(const std::string& AName) { return !IsDelphiReservedWord(AName); }

std::string RequestMethodOf(std::string_view AMethod) {
  if (AMethod == "get") return "rmGET";
  if (AMethod == "put") return "rmPUT";
  if (AMethod == "post") return "rmPOST";
  if (AMethod == "delete") return "rmDelete";
  return "rmPATCH";
}

// The separator of a collectionFormat that joins the items into one value;
// empty for multi, which repeats the parameter.
std::string_view SeparatorOf(std::string_view AFormat) {
  if (AFormat == "multi") return {};
  if (AFormat == "ssv") return "' '";
  if (AFormat == "tsv") return "#9";
  if (AFormat == "pipes") return "'|'";
  return "','";
}

// The JSON types of the library, which hold their JSON themselves.
bool IsJsonType(std::string_view AType) { return AType == "TJSONValue" || AType == "TJSONObject"; }

// A value of the type as text: a simple value converted, a JSON value as
// its text, an object as its JSON.
std::string ValueText(std::string_view AType, std::string_view AName) {
  if (IsSimpleType(AType)) {
    const TConversion conversion = ValueAsText(AType, true);
    return JoinText({conversion.Open, AName, conversion.Close});
  }
  if (IsJsonType(AType)) return JoinText({AName, ".ToJSON"});
  return JoinText({"TJSON.ObjectToJSONString(", AName, ")"});
}

// An object schema written inline: no reference, with properties of its own
// or in an inline part of its allOf. It becomes a class of its own.
bool IsInlineObject(const ApiSchema& ASchema) {
  if (!ASchema.ref.empty()) return false;
  if (!ASchema.properties.empty()) return true;
  const std::span<const ApiSchema* const> parts = ASchema.all_of();
  return std::any_of(parts.begin(), parts.end(),
                     [](const ApiSchema* APart) { return APart->ref.empty() && !APart->properties.empty(); });
}

// An inline object schema, or an array (of arrays ...) of one: what
// NameInline makes a class of.
bool HoldsInlineObject(const ApiSchema* ASchema) {
  for (; ASchema != nullptr; ASchema = ASchema->items) {
    if (IsInlineObject(*ASchema)) return true;
    if (!ASchema->ref.empty()) return false;
  }
  return false;
}

// The comment that lists the allowed values of an enum; empty without one.
std::string AllowedValues(const ApiSchema* ASchema) {
  if (ASchema == nullptr || ASchema->enum_values().empty()) return {};
  std::string text = "Allowed values:";
  for (size_t i = 0; i < ASchema->enum_values().size(); ++i) {
    const ApiValue& value = ASchema->enum_values()[i];
    text += i == 0 ? " " : ", ";
    text += value.kind == JsonKind::Object ? "{}" : value.kind == JsonKind::Array ? "[]" : value.text;
  }
  return text;
}

void AppendCharacterCode(std::string& AText, char32_t ACode) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  AText += "#$";
  for (int shift = 12; shift >= 0; shift -= 4) AText += kHex[(ACode >> shift) & 0xF];
}

// A field's JSON key as the literal its attribute gives: a control
// character as #nn and a character outside Windows-1252 as #$hhhh (its
// UTF-16 code units), so that the key survives the unit's code page.
std::string JsonKeyLiteral(std::string_view AKey) {
  // Most keys are printable ASCII without a quote: one quoted part as they are.
  if (std::all_of(AKey.begin(), AKey.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '\''; })) {
    std::string literal;
    literal.reserve(AKey.size() + 2);
    return literal.append(1, '\'').append(AKey).append(1, '\'');
  }
  std::string literal;
  bool quoted = false;
  for (size_t pos = 0; pos < AKey.size();) {
    char32_t code = 0;
    const size_t length = Utf8CharacterAt(AKey, pos, code);
    const std::string_view character = AKey.substr(pos, length);
    pos += length;
    const bool fits = code >= 0x20 && code != 0x7F && (code < 0x80 || Utf8ToWindows1252(character) != "?");
    if (fits) {
      if (!quoted) literal += '\'';
      quoted = true;
      if (code == '\'') literal += '\'';
      literal += character;
      continue;
    }
    if (quoted) literal += '\'';
    quoted = false;
    if (code < 0x80) {
      literal += "#" + std::to_string(static_cast<unsigned>(code));
    } else if (code > 0xFFFF) {
      AppendCharacterCode(literal, 0xD800 + ((code - 0x10000) >> 10));
      AppendCharacterCode(literal, 0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      AppendCharacterCode(literal, code);
    }
  }
  if (quoted) literal += '\'';
  return literal;
}

// A simple type by its type and format, in the spelling the unit declares;
// a file is its content as text.
std::string SimpleType(std::string_view AType, std::string_view AFormat) {
  if (AType == "file") return "string";
  const std::string_view simple = DeclaredSimpleType(MapSimpleType(AType, AFormat));
  return simple.empty() ? "TJSONValue" : std::string(simple);
}

// Inline class identifiers are cut to this length before a number is added.
constexpr size_t kMaxInlineClassLength = 101;

class TApiResolver {
 public:
  TApiResolver(const ApiDocument& ADocument, const std::string& AFileName, const std::string& AFilter,
               const TLogProc& ALog);

  TResolvedUnit Resolve();

 private:
  // A type text and the class it names (directly or as an array's
  // element), or -1.
  struct TType {
    std::string Text;
    int Class = -1;
  };
  struct TPlannedClass {
    const ApiSchema* Schema = nullptr;          // as the document writes it; never null
    const ApiDefinition* Definition = nullptr;  // null for an inline schema
    TResolvedClass Class;
    // The class it derives from (allOf of one reference to a definition and
    // inline parts), or -1.
    int Ancestor = -1;
    bool HasDescendants = false;         // some class derives from it
    // The JSON keys of its fields, sorted; kept only with descendants, which
    // leave them out.
    std::vector<std::string_view> Keys;
    std::optional<TNameScope> Members;   // its fields and properties, inside its ancestor's
    std::vector<int> Uses;                 // the classes its fields name, each once, in field order
    bool Planned = false;
  };

  void Log(const std::string& ALine) const {
    if (FLog) FLog(ALine);
  }
  void NameDefinitions();
  // The inline object schemas that the classes from FNamed on stand in
  // become classes, named after their place; their own inline schemas too.
  void NameNestedSchemas();
  void NameInline(const ApiSchema* ASchema, std::string AName);
  void NameMethods();
  void FindAncestors();
  void PlanMembers(int AClass);
  void PlanFields(TPlannedClass& APlan);

  int DefinitionIndexOf(const ApiSchema* ASchema) const;
  bool IsArraySchema(const ApiSchema* ASchema) const;
  // The type a reference to a definition (by its position, which is also
  // its class's) writes: its class, or what the definition holds when that
  // is an array, a simple value or a JSON object.
  TType DefinitionType(int ADefinition) const;
  // The type written for a schema: a simple type, a class, TArray<...> of
  // these, TJSONObject for a map or a free-form object, anything else (an
  // unresolved reference, a value of any type) as TJSONValue. An array's
  // element that is itself an array is TJSONValue.
  TType TypeOf(const ApiSchema* ASchema) const;
  TType ElementType(const ApiSchema* AItems) const;
  std::string ParameterType(const ApiParameter& AParameter) const;

  void ResolveMethod(size_t AOperation, TResolvedMethod& AMethod);
  void ResolveArgument(const ApiParameter& AParameter, bool AUrlEncodedForm, TNameScope& AScope,
                       TResolvedMethod& AMethod);
  static void ResolveCredentials(const ApiSecurityScheme* AScheme, TResolvedCredentials& ACredentials);

  const ApiDocument& FDocument;
  const std::string& FFilter;
  const TLogProc& FLog;
  TOutputName FOutput;
  std::string FClientClass;
  // Library types, the client class and the class identifiers; then the
  // routines and constants that method bodies use; then the methods.
  TNameScope FTypes;
  TNameScope FBodyNames{&FTypes};
  TNameScope FMethods{&FBodyNames};
  // The locals of every method; with those of a method that returns an
  // array. Each method's arguments have one of the two around them.
  TNameScope FMethodLocals{&FBodyNames};
  TNameScope FArrayMethodLocals{&FMethodLocals};
  // The methods of every object and the routine the destructors call.
  TNameScope FObjectMembers{&FTypes};
  // The definitions' classes in document order, then the inline ones in the
  // order they are met.
  std::deque<TPlannedClass> FClasses;
  size_t FNamed = 0;                      // the classes whose inline schemas are named
  std::deque<std::string> FIdentifiers;  // of FClasses, which give their classes to the unit
  std::unordered_map<const ApiSchema*, int> FInlineIndex;
  std::vector<std::string> FMethodNames;  // per operation
  std::vector<const TPlannedClass*> FUsedBy;  // per class: the last class found to use it
};

TApiResolver::TApiResolver(const ApiDocument& ADocument, const std::string& AFileName, const std::string& AFilter,
                           const TLogProc& ALog)
    : FDocument(ADocument), FFilter(AFilter), FLog(ALog) {
  if (!FFilter.empty()) {
    bool found = false;
    for (const ApiDefinition& definition : FDocument.definitions) found = found || definition.name == FFilter;
    if (!found) throw Exception("Class " + FFilter + " not found");
  }
  const TOutputName output = MakeOutputName(AFileName);
  FOutput.Directory = output.Directory;
  FOutput.FileName = CompilableUnitName(output.UnitName()) + ".pas";

  for (const std::string_view name : kLibraryTypes) FTypes.Take(name);
  for (const std::string_view name : kBodyNames) FBodyNames.Take(name);
  for (const std::string_view name : kMethodLocals) FMethodLocals.Take(name);
  for (const std::string_view name : kArrayResultLocals) FArrayMethodLocals.Take(name);
  for (const std::string_view name : kObjectMethods) FObjectMembers.Take(name);
  FObjectMembers.Take("Assigned");
  // The client class keeps its name, also in a unit made with the class
  // filter, so that the classes are named alike in every unit of a document.
  FClientClass = FTypes.TakeUnique("T" + DocumentIdentifierPart(FDocument.base_path), NotReserved);
  // A class named T would have no presence test as an optional argument
  // and would be hidden by the destructors' loop variable T.
  FTypes.Take("T");
  NameDefinitions();
  NameNestedSchemas();
  for (const std::string_view name : kMethodLocals) FMethods.Take(name);
  for (const std::string_view name : kArrayResultLocals) FMethods.Take(name);
  for (const std::string_view name : kObjectMethods) FMethods.Take(name);
  NameMethods();
  NameNestedSchemas();
  FindAncestors();
  for (size_t i = 0; i < FClasses.size(); ++i) PlanMembers(static_cast<int>(i));
}

void TApiResolver::NameDefinitions() {
  for (const ApiDefinition& definition : FDocument.definitions) {
    std::string identifier =
        FTypes.TakeUnique("T" + DocumentIdentifierPart(definition.name), NotReserved);
    TPlannedClass& plan = FClasses.emplace_back();
    plan.Schema = definition.schema;
    plan.Definition = &definition;
    plan.Class.Identifier = identifier;
    FIdentifiers.push_back(std::move(identifier));
  }
}

void TApiResolver::NameNestedSchemas() {
  for (; FNamed < FClasses.size(); ++FNamed) {
    const ApiSchema* schema = FClasses[FNamed].Schema;
    const std::string& owner = FIdentifiers[FNamed];
    // Its own properties: those written in it and in the inline parts of
    // its allOf (those reached through a reference are the target's).
    std::vector<const ApiSchema*> parts = {schema};
    for (size_t p = 0; p < parts.size(); ++p) {
      for (const ApiProperty& property : parts[p]->properties) {
        // Most properties hold no inline object: their name is not built.
        if (!HoldsInlineObject(property.schema)) continue;
        NameInline(property.schema, owner + "_" + DocumentIdentifierPart(property.name));
      }
      for (const ApiSchema* part : parts[p]->all_of()) {
        if (part->ref.empty()) parts.push_back(part);
      }
    }
    // An array definition's items.
    if (!IsInlineObject(*schema)) NameInline(schema->items, owner + "_Item");
  }
}

void TApiResolver::NameInline(const ApiSchema* ASchema, std::string AName) {
  for (; ASchema != nullptr; ASchema = ASchema->items) {
    if (IsInlineObject(*ASchema)) {
      if (FInlineIndex.contains(ASchema)) return;
      if (AName.size() > kMaxInlineClassLength) AName.resize(kMaxInlineClassLength);
      std::string identifier = FTypes.TakeUnique(AName, [this](const std::string& ACandidate) {
        return NotReserved(ACandidate) && FMethods.IsFree(ACandidate);
      });
      FInlineIndex.emplace(ASchema, static_cast<int>(FClasses.size()));
      TPlannedClass& plan = FClasses.emplace_back();
      plan.Schema = ASchema;
      plan.Class.Identifier = identifier;
      FIdentifiers.push_back(std::move(identifier));
      return;
    }
    if (!ASchema->ref.empty()) return;
    AName += "_Item";
  }
}

void TApiResolver::NameMethods() {
  FMethodNames.reserve(FDocument.operations.size());
  for (const ApiOperation& operation : FDocument.operations) {
    // Named from the operationId, else from the method and the path.
    const std::string made = MakeIdentifier(operation.operation_id, false);
    std::string method =
        FMethods.TakeUnique(made.empty() ? MethodNameFromPath(operation.method, operation.path) : PlainIdentifier(made));
    // The inline schemas of its result and body are named after it.
    if (operation.result != nullptr) NameInline(operation.result->schema, "T" + method + "_Response");
    for (const ApiParameter* parameter : operation.parameters) {
      if (parameter->in == "body") NameInline(parameter->schema, "T" + method + "_Body");
    }
    FMethodNames.push_back(std::move(method));
  }
}

void TApiResolver::FindAncestors() {
  // The ancestor: the one reference of an allOf whose other parts are inline.
  for (TPlannedClass& plan : FClasses) {
    const ApiSchema* reference = nullptr;
    size_t references = 0;
    for (const ApiSchema* part : plan.Schema->all_of()) {
      if (!part->ref.empty()) {
        reference = part;
        ++references;
      }
    }
    if (references == 1) plan.Ancestor = DefinitionIndexOf(reference);
  }
  // Each class has at most one ancestor: a walk from every class finds each
  // cycle once. The cycle's first class in document order merges its parts'
  // properties instead, which reach those of the whole cycle, and the others
  // derive from it, so that no property is written more often than needed.
  std::vector<uint8_t> state(FClasses.size(), 0);  // 0 new, 1 on the current walk, 2 done
  std::vector<int> walk;
  for (size_t start = 0; start < FClasses.size(); ++start) {
    walk.clear();
    int current = static_cast<int>(start);
    while (current >= 0 && state[current] == 0) {
      state[current] = 1;
      walk.push_back(current);
      current = FClasses[current].Ancestor;
    }
    if (current >= 0 && state[current] == 1) {
      const auto first = std::find(walk.begin(), walk.end(), current);
      std::string names;
      for (auto member = first; member != walk.end(); ++member) {
        names += (member == first ? "" : ", ") + FIdentifiers[*member];
      }
      const int merged = *std::min_element(first, walk.end());
      FClasses[merged].Ancestor = -1;
      Log("Cycle through ancestors: " + names + "; " + FIdentifiers[merged] +
          " merges the properties of its allOf parts");
    }
    for (const int member : walk) state[member] = 2;
  }
  for (const TPlannedClass& plan : FClasses) {
    if (plan.Ancestor >= 0) FClasses[plan.Ancestor].HasDescendants = true;
  }
}

void TApiResolver::PlanMembers(int AClass) {
  // The ancestors first, from the root down, so that a class knows the
  // names and keys it inherits.
  std::vector<int> chain;
  for (int current = AClass; current >= 0 && !FClasses[current].Planned; current = FClasses[current].Ancestor) {
    chain.push_back(current);
  }
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) PlanFields(FClasses[*it]);
}

void TApiResolver::PlanFields(TPlannedClass& APlan) {
  APlan.Planned = true;
  const TPlannedClass* ancestor = APlan.Ancestor < 0 ? nullptr : &FClasses[APlan.Ancestor];
  const auto inherited = [&](std::string_view AKey) {
    for (const TPlannedClass* a = ancestor; a != nullptr; a = a->Ancestor < 0 ? nullptr : &FClasses[a->Ancestor]) {
      if (std::binary_search(a->Keys.begin(), a->Keys.end(), AKey)) return true;
    }
    return false;
  };
  // What the walk below holds lives on the stack for a class of a few
  // properties: planning makes no allocation of its own per class.
  std::array<std::byte, 4096> buffer;
  std::pmr::monotonic_buffer_resource memory(buffer.data(), buffer.size());
  // Its properties, then those of its allOf parts, in order, references
  // followed, the first of a key winning; a derived class leaves out its
  // ancestor's part and the keys it inherits.
  std::pmr::vector<const ApiProperty*> properties(&memory);
  // A key is taken once. Most classes have a few properties: the keys taken
  // are compared one by one until there are kFewKeys of them, then they go
  // into a table.
  constexpr size_t kFewKeys = 16;
  std::pmr::unordered_set<std::string_view> keys(&memory);
  const auto FirstTime = [&](std::string_view AKey) {
    if (keys.empty()) {
      if (properties.size() < kFewKeys) {
        return std::none_of(properties.begin(), properties.end(),
                            [&](const ApiProperty* ATaken) { return ATaken->name == AKey; });
      }
      for (const ApiProperty* taken : properties) keys.insert(taken->name);
    }
    return keys.insert(AKey).second;
  };
  std::pmr::unordered_set<const ApiSchema*> visited(&memory);
  if (ancestor != nullptr) visited.insert(ancestor->Schema);
  std::pmr::vector<const ApiSchema*> stack({APlan.Schema}, &memory);
  while (!stack.empty()) {
    const ApiSchema* schema = stack.back();
    stack.pop_back();
    if (schema == nullptr || !visited.insert(schema).second) continue;
    for (const ApiProperty& property : schema->properties) {
      if (!inherited(property.name) && FirstTime(property.name)) properties.push_back(&property);
    }
    const std::span<const ApiSchema* const> parts = schema->all_of();
    for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
      const ApiSchema* target = (*part)->resolved;
      if (ancestor != nullptr && target == ancestor->Schema->resolved) target = ancestor->Schema;
      stack.push_back(target);
    }
  }

  if (APlan.HasDescendants) {
    APlan.Keys.reserve(properties.size());
    for (const ApiProperty* property : properties) APlan.Keys.push_back(property->name);
    std::sort(APlan.Keys.begin(), APlan.Keys.end());
  }

  TResolvedClass& clazz = APlan.Class;
  if (ancestor != nullptr) clazz.Ancestor = ancestor->Class.Identifier;
  clazz.Description = APlan.Schema->description;
  clazz.Fields.resize(properties.size());
  // Marks the classes this one uses already, by the class's own number.
  FUsedBy.resize(FClasses.size(), nullptr);
  for (size_t p = 0; p < properties.size(); ++p) {
    const ApiSchema* property = properties[p]->schema;
    TResolvedField& field = clazz.Fields[p];
    field.Description = property->description;
    const ApiSchema* valued = property->resolved;
    if (valued != nullptr && valued->type == "array" && valued->items != nullptr) valued = valued->items->resolved;
    if (std::string allowed = AllowedValues(valued); !allowed.empty()) field.Comments.push_back(std::move(allowed));
    field.JsonKey = JsonKeyLiteral(properties[p]->name);
    TType type = TypeOf(property);
    field.Type = std::move(type.Text);
    // What the class owns follows the types it writes: a class, a JSON
    // value or object, or an array of these.
    const bool isArray = IsArrayType(field.Type);
    if (!IsDeclaredSimpleType(isArray ? ArrayElement(field.Type) : std::string_view(field.Type))) {
      field.Ownership = isArray ? TOwnership::ObjectArray : TOwnership::Object;
    }
    if (type.Class >= 0 && FUsedBy[type.Class] != &APlan) {
      FUsedBy[type.Class] = &APlan;
      APlan.Uses.push_back(type.Class);
    }
  }

  // Fields and properties share the class's scope, inside the ancestor's.
  // The destructors call Assigned. The names every object has are in one
  // scope around the classes without ancestor, and so around every class.
  TNameScope& members = APlan.Members.emplace(ancestor != nullptr ? &*ancestor->Members : &FObjectMembers);
  members.Reserve(2 * properties.size());
  for (size_t p = 0; p < properties.size(); ++p) {
    TResolvedField& field = clazz.Fields[p];
    const std::string name = members.TakeUnique(DocumentIdentifier(properties[p]->name));
    const std::string fieldName = members.TakeUnique("F" + name);
    field.Property = Escaped(name);
    field.Field = Escaped(fieldName);
  }
}

int TApiResolver::DefinitionIndexOf(const ApiSchema* ASchema) const {
  if (ASchema == nullptr) return -1;
  // A reference to a definition is that definition, whatever it holds; a
  // chain of other references is its end's.
  const ApiDefinition* definition = nullptr;
  if (ASchema->target != nullptr && ASchema->target->definition() != nullptr) {
    definition = ASchema->target->definition();
  } else if (ASchema->resolved != nullptr) {
    definition = ASchema->resolved->definition();
  }
  // The definitions are the first classes, in their order.
  if (definition == nullptr || definition->position >= FDocument.definitions.size() ||
      &FDocument.definitions[definition->position] != definition) {
    return -1;
  }
  return static_cast<int>(definition->position);
}

bool TApiResolver::IsArraySchema(const ApiSchema* ASchema) const {
  if (ASchema == nullptr) return false;
  if (const int definition = DefinitionIndexOf(ASchema); definition >= 0) {
    const ApiSchema& schema = *FDocument.definitions[definition].schema;
    return schema.ref.empty() && schema.properties.empty() && schema.all_of().empty() && schema.type == "array";
  }
  return ASchema->resolved != nullptr && ASchema->resolved->type == "array";
}

TApiResolver::TType TApiResolver::DefinitionType(int ADefinition) const {
  const ApiSchema& schema = *FDocument.definitions[ADefinition].schema;
  const TType own{FIdentifiers[ADefinition], ADefinition};
  if (!schema.ref.empty() || !schema.properties.empty() || !schema.all_of().empty()) return own;
  if (schema.type == "array") {
    if (schema.items == nullptr) return {"TJSONValue"};
    TType element = ElementType(schema.items);
    return {ArrayType(element.Text), element.Class};
  }
  if (const std::string simple = SimpleType(schema.type, schema.format); simple != "TJSONValue") return {simple};
  if (schema.type == "object" || (schema.type.empty() && schema.has_additional_properties())) return {"TJSONObject"};
  return own;
}

TApiResolver::TType TApiResolver::ElementType(const ApiSchema* AItems) const {
  if (AItems == nullptr || IsArraySchema(AItems)) return {"TJSONValue"};
  return TypeOf(AItems);
}

TApiResolver::TType TApiResolver::TypeOf(const ApiSchema* ASchema) const {
  if (ASchema == nullptr) return {"TJSONValue"};
  if (const int definition = DefinitionIndexOf(ASchema); definition >= 0) return DefinitionType(definition);
  const ApiSchema* schema = ASchema->resolved;
  if (schema == nullptr) return {"TJSONValue"};
  if (const auto found = FInlineIndex.find(schema); found != FInlineIndex.end()) {
    return {FIdentifiers[found->second], found->second};
  }
  if (schema->type == "array") {
    if (schema->items == nullptr) return {"TJSONValue"};
    TType element = ElementType(schema->items);
    return {ArrayType(element.Text), element.Class};
  }
  // An allOf of one reference alone is the class of that definition.
  if (schema->properties.empty() && schema->all_of().size() == 1) {
    if (const int definition = DefinitionIndexOf(schema->all_of().front()); definition >= 0) {
      return {FIdentifiers[definition], definition};
    }
  }
  if (std::string simple = SimpleType(schema->type, schema->format); simple != "TJSONValue") return {std::move(simple)};
  if (schema->type == "object" || (schema->type.empty() && schema->has_additional_properties())) return {"TJSONObject"};
  return {"TJSONValue"};
}

std::string TApiResolver::ParameterType(const ApiParameter& AParameter) const {
  if (AParameter.in == "body") return TypeOf(AParameter.schema).Text;
  if (AParameter.type == "array") {
    return AParameter.items == nullptr ? "TJSONValue" : ArrayType(ElementType(AParameter.items).Text);
  }
  return SimpleType(AParameter.type, AParameter.format);
}

TResolvedUnit TApiResolver::Resolve() {
  Log("Checking  references");
  // A class follows the classes its fields name and its ancestor.
  TClassSlots slots;
  for (const TPlannedClass& plan : FClasses) {
    for (const int used : plan.Uses) {
      slots.AddTarget(used);
      slots.EndSlot();
    }
    if (plan.Ancestor >= 0) {
      slots.AddTarget(plan.Ancestor);
      slots.EndSlot();
    }
    slots.EndClass();
  }
  const TClassOrder order = OrderClasses(slots, {}, [this](int AClass) -> std::string_view {
    return FIdentifiers[AClass];
  });
  // References that form a cycle leave an order in which a class may stand
  // before its ancestor; the compiler needs every ancestor declared in full
  // first (a forward declaration is not enough), so each class comes after
  // its ancestors.
  std::vector<int> items;
  items.reserve(order.Items.size());
  std::vector<bool> placed(FClasses.size(), false);
  std::vector<int> chain;
  for (const int item : order.Items) {
    chain.clear();
    for (int current = item; current >= 0 && !placed[current]; current = FClasses[current].Ancestor) {
      chain.push_back(current);
      placed[current] = true;
    }
    items.insert(items.end(), chain.rbegin(), chain.rend());
  }
  Log("Creating source unit " + FOutput.Path());

  TResolvedUnit unit;
  unit.Output = FOutput;
  unit.TimeStamp = LocalTimeStamp();
  unit.FitsDelphiLimits = true;
  // The descriptions are views into the document's text.
  unit.KeptTexts.assign(FDocument.sources.begin(), FDocument.sources.end());
  // REST.Json.Types declares the JSONName attribute of every field.
  unit.InterfaceUses = {"System.JSON", "REST.Json.Types"};
  // Every class declared forward, so that no order of the classes keeps
  // the unit from compiling.
  if (FFilter.empty()) {
    unit.ForwardDeclarations.reserve(FClasses.size());
    for (const int item : items) unit.ForwardDeclarations.push_back(FIdentifiers[item]);
  }
  unit.Classes.reserve(FFilter.empty() ? FClasses.size() : 1);
  for (const int item : items) {
    TPlannedClass& plan = FClasses[item];
    const bool written = FFilter.empty() || (plan.Definition != nullptr && FFilter == plan.Definition->name);
    const std::string_view name = plan.Definition != nullptr ? plan.Definition->name : FIdentifiers[item];
    Log(JoinText({"class: ", name, written ? " processed" : " skipped"}));
    if (written) unit.Classes.push_back(std::move(plan.Class));
  }
  // The methods need no class plan: the plans go before the methods are
  // made, which the unit then holds together with the document.
  std::deque<TPlannedClass>().swap(FClasses);
  std::vector<const TPlannedClass*>().swap(FUsedBy);
  if (!FFilter.empty()) return unit;

  unit.HasClient = true;
  // The exception class derives from SysUtils' Exception in the interface.
  unit.InterfaceUses.emplace_back("System.SysUtils");
  unit.ImplementationUses = {"REST.Types", "REST.JSON", "REST.Client", "SOAP.XSBuiltins",
                             "System.Generics.Collections", "System.DateUtils"};
  unit.Support.push_back(ApiErrorCode());
  unit.ClientComments = kClientComments;
  unit.ClientClass = FClientClass;
  unit.StatusCheck = {"if (Response.StatusCode < 200) or (Response.StatusCode > 299) then",
                      "  raise EApiError.Create(Response.StatusCode, Response.Content);"};
  std::string_view scheme = "http";
  if (FDocument.schemes.empty()) {
    Log("Missing scheme, using http as default");
  } else {
    scheme = FDocument.schemes.front();
  }
  unit.BaseUrl = QuoteLiteral(JoinText({scheme, "://", FDocument.host, FDocument.base_path}));
  unit.Methods.resize(FDocument.operations.size());
  for (size_t i = 0; i < FDocument.operations.size(); ++i) ResolveMethod(i, unit.Methods[i]);
  return unit;
}

void TApiResolver::ResolveMethod(size_t AOperation, TResolvedMethod& AMethod) {
  const ApiOperation& operation = FDocument.operations[AOperation];
  AMethod.Name = Escaped(FMethodNames[AOperation]);
  const ApiSchema* result = operation.result == nullptr ? nullptr : operation.result->schema;
  if (result != nullptr) AMethod.ResultType = TypeOf(result).Text;
  const bool returnsArray = IsArrayType(AMethod.ResultType);

  TNameScope arguments(returnsArray ? &FArrayMethodLocals : &FMethodLocals);
  arguments.Reserve(operation.parameters.size());
  const bool urlEncodedForm =
      operation.consumes.size() == 1 && operation.consumes.front() == "application/x-www-form-urlencoded";
  AMethod.Arguments.reserve(operation.parameters.size());
  for (const ApiParameter* parameter : operation.parameters) {
    ResolveArgument(*parameter, urlEncodedForm, arguments, AMethod);
  }

  AMethod.RequestMethod = RequestMethodOf(operation.method);
  if (!operation.produces.empty()) AMethod.Accept = QuoteLiteral(operation.produces.front());
  AMethod.Resource = QuoteLiteral(operation.path);
  ResolveCredentials(operation.security, AMethod.Credentials);
  if (AMethod.ResultType.empty()) return;

  // The status is checked before: the result block needs no condition.
  AMethod.ClearsResult = !returnsArray && !IsSimpleType(AMethod.ResultType);
  TResultTexts texts;
  texts.Datatype = AMethod.ResultType;
  texts.ItemType = std::string(ArrayElement(AMethod.ResultType));
  texts.ItemTypeText = texts.ItemType;
  texts.ClassText = AMethod.ResultType;
  AMethod.ResultLines = ResultLines(texts, true);
  if (AMethod.ResultType == "TJSONObject") {
    AMethod.ResultLines = {"Result := TJSONObject.ParseJSONValue(Response.Content) as TJSONObject;"};
  }
  const std::string_view element = ArrayElement(AMethod.ResultType);
  if (returnsArray && IsJsonType(element)) {
    // JSON elements are taken over as copies, not mapped onto new objects.
    for (std::string& line : AMethod.ResultLines) {
      if (line.starts_with("  Result[I] := ")) line = JoinText({"  Result[I] := ", element, "(ReturnArray.Items[I].Clone);"});
    }
  }
  if (returnsArray) {
    // The elements are objects of their own: the parsed array is freed.
    AMethod.ResultLines.emplace_back("ReturnArray.Free;");
    AMethod.Locals.emplace_back("I          : Integer;");
    AMethod.Locals.emplace_back("ReturnArray: TJSONArray;");
  }
}

void TApiResolver::ResolveArgument(const ApiParameter& AParameter, bool AUrlEncodedForm, TNameScope& AScope,
                                   TResolvedMethod& AMethod) {
  TParam param;
  param.Position = AParameter.in;
  param.ResourceName = AParameter.name;
  param.Datatype = ParameterType(AParameter);
  param.Required = AParameter.required;
  // An array argument brings its loop variable, in the body its JSON array,
  // and joined into one value its text; none may repeat a name either.
  const bool isArray = IsArrayType(param.Datatype);
  const bool inBody = param.Position == "body";
  const std::string_view separator = isArray && !inBody ? SeparatorOf(AParameter.collection_format) : "";
  const std::string name =
      AScope.TakeUnique(DocumentIdentifier(AParameter.name), [&](const std::string& ACandidate) {
        return !isArray || (AScope.IsFree("L" + ACandidate + "Item") &&
                            (!inBody || AScope.IsFree("L" + ACandidate + "ItemArray")) &&
                            (separator.empty() || AScope.IsFree("L" + ACandidate + "Text")));
      });
  if (isArray) {
    AScope.Take("L" + name + "Item");
    if (inBody) AScope.Take("L" + name + "ItemArray");
    if (!separator.empty()) AScope.Take("L" + name + "Text");
  }
  param.Name = Escaped(name);

  TResolvedArgument& argument = AMethod.Arguments.emplace_back();
  argument.Name = param.Name;
  argument.Type = param.Datatype;
  if (!param.Required) argument.Condition = param.RequiredCondition();
  std::vector<std::string>& lines = argument.RequestLines;
  const std::string quoted = QuoteLiteral(AParameter.name);
  const std::string kind = ParameterKind(param.Position);
  const std::string_view options = ParameterOptions(param.Position);
  // One value under the parameter's name: a form item of a URL-encoded form,
  // otherwise a request parameter of its location's kind.
  const auto send = [&](std::string_view AValue, std::string_view AIndent = "") {
    if (param.Position == "formData" && AUrlEncodedForm) {
      lines.push_back(JoinText({AIndent, "Request.Params.AddItem(", quoted, ", ", AValue, ", pkGETorPOST, ", options,
                                ", TRESTContentType.ctAPPLICATION_X_WWW_FORM_URLENCODED);"}));
    } else {
      lines.push_back(JoinText({AIndent, "Request.AddParameter(", quoted, ", ", AValue, ", ", kind, ", ", options, ");"}));
    }
  };

  if (!isArray) {
    if (inBody && IsJsonType(param.Datatype)) {
      lines.push_back(JoinText({"Request.AddBody(", param.Name, ".ToJSON, ctAPPLICATION_JSON);"}));
    } else if (inBody && !IsSimpleType(param.Datatype)) {
      lines.push_back(JoinText({"Request.AddBody(TJSON.ObjectToJsonObject(", param.Name, "));"}));
    } else {
      send(ValueText(param.Datatype, param.Name));
    }
    return;
  }

  const std::string itemType(ArrayElement(param.Datatype));
  const std::string itemVar = param.ItemVar();
  AMethod.Locals.push_back(JoinText({itemVar, " : ", itemType, ";"}));
  if (inBody) {
    // An array in the body becomes a JSON array sent as the body.
    const std::string itemArray = param.ItemArray();
    AMethod.Locals.push_back(itemArray + " : TJSONArray;");
    AMethod.Creations.push_back(itemArray + " := TJSONArray.Create;");
    lines.push_back(JoinText({"for ", itemVar, " in ", param.Name, " do"}));
    if (IsJsonType(itemType)) {
      // The array frees its elements: it takes copies of JSON values.
      lines.push_back(JoinText({"  ", itemArray, ".AddElement(TJSONValue(", itemVar, ".Clone));"}));
    } else if (!IsSimpleType(itemType)) {
      lines.push_back(JoinText({"  ", itemArray, ".AddElement(TJSON.ObjectToJSONObject(", itemVar, "));"}));
    } else if (itemType == "string") {
      lines.push_back(JoinText({"  ", itemArray, ".Add(", itemVar, ");"}));
    } else if (itemType == "TDateTime" || itemType == "double") {
      // A date has no ToString; a double's depends on the locale.
      lines.push_back(JoinText({"  ", itemArray, ".Add(", ValueText(itemType, itemVar), ");"}));
    } else {
      lines.push_back(JoinText({"  ", itemArray, ".Add(", itemVar, ".ToString);"}));
    }
    lines.push_back(JoinText({"Request.AddBody(", itemArray, ".ToJSON, ctAPPLICATION_JSON);"}));
    // The body holds the array's text: the array is freed.
    lines.push_back(itemArray + ".Free;");
    return;
  }
  const std::string element = ValueText(itemType, itemVar);
  if (separator.empty()) {
    // multi: the parameter once per item.
    lines.push_back(JoinText({"for ", itemVar, " in ", param.Name, " do"}));
    send(element, "  ");
    return;
  }
  // The items joined into one value, each after its separator; the first
  // separator is cut off.
  const std::string text = "L" + name + "Text";
  AMethod.Locals.push_back(text + " : string;");
  lines.push_back(text + " := '';");
  lines.push_back(JoinText({"for ", itemVar, " in ", param.Name, " do"}));
  lines.push_back(JoinText({"  ", text, " := ", text, " + ", separator, " + ", element, ";"}));
  send(JoinText({"Copy(", text, ", 2, MaxInt)"}));
}

void TApiResolver::ResolveCredentials(const ApiSecurityScheme* AScheme, TResolvedCredentials& ACredentials) {
  if (AScheme == nullptr) return;
  if (AScheme->type == "apiKey" && !AScheme->name.empty() && (AScheme->in == "header" || AScheme->in == "query")) {
    ACredentials.Name = QuoteLiteral(AScheme->name);
    ACredentials.Kind = AScheme->in == "header" ? "pkHTTPHEADER" : "pkQUERY";
    return;
  }
  ACredentials.Name = "'Authorization'";
  ACredentials.Kind = "pkHTTPHEADER";
}

}  // namespace

TResolvedUnit ResolveApiUnit(const ApiDocument& ADocument, const std::string& AFileName, const std::string& AFilter,
                             const TLogProc& ALog) {
  if (ALog) ALog("Processing " + AFileName);
  TApiResolver resolver(ADocument, AFileName, AFilter, ALog);
  return resolver.Resolve();
}

void SaveApiUnit(const ApiDocument& ADocument, const std::string& AFileName, const std::string& AFilter,
                 const TLogProc& ALog) {
  SaveResolvedUnit(ResolveApiUnit(ADocument, AFileName, AFilter, ALog), ALog);
}

}  // namespace tolvane
