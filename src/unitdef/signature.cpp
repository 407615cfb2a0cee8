#include "unitdef/signature.h"

#include "platform/exceptions.h"
#include "swagger/swagger_classes.h"
#include "unitdef/identifiers.h"
#include "unitdef/name_plan.h"
#include "unitdef/type_mapping.h"

namespace tolvane {

namespace {

constexpr std::string_view kArrayPrefix = "TArray<";

bool IsArrayType(std::string_view ADatatype) { return ADatatype.starts_with(kArrayPrefix); }

// Appends the identifier as the writer writes it; unchanged without a writer.
void AppendIdentifier(std::string& AOut, const TUnitDefinition* AWriter, std::string_view AText) {
  std::string storage;
  AOut.append(AWriter != nullptr ? AWriter->IdentifierView(AText, storage) : AText);
}

void AppendTypeText(std::string& AOut, const TUnitDefinition* AWriter, std::string_view AText) {
  std::string storage;
  AOut.append(AWriter != nullptr ? AWriter->TypeTextView(AText, storage) : AText);
}

// The presence test of an optional argument of type ADatatype whose name is
// written as AName. The first matching row decides.
std::string PresenceTest(const TUnitDefinition::TParam& AParam, const std::string& AName) {
  const std::string& type = AParam.Datatype;
  if (!AParam.ItemType().empty()) return "Length(" + AName + ") > 0";
  if (type == "string") return AName + " <> emptyStr";
  if (type == "integer") return AName + "<> 0";
  if (type == "int64" || type == "TDateTime" || type == "double") return AName + " <> 0";
  if (type == "boolean") return AName;
  if (type.size() > 1 && type.front() == 'T') return AName + " <> nil {unknown datatype}";
  throw Exception("Undefined datatype " + type);
}

}  // namespace

// --- TParam -----------------------------------------------------------------

std::string TUnitDefinition::TParam::ItemType() const {
  // The text between "TArray<" and the last character, the closing ">".
  if (!IsArrayType(Datatype) || Datatype.size() <= kArrayPrefix.size()) return "";
  return Datatype.substr(kArrayPrefix.size(), Datatype.size() - kArrayPrefix.size() - 1);
}

std::string TUnitDefinition::TParam::ItemVar() const {
  if (!IsArrayType(Datatype)) return "";
  std::string name = Name;
  if (const size_t ampersand = name.find('&'); ampersand != std::string::npos) {
    name.erase(ampersand, 1);
  }
  return "L" + name + "Item";
}

std::string TUnitDefinition::TParam::ItemArray() const {
  if (Position != "body") return "";
  std::string itemVar = ItemVar();
  if (itemVar.empty()) return "";
  return itemVar + "Array";
}

std::string TUnitDefinition::TParam::RequiredCondition() const { return PresenceTest(*this, Name); }

std::string TUnitDefinition::TParam::RequiredCondition(const TUnitDefinition& AWriter) const {
  return PresenceTest(*this, AWriter.WriteIdentifier(Name));
}

bool TUnitDefinition::TParamList::ContainsArrayInBody() const {
  for (const auto& param : *this) {
    if (!param->ItemType().empty() && param->Position == "body") return true;
  }
  return false;
}

// --- TSignature -------------------------------------------------------------

std::string TUnitDefinition::TSignature::RenderBody(const TUnitDefinition* AWriter) const {
  std::string body;
  if (!Params.empty()) {
    body += "(";
    for (size_t i = 0; i < Params.size(); ++i) {
      const TParam& param = *Params[i];
      if (i > 0) body += "; ";
      AppendIdentifier(body, AWriter, param.Name);
      body += " : ";
      AppendTypeText(body, AWriter, MakeIdentifier(param.Datatype, false));
    }
    body += ")";
  }
  if (!Returns.Datatype.empty()) {
    body += " : ";
    AppendTypeText(body, AWriter, MakeIdentifier(Returns.Datatype, false));
  }
  body += ";";
  return body;
}

std::string TUnitDefinition::TSignature::GetBody() const { return RenderBody(nullptr); }

std::string TUnitDefinition::TSignature::GetInterface() const {
  return CallType + " " + Name + GetBody();
}

std::string TUnitDefinition::TSignature::GetImplementation() const {
  return CallType + " T" + Clazz + "." + Name + GetBody();
}

std::string TUnitDefinition::TSignature::GetBody(const TUnitDefinition& AWriter) const {
  return RenderBody(&AWriter);
}

std::string TUnitDefinition::TSignature::GetInterface(const TUnitDefinition& AWriter) const {
  return CallType + " " + AWriter.WriteIdentifier(Name) + GetBody(AWriter);
}

std::string TUnitDefinition::TSignature::GetImplementation(const TUnitDefinition& AWriter) const {
  return CallType + " T" + AWriter.WriteIdentifier(Clazz) + "." + AWriter.WriteIdentifier(Name) +
         GetBody(AWriter);
}

// --- Building a signature ---------------------------------------------------

std::unique_ptr<TUnitDefinition::TSignature> TUnitDefinition::CreateSignature(
    const std::string& AClazz, const TOperation& AOperation) {
  auto signature = std::make_unique<TSignature>();
  signature->Clazz = AClazz;
  signature->Name = MakeIdentifier(AOperation.FoperationId, true);

  // The first response coded exactly "200" or "default" decides the result
  // type. An operation without a response list has none.
  if (AOperation.Fresponses != nullptr) {
    for (const auto& response : AOperation.Fresponses->FItems) {
      if (response->FresponseCode == "200" || response->FresponseCode == "default") {
        signature->Returns.Datatype = MapSchemaType(response->Fschema.get(), "", "", nullptr);
        break;
      }
    }
  }
  signature->CallType = signature->Returns.Datatype.empty() ? "procedure" : "function";

  signature->Params.reserve(AOperation.Fparameters.size());
  for (const auto& parameter : AOperation.Fparameters) {
    auto param = std::make_unique<TParam>();
    param->ResourceName = parameter->Fname;
    param->Name = MakeIdentifier(parameter->Fname, true);
    param->Datatype = MapSchemaType(parameter->Fschema.get(), parameter->Ftype, parameter->Fformat,
                                    parameter->Fitems.get());
    param->Position = parameter->Fin;
    param->Required = parameter->Frequired;
    signature->Params.push_back(std::move(param));
  }
  if (FPlan) FPlan->Apply(AOperation, *signature);
  return signature;
}

// --- Request kinds and methods ----------------------------------------------

std::string ParameterKind(std::string_view ALocation) {
  if (SameTextFold(ALocation, "header")) return "pkHTTPHEADER";
  if (SameTextFold(ALocation, "path")) return "pkURLSEGMENT";
  if (SameTextFold(ALocation, "query")) return "pkQUERY";
  if (SameTextFold(ALocation, "body")) return "pkREQUESTBODY";
  if (SameTextFold(ALocation, "formData")) return "pkREQUESTBODY";
  return "";
}

std::string RequestMethod(const TPath& APath, const TOperation& AOperation) {
  // By identity, in the order get, post, put, delete, patch. The generated
  // code ignores letter case, so "rmDelete" names the same value as the
  // others' spelling would; the text is kept as it has always been written.
  if (APath.Fget.get() == &AOperation) return "rmGET";
  if (APath.Fpost.get() == &AOperation) return "rmPOST";
  if (APath.Fput.get() == &AOperation) return "rmPUT";
  if (APath.Fdelete.get() == &AOperation) return "rmDelete";
  if (APath.Fpatch.get() == &AOperation) return "rmPATCH";
  return "";
}

}  // namespace tolvane
