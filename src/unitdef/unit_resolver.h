#pragma once

// The rule that turns the unit model into the resolved unit: the plain rule
// writes what the conversion rules give, lines that Delphi rejects included.
// The steps are in resolve_unit.cpp, the decisions below in the rule
// (plain_resolver.cpp); the writers never learn which rule was used. (The
// rule of --compilable builds the resolved unit from the API model instead,
// api_unit.h.)
//
// A resolver is made after the renaming of duplicates and before the classes
// are ordered, and resolves once the order is known.

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "unitdef/resolved_unit.h"
#include "unitdef/signature.h"
#include "unitdef/text_conversions.h"

namespace tolvane {

class TUnitDefinition;
class TObjectDefinition;
struct TPath;
struct TOperation;
struct TSecurityDefinition;

// One argument's texts as a rule writes them, and the texts its request
// lines are chosen by.
struct TArgumentTexts {
  std::string Name;       // as written, "&name"
  std::string Type;       // as written in the heading
  std::string Datatype;   // the type the request lines are chosen by
  std::string ItemType;   // the element type the lines are chosen by; empty: no array
  std::string ItemTypeText;  // the element type as the loop variable is declared
  std::string ItemVar;    // the loop variable
  std::string ItemArray;  // the JSON array of a body array; empty otherwise
  std::string Condition;  // the presence test, for an optional argument
};

// The texts a result block is chosen by and written with.
struct TResultTexts {
  std::string Datatype;      // the type the block is chosen by
  std::string ItemType;      // its element type; empty: no array
  std::string ItemTypeText;  // the element class as written, "TPet"
  std::string ClassText;     // the result class as written, "TPet"
};

// The security definitions by name, built once per unit so that an operation
// finds its definition without walking the list. Of two definitions with the
// same name the first in the list wins, as a walk in list order would find it.
class TSecurityIndex {
 public:
  explicit TSecurityIndex(const std::vector<const TSecurityDefinition*>& ADefinitions);
  const TSecurityDefinition* Find(std::string_view AName) const;

 private:
  // The keys view the names held by the borrowed definitions.
  std::unordered_map<std::string_view, const TSecurityDefinition*> FByName;
};

class TUnitResolver {
 public:
  virtual ~TUnitResolver() = default;

  // The file the unit goes to.
  virtual TOutputName Output() const = 0;

  // The resolved unit of the model as it stands now, in its final order.
  // Logs "class: X processed" or "skipped" for every class and "Missing
  // scheme, using http as default"; fails with Exception "Undefined
  // datatype ..." for an optional argument without a presence test.
  // The model's classes are used up: each one is released as soon as it is
  // resolved (its descriptions moved into the resolved class), so that the
  // resolved unit grows into the room they leave. AUnit is left without
  // classes and forward declarations.
  TResolvedUnit Resolve(TUnitDefinition& AUnit);

 protected:
  // The classes declared forward, in the model's order.
  virtual std::vector<std::string> ForwardDeclarations(const TUnitDefinition& AUnit) const = 0;
  // The identifier and the fields (names, types, ownership, comments) of a
  // class; the class's own comment is already filled. The class is released
  // next, so its texts may be moved out.
  virtual void ResolveClass(TObjectDefinition& AObject, TResolvedClass& AClass) = 0;

  virtual std::string ClientClass(const TUnitDefinition& AUnit) const = 0;
  // The signature the model gives the operation (CreateSignature).
  virtual TSignature Signature(const TPath& APath, const TOperation& AOperation, const std::string& AClazz) const;
  // The method's name, argument names and types and result type, and the
  // texts its request and result lines are chosen by, from the signature
  // the model gives the operation; called once per served operation, in
  // document order. AMethodWord is "get", "put", "post", "delete" or "patch".
  virtual void NameMethod(const TPath& APath, std::string_view AMethodWord, const TOperation& AOperation,
                          const TSignature& ASignature, TResolvedMethod& AMethod,
                          std::vector<TArgumentTexts>& AArguments, TResultTexts& AResult) = 0;

  // Values to and from text.
  virtual TConversion RequestValue(std::string_view AType) const = 0;
  virtual TConversion ArrayItemValue(std::string_view AItemType, bool AInBody) const = 0;
  // The request-parameter kind of a location.
  virtual std::string RequestKind(std::string_view APosition) const = 0;
  // The credentials of an operation: by its first security requirement,
  // comment lines for oauth2, otherwise as SendCredentials says.
  virtual void ResolveCredentials(const TOperation& AOperation, const TSecurityIndex& ASecurity,
                                  TResolvedCredentials& ACredentials) const;
  // How a security definition other than oauth2 sends the value.
  virtual void SendCredentials(const TSecurityDefinition& ADefinition, TResolvedCredentials& ACredentials) const = 0;

  virtual bool FitsDelphiLimits() const = 0;

 private:
  void ResolveClient(const TUnitDefinition& AUnit, TResolvedUnit& AResolved);
  // Takes the argument's name, type and condition over from ATexts.
  TResolvedArgument ResolveArgument(const TParam& AParam, TArgumentTexts& ATexts, bool AUrlEncodedForm) const;
  void ResolveResult(const TResultTexts& AResult, TResolvedMethod& AMethod) const;
};

// The plain rule.
std::unique_ptr<TUnitResolver> MakePlainResolver(const TUnitDefinition& AUnit);

// The lines that turn the response content into the result (an array
// element by element); with AConvert a simple value is converted from the
// text (TextAsValue), otherwise it is the text itself.
std::vector<std::string> ResultLines(const TResultTexts& AResult, bool AConvert);

}  // namespace tolvane
