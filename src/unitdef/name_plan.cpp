#include "unitdef/name_plan.h"

#include <algorithm>
#include <array>

#include "platform/exceptions.h"
#include "swagger/swagger_classes.h"
#include "unitdef/identifiers.h"

namespace tolvane {

namespace {

constexpr std::string_view kArrayPrefix = "TArray<";

// Words that Free Pascal reserves in Delphi mode besides Delphi's own.
constexpr std::array<std::string_view, 2> kFreePascalWords = {"otherwise", "bitpacked"};

// Types and constants that the unit names unqualified; a class, property,
// method or argument of the same name would hide them.
constexpr std::array<std::string_view, 17> kLibraryTypes = {
    "TJSON",          "TJSONObject",     "TJSONArray", "TJSONValue", "TRestClient", "TRestRequest",
    "TRestResponse",  "TRESTContentType", "TFormatSettings", "TObject", "TArray", "TDateTime",
    "Integer",        "Int64",           "Double",     "Boolean",    "True"};

// Routines and constants that the client methods use unqualified.
constexpr std::array<std::string_view, 26> kBodyNames = {
    "IntToStr",     "BoolToStr",   "FloatToStr", "DateToIso8601", "ISO8601ToDate", "StrToInt",
    "StrToInt64",   "StrToBool",   "StrToFloat", "SetLength",     "Length",        "Assigned",
    "emptyStr",     "Self",        "pkHTTPHEADER", "pkURLSEGMENT", "pkQUERY",      "pkREQUESTBODY",
    "pkGETorPOST",  "rmGET",       "rmPOST",     "rmPUT",         "rmDelete",      "rmPATCH",
    "poDoNotEncode", "ctAPPLICATION_JSON"};

// The locals of every client method and the members of the client class.
constexpr std::array<std::string_view, 6> kMethodLocals = {"Client", "Request",        "Response",
                                                           "Result", "FAuthorization", "Authorization"};
// The methods of every object that the generated code and its users call:
// Free on every object, Create where JSONToObject makes one, Destroy in a
// destructor. A member of the same name would hide them.
constexpr std::array<std::string_view, 3> kObjectMethods = {"Free", "Create", "Destroy"};

// The locals of a method that returns an array.
constexpr std::array<std::string_view, 2> kArrayResultLocals = {"I", "ReturnArray"};

// The units the generated unit uses, and the short names under which Delphi
// also finds some of them; a unit of one of these names cannot be compiled
// beside them.
constexpr std::array<std::string_view, 13> kLibraryUnits = {
    "System",     "SysUtils",        "Classes",     "DateUtils",      "System.JSON",
    "REST.Types", "REST.JSON",       "REST.Json.Types", "REST.Client", "SOAP.XSBuiltins",
    "System.Generics.Collections", "System.SysUtils", "System.DateUtils"};

// The simple types in the spelling the writers compare with.
constexpr std::array<std::string_view, 6> kSimpleTypes = {"string",  "integer", "int64",
                                                          "double",  "boolean", "TDateTime"};

// The method words of SupportedOperations, in its order.
constexpr std::array<std::string_view, 5> kMethodWords = {"get", "put", "post", "delete", "patch"};

constexpr bool IsAsciiLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsArrayText(std::string_view AText) {
  return AText.size() > kArrayPrefix.size() && AText.starts_with(kArrayPrefix) && AText.back() == '>';
}

// "&" before a reserved word.
std::string Escaped(const std::string& AName) {
  return IsDelphiReservedWord(AName) ? "&" + AName : AName;
}

bool NotReserved(const std::string& AName) { return !IsDelphiReservedWord(AName); }

bool IsPlainIdentifier(std::string_view AText) {
  if (AText.empty() || AText.size() > kMaxNameLength || IsDigit(AText.front())) return false;
  for (const char c : AText) {
    if (!IsAsciiLetterOrDigit(c) && c != '_') return false;
  }
  return !IsDelphiReservedWord(AText);
}

}  // namespace

bool IsDelphiReservedWord(std::string_view AText) {
  if (IsReservedWord(AText)) return true;
  for (const std::string_view word : kFreePascalWords) {
    if (SameTextFold(AText, word)) return true;
  }
  return false;
}

std::string AsciiIdentifierPart(std::string_view AText) {
  std::string out;
  out.reserve(std::min(AText.size(), kMaxNameLength));
  bool in_sequence = false;  // after the lead byte of a multi-byte character
  for (const char c : AText) {
    if (out.size() == kMaxNameLength) break;
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += IsAsciiLetterOrDigit(c) || c == '_' ? c : '_';
      in_sequence = false;
    } else if (byte >= 0xC0 || !in_sequence) {
      // One "_" per character: its continuation bytes add nothing.
      out += '_';
      in_sequence = byte >= 0xC0;
    }
  }
  return out;
}

