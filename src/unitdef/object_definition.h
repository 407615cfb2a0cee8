#pragma once

// One class of the unit per schema, one property per schema property.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

class TPropertyDefinition {
 public:
  const std::string& Name() const { return FName; }
  // Stores the name and derives PropertyName ("&" before a reserved word)
  // and FieldName ("F" + the identifier, never with "&").
  void SetName(const std::string& AName);
  const std::string& PropertyName() const { return FPropertyName; }
  const std::string& FieldName() const { return FFieldName; }
  const std::string& Type() const { return FType; }
  void SetType(const std::string& AType) { FType = AType; }
  const std::string& Format() const { return FFormat; }
  void SetFormat(const std::string& v) { FFormat = v; }
  const std::string& description() const { return Fdescription; }
  void Setdescription(const std::string& v) { Fdescription = v; }
  const std::string& ref() const { return Fref; }
  void Setref(const std::string& v) { Fref = v; }
  const std::string& Itemref() const { return FItemref; }
  void SetItemref(const std::string& v) { FItemref = v; }
  const std::string& Itemtype() const { return FItemtype; }
  void SetItemtype(const std::string& v) { FItemtype = v; }
  const std::string& BaseName() const { return FBaseName; }
  void SetBaseName(const std::string& v) { FBaseName = v; }

  // The target type text, computed on every read from type, format, $ref and
  // the items; each read also records it as BaseName.
  std::string DataType();
  // Both answer from BaseName, so they lag until DataType is read again.
  bool IsObject() const;
  bool IsObjectArray() const;

 private:
  std::string FName;
  std::string FPropertyName;
  std::string FFieldName;
  std::string FType;
  std::string FFormat;
  std::string Fdescription;
  std::string Fref;
  std::string FItemref;
  std::string FItemtype;
  std::string FBaseName;
};

class TObjectDefinition {
 public:
  using TPropertyList = std::vector<std::unique_ptr<TPropertyDefinition>>;

  TPropertyList& Properties() { return FProperties; }
  const TPropertyList& Properties() const { return FProperties; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& AName) { FName = AName; }
  const std::string& Type() const { return FType; }
  void SetType(const std::string& AType) { FType = AType; }
  const std::string& description() const { return Fdescription; }
  void Setdescription(const std::string& v) { Fdescription = v; }
  bool ImplementationHeaderWritten() const { return FImplementationHeaderWritten; }
  void SetImplementationHeaderWritten(bool v) { FImplementationHeaderWritten = v; }

  // True at the first property whose IsObject (IsObjectArray) holds.
  bool HasObjects() const;
  bool HasObjectArrays() const;

  TPropertyDefinition* AddProperty(const std::string& AName, const std::string& AType,
                                   const std::string& AFormat, const std::string& ARef,
                                   const std::string& AItemRef, const std::string& AItemType,
                                   const std::string& ADescription);

 private:
  std::string FName;
  std::string FType;
  TPropertyList FProperties;
  std::string Fdescription;
  bool FImplementationHeaderWritten = false;
};

// The classes in declaration order; owns them.
class TObjectDefinitionList : public std::vector<std::unique_ptr<TObjectDefinition>> {
 public:
  // The first position whose Name equals AName ignoring case, or -1.
  int IndexOfName(std::string_view AName) const;
};

}  // namespace tolvane
