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

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
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

// A name from the document made an identifier part: the model's cleaning
// (MakeIdentifier), then AsciiIdentifierPart; and the same made a whole
// identifier (PlainIdentifier). Most names are plain ASCII identifiers
// already and are copied as they are.
std::string DocumentIdentifierPart(std::string_view AName);
std::string DocumentIdentifier(std::string_view AName);

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
// whose names it must not repeat either. A unit has one scope per class and
// per method, hundreds of thousands of names in all: a scope keeps its keys
// in one text and a table of their positions, not a node per name, and a
// look-up folds and hashes the name once for the whole chain of scopes.
class TNameScope {
 public:
  explicit TNameScope(const TNameScope* AOuter = nullptr) : FOuter(AOuter) {}
  TNameScope(const TNameScope&) = delete;
  TNameScope& operator=(const TNameScope&) = delete;

  // Room for ANames names without growing.
  void Reserve(size_t ANames);
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
  // Unique, and the name taken; the base is folded and hashed once where it
  // is free, which is most of the time.
  template <typename TAccept>
  std::string TakeUnique(const std::string& ABase, TAccept AAccept);
  std::string TakeUnique(const std::string& ABase) {
    return TakeUnique(ABase, [](const std::string&) { return true; });
  }

 private:
  // A name upper-cased, and its hash.
  struct TKey {
    std::string Text;
    size_t Hash;
  };
  static TKey Key(std::string_view AName);
  // In this scope or an outer one; where it is in neither, AFree receives
  // the slot where the key would go in this scope.
  bool Contains(const TKey& AKey, size_t* AFree = nullptr) const;
  // In this scope; AFree receives the slot where the key would go.
  bool Holds(const TKey& AKey, size_t* AFree = nullptr) const;
  std::string_view KeyAt(uint32_t AEntry) const {
    const uint32_t start = AEntry == 0 ? 0 : FEnds[AEntry - 1];
    return std::string_view(FKeys).substr(start, FEnds[AEntry] - start);
  }
  void Insert(const TKey& AKey);
  // Room for one more entry, so that a free slot found stays free.
  void MakeRoom();
  // Enters a key not held yet at the free slot that Holds or Contains gave.
  void InsertAt(const TKey& AKey, size_t ASlot);
  // Rehashes the entries into ASlots slots, a power of two.
  void Grow(size_t ASlots);

  const TNameScope* FOuter;
  // The keys taken, one after another, with the end and hash of each.
  std::string FKeys;
  std::vector<uint32_t> FEnds;
  std::vector<size_t> FHashes;
  // Open addressing over the entries: an entry's number + 1, or 0 for an
  // empty slot; never more than half full.
  std::vector<uint32_t> FSlots;
  std::unordered_map<std::string, size_t> FNextNumber;
};

template <typename TAccept>
std::string TNameScope::Unique(const std::string& ABase, TAccept AAccept) {
  if (IsFree(ABase) && AAccept(ABase)) return ABase;
  size_t& next = FNextNumber[Key(ABase).Text];
  if (next == 0) next = 1;
  while (true) {
    std::string candidate = ABase + std::to_string(next++);
    if (IsFree(candidate) && AAccept(candidate)) return candidate;
  }
}

template <typename TAccept>
std::string TNameScope::TakeUnique(const std::string& ABase, TAccept AAccept) {
  // AAccept only looks the scopes up, so the slot found stays free.
  MakeRoom();
  size_t slot = 0;
  if (const TKey key = Key(ABase); !Contains(key, &slot) && AAccept(ABase)) {
    InsertAt(key, slot);
    return ABase;
  }
  std::string name = Unique(ABase, AAccept);
  Take(name);
  return name;
}

}  // namespace tolvane
