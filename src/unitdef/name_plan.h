#pragma once

// What a unit made with --compilable writes where the plain unit would not
// compile: the identifiers of classes, fields, properties, methods and
// arguments, made unique and valid, and the types, with everything the unit
// cannot name written as TJSONValue. The plan is worked out once per unit,
// before any line is written; the writers ask it for their texts. The unit
// model itself (names, references, order) is left as it is.
//
// Renaming rule: a name is first made an identifier (the model's cleaning,
// then every character that is not an ASCII letter, digit or "_" becomes "_",
// a leading digit gets a "_" in front, an empty name becomes "_", and the name
// is cut to kMaxNameLength characters). A reserved word gets "&" in front. A
// name that clashes, ignoring case, with a name of its scope given before it
// (in document order), with a local of the generated code or with a library
// name the unit uses, gets the smallest number suffix 1, 2, ... that makes it
// unique. Class identifiers begin with "T" and are never escaped: a reserved
// one (To, Try, ...) is numbered like a clash.

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "unitdef/signature.h"
#include "unitdef/unit_definition.h"

namespace tolvane {

struct TOperation;

// Names from a document are cut to this length, which leaves room for a
// number, the "F", "L" and "ItemArray" around them, within Free Pascal's 127
// characters per identifier.
constexpr size_t kMaxNameLength = 100;

// The reserved words of the language, and the two words that Free Pascal
// reserves in Delphi mode besides them (otherwise, bitpacked); ignoring case.
bool IsDelphiReservedWord(std::string_view AText);

// Every character that is not an ASCII letter, digit or "_" as "_" (one per
// character, not per byte), cut to kMaxNameLength.
std::string AsciiIdentifierPart(std::string_view AText);
// The same, with a "_" in front of a leading digit and "_" for the empty text.
std::string PlainIdentifier(std::string_view AText);

// The base of a method name for an operation without operationId: the method
// and the words of the path, joined with "_": get and /pets/{id} give
// get_pets_id.
std::string MethodNameFromPath(std::string_view AMethod, std::string_view APath);

// The unit name kept where every dotted part is an identifier; otherwise the
// whole name as one identifier (kubernetes_1.13 gives kubernetes_1_13). A
// name that is a reserved word or one of the library units (System,
// System.JSON, REST.Client, ...) gets the number 1.
std::string CompilableUnitName(std::string_view AUnitName);

// The names of one scope, compared ignoring case, with the scopes around it
// whose names it must not repeat either.
class TNameScope {
 public:
  explicit TNameScope(const TNameScope* AOuter = nullptr) : FOuter(AOuter) {}

  // Free here and in every outer scope.
  bool IsFree(std::string_view AName) const;
  void Take(std::string_view AName);
  // ABase when it is free and accepted, otherwise ABase followed by the
  // smallest number that is (later calls for the same base go on after the
  // number last given). The name is not taken.
  template <typename TAccept>
  std::string Unique(const std::string& ABase, TAccept AAccept);
  std::string Unique(const std::string& ABase) {
    return Unique(ABase, [](const std::string&) { return true; });
  }

 private:
  static std::string Key(std::string_view AName);
  bool Contains(const std::string& AKey) const;

  const TNameScope* FOuter;
  std::unordered_set<std::string> FTaken;  // keys upper-cased
  std::unordered_map<std::string, size_t> FNextNumber;
};

template <typename TAccept>
std::string TNameScope::Unique(const std::string& ABase, TAccept AAccept) {
  if (IsFree(ABase) && AAccept(ABase)) return ABase;
  size_t& next = FNextNumber[Key(ABase)];
  if (next == 0) next = 1;
  while (true) {
    std::string candidate = ABase + std::to_string(next++);
    if (IsFree(candidate) && AAccept(candidate)) return candidate;
  }
}

// The texts of one property.
struct TPropertyPlan {
  std::string Field;     // "Fid", "&For"
  std::string Property;  // "id", "&type"
  std::string Type;      // "string", "TPet", "TArray<TJSONValue>"
  bool IsObject = false;       // a class or TJSONValue: freed by the destructor
  bool IsObjectArray = false;  // an array of these
};

struct TClassPlan {
  std::string Identifier;  // "TPet"
  std::vector<TPropertyPlan> Properties;
  bool HasObjects = false;
  bool HasObjectArrays = false;
};

// The texts of one client method.
struct TOperationPlan {
  std::string Method;
  std::vector<std::string> Arguments;
  std::vector<std::string> Types;
  std::string Result;  // empty for a procedure
};

class TNamePlan {
 public:
  // Works out the plan of the unit's model as it stands after the renaming
  // of duplicates. Fails with Exception when a class filter names no class.
  explicit TNamePlan(TUnitDefinition& AUnit);

  const TOutputName& Output() const { return FOutput; }
  const std::string& ClientClass() const { return FClientClass; }
  const TClassPlan& Class(const TObjectDefinition& AObject) const;
  // Puts the planned names and types into a signature made for the operation.
  void Apply(const TOperation& AOperation, TUnitDefinition::TSignature& ASignature) const;

  // The type written for a type text of the model: simple types in their
  // usual spelling, a class of the document as its identifier, TArray<...>
  // of these, anything else as TJSONValue.
  std::string WrittenType(std::string_view AType) const;

 private:
  void PlanClasses(TUnitDefinition& AUnit);
  void PlanOperations(TUnitDefinition& AUnit);
  // The identifier of the class that a type text names, or null.
  const std::string* FindClass(std::string_view AType) const;
  std::string WrittenElement(std::string_view AType) const;

  TOutputName FOutput;
  std::string FClientClass;
  // Library types, the client class and the class identifiers; then the
  // routines and constants that method bodies use.
  TNameScope FTypes;
  TNameScope FBodyNames{&FTypes};
  std::vector<TClassPlan> FClasses;
  std::unordered_map<const TObjectDefinition*, size_t> FClassIndex;
  // The classes by "T" + their name made an identifier, exactly and folded.
  std::unordered_map<std::string, size_t> FByTypeText;
  std::unordered_map<std::string, size_t> FByFoldedTypeText;
  std::unordered_map<const TOperation*, TOperationPlan> FOperations;
};

}  // namespace tolvane
