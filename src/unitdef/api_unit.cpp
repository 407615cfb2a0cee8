// The rule of --compilable, from the API model: class identifiers and fields
// planned once in document order, then the client's methods, each with the
// lines that send its arguments and credentials, check the status and turn
// the response into the result.
#include "unitdef/api_unit.h"

#include <array>
#include <unordered_map>

#include "platform/exceptions.h"
#include "platform/local_time.h"
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
constexpr std::array<std::string_view, 19> kLibraryTypes = {
    "TJSON",         "TJSONObject",      "TJSONArray",      "TJSONValue", "TRestClient",
    "TRestRequest",  "TRestResponse",    "TRESTContentType", "TFormatSettings", "TObject",
    "TArray",        "TDateTime",        "Integer",         "Int64",      "Double",
    "Boolean",       "True",             "Exception",       "EApiError"};

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

// A value of the type as text: a simple value converted, a JSON value as
// its text, an object as its JSON.
std::string ValueText(std::string_view AType, std::string_view AName) {
  if (IsSimpleType(AType)) {
    const TConversion conversion = ValueAsText(AType, true);
    return JoinText({conversion.Open, AName, conversion.Close});
  }
  if (AType == "TJSONValue") return JoinText({AName, ".ToJSON"});
  return JoinText({"TJSON.ObjectToJSONString(", AName, ")"});
}

class TApiResolver {
 public:
  TApiResolver(const ApiDocument& ADocument, const std::string& AFileName, const std::string& AFilter);

  TResolvedUnit Resolve(const TLogProc& ALog);

 private:
  struct TPlannedClass {
    const ApiDefinition* Definition = nullptr;
    TResolvedClass Class;
    std::vector<int> Uses;  // the classes its properties name, each once, in property order
  };

  void PlanClasses();
  // The identifier of the class made from the definition that ASchema
  // stands for (after references), or null.
  const std::string* ClassOf(const ApiSchema* ASchema) const;
  int ClassIndexOf(const ApiSchema* ASchema) const;
  // The type written for a schema: a simple type, a class, TArray<...> of
  // these, anything else (an unresolved reference, an object without a
  // definition) as TJSONValue. An array's element that is itself an array
  // is TJSONValue.
  std::string SchemaType(const ApiSchema* ASchema) const;
  std::string ElementType(const ApiSchema* AItems) const;
  std::string ParameterType(const ApiParameter& AParameter) const;

  void ResolveMethod(const ApiOperation& AOperation, TResolvedMethod& AMethod);
  void ResolveArgument(const ApiParameter& AParameter, bool AUrlEncodedForm, TNameScope& AScope,
                       TResolvedMethod& AMethod);
  static void ResolveCredentials(const ApiSecurityScheme* AScheme, TResolvedCredentials& ACredentials);

  const ApiDocument& FDocument;
  const std::string& FFilter;
  TOutputName FOutput;
  std::string FClientClass;
  // Library types, the client class and the class identifiers; then the
  // routines and constants that method bodies use; then the methods.
  TNameScope FTypes;
  TNameScope FBodyNames{&FTypes};
  TNameScope FMethods{&FBodyNames};
  std::vector<TPlannedClass> FClasses;  // document order
  std::vector<std::string> FIdentifiers;  // of FClasses, which give their classes to the unit
  std::unordered_map<const ApiDefinition*, int> FClassIndex;
};

TApiResolver::TApiResolver(const ApiDocument& ADocument, const std::string& AFileName, const std::string& AFilter)
    : FDocument(ADocument), FFilter(AFilter) {
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
  // The client class keeps its name, also in a unit made with the class
  // filter, so that the classes are named alike in every unit of a document.
  FClientClass = FTypes.Unique("T" + AsciiIdentifierPart(MakeIdentifier(FDocument.base_path, false)), NotReserved);
  FTypes.Take(FClientClass);
  // A class named T would have no presence test as an optional argument
  // and would be hidden by the destructors' loop variable T.
  FTypes.Take("T");
  PlanClasses();
  for (const std::string_view name : kMethodLocals) FMethods.Take(name);
  for (const std::string_view name : kArrayResultLocals) FMethods.Take(name);
  for (const std::string_view name : kObjectMethods) FMethods.Take(name);
}

