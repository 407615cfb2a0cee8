// The rule of --compilable: every line that would not compile is written so
// that it does, with the smallest obvious change; every other line is the
// plain rule's. Names are planned once, in document order, by the rule of
// name_plan.h; a type the unit cannot name is written TJSONValue; values are
// converted to and from text; the lines keep Delphi's limits.
#include <array>
#include <unordered_map>

#include "platform/exceptions.h"
#include "swagger/swagger_classes.h"
#include "unitdef/delphi_type.h"
#include "unitdef/identifiers.h"
#include "unitdef/name_plan.h"
#include "unitdef/sanitize.h"
#include "unitdef/unit_definition.h"
#include "unitdef/unit_resolver.h"

namespace tolvane {

namespace {

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

// "&" before a reserved word.
std::string Escaped(const std::string& AName) { return IsDelphiReservedWord(AName) ? "&" + AName : AName; }

bool NotReserved(const std::string& AName) { return !IsDelphiReservedWord(AName); }

class TCompilableResolver final : public TUnitResolver {
 public:
  explicit TCompilableResolver(const TUnitDefinition& AUnit);

  TOutputName Output() const override { return FOutput; }

 protected:
  std::vector<std::string> ForwardDeclarations(const TUnitDefinition& AUnit) const override {
    // Every class declared forward, so that no order of the classes, and no
    // reference that the ordering could not match, keeps the unit from
    // compiling.
    std::vector<std::string> identifiers;
    identifiers.reserve(AUnit.FObjects.size());
    for (const auto& object : AUnit.FObjects) identifiers.push_back(FClasses[FClassIndex.at(object.get())].Identifier);
    return identifiers;
  }

  void ResolveClass(const TObjectDefinition& AObject, TResolvedClass& AClass) override {
    // The plan of a class is resolved once: its texts are moved over.
    TResolvedClass& planned = FClasses[FClassIndex.at(&AObject)];
    AClass.Identifier = planned.Identifier;
    AClass.Fields = std::move(planned.Fields);
    for (size_t i = 0; i < AClass.Fields.size(); ++i) {
      const std::string& description = AObject.Properties()[i]->description();
      if (!description.empty()) AClass.Fields[i].Comments.push_back(description);
    }
  }

  std::string ClientClass(const TUnitDefinition&) const override { return FClientClass; }

  void NameMethod(const TPath& APath, std::string_view AMethodWord, const TOperation& AOperation,
                  const TSignature& ASignature, TResolvedMethod& AMethod, std::vector<TArgumentTexts>& AArguments,
                  TResultTexts& AResult) override;

  TConversion RequestValue(std::string_view AType) const override { return ValueAsText(AType, true); }
  TConversion ArrayItemValue(std::string_view AItemType, bool AInBody) const override {
    if (!AInBody) return ValueAsText(AItemType, true);
    if (AItemType == "string") return {};
    // A date has no ToString; a double's depends on the locale.
    if (AItemType == "TDateTime" || AItemType == "double") return ValueAsText(AItemType, true);
    return {"", ".ToString"};
  }
  TConversion ResultValue(std::string_view AType) const override { return TextAsValue(AType); }
  // A location without a kind (a parameter given by a reference brings no
  // "in") is sent with the request's default kind.
  std::string RequestKind(std::string_view APosition) const override {
    std::string kind = ParameterKind(APosition);
    if (kind.empty()) kind = "pkGETorPOST";
    return kind;
  }
  // A definition without a name or a known location (basic) sends the value
  // as the Authorization header.
  void SendCredentials(const TSecurityDefinition& ADefinition, TResolvedCredentials& ACredentials) const override {
    ACredentials.Name = QuoteLiteral(ADefinition.Fname);
    ACredentials.Kind = ParameterKind(ADefinition.FIn);
    if (ADefinition.Fname.empty() || ACredentials.Kind.empty()) {
      ACredentials.Name = "'Authorization'";
      ACredentials.Kind = "pkHTTPHEADER";
    }
  }
  bool FitsDelphiLimits() const override { return true; }

 private:
  void PlanClasses(const TUnitDefinition& AUnit);
  // The identifier of the class that a type text names, or null.
  const std::string* FindClass(std::string_view AType) const;
  std::string WrittenElement(std::string_view AType) const;
  // The type written for a type text of the model: simple types in their
  // usual spelling, a class of the document as its identifier, TArray<...>
  // of these, anything else as TJSONValue.
  std::string WrittenType(std::string_view AType) const;

