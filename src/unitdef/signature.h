#pragma once

// One client method as the model makes it from an operation: its kind, name,
// arguments and result, before any rule decides how they are written.

#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

struct TPath;
struct TOperation;

class TParam {
 public:
  std::string Position;      // the parameter's "in", as written
  std::string ResourceName;  // the parameter's "name", as written
  std::string Name;          // the argument's identifier
  std::string Datatype;      // the argument's target type
  bool Required = false;

  std::string ItemType() const;   // the element of an array type, otherwise empty
  std::string ItemVar() const;    // "L" + Name without its first "&" + "Item"
  std::string ItemArray() const;  // ItemVar + "Array" for a body array
  // The generated presence test of an optional argument, with the argument
  // written as AName; fails with Exception "Undefined datatype " + Datatype
  // where there is none.
  std::string RequiredCondition(std::string_view AName) const;
  std::string RequiredCondition() const { return RequiredCondition(Name); }
};

class TSignature {
 public:
  std::string Clazz;     // the client class suffix
  std::string CallType;  // "function" or "procedure"
  std::string Name;
  TParam Returns;        // only Datatype is set
  std::vector<TParam> Params;
};

// The signature of the client method of AOperation, in the client class
// "T" + AClazz.
TSignature CreateSignature(const std::string& AClazz, const TOperation& AOperation);

// The request-parameter kind of a location, ignoring case.
std::string ParameterKind(std::string_view ALocation);
// The request options of a location, ignoring case: path, query and form
// values are encoded by the request ("[]"), everything else is sent as it
// is ("[poDoNotEncode]").
std::string_view ParameterOptions(std::string_view ALocation);
// "rmGET", "rmPOST", "rmPUT", "rmDelete" or "rmPATCH" by identity.
std::string RequestMethod(const TPath& APath, const TOperation& AOperation);

}  // namespace tolvane
