#pragma once

// How a unit made with --compilable names things where the plain unit would
// not compile: the identifiers of classes, fields, properties, methods and
// arguments, made unique and valid. The rule of --compilable (api_unit.cpp)
// plans its names with these.
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


namespace tolvane {

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

}  // namespace tolvane
