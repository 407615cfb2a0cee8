// The implementations of the client methods: each creates the REST objects,
// sets up the request with its credentials and arguments, executes it and
// turns a successful response into the result.
#include <memory>
#include <string_view>
#include <unordered_map>

#include "swagger/swagger_classes.h"
#include "unitdef/client_lines.h"
#include "unitdef/identifiers.h"
#include "unitdef/request_parameters.h"
#include "unitdef/sanitize.h"
#include "unitdef/signature.h"
#include "unitdef/text_conversions.h"
#include "unitdef/type_mapping.h"
#include "unitdef/unit_definition.h"

namespace tolvane {

namespace {

using TSignature = TUnitDefinition::TSignature;
using TParam = TUnitDefinition::TParam;

// The security definitions by name, built once per unit so that an operation
// finds its definition without walking the list. Of two definitions with the
// same name the first in the list wins, as a walk in list order would find it.
class TSecurityIndex {
 public:
  explicit TSecurityIndex(const std::vector<const TSecurityDefinition*>& ADefinitions) {
    FByName.reserve(ADefinitions.size());
    for (const TSecurityDefinition* definition : ADefinitions) {
      if (definition != nullptr) FByName.try_emplace(definition->FSecurityname, definition);
    }
  }

  const TSecurityDefinition* Find(std::string_view AName) const {
    const auto found = FByName.find(AName);
    return found == FByName.end() ? nullptr : found->second;
  }