void TApiResolver::PlanClasses() {
  FClasses.resize(FDocument.definitions.size());
  FIdentifiers.reserve(FClasses.size());
  FClassIndex.reserve(FClasses.size());
  // The identifiers first, in document order, so that every type can be
  // looked up.
  for (size_t i = 0; i < FClasses.size(); ++i) {
    const ApiDefinition& definition = FDocument.definitions[i];
    std::string identifier =
        FTypes.Unique("T" + AsciiIdentifierPart(MakeIdentifier(definition.name, false)), NotReserved);
    FTypes.Take(identifier);
    FClasses[i].Definition = &definition;
    FClasses[i].Class.Identifier = identifier;
    FIdentifiers.push_back(std::move(identifier));
    FClassIndex.emplace(&definition, static_cast<int>(i));
  }

  std::vector<int> seen(FClasses.size(), -1);
  for (size_t i = 0; i < FClasses.size(); ++i) {
    TPlannedClass& plan = FClasses[i];
    const ApiSchema& schema = *plan.Definition->schema;
    if (!schema.description.empty()) plan.Class.Comments.push_back(schema.description);
    plan.Class.Fields.resize(schema.properties.size());
    bool owns = false;
    for (size_t p = 0; p < schema.properties.size(); ++p) {
      const ApiSchema* property = schema.properties[p].schema;
      TResolvedField& field = plan.Class.Fields[p];
      if (!property->description.empty()) field.Comments.push_back(property->description);
      field.Type = SchemaType(property);
      // What the class owns follows the types it writes: a class or
      // TJSONValue, or an array of these.
      const bool isArray = IsArrayType(field.Type);
      if (!IsDeclaredSimpleType(isArray ? ArrayElement(field.Type) : std::string_view(field.Type))) {
        field.Ownership = isArray ? TOwnership::ObjectArray : TOwnership::Object;
        owns = true;
      }
      int used = ClassIndexOf(property);
      if (used < 0 && property->resolved != nullptr && property->resolved->type == "array") {
        used = ClassIndexOf(property->resolved->items);
      }
      if (used >= 0 && seen[used] != static_cast<int>(i)) {
        seen[used] = static_cast<int>(i);
        plan.Uses.push_back(used);
      }
    }

    // Fields and properties share the class's scope. A class with a
    // destructor also calls Assigned.
    TNameScope members(&FTypes);
    for (const std::string_view name : kObjectMethods) members.Take(name);
    if (owns) members.Take("Assigned");
    for (size_t p = 0; p < schema.properties.size(); ++p) {
      TResolvedField& field = plan.Class.Fields[p];
      const std::string name = members.Unique(PlainIdentifier(MakeIdentifier(schema.properties[p].name, false)));
      members.Take(name);
      const std::string fieldName = members.Unique("F" + name);
      members.Take(fieldName);
      field.Property = Escaped(name);
      field.Field = Escaped(fieldName);
    }
  }
}

int TApiResolver::ClassIndexOf(const ApiSchema* ASchema) const {
  if (ASchema == nullptr) return -1;
  // A reference to a definition is its class, whatever the definition is;
  // a chain of other references is its end's.
  const ApiDefinition* definition = nullptr;
  if (ASchema->target != nullptr && ASchema->target->definition != nullptr) {
    definition = ASchema->target->definition;
  } else if (ASchema->resolved != nullptr) {
    definition = ASchema->resolved->definition;
  }
  if (definition == nullptr) return -1;
  const auto found = FClassIndex.find(definition);
  return found == FClassIndex.end() ? -1 : found->second;
}

