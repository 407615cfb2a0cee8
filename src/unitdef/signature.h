#pragma once

// One client method: its kind, name, arguments and result.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "unitdef/unit_definition.h"

namespace tolvane {

class TUnitDefinition::TParam {
 public:
  std::string Position;      // the parameter's "in", as written
  std::string ResourceName;  // the parameter's "name", as written
  std::string Name;          // the argument's identifier
  std::string Datatype;      // the argument's target type
  bool Required = false;

  std::string ItemType() const;   // "TArray<X>" gives X, otherwise empty
  std::string ItemVar() const;    // "L" + Name without its first "&" + "Item"
  std::string ItemArray() const;  // ItemVar + "Array" for a body array
  // The generated presence test of an optional argument; fails with
  // Exception "Undefined datatype " + Datatype where there is none.
  std::string RequiredCondition() const;
  // The same test as the writer writes it: the argument's name cleaned by
  // AWriter.WriteIdentifier.
  std::string RequiredCondition(const TUnitDefinition& AWriter) const;
};

class TUnitDefinition::TParamList : public std::vector<std::unique_ptr<TUnitDefinition::TParam>> {
 public:
  bool ContainsArrayInBody() const;
};

class TUnitDefinition::TSignature {
 public:
  std::string Clazz;     // the client class suffix
  std::string CallType;  // "function" or "procedure"
  std::string Name;
  TParam Returns;        // only Datatype is set
  TParamList Params;

  std::string GetInterface() const;
  std::string GetImplementation() const;
  std::string GetBody() const;
  // The same texts as the writer writes them: names cleaned by
  // AWriter.WriteIdentifier, type texts by AWriter.WriteTypeText.
  std::string GetInterface(const TUnitDefinition& AWriter) const;
  std::string GetImplementation(const TUnitDefinition& AWriter) const;
  std::string GetBody(const TUnitDefinition& AWriter) const;

 private:
  // AWriter null: the texts unchanged.
  std::string RenderBody(const TUnitDefinition* AWriter) const;
};

// The request-parameter kind of a location, ignoring case.
std::string ParameterKind(std::string_view ALocation);
// "rmGET", "rmPOST", "rmPUT", "rmDelete" or "rmPATCH" by identity.
std::string RequestMethod(const TPath& APath, const TOperation& AOperation);

}  // namespace tolvane
