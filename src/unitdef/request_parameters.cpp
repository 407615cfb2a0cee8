#include "unitdef/request_parameters.h"

#include "unitdef/client_lines.h"
#include "unitdef/line_text.h"
#include "unitdef/identifiers.h"
#include "unitdef/sanitize.h"
#include "unitdef/text_conversions.h"
#include "unitdef/type_mapping.h"

namespace tolvane {

namespace {

using TParam = TUnitDefinition::TParam;

// One argument's texts as the request lines write them.
struct TArgumentTexts {
  const TParam& Param;
  std::string_view Indent;   // two blanks inside the if block of an optional argument
  std::string_view Name;     // the argument's identifier, "&" kept
  std::string ItemType;      // unchanged; the cases branch on it
  std::string ItemVar;       // the loop variable
  std::string ItemArray;     // the JSON array variable of a body array
  std::string QuotedName;    // the request parameter's name as a literal
  std::string Kind;          // ParameterKind of the location
  std::string_view Options;  // "[]" or "[poDoNotEncode]"
  bool Compilable;           // every value converted to text
};

// Path, query and form values are encoded by the request; everything else is
// sent as it is.
std::string_view OptionsText(std::string_view APosition) {
  if (SameTextFold(APosition, "path") || SameTextFold(APosition, "query") ||
      SameTextFold(APosition, "formData")) {
    return "[]";
  }
  return "[poDoNotEncode]";
}

// The request-parameter kind of a location. A location without one (a
// parameter given by a reference, which brings no "in") leaves the kind
// empty, except in a unit that must compile, where the request's default
// kind takes its place.
std::string RequestKind(std::string_view APosition, bool ACompilable) {
  std::string kind = ParameterKind(APosition);
  if (kind.empty() && ACompilable) kind = "pkGETorPOST";
  return kind;
}

// Case A: an array argument in the body becomes a JSON array sent as the body.
void WriteBodyArray(TLineList& ALines, const TArgumentTexts& A) {
  const bool simple = IsSimpleType(A.ItemType);
  std::string element;
  if (!simple) {
    element = "TJSON.ObjectToJSONObject(" + A.ItemVar + ")";
  } else if (A.ItemType == "string") {
    element = A.ItemVar;
  } else if (A.Compilable && (A.ItemType == "TDateTime" || A.ItemType == "double")) {
    // A date has no ToString; a double's depends on the locale.
    const TConversion conversion = ValueAsText(A.ItemType, true);
    element = JoinLine({conversion.Open, A.ItemVar, conversion.Close});
  } else {
    element = A.ItemVar + ".ToString";
  }
  AppendLine(ALines, {A.Indent, "    for ", A.ItemVar, " in ", A.Name, " do"});
  if (simple) {
    AppendLine(ALines, {A.Indent, "      ", A.ItemArray, ".Add(", element, ");"});
  } else {
    AppendLine(ALines, {A.Indent, "      ", A.ItemArray, ".AddElement(", element, ");"});
  }
  AppendLine(ALines,
             {A.Indent, "    Request.AddBody(", A.ItemArray, ".ToJSON, ctAPPLICATION_JSON);"});
}

// Case B: an array argument outside the body gives one parameter per element.
void WriteArrayParameter(TLineList& ALines, const TArgumentTexts& A) {
  std::string element;
  if (!IsSimpleType(A.ItemType)) {
    element = "TJSON.ObjectToJSONString(" + A.ItemVar + ")";
  } else if (A.Compilable) {
    const TConversion conversion = ValueAsText(A.ItemType, true);
    element = JoinLine({conversion.Open, A.ItemVar, conversion.Close});
  } else {
    element = A.ItemVar;
  }
  AppendLine(ALines, {A.Indent, "    for ", A.ItemVar, " in ", A.Name, " do"});
  AppendLine(ALines, {A.Indent, "      Request.AddParameter(", A.QuotedName, ", ", element, ", ",
                      A.Kind, ", [poDoNotEncode]);"});
}

// Case C: a simple value, as a form item of a URL-encoded form or as a
// request parameter.
void WriteSimpleValue(TLineList& ALines, const TArgumentTexts& A, bool AUrlEncodedForm) {
  // The value text: the name, in a conversion to text where it is no text.
  const TConversion conversion = ValueAsText(A.Param.Datatype, A.Compilable);
  const std::string_view convert = conversion.Open;
  const std::string_view close = conversion.Close;
  if (A.Param.Position == "formData" && AUrlEncodedForm) {
    AppendLine(ALines, {A.Indent, "    Request.Params.AddItem(", A.QuotedName, ", ", convert,
                        A.Name, close, ", pkGETorPOST, ", A.Options,
                        ", TRESTContentType.ctAPPLICATION_X_WWW_FORM_URLENCODED);"});
  } else {
    AppendLine(ALines, {A.Indent, "    Request.AddParameter(", A.QuotedName, ", ", convert, A.Name,
                        close, ", ", A.Kind, ", ", A.Options, ");"});
  }
}

// Case D: anything else is turned into JSON, as the body or as a parameter.
void WriteObjectValue(TLineList& ALines, const TArgumentTexts& A) {
  if (A.Param.Position == "body") {
    AppendLine(ALines, {A.Indent, "    Request.AddBody(TJSON.ObjectToJsonObject(", A.Name, "));"});
  } else {
    AppendLine(ALines, {A.Indent, "    Request.AddParameter(", A.QuotedName, ", ",
                        "TJSON.ObjectToJSONString(", A.Name, "), ", A.Kind, ", ", A.Options, ");"});
  }
}

}  // namespace

void WriteArgumentDeclarations(TLineList& ALines, const TUnitDefinition& AWriter,
                               const TUnitDefinition::TParamList& AParams) {
  for (const auto& param : AParams) {
    const std::string itemType = param->ItemType();
    if (!itemType.empty()) {
      AppendLine(ALines, {"  ", AWriter.WriteIdentifier(param->ItemVar()), " : ",
                          AWriter.WriteTypeText(itemType), ";"});
    }
    const std::string itemArray = param->ItemArray();
    if (!itemArray.empty()) {
      AppendLine(ALines, {"  ", AWriter.WriteIdentifier(itemArray), " : TJSONArray;"});
    }
  }
}

void WriteArgumentCreations(TLineList& ALines, const TUnitDefinition& AWriter,
                            const TUnitDefinition::TParamList& AParams) {
  for (const auto& param : AParams) {
    const std::string itemArray = param->ItemArray();
    if (!itemArray.empty()) {
      AppendLine(ALines, {"  ", AWriter.WriteIdentifier(itemArray), " := TJSONArray.Create;"});
    }
  }
}

void WriteArgumentRequestLines(TLineList& ALines, const TUnitDefinition& AWriter,
                               const TUnitDefinition::TParamList& AParams,
                               const std::vector<std::string>& AConsumes) {
  const bool urlEncodedForm =
      AConsumes.size() == 1 && AConsumes.front() == "application/x-www-form-urlencoded";
  for (const auto& param : AParams) {
    const bool optional = !param->Required;
    if (optional) {
      AppendLine(ALines, {"    if ", param->RequiredCondition(AWriter), " then"});
      ALines.emplace_back("    begin");
    }
    const std::string itemArray = param->ItemArray();
    std::string nameStorage;
    const TArgumentTexts texts{
        .Param = *param,
        .Indent = optional ? "  " : "",
        .Name = AWriter.IdentifierView(param->Name, nameStorage),
        .ItemType = param->ItemType(),
        .ItemVar = AWriter.WriteIdentifier(param->ItemVar()),
        .ItemArray = AWriter.WriteIdentifier(itemArray),
        .QuotedName = QuoteLiteral(param->ResourceName),
        .Kind = RequestKind(param->Position, AWriter.FConfig.Compilable),
        .Options = OptionsText(param->Position),
        .Compilable = AWriter.FConfig.Compilable,
    };
    if (!texts.ItemType.empty() && !itemArray.empty()) {
      WriteBodyArray(ALines, texts);
    } else if (!texts.ItemType.empty()) {
      WriteArrayParameter(ALines, texts);
    } else if (IsSimpleType(param->Datatype)) {
      WriteSimpleValue(ALines, texts, urlEncodedForm);
    } else {
      WriteObjectValue(ALines, texts);
    }
    if (optional) ALines.emplace_back("    end;");
  }
}

}  // namespace tolvane