 private:
  // The keys view the names held by the borrowed definitions.
  std::unordered_map<std::string_view, const TSecurityDefinition*> FByName;
};

// What every method of the unit shares.
struct TClientTexts {
  const TUnitDefinition& Writer;
  std::string QuotedBaseUrl;
  TSecurityIndex Security;
};

// The credentials of the operation's first security requirement: comments
// for oauth2, otherwise the authorization value as a request parameter.
// ACompilable: a definition without a name or a known location (basic) sends
// the value as the Authorization header.
void WriteCredentials(TLineList& ALines, const TOperation& AOperation,
                      const TSecurityIndex& ASecurity, bool ACompilable) {
  if (AOperation.Fsecurity.empty() || AOperation.Fsecurity.front() == nullptr) return;
  const TSecurityDefinition* definition = ASecurity.Find(AOperation.Fsecurity.front()->FName);
  if (definition == nullptr) return;

  if (definition->Ftype == "oauth2") {
    AppendLine(ALines, {"    // Security (", CommentText(definition->Ftype), ") ",
                        CommentText(definition->FSecurityname), ": ",
                        CommentText(definition->Fname), " in ", CommentText(definition->FIn)});
    AppendLine(ALines, {"    // OAuth2 ", CommentText(definition->Fflow), " ",
                        CommentText(definition->FauthorizationUrl)});
    return;
  }
  std::string name = QuoteLiteral(definition->Fname);
  std::string kind = ParameterKind(definition->FIn);
  if (ACompilable && (definition->Fname.empty() || kind.empty())) {
    name = "'Authorization'";
    kind = "pkHTTPHEADER";
  }
  ALines.emplace_back("    if FAuthorization <> '' then");
  AppendLine(ALines, {"      Request.AddParameter(", name, ", FAuthorization , ", kind, ", [poDoNotEncode]);"});
}

// How the result block turns text into a value of the type: as it is, except
// in a unit that must compile.
TConversion TextConversion(const TUnitDefinition& AWriter, std::string_view AType) {
  return AWriter.FConfig.Compilable ? TextAsValue(AType) : TConversion{};
}

// Turns the content of a response with status 200 into the result.
void WriteResultBlock(TLineList& ALines, const TUnitDefinition& AWriter, const TParam& AReturns) {
  ALines.emplace_back("    if Response.StatusCode = 200 then");
  ALines.emplace_back("    begin");
  const std::string itemType = AReturns.ItemType();
  if (!itemType.empty()) {
    ALines.emplace_back(
        "      ReturnArray := TJSONArray(TJSONObject.ParseJSONValue(Response.Content));");
    ALines.emplace_back("      SetLength(Result, ReturnArray.Count);");
    ALines.emplace_back("      for I := 0 to ReturnArray.Count -1 do");
    ALines.emplace_back("      begin");
    if (IsSimpleType(itemType)) {
      const TConversion conversion = TextConversion(AWriter, itemType);
      AppendLine(ALines, {"        Result[I] := ", conversion.Open,
                          "TJSONObject(ReturnArray.Items[I]).ToString", conversion.Close, ";"});
    } else {
      AppendLine(ALines,
                 {"        Result[I] := TJSON.JsonToObject<", AWriter.WriteTypeText(itemType),
                  ">(TJSONObject(ReturnArray.Items[I]));"});
    }
    ALines.emplace_back("      end;");
  } else if (IsSimpleType(AReturns.Datatype)) {
    const TConversion conversion = TextConversion(AWriter, AReturns.Datatype);
    AppendLine(ALines, {"      Result := ", conversion.Open, "Response.Content", conversion.Close, ";"});
  } else if (AReturns.Datatype == "TJSONValue") {
    ALines.emplace_back("      Result := TJSONObject.ParseJSONValue(Response.Content);");
  } else {
    AppendLine(ALines, {"      Result := TJSON.JSONToObject<",
                        AWriter.WriteTypeText(MakeIdentifier(AReturns.Datatype, false)),
                        ">(Response.Content);"});
  }
  ALines.emplace_back("    end;");
}

// One method, from its heading to the empty line after its "end;".
void WriteClientMethod(TLineList& ALines, const TClientTexts& AClient, const TPath& APath,
                       const std::string& AQuotedResource, const TOperation& AOperation,
                       const TSignature& ASignature) {
  const TUnitDefinition& writer = AClient.Writer;
  const TParam& returns = ASignature.Returns;
  const bool isFunction = ASignature.CallType == "function";
  const bool returnsArray = !returns.ItemType().empty();

  ALines.push_back(ASignature.GetImplementation(writer));
  ALines.emplace_back("var");
  ALines.emplace_back("  Client   : TRestClient;");
  ALines.emplace_back("  Request  : TRestRequest;");
  ALines.emplace_back("  Response : TRestResponse;");
  WriteArgumentDeclarations(ALines, writer, ASignature.Params);
  if (returnsArray) {
    ALines.emplace_back("  I          : Integer;");
    ALines.emplace_back("  ReturnArray: TJSONArray;");
  }
  ALines.emplace_back("begin");
  if (isFunction && !returnsArray && !IsSimpleType(returns.Datatype)) {
    ALines.emplace_back("  Result           := nil;");
  }
  AppendLine(ALines, {"  Client           := TRestClient.Create(", AClient.QuotedBaseUrl, ");"});
  ALines.emplace_back("  Request          := TRestRequest.Create(nil);");
  ALines.emplace_back("  Response         := TRestResponse.Create(nil);");
  WriteArgumentCreations(ALines, writer, ASignature.Params);
  ALines.emplace_back("  try");
  ALines.emplace_back("    Request.Client   := Client;");
  ALines.emplace_back("    Request.Response := Response;");
  ALines.emplace_back("    Request.HandleRedirects := True;");
  AppendLine(ALines, {"    Request.Method := ", RequestMethod(APath, AOperation), ";"});
  if (!AOperation.Fproduces.empty()) {
    AppendLine(ALines, {"    Request.Accept := ", QuoteLiteral(AOperation.Fproduces.front()), ";"});
  }
  AppendLine(ALines, {"    Request.Resource := ", AQuotedResource, ";"});
  WriteCredentials(ALines, AOperation, AClient.Security, writer.FConfig.Compilable);
  WriteArgumentRequestLines(ALines, writer, ASignature.Params, AOperation.Fconsumes);
  ALines.emplace_back("    Request.Execute;");
  if (isFunction) WriteResultBlock(ALines, writer, returns);
  ALines.emplace_back("  finally");
  ALines.emplace_back("    Client.Free;");
  ALines.emplace_back("    Request.Free;");
  ALines.emplace_back("    Response.Free;");
  ALines.emplace_back("  end;");
  ALines.emplace_back("end;");
  ALines.emplace_back("");
}

}  // namespace

void TUnitDefinition::WriteClientMethods(TLineList& ALines) {
  const std::string suffix = MakeIdentifier(FBasePath, false);
  // Save makes sure there is a scheme; the base URL always takes the first.
  const std::string scheme = FSchemes.empty() ? std::string() : FSchemes.front();
  const TClientTexts client{
      .Writer = *this,
      .QuotedBaseUrl = QuoteLiteral(scheme + "://" + FHost + FBasePath),
      .Security = TSecurityIndex(FSecurityDefinitions),
  };

  ALines.emplace_back("");
  if (FPaths == nullptr) return;
  // Some thirty lines per method and up to four per argument, sized once.
  size_t expectedLines = 0;
  for (const auto& path : FPaths->FItems) {
    for (const TOperation* operation : path->SupportedOperations()) {
      if (operation != nullptr) expectedLines += 32 + 4 * operation->Fparameters.size();
    }
  }
  ALines.reserve(ALines.size() + expectedLines);
  for (const auto& path : FPaths->FItems) {
    const std::string quotedResource = QuoteLiteral(path->Fpath);
    for (const TOperation* operation : path->SupportedOperations()) {
      if (operation == nullptr) continue;
      // Released also when a presence test fails half-way through the method.
      const std::unique_ptr<TSignature> signature = CreateSignature(suffix, *operation);
      WriteClientMethod(ALines, client, *path, quotedResource, *operation, *signature);
    }
  }
}

}  // namespace tolvane
