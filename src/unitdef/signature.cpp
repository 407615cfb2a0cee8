#include "unitdef/signature.h"

#include "platform/exceptions.h"
#include "swagger/swagger_classes.h"
#include "unitdef/delphi_type.h"
#include "unitdef/identifiers.h"
#include "unitdef/type_mapping.h"

namespace tolvane {

std::string TParam::ItemType() const { return std::string(ArrayElement(Datatype)); }

std::string TParam::ItemVar() const {
  if (!StartsAsArray(Datatype)) return "";
  std::string name = Name;
  if (const size_t ampersand = name.find('&'); ampersand != std::string::npos) {
    name.erase(ampersand, 1);
  }
  return "L" + name + "Item";
}

std::string TParam::ItemArray() const {
  if (Position != "body") return "";
  std::string itemVar = ItemVar();
  if (itemVar.empty()) return "";
  return itemVar + "Array";
}

std::string TParam::RequiredCondition(std::string_view AName) const {
  // The first matching row decides.
  const std::string name(AName);
  const std::string& type = Datatype;
  if (!ItemType().empty()) return "Length(" + name + ") > 0";
  if (type == "string") return name + " <> emptyStr";
  if (type == "integer") return name + "<> 0";
  if (type == "int64" || type == "TDateTime" || type == "double") return name + " <> 0";
  if (type == "boolean") return name;
  if (type.size() > 1 && type.front() == 'T') return name + " <> nil {unknown datatype}";
  throw Exception("Undefined datatype " + type);
}

TSignature CreateSignature(const std::string& AClazz, const TOperation& AOperation) {
  TSignature signature;
  signature.Clazz = AClazz;
  signature.Name = MakeIdentifier(AOperation.FoperationId, true);

  // The first response coded exactly "200" or "default" decides the result
  // type. An operation without a response list has none.
  if (AOperation.Fresponses != nullptr) {
    for (const auto& response : AOperation.Fresponses->FItems) {
      if (response->FresponseCode == "200" || response->FresponseCode == "default") {
        signature.Returns.Datatype = MapSchemaType(response->Fschema.get(), "", "", nullptr);
        break;
      }
    }
  }
  signature.CallType = signature.Returns.Datatype.empty() ? "procedure" : "function";

  signature.Params.reserve(AOperation.Fparameters.size());
  for (const auto& parameter : AOperation.Fparameters) {
    TParam& param = signature.Params.emplace_back();
    param.ResourceName = parameter->Fname;
    param.Name = MakeIdentifier(parameter->Fname, true);
    param.Datatype = MapSchemaType(parameter->Fschema.get(), parameter->Ftype, parameter->Fformat,
                                   parameter->Fitems.get());
    param.Position = parameter->Fin;
    param.Required = parameter->Frequired;
  }
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

std::string_view ParameterOptions(std::string_view ALocation) {
  if (SameTextFold(ALocation, "path") || SameTextFold(ALocation, "query") || SameTextFold(ALocation, "formData")) {
    return "[]";
  }
  return "[poDoNotEncode]";
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