const std::string* TApiResolver::ClassOf(const ApiSchema* ASchema) const {
  const int index = ClassIndexOf(ASchema);
  return index < 0 ? nullptr : &FIdentifiers[index];
}

// A simple type by its type and format, in the spelling the unit declares;
// a file is its content as text.
std::string SimpleType(std::string_view AType, std::string_view AFormat) {
  if (AType == "file") return "string";
  const std::string_view simple = DeclaredSimpleType(MapSimpleType(AType, AFormat));
  return simple.empty() ? "TJSONValue" : std::string(simple);
}

std::string TApiResolver::ElementType(const ApiSchema* AItems) const {
  if (const std::string* identifier = ClassOf(AItems)) return *identifier;
  if (AItems == nullptr || AItems->resolved == nullptr || AItems->resolved->type == "array") return "TJSONValue";
  return SimpleType(AItems->resolved->type, AItems->resolved->format);
}

std::string TApiResolver::SchemaType(const ApiSchema* ASchema) const {
  if (const std::string* identifier = ClassOf(ASchema)) return *identifier;
  if (ASchema == nullptr || ASchema->resolved == nullptr) return "TJSONValue";
  const ApiSchema& schema = *ASchema->resolved;
  if (schema.type == "array") return schema.items == nullptr ? "TJSONValue" : ArrayType(ElementType(schema.items));
  return SimpleType(schema.type, schema.format);
}

std::string TApiResolver::ParameterType(const ApiParameter& AParameter) const {
  if (AParameter.in == "body") return SchemaType(AParameter.schema);
  if (AParameter.type == "array") {
    return AParameter.items == nullptr ? "TJSONValue" : ArrayType(ElementType(AParameter.items));
  }
  return SimpleType(AParameter.type, AParameter.format);
}

TResolvedUnit TApiResolver::Resolve(const TLogProc& ALog) {
  const auto log = [&ALog](const std::string& ALine) {
    if (ALog) ALog(ALine);
  };
  log("Checking  references");
  TClassSlots slots;
  for (const TPlannedClass& plan : FClasses) {
    for (const int used : plan.Uses) {
      slots.AddTarget(used);
      slots.EndSlot();
    }
    slots.EndClass();
  }
  const TClassOrder order = OrderClasses(slots, {}, [this](int AClass) -> std::string_view {
    return FClasses[AClass].Definition->name;
  });
  log("Creating source unit " + FOutput.Path());

  TResolvedUnit unit;
  unit.Output = FOutput;
  unit.TimeStamp = LocalTimeStamp();
  unit.FitsDelphiLimits = true;
  unit.InterfaceUses = {"System.JSON"};
  // Every class declared forward, so that no order of the classes keeps
  // the unit from compiling.
  if (FFilter.empty()) {
    unit.ForwardDeclarations.reserve(FClasses.size());
    for (const int item : order.Items) unit.ForwardDeclarations.push_back(FIdentifiers[item]);
  }
  unit.Classes.reserve(FFilter.empty() ? FClasses.size() : 1);
  for (const int item : order.Items) {
    TPlannedClass& plan = FClasses[item];
    const bool written = FFilter.empty() || FFilter == plan.Definition->name;
    log("class: " + plan.Definition->name + (written ? " processed" : " skipped"));
    if (written) unit.Classes.push_back(std::move(plan.Class));
  }
  if (!FFilter.empty()) return unit;

  unit.HasClient = true;
  // The exception class derives from SysUtils' Exception in the interface.
  unit.InterfaceUses.emplace_back("System.SysUtils");
  unit.ImplementationUses = {"REST.Types", "REST.JSON", "REST.Client", "SOAP.XSBuiltins",
                             "System.Generics.Collections", "System.DateUtils"};
  unit.Support.push_back(ApiErrorCode());
  unit.ClientComments = kClientComments;
  unit.ClientClass = FClientClass;
  std::string scheme = "http";
  if (FDocument.schemes.empty()) {
    log("Missing scheme, using http as default");
  } else {
    scheme = FDocument.schemes.front();
  }
  unit.BaseUrl = QuoteLiteral(scheme + "://" + FDocument.host + FDocument.base_path);
  unit.Methods.resize(FDocument.operations.size());
  for (size_t i = 0; i < FDocument.operations.size(); ++i) ResolveMethod(FDocument.operations[i], unit.Methods[i]);
  return unit;
}

