#pragma once

// One class of the unit per schema, one property per schema property.

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tolvane {

class TPropertyDefinition {
 public:
  const std::string& Name() const { return FName; }
  void SetName(std::string AName) { FName = std::move(AName); }
  // Derived from the name when asked (each is read once, when the class is
  // resolved): the identifier with "&" before a reserved word, and "F" + the
  // identifier, never with "&".
  std::string PropertyName() const;
  std::string FieldName() const;
  const std::string& Type() const { return FType; }
  void SetType(std::string AType) {
    FType = std::move(AType);
    FDataTypeCurrent = false;
  }
  const std::string& Format() const { return FFormat; }
  void SetFormat(std::string v) {
    FFormat = std::move(v);
    FDataTypeCurrent = false;
  }
  const std::string& description() const { return Fdescription; }
  void Setdescription(std::string v) { Fdescription = std::move(v); }
  // Moves the description out, leaving it empty.
  std::string TakeDescription() { return std::move(Fdescription); }
  const std::string& ref() const { return Fref; }
  void Setref(std::string v) {
    Fref = std::move(v);
    FDataTypeCurrent = false;
  }
  const std::string& Itemref() const { return FItemref; }
  void SetItemref(std::string v) {
    FItemref = std::move(v);
    FDataTypeCurrent = false;
  }
  const std::string& Itemtype() const { return FItemtype; }
  void SetItemtype(std::string v) {
    FItemtype = std::move(v);
    FDataTypeCurrent = false;
  }
  // The target type text of type, format, $ref and the items. It is worked
  // out again only after one of those has been set, so reading it is cheap;
  // the reference stays valid until the next setter call.
  const std::string& DataType() const;
  // Whether the destructor frees the property: a class, or an array of
  // classes, by its DataType. (The conversion rules answer from the type as
  // last read; the ordering pass reads every type after the last change of a
  // reference, so that is always the current one.)
  bool IsObject() const;
  bool IsObjectArray() const;

 private:
  std::string ComputeDataType() const;

  std::string FName;
  std::string FType;
  std::string FFormat;
  std::string Fdescription;
  std::string Fref;
  std::string FItemref;
  std::string FItemtype;
  // DataType's text, while FDataTypeCurrent: read since the last change.
  mutable std::string FDataType;
  mutable bool FDataTypeCurrent = false;
};

class TObjectDefinition {
 public:
  // The properties by value, one array per class: the passes over every
  // property (ordering, resolving) read them one after another in memory.
  using TPropertyList = std::vector<TPropertyDefinition>;

  TPropertyList& Properties() { return FProperties; }
  const TPropertyList& Properties() const { return FProperties; }
  const std::string& Name() const { return FName; }
  void SetName(std::string AName) { FName = std::move(AName); }
  const std::string& Type() const { return FType; }
  void SetType(std::string AType) { FType = std::move(AType); }
  const std::string& description() const { return Fdescription; }
  void Setdescription(std::string v) { Fdescription = std::move(v); }
  // Moves the description out, leaving it empty.
  std::string TakeDescription() { return std::move(Fdescription); }

  // True at the first property whose IsObject (IsObjectArray) holds.
  bool HasObjects() const;
  bool HasObjectArrays() const;

  // The texts are taken over; pass copies (or moved strings) as needed. The
  // property returned stays where it is until the next property is added.
  TPropertyDefinition* AddProperty(std::string AName, std::string AType, std::string AFormat,
                                   std::string ARef, std::string AItemRef, std::string AItemType,
                                   std::string ADescription);

 private:
  std::string FName;
  std::string FType;
  TPropertyList FProperties;
  std::string Fdescription;
};

// The classes in declaration order; owns them.
class TObjectDefinitionList : public std::vector<std::unique_ptr<TObjectDefinition>> {
 public:
  // The first position whose Name equals AName ignoring case, or -1.
  int IndexOfName(std::string_view AName) const;
};

}  // namespace tolvane
