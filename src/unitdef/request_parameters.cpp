// How each argument reaches the request, chosen by its type and location:
// as a request parameter (path segment, query, header, form field), as a
// form item of a URL-encoded form, or as the body (an object as JSON, or a
// JSON array built from an array argument).
#include "unitdef/code_printer.h"
#include "unitdef/delphi_type.h"
#include "unitdef/identifiers.h"
#include "unitdef/sanitize.h"
#include "unitdef/unit_resolver.h"

namespace tolvane {

TResolvedArgument TUnitResolver::ResolveArgument(const TParam& AParam, TArgumentTexts& A,
                                                 bool AUrlEncodedForm) const {
  TResolvedArgument argument;
  argument.Type = std::move(A.Type);
  if (!AParam.Required) argument.Condition = std::move(A.Condition);
  // At most three lines; room for them at once.
  argument.RequestLines.reserve(A.ItemType.empty() ? 1 : 3);
  TLineCollector collector(argument.RequestLines);
  TCodePrinter lines(collector);
  const std::string quotedName = QuoteLiteral(AParam.ResourceName);
  const std::string kind = RequestKind(AParam.Position);
  const std::string_view options = ParameterOptions(AParam.Position);

  if (!A.ItemType.empty() && !A.ItemArray.empty()) {
    // An array in the body becomes a JSON array sent as the body.
    const bool simple = IsSimpleType(A.ItemType);
    std::string element;
    if (simple) {
      const TConversion conversion = ArrayItemValue(A.ItemType, true);
      element = JoinText({conversion.Open, A.ItemVar, conversion.Close});
    } else {
      element = JoinText({"TJSON.ObjectToJSONObject(", A.ItemVar, ")"});
    }
    lines.Line({"for ", A.ItemVar, " in ", A.Name, " do"});
    lines.Line({"  ", A.ItemArray, simple ? ".Add(" : ".AddElement(", element, ");"});
    lines.Line({"Request.AddBody(", A.ItemArray, ".ToJSON, ctAPPLICATION_JSON);"});
  } else if (!A.ItemType.empty()) {
    // An array outside the body gives one parameter per element.
    std::string element;
    if (IsSimpleType(A.ItemType)) {
      const TConversion conversion = ArrayItemValue(A.ItemType, false);
      element = JoinText({conversion.Open, A.ItemVar, conversion.Close});
    } else {
      element = JoinText({"TJSON.ObjectToJSONString(", A.ItemVar, ")"});
    }
    lines.Line({"for ", A.ItemVar, " in ", A.Name, " do"});
    lines.Line({"  Request.AddParameter(", quotedName, ", ", element, ", ", kind, ", [poDoNotEncode]);"});
  } else if (IsSimpleType(A.Datatype)) {
    // A simple value, as a form item of a URL-encoded form or as a request
    // parameter; converted to text where it is none.
    const TConversion value = RequestValue(A.Datatype);
    if (AParam.Position == "formData" && AUrlEncodedForm) {
      lines.Line({"Request.Params.AddItem(", quotedName, ", ", value.Open, A.Name, value.Close, ", pkGETorPOST, ",
                  options, ", TRESTContentType.ctAPPLICATION_X_WWW_FORM_URLENCODED);"});
    } else {
      lines.Line({"Request.AddParameter(", quotedName, ", ", value.Open, A.Name, value.Close, ", ", kind, ", ",
                  options, ");"});
    }
  } else if (AParam.Position == "body") {
    // Anything else is turned into JSON, as the body or as a parameter.
    lines.Line({"Request.AddBody(TJSON.ObjectToJsonObject(", A.Name, "));"});
  } else {
    lines.Line({"Request.AddParameter(", quotedName, ", TJSON.ObjectToJSONString(", A.Name, "), ", kind, ", ",
                options, ");"});
  }
  argument.Name = std::move(A.Name);
  return argument;
}

}  // namespace tolvane