void TApiResolver::ResolveMethod(const ApiOperation& AOperation, TResolvedMethod& AMethod) {
  // Named from the operationId, else from the method and the path.
  const std::string made = MakeIdentifier(AOperation.operation_id, false);
  const std::string method =
      FMethods.Unique(made.empty() ? MethodNameFromPath(AOperation.method, AOperation.path) : PlainIdentifier(made));
  FMethods.Take(method);
  AMethod.Name = Escaped(method);
  const ApiSchema* result = AOperation.result == nullptr ? nullptr : AOperation.result->schema;
  if (result != nullptr) AMethod.ResultType = SchemaType(result);
  const bool returnsArray = IsArrayType(AMethod.ResultType);

  TNameScope arguments(&FBodyNames);
  for (const std::string_view name : kMethodLocals) arguments.Take(name);
  if (returnsArray) {
    for (const std::string_view name : kArrayResultLocals) arguments.Take(name);
  }
  const bool urlEncodedForm =
      AOperation.consumes.size() == 1 && AOperation.consumes.front() == "application/x-www-form-urlencoded";
  AMethod.Arguments.reserve(AOperation.parameters.size());
  for (const ApiParameter* parameter : AOperation.parameters) {
    ResolveArgument(*parameter, urlEncodedForm, arguments, AMethod);
  }

  AMethod.RequestMethod = RequestMethodOf(AOperation.method);
  if (!AOperation.produces.empty()) AMethod.Accept = QuoteLiteral(AOperation.produces.front());
  AMethod.Resource = QuoteLiteral(AOperation.path);
  ResolveCredentials(AOperation.security, AMethod.Credentials);
  AMethod.StatusCheck = {"if (Response.StatusCode < 200) or (Response.StatusCode > 299) then",
                         "  raise EApiError.Create(Response.StatusCode, Response.Content);"};
  if (AMethod.ResultType.empty()) return;

  // The status is checked before: the result block needs no condition.
  AMethod.ClearsResult = !returnsArray && !IsSimpleType(AMethod.ResultType);
  TResultTexts texts;
  texts.Datatype = AMethod.ResultType;
  texts.ItemType = std::string(ArrayElement(AMethod.ResultType));
  texts.ItemTypeText = texts.ItemType;
  texts.ClassText = AMethod.ResultType;
  AMethod.ResultLines = ResultLines(texts, true);
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
      AScope.Unique(PlainIdentifier(MakeIdentifier(AParameter.name, false)), [&](const std::string& ACandidate) {
        return !isArray || (AScope.IsFree("L" + ACandidate + "Item") &&
                            (!inBody || AScope.IsFree("L" + ACandidate + "ItemArray")) &&
                            (separator.empty() || AScope.IsFree("L" + ACandidate + "Text")));
      });
  AScope.Take(name);
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
    if (inBody && param.Datatype == "TJSONValue") {
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
    if (!IsSimpleType(itemType)) {
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
  TApiResolver resolver(ADocument, AFileName, AFilter);
  return resolver.Resolve(ALog);
}

void SaveApiUnit(const ApiDocument& ADocument, const std::string& AFileName, const std::string& AFilter,
                 const TLogProc& ALog) {
  SaveResolvedUnit(ResolveApiUnit(ADocument, AFileName, AFilter, ALog), ALog);
}

}  // namespace tolvane