  TOutputName FOutput;
  std::string FClientClass;
  // Library types, the client class and the class identifiers; then the
  // routines and constants that method bodies use; then the methods.
  TNameScope FTypes;
  TNameScope FBodyNames{&FTypes};
  TNameScope FMethods{&FBodyNames};
  // The classes' identifiers and fields, in document order.
  std::vector<TResolvedClass> FClasses;
  std::unordered_map<const TObjectDefinition*, size_t> FClassIndex;
  // The classes by "T" + their name made an identifier, exactly and folded.
  std::unordered_map<std::string, size_t> FByTypeText;
  std::unordered_map<std::string, size_t> FByFoldedTypeText;
};

TCompilableResolver::TCompilableResolver(const TUnitDefinition& AUnit) {
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
  for (const std::string_view name : kMethodLocals) FMethods.Take(name);
  for (const std::string_view name : kArrayResultLocals) FMethods.Take(name);
  for (const std::string_view name : kObjectMethods) FMethods.Take(name);
}

void TCompilableResolver::PlanClasses(const TUnitDefinition& AUnit) {
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
    TResolvedClass& plan = FClasses[i];
    const auto& properties = objects[i]->Properties();
    plan.Fields.resize(properties.size());
    bool owns = false;
    for (size_t p = 0; p < properties.size(); ++p) {
      TResolvedField& field = plan.Fields[p];
      field.Type = WrittenType(properties[p]->DataType());
      // What the class owns follows the types it writes: a class or
      // TJSONValue, or an array of these.
      const bool isArray = IsArrayType(field.Type);
      if (!IsDeclaredSimpleType(isArray ? ArrayElement(field.Type) : std::string_view(field.Type))) {
        field.Ownership = isArray ? TOwnership::ObjectArray : TOwnership::Object;
        owns = true;
      }
    }

    // Fields and properties share the class's scope. A class with a
    // destructor also calls Assigned.
    TNameScope members(&FTypes);
    for (const std::string_view name : kObjectMethods) members.Take(name);
    if (owns) members.Take("Assigned");
    for (size_t p = 0; p < properties.size(); ++p) {
      TResolvedField& field = plan.Fields[p];
      const std::string name = members.Unique(PlainIdentifier(MakeIdentifier(properties[p]->Name(), false)));
      members.Take(name);
      const std::string fieldName = members.Unique("F" + name);
      members.Take(fieldName);
      field.Property = Escaped(name);
      field.Field = Escaped(fieldName);
    }
  }
}

void TCompilableResolver::NameMethod(const TPath& APath, std::string_view AMethodWord, const TOperation& AOperation,
                                     const TSignature& ASignature, TResolvedMethod& AMethod,
                                     std::vector<TArgumentTexts>& AArguments, TResultTexts& AResult) {
  // Named from the operationId, else from the method and the path.
  const std::string made = MakeIdentifier(AOperation.FoperationId, false);
  const std::string method =
      FMethods.Unique(made.empty() ? MethodNameFromPath(AMethodWord, APath.Fpath) : PlainIdentifier(made));
  FMethods.Take(method);
  AMethod.Name = Escaped(method);
  if (!ASignature.Returns.Datatype.empty()) AMethod.ResultType = WrittenType(ASignature.Returns.Datatype);
  TParam result;
  result.Datatype = AMethod.ResultType;
  AResult.Datatype = AMethod.ResultType;
  AResult.ItemType = result.ItemType();
  AResult.ItemTypeText = AResult.ItemType;
  AResult.ClassText = AMethod.ResultType;

  TNameScope arguments(&FBodyNames);
  for (const std::string_view name : kMethodLocals) arguments.Take(name);
  if (IsArrayType(AMethod.ResultType)) {
    for (const std::string_view name : kArrayResultLocals) arguments.Take(name);
  }
  AArguments.resize(ASignature.Params.size());
  for (size_t i = 0; i < ASignature.Params.size(); ++i) {
    // The argument as this rule names and types it.
    TParam param = ASignature.Params[i];
    param.Datatype = WrittenType(param.Datatype);
    // An array argument brings its loop variable, and in the body its JSON
    // array; neither may repeat a name either.
    const bool isArray = IsArrayType(param.Datatype);
    const bool inBody = param.Position == "body";
    const std::string name = arguments.Unique(
        PlainIdentifier(MakeIdentifier(param.ResourceName, false)), [&](const std::string& ACandidate) {
          return !isArray || (arguments.IsFree("L" + ACandidate + "Item") &&
                              (!inBody || arguments.IsFree("L" + ACandidate + "ItemArray")));
        });
    arguments.Take(name);
    if (isArray) {
      arguments.Take("L" + name + "Item");
      if (inBody) arguments.Take("L" + name + "ItemArray");
    }
    param.Name = Escaped(name);

    TArgumentTexts& texts = AArguments[i];
    texts.Name = param.Name;
    texts.Type = param.Datatype;
    texts.Datatype = param.Datatype;
    texts.ItemType = param.ItemType();
    texts.ItemTypeText = texts.ItemType;
    texts.ItemVar = param.ItemVar();
    texts.ItemArray = param.ItemArray();
    if (!param.Required) texts.Condition = param.RequiredCondition();
  }
}

const std::string* TCompilableResolver::FindClass(std::string_view AType) const {
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

std::string TCompilableResolver::WrittenElement(std::string_view AType) const {
  // The library's own types win over a class whose identifier spells them.
  if (const std::string_view simple = DeclaredSimpleType(AType); !simple.empty()) return std::string(simple);
  if (SameTextFold(AType, "TJSONValue") || SameTextFold(AType, "object")) return "TJSONValue";
  if (const std::string* identifier = FindClass(AType)) return *identifier;
  return "TJSONValue";
}

std::string TCompilableResolver::WrittenType(std::string_view AType) const {
  if (IsArrayType(AType)) {
    const std::string_view element = ArrayElement(AType);
    return ArrayType(WrittenElement(IsArrayType(element) ? "" : element));
  }
  return WrittenElement(AType);
}

}  // namespace

std::unique_ptr<TUnitResolver> MakeCompilableResolver(const TUnitDefinition& AUnit) {
  return std::make_unique<TCompilableResolver>(AUnit);
}

}  // namespace tolvane