std::string PlainIdentifier(std::string_view AText) {
  std::string out = AsciiIdentifierPart(AText);
  if (out.empty()) return "_";
  if (IsDigit(out.front())) {
    out.insert(out.begin(), '_');
    if (out.size() > kMaxNameLength) out.pop_back();
  }
  return out;
}

std::string MethodNameFromPath(std::string_view AMethod, std::string_view APath) {
  std::string name(AMethod);
  bool word = false;
  for (const char c : APath) {
    if (!IsAsciiLetterOrDigit(c)) {
      word = false;
      continue;
    }
    if (!word) name += '_';
    name += c;
    word = true;
  }
  return PlainIdentifier(name);
}

std::string CompilableUnitName(std::string_view AUnitName) {
  bool valid = true;
  size_t start = 0;
  while (valid) {
    const size_t dot = AUnitName.find('.', start);
    valid = IsPlainIdentifier(AUnitName.substr(start, dot == std::string_view::npos ? dot : dot - start));
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  std::string name = valid ? std::string(AUnitName) : PlainIdentifier(AUnitName);
  bool clashes = IsDelphiReservedWord(name);
  for (const std::string_view unit : kLibraryUnits) clashes = clashes || SameTextFold(name, unit);
  if (clashes) name += '1';
  return name;
}

// --- TNameScope --------------------------------------------------------------

std::string TNameScope::Key(std::string_view AName) {
  std::string key(AName);
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return key;
}

bool TNameScope::Contains(const std::string& AKey) const {
  for (const TNameScope* scope = this; scope != nullptr; scope = scope->FOuter) {
    if (scope->FTaken.contains(AKey)) return true;
  }
  return false;
}

bool TNameScope::IsFree(std::string_view AName) const { return !Contains(Key(AName)); }

void TNameScope::Take(std::string_view AName) { FTaken.insert(Key(AName)); }

// --- TNamePlan ---------------------------------------------------------------

TNamePlan::TNamePlan(TUnitDefinition& AUnit) {
  const std::string& filter = AUnit.FClassnameFilter;
  if (!filter.empty()) {
    bool found = false;
    for (const auto& object : AUnit.FObjects) found = found || object->Name() == filter;
    if (!found) throw Exception("Class " + filter + " not found");
  }

  const TOutputName output = MakeOutputName(AUnit.FName);
  FOutput.Directory = output.Directory;
  FOutput.FileName = CompilableUnitName(output.UnitName()) + ".pas";

  for (const std::string_view name : kLibraryTypes) FTypes.Take(name);
  for (const std::string_view name : kBodyNames) FBodyNames.Take(name);
  // The client class keeps its name, also in a unit made with the class
  // filter, so that the classes are named alike in every unit of a document.
  FClientClass = FTypes.Unique("T" + AsciiIdentifierPart(MakeIdentifier(AUnit.FBasePath, false)), NotReserved);
  FTypes.Take(FClientClass);
  // A class named T would have no presence test as an optional argument
  // and would be hidden by the destructors' loop variable T.
  FTypes.Take("T");
  PlanClasses(AUnit);
  if (AUnit.FConfig.WriteOperations) PlanOperations(AUnit);
}

void TNamePlan::PlanClasses(TUnitDefinition& AUnit) {
  const TObjectDefinitionList& objects = AUnit.FObjects;
  FClasses.resize(objects.size());
  FClassIndex.reserve(objects.size());
  FByTypeText.reserve(objects.size());
  FByFoldedTypeText.reserve(objects.size());
  // The identifiers first, in document order, so that every type can be
  // looked up.
  for (size_t i = 0; i < objects.size(); ++i) {
    const TObjectDefinition& object = *objects[i];
    const std::string made = MakeIdentifier(object.Name(), false);
    std::string identifier = FTypes.Unique("T" + AsciiIdentifierPart(made), NotReserved);
    FTypes.Take(identifier);
    FClasses[i].Identifier = std::move(identifier);
    FClassIndex.emplace(&object, i);
    const std::string typeText = "T" + made;
    FByTypeText.try_emplace(typeText, i);
    FByFoldedTypeText.try_emplace(UpperCaseFold(typeText), i);
  }

  for (size_t i = 0; i < objects.size(); ++i) {
    TClassPlan& plan = FClasses[i];
    const auto& properties = objects[i]->Properties();
    plan.Properties.resize(properties.size());
    for (size_t p = 0; p < properties.size(); ++p) {
      TPropertyPlan& property = plan.Properties[p];
      property.Type = WrittenType(properties[p]->DataType());
      const bool isArray = IsArrayText(property.Type);
      const std::string_view element =
          isArray ? std::string_view(property.Type).substr(kArrayPrefix.size(), property.Type.size() - kArrayPrefix.size() - 1)
                  : std::string_view(property.Type);
      bool simple = false;
      for (const std::string_view type : kSimpleTypes) simple = simple || element == type;
      property.IsObject = !simple && !isArray;
      property.IsObjectArray = !simple && isArray;
      plan.HasObjects = plan.HasObjects || property.IsObject;
      plan.HasObjectArrays = plan.HasObjectArrays || property.IsObjectArray;
    }

    // Fields and properties share the class's scope. A class with a
    // destructor also calls Assigned.
    TNameScope members(&FTypes);
    for (const std::string_view name : kObjectMethods) members.Take(name);
    if (plan.HasObjects || plan.HasObjectArrays) members.Take("Assigned");
    for (size_t p = 0; p < properties.size(); ++p) {
      TPropertyPlan& property = plan.Properties[p];
      const std::string name = members.Unique(PlainIdentifier(MakeIdentifier(properties[p]->Name(), false)));
      members.Take(name);
      const std::string field = members.Unique("F" + name);
      members.Take(field);
      property.Property = Escaped(name);
      property.Field = Escaped(field);
    }
  }
}

void TNamePlan::PlanOperations(TUnitDefinition& AUnit) {
  if (AUnit.FPaths == nullptr) return;
  TNameScope methods(&FBodyNames);
  for (const std::string_view name : kMethodLocals) methods.Take(name);
  for (const std::string_view name : kArrayResultLocals) methods.Take(name);
  for (const std::string_view name : kObjectMethods) methods.Take(name);
  const std::string clazz = FClientClass.substr(1);

  for (const auto& path : AUnit.FPaths->FItems) {
    const std::array<TOperation*, 5> operations = path->SupportedOperations();
    for (size_t k = 0; k < operations.size(); ++k) {
      const TOperation* operation = operations[k];
      if (operation == nullptr) continue;
      // The signature as the model makes it: the plan is not in place yet.
      const std::unique_ptr<TUnitDefinition::TSignature> signature = AUnit.CreateSignature(clazz, *operation);
      TOperationPlan plan;
      const std::string made = MakeIdentifier(operation->FoperationId, false);
      const std::string method =
          methods.Unique(made.empty() ? MethodNameFromPath(kMethodWords[k], path->Fpath) : PlainIdentifier(made));
      methods.Take(method);
      plan.Method = Escaped(method);
      if (!signature->Returns.Datatype.empty()) plan.Result = WrittenType(signature->Returns.Datatype);

      TNameScope arguments(&FBodyNames);
      for (const std::string_view name : kMethodLocals) arguments.Take(name);
      if (IsArrayText(plan.Result)) {
        for (const std::string_view name : kArrayResultLocals) arguments.Take(name);
      }
      plan.Arguments.reserve(signature->Params.size());
      plan.Types.reserve(signature->Params.size());
      for (const auto& param : signature->Params) {
        std::string type = WrittenType(param->Datatype);
        // An array argument brings its loop variable, and in the body its
        // JSON array; neither may repeat a name either.
        const bool isArray = IsArrayText(type);
        const bool inBody = param->Position == "body";
        const std::string name = arguments.Unique(
            PlainIdentifier(MakeIdentifier(param->ResourceName, false)), [&](const std::string& ACandidate) {
              return !isArray || (arguments.IsFree("L" + ACandidate + "Item") &&
                                  (!inBody || arguments.IsFree("L" + ACandidate + "ItemArray")));
            });
        arguments.Take(name);
        if (isArray) {
          arguments.Take("L" + name + "Item");
          if (inBody) arguments.Take("L" + name + "ItemArray");
        }
        plan.Arguments.push_back(Escaped(name));
        plan.Types.push_back(std::move(type));
      }
      FOperations.emplace(operation, std::move(plan));
    }
  }
}

const TClassPlan& TNamePlan::Class(const TObjectDefinition& AObject) const {
  return FClasses[FClassIndex.at(&AObject)];
}

void TNamePlan::Apply(const TOperation& AOperation, TUnitDefinition::TSignature& ASignature) const {
  ASignature.Clazz = FClientClass.substr(1);
  const auto found = FOperations.find(&AOperation);
  if (found == FOperations.end()) return;
  const TOperationPlan& plan = found->second;
  ASignature.Name = plan.Method;
  ASignature.Returns.Datatype = plan.Result;
  for (size_t i = 0; i < ASignature.Params.size() && i < plan.Arguments.size(); ++i) {
    ASignature.Params[i]->Name = plan.Arguments[i];
    ASignature.Params[i]->Datatype = plan.Types[i];
  }
}

const std::string* TNamePlan::FindClass(std::string_view AType) const {
  // A type text names a class as "T" + its name; Delphi, which ignores case,
  // also takes a spelling in other letter case for it.
  const std::string key = MakeIdentifier(AType, false);
  if (const auto found = FByTypeText.find(key); found != FByTypeText.end()) {
    return &FClasses[found->second].Identifier;
  }
  if (const auto found = FByFoldedTypeText.find(UpperCaseFold(key)); found != FByFoldedTypeText.end()) {
    return &FClasses[found->second].Identifier;
  }
  return nullptr;
}

std::string TNamePlan::WrittenElement(std::string_view AType) const {
  // The library's own types win over a class whose identifier spells them.
  for (const std::string_view simple : kSimpleTypes) {
    if (SameTextFold(AType, simple)) return std::string(simple);
  }
  if (SameTextFold(AType, "TJSONValue") || SameTextFold(AType, "object")) return "TJSONValue";
  if (const std::string* identifier = FindClass(AType)) return *identifier;
  return "TJSONValue";
}

std::string TNamePlan::WrittenType(std::string_view AType) const {
  if (IsArrayText(AType)) {
    const std::string_view element = AType.substr(kArrayPrefix.size(), AType.size() - kArrayPrefix.size() - 1);
    return std::string(kArrayPrefix) + WrittenElement(IsArrayText(element) ? "" : element) + ">";
  }
  return WrittenElement(AType);
}

}  // namespace tolvane
