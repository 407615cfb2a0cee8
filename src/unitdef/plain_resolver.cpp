// The plain rule: the unit exactly as the conversion rules give it, lines
// that Delphi rejects included. Names and type texts from the document are
// cleaned where they are written, so that no document can inject code
// through a name.
#include "swagger/swagger_classes.h"
#include "unitdef/delphi_type.h"
#include "unitdef/identifiers.h"
#include "unitdef/sanitize.h"
#include "unitdef/unit_definition.h"
#include "unitdef/unit_resolver.h"

namespace tolvane {

namespace {

class TPlainResolver final : public TUnitResolver {
 public:
  explicit TPlainResolver(const TUnitDefinition& AUnit) : FOutput(MakeOutputName(AUnit.FName)) {}

  TOutputName Output() const override { return FOutput; }

 protected:
  std::vector<std::string> ForwardDeclarations(const TUnitDefinition& AUnit) const override {
    std::vector<std::string> identifiers;
    identifiers.reserve(AUnit.FForwardDeclarations.size());
    for (const TObjectDefinition* object : AUnit.FForwardDeclarations) identifiers.push_back(ClassIdentifier(*object));
    return identifiers;
  }

  void ResolveClass(TObjectDefinition& AObject, TResolvedClass& AClass) override {
    AClass.Identifier = ClassIdentifier(AObject);
    AClass.Fields.reserve(AObject.Properties().size());
    for (auto& property : AObject.Properties()) {
      TResolvedField& field = AClass.Fields.emplace_back();
      if (!property.description().empty()) field.Comments.push_back(property.TakeDescription());
      const std::string& type = property.DataType();
      field.Field = SanitizeIdentifier(property.FieldName());
      field.Property = SanitizeIdentifier(property.PropertyName());
      field.Type = SanitizeTypeText(type);
      field.Ownership = property.IsObjectArray() ? TOwnership::ObjectArray
                        : property.IsObject()    ? TOwnership::Object
                                                 : TOwnership::None;
    }
  }

  std::string ClientClass(const TUnitDefinition& AUnit) const override {
    return "T" + SanitizeIdentifier(MakeIdentifier(AUnit.FBasePath, false));
  }

  void NameMethod(const TPath&, std::string_view, const TOperation&, const TSignature& ASignature,
                  TResolvedMethod& AMethod, std::vector<TArgumentTexts>& AArguments,
                  TResultTexts& AResult) override {
    AMethod.Name = SanitizeIdentifier(ASignature.Name);
    const std::string& result = ASignature.Returns.Datatype;
    if (!result.empty()) AMethod.ResultType = SanitizeTypeText(MakeIdentifier(result, false));
    AResult.Datatype = result;
    AResult.ItemType = ASignature.Returns.ItemType();
    AResult.ItemTypeText = SanitizeTypeText(AResult.ItemType);
    AResult.ClassText = SanitizeTypeText(MakeIdentifier(result, false));
    AArguments.resize(ASignature.Params.size());
    for (size_t i = 0; i < ASignature.Params.size(); ++i) {
      const TParam& param = ASignature.Params[i];
      TArgumentTexts& texts = AArguments[i];
      texts.Name = SanitizeIdentifier(param.Name);
      texts.Type = SanitizeTypeText(MakeIdentifier(param.Datatype, false));
      texts.Datatype = param.Datatype;
      texts.ItemType = param.ItemType();
      texts.ItemTypeText = SanitizeTypeText(texts.ItemType);
      texts.ItemVar = SanitizeIdentifier(param.ItemVar());
      texts.ItemArray = SanitizeIdentifier(param.ItemArray());
      if (!param.Required) texts.Condition = param.RequiredCondition(texts.Name);
    }
  }

  TConversion RequestValue(std::string_view AType) const override { return ValueAsText(AType, false); }
  TConversion ArrayItemValue(std::string_view AItemType, bool AInBody) const override {
    // In a JSON array every item but a string is added as its ToString.
    if (!AInBody || AItemType == "string") return {};
    return {"", ".ToString"};
  }
  // A location without a kind (a parameter given by a reference brings no
  // "in") leaves the kind empty.
  std::string RequestKind(std::string_view APosition) const override { return ParameterKind(APosition); }
  void SendCredentials(const TSecurityDefinition& ADefinition, TResolvedCredentials& ACredentials) const override {
    ACredentials.Name = QuoteLiteral(ADefinition.Fname);
    ACredentials.Kind = ParameterKind(ADefinition.FIn);
  }
  bool FitsDelphiLimits() const override { return false; }

 private:
  static std::string ClassIdentifier(const TObjectDefinition& AObject) {
    return "T" + SanitizeIdentifier(MakeIdentifier(AObject.Name(), false));
  }

  TOutputName FOutput;
};

}  // namespace

std::unique_ptr<TUnitResolver> MakePlainResolver(const TUnitDefinition& AUnit) {
  return std::make_unique<TPlainResolver>(AUnit);
}

}  // namespace tolvane
