// The steps every rule takes to resolve the unit: the classes that pass the
// filter, then the client class and one method per served operation, with
// the lines of its request setup and of its result.
#include <array>
#include <string_view>
#include <unordered_map>

#include "platform/local_time.h"
#include "swagger/swagger_classes.h"
#include "unitdef/delphi_type.h"
#include "unitdef/identifiers.h"
#include "unitdef/line_text.h"
#include "unitdef/sanitize.h"
#include "unitdef/unit_definition.h"
#include "unitdef/unit_resolver.h"

namespace tolvane {

namespace {

// The method words of SupportedOperations, in its order.
constexpr std::array<std::string_view, 5> kMethodWords = {"get", "put", "post", "delete", "patch"};

}  // namespace

TSecurityIndex::TSecurityIndex(const std::vector<const TSecurityDefinition*>& ADefinitions) {
  FByName.reserve(ADefinitions.size());
  for (const TSecurityDefinition* definition : ADefinitions) {
    if (definition != nullptr) FByName.try_emplace(definition->FSecurityname, definition);
  }
}

const TSecurityDefinition* TSecurityIndex::Find(std::string_view AName) const {
  const auto found = FByName.find(AName);
  return found == FByName.end() ? nullptr : found->second;
}

TSignature TUnitResolver::Signature(const TPath&, const TOperation& AOperation, const std::string& AClazz) const {
  return CreateSignature(AClazz, AOperation);
}

void TUnitResolver::ResolveCredentials(const TOperation& AOperation, const TSecurityIndex& ASecurity,
                                       TResolvedCredentials& ACredentials) const {
  // The operation's first security requirement: comments for oauth2,
  // otherwise as the rule sends the value.
  if (AOperation.Fsecurity.empty() || AOperation.Fsecurity.front() == nullptr) return;
  const TSecurityDefinition* definition = ASecurity.Find(AOperation.Fsecurity.front()->FName);
  if (definition == nullptr) return;
  if (definition->Ftype == "oauth2") {
    ACredentials.Comments = {
        "Security (" + CommentText(definition->Ftype) + ") " + CommentText(definition->FSecurityname) + ": " +
            CommentText(definition->Fname) + " in " + CommentText(definition->FIn),
        "OAuth2 " + CommentText(definition->Fflow) + " " + CommentText(definition->FauthorizationUrl)};
  } else {
    SendCredentials(*definition, ACredentials);
  }
}

TResolvedUnit TUnitResolver::Resolve(TUnitDefinition& AUnit) {
  TResolvedUnit unit;
  unit.Output = Output();
  unit.TimeStamp = LocalTimeStamp();
  unit.InterfaceUses = {"System.JSON"};
  unit.FitsDelphiLimits = FitsDelphiLimits();

  const std::string& filter = AUnit.FClassnameFilter;
  if (filter.empty()) unit.ForwardDeclarations = ForwardDeclarations(AUnit);
  unit.Classes.reserve(filter.empty() ? AUnit.FObjects.size() : 1);

  // Taken from the model (whose forward declarations point at them) and
  // released one by one; the rest go with the list should a step fail.
  AUnit.FForwardDeclarations.clear();
  TObjectDefinitionList objects;
  objects.swap(AUnit.FObjects);
  for (std::unique_ptr<TObjectDefinition>& object : objects) {
    const bool written = filter.empty() || filter == object->Name();
    AUnit.LogFmt("class: %s %s", {object->Name(), written ? "processed" : "skipped"});
    if (written) {
      TResolvedClass& clazz = unit.Classes.emplace_back();
      if (!object->description().empty()) clazz.Comments.push_back(object->TakeDescription());
      ResolveClass(*object, clazz);
    }
    object.reset();
  }

  if (AUnit.FConfig.WriteOperations) ResolveClient(AUnit, unit);
  return unit;
}

void TUnitResolver::ResolveClient(const TUnitDefinition& AUnit, TResolvedUnit& AResolved) {
  AResolved.HasClient = true;
  AResolved.ImplementationUses = {"REST.Types",  "REST.JSON",  "REST.Client",      "SOAP.XSBuiltins",
                                  "System.Generics.Collections", "System.SysUtils", "System.DateUtils"};
  AResolved.ClientClass = ClientClass(AUnit);
  std::string scheme = "http";
  if (AUnit.FSchemes.empty()) {
    AUnit.Log("Missing scheme, using http as default");
  } else {
    // The base URL always takes the first scheme.
    scheme = AUnit.FSchemes.front();
  }
  AResolved.BaseUrl = QuoteLiteral(scheme + "://" + AUnit.FHost + AUnit.FBasePath);
  if (AUnit.FPaths == nullptr) return;

  const TSecurityIndex security(AUnit.FSecurityDefinitions);
  const std::string suffix = MakeIdentifier(AUnit.FBasePath, false);
  size_t count = 0;
  for (const auto& path : AUnit.FPaths->FItems) {
    for (const TOperation* operation : path->SupportedOperations()) count += operation != nullptr;
  }
  AResolved.Methods.reserve(count);
  std::vector<TArgumentTexts> arguments;
  for (const auto& path : AUnit.FPaths->FItems) {
    const std::string resource = QuoteLiteral(path->Fpath);
    const std::array<TOperation*, 5> operations = path->SupportedOperations();
    for (size_t k = 0; k < operations.size(); ++k) {
      if (operations[k] == nullptr) continue;
      const TOperation& operation = *operations[k];
      const TSignature signature = Signature(*path, operation, suffix);
      TResolvedMethod& method = AResolved.Methods.emplace_back();
      arguments.clear();
      TResultTexts result;
      NameMethod(*path, kMethodWords[k], operation, signature, method, arguments, result);
      const bool returnsArray = !result.ItemType.empty();
      method.ClearsResult = !method.ResultType.empty() && !returnsArray && !IsSimpleType(result.Datatype);
      method.RequestMethod = RequestMethod(*path, operation);
      if (!operation.Fproduces.empty()) method.Accept = QuoteLiteral(operation.Fproduces.front());
      method.Resource = resource;

      ResolveCredentials(operation, security, method.Credentials);

      const bool urlEncodedForm = operation.Fconsumes.size() == 1 &&
                                  operation.Fconsumes.front() == "application/x-www-form-urlencoded";
      method.Arguments.reserve(arguments.size());
      size_t locals = returnsArray ? 2 : 0;
      size_t creations = 0;
      for (const TArgumentTexts& texts : arguments) {
        locals += !texts.ItemType.empty() + !texts.ItemArray.empty();
        creations += !texts.ItemArray.empty();
      }
      method.Locals.reserve(locals);
      method.Creations.reserve(creations);
      for (size_t i = 0; i < arguments.size(); ++i) {
        TArgumentTexts& texts = arguments[i];
        if (!texts.ItemType.empty()) method.Locals.push_back(texts.ItemVar + " : " + texts.ItemTypeText + ";");
        if (!texts.ItemArray.empty()) {
          method.Locals.push_back(texts.ItemArray + " : TJSONArray;");
          method.Creations.push_back(texts.ItemArray + " := TJSONArray.Create;");
        }
        method.Arguments.push_back(ResolveArgument(signature.Params[i], texts, urlEncodedForm));
      }
      if (returnsArray) {
        method.Locals.emplace_back("I          : Integer;");
        method.Locals.emplace_back("ReturnArray: TJSONArray;");
      }
      if (!method.ResultType.empty()) ResolveResult(result, method);
    }
  }
}

// Turns the content of a response with status 200 into the result.
void TUnitResolver::ResolveResult(const TResultTexts& AResult, TResolvedMethod& AMethod) const {
  AMethod.ResultCondition = "Response.StatusCode = 200";
  AMethod.ResultLines = ResultLines(AResult, false);
}

std::vector<std::string> ResultLines(const TResultTexts& AResult, bool AConvert) {
  const auto convert = [AConvert](std::string_view AType) { return AConvert ? TextAsValue(AType) : TConversion{}; };
  std::vector<std::string> lines;
  lines.reserve(AResult.ItemType.empty() ? 1 : 6);
  if (!AResult.ItemType.empty()) {
    lines.emplace_back("ReturnArray := TJSONArray(TJSONObject.ParseJSONValue(Response.Content));");
    lines.emplace_back("SetLength(Result, ReturnArray.Count);");
    lines.emplace_back("for I := 0 to ReturnArray.Count -1 do");
    lines.emplace_back("begin");
    if (IsSimpleType(AResult.ItemType)) {
      const TConversion conversion = convert(AResult.ItemType);
      lines.push_back(JoinText({"  Result[I] := ", conversion.Open, "TJSONObject(ReturnArray.Items[I]).ToString",
                                conversion.Close, ";"}));
    } else {
      lines.push_back(
          JoinText({"  Result[I] := TJSON.JsonToObject<", AResult.ItemTypeText, ">(TJSONObject(ReturnArray.Items[I]));"}));
    }
    lines.emplace_back("end;");
  } else if (IsSimpleType(AResult.Datatype)) {
    const TConversion conversion = convert(AResult.Datatype);
    lines.push_back(JoinText({"Result := ", conversion.Open, "Response.Content", conversion.Close, ";"}));
  } else if (AResult.Datatype == "TJSONValue") {
    lines.emplace_back("Result := TJSONObject.ParseJSONValue(Response.Content);");
  } else {
    lines.push_back(JoinText({"Result := TJSON.JSONToObject<", AResult.ClassText, ">(Response.Content);"}));
  }
  return lines;
}

}  // namespace tolvane
