#pragma once

// The second half of the check that holds a unit against its document: does
// the unit keep the document's data model? Like the first half it reads the
// raw JSON trees plainly and shares no code with the program's readers.
//
// Classes: every definition of the document (an object), every definition
// reached in another file by a "$ref" (the file's path taken relative to the
// file that holds the reference, inside the document's folder; a URL is
// never followed), and every object schema written inline (with properties,
// in a property, an array's items, an operation's result or its body
// parameter) has its class:
// - a definition's class is found by its name: "T" + the name made an
//   identifier part, ignoring case, or that with a number after it;
// - an inline schema's class is found by following the unit's types from
//   where the schema stands (the type of the field that carries its
//   property's JSONName, the result type of the operation's method, the type
//   of its body argument; "TArray<...>" for each "items" step), and it must
//   be named by the rule below, or be the class of an earlier inline schema
//   (identical inline schemas may share one class).
// The class of an inline schema is named after where it stands: its owner's
// class identifier (for an operation, "T" + the method's identifier), "_",
// then the step: the property's name made an identifier part, "Item" for
// array items, "Response" for the result, "Body" for the body parameter:
// TPet_category, TPet_tags_Item, TlistPets_Response, TaddPet_Body. The name
// is cut to 101 characters and may take a number where it clashes.
// A reference to a file that is not there counts as a present class, once
// per target (the unit types it TJSONValue).
//
// Properties: every property of every class above, its own and those
// through allOf (its parts in order, references followed, the first one
// winning on a key), is declared in its class or an ancestor by a field on
// the line right below "[JSONName('key')]", the key exactly.

#include <algorithm>
#include <cctype>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "client_completeness.h"
#include "platform/code_page.h"
#include "swagger/json_tree.h"

namespace tolvane::testing {

struct TSchemaCompleteness {
  size_t Classes = 0;          // definitions, reached definitions, inline object schemas
  size_t ClassesPresent = 0;   // with their class in the unit
  size_t Properties = 0;       // properties of all of these
  size_t PropertiesNamed = 0;  // declared in the class or an ancestor under their JSON name

  bool Complete() const { return ClassesPresent == Classes && PropertiesNamed == Properties; }
  std::string Text() const {
    return "classes " + std::to_string(ClassesPresent) + "/" + std::to_string(Classes) + ", properties " +
           std::to_string(PropertiesNamed) + "/" + std::to_string(Properties);
  }
};

namespace completeness {

namespace fs = std::filesystem;

// --- Names. ----------------------------------------------------------------

inline std::string Folded(std::string_view AText) {
  std::string folded(AText);
  for (char& c : folded) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  return folded;
}

// A document name as a part of an identifier: blanks and "/" dropped, "-" as
// "_", "$" as "S", then every character other than an ASCII letter, digit
// or "_" as one "_"; at most 100 characters.
inline std::string IdentifierPart(std::string_view AName) {
  std::string part;
  for (size_t i = 0; i < AName.size() && part.size() < 100; ++i) {
    const unsigned char c = static_cast<unsigned char>(AName[i]);
    if (c == ' ' || c == '/') continue;
    if (c == '$') {
      part += 'S';
    } else if (std::isalnum(c) && c < 0x80) {
      part += static_cast<char>(c);
    } else if (c < 0x80 || (c & 0xC0) != 0x80) {  // one "_" per UTF-8 character
      part += '_';
    }
  }
  return part;
}

// Whether AIdentifier is AName, ignoring case, or AName and a number.
inline bool NamedAfter(std::string_view AIdentifier, std::string_view AName) {
  const std::string identifier = Folded(AIdentifier), name = Folded(AName);
  if (identifier.compare(0, name.size(), name) != 0) return false;
  return std::all_of(identifier.begin() + static_cast<std::ptrdiff_t>(name.size()), identifier.end(), IsDigit);
}

inline std::string WithoutNumber(std::string AText) {
  while (!AText.empty() && IsDigit(AText.back())) AText.pop_back();
  return AText;
}

// The element type of "TArray<X>", or none.
inline std::optional<std::string> ArrayElement(const std::string& AType) {
  if (AType.size() < 8 || Folded(AType.substr(0, 7)) != "TARRAY<" || AType.back() != '>') return std::nullopt;
  return Trimmed(std::string_view(AType).substr(7, AType.size() - 8));
}

// --- The unit side. --------------------------------------------------------

struct TUnitClass {
  std::string Identifier;
  std::string Ancestor;                                  // as written in "class(...)"
  std::unordered_map<std::string, std::string> Fields;  // JSONName key to the field's type
};

struct TUnitClasses {
  std::vector<TUnitClass> Classes;  // declared with a body, in unit order
  std::unordered_map<std::string, size_t> ByIdentifier;  // folded

  const TUnitClass* Find(std::string_view AIdentifier) const {
    std::string_view name = AIdentifier;
    if (!name.empty() && name.front() == '&') name.remove_prefix(1);
    const auto found = ByIdentifier.find(Folded(name));
    return found == ByIdentifier.end() ? nullptr : &Classes[found->second];
  }
  // The type of the field under AKey in the class or its nearest ancestor.
  std::optional<std::string> FieldType(const TUnitClass& AClass, const std::string& AKey) const {
    const TUnitClass* current = &AClass;
    for (size_t step = 0; current != nullptr && step <= Classes.size(); ++step) {
      if (const auto found = current->Fields.find(AKey); found != current->Fields.end()) return found->second;
      current = current->Ancestor.empty() ? nullptr : Find(current->Ancestor);
    }
    return std::nullopt;
  }
};

inline bool IsIdentifier(std::string_view AText) {
  if (!AText.empty() && AText.front() == '&') AText.remove_prefix(1);
  return !AText.empty() && std::all_of(AText.begin(), AText.end(), [](char c) {
    return c == '_' || (std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 0x80);
  });
}

// The interface's class declarations: "TName = class", "TName = class(TBase)"
// up to their "end;" (not the forward ones, "TName = class;"), with every
// field that stands on the line below a JSONName attribute.
inline TUnitClasses UnitClasses(const std::string& AUnitBytes) {
  const std::string unit = Windows1252ToUtf8(AUnitBytes);
  TUnitClasses result;
  std::vector<std::string> lines;
  for (size_t start = 0; start < unit.size();) {
    size_t end = unit.find('\n', start);
    if (end == std::string::npos) end = unit.size();
    std::string line = unit.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = Trimmed(line);
    if (Folded(line) == "IMPLEMENTATION") break;
    lines.push_back(std::move(line));
    start = end + 1;
  }
  TUnitClass* current = nullptr;
  std::optional<std::string> key;  // of the attribute on the line before
  for (const std::string& line : lines) {
    const std::string folded = Folded(line);
    std::optional<std::string> attribute;
    if (current == nullptr) {
      const size_t equals = line.find(" = class");
      const std::string identifier = Trimmed(std::string_view(line).substr(0, equals));
      if (equals != std::string::npos && line.back() != ';' && IsIdentifier(identifier)) {
        std::string ancestor;
        if (const size_t open = line.find('(', equals); open != std::string::npos) {
          ancestor = Trimmed(std::string_view(line).substr(open + 1, line.find(')', open) - open - 1));
        }
        result.Classes.push_back({identifier, ancestor, {}});
        current = &result.Classes.back();
      }
    } else if (folded == "END;") {
      result.ByIdentifier.try_emplace(Folded(current->Identifier), result.Classes.size() - 1);
      current = nullptr;
    } else if (folded.rfind("[JSONNAME(", 0) == 0 || folded.rfind("[JSONNAMEATTRIBUTE(", 0) == 0) {
      const size_t open = line.find('(');
      if (line.size() > open + 2 && line.compare(line.size() - 2, 2, ")]") == 0) {
        attribute = Literal(std::string_view(line).substr(0, line.size() - 2), open + 1);
      }
    } else if (key) {
      // A field: "Name : Type;".
      const size_t colon = line.find(':');
      const std::string name = colon == std::string::npos ? "" : Trimmed(std::string_view(line).substr(0, colon));
      if (line.back() == ';' && IsIdentifier(name)) {
        current->Fields.try_emplace(*key, Trimmed(std::string_view(line).substr(colon + 1, line.size() - colon - 2)));
      }
    }
    key = attribute;
  }
  return result;
}

// --- The document side: files and references. ------------------------------

// A value and the file whose tree holds it.
struct TPlace {
  JsonValue Value;
  const fs::path* File;
};

// The document and the files its references reach, each read once.
class TDocumentFiles {
 public:
  TDocumentFiles(const std::string& ADocument, const fs::path& APath)
      : FRoot(APath.empty() ? fs::path() : fs::absolute(APath).lexically_normal().parent_path()) {
    FEntry = APath.empty() ? fs::path("#document") : fs::absolute(APath).lexically_normal();
    FEntryTree = std::make_unique<JsonTree>(JsonTree::Parse(ADocument));
    FTrees.emplace(FEntry, FEntryTree.get());
  }

  TPlace Entry() const { return {FEntryTree->Root(), &FTrees.find(FEntry)->first}; }
  const fs::path& EntryPath() const { return FTrees.find(FEntry)->first; }

  enum class TKind { Found, MissingFile, Unresolved };
  struct TTarget {
    TKind Kind = TKind::Unresolved;
    std::optional<TPlace> Place;
    std::string Key;  // the normalised file path, "#" and the fragment
    std::string DefinitionName;  // when the fragment is /definitions/NAME
  };

  // Where the reference ARef in AFrom leads.
  TTarget Resolve(std::string_view ARef, const fs::path& AFrom) {
    TTarget target;
    const size_t hash = ARef.find('#');
    const std::string_view file_part = ARef.substr(0, hash);
    const std::string fragment = hash == std::string_view::npos ? "" : std::string(ARef.substr(hash));
    const fs::path* file = &AFrom;
    if (!file_part.empty()) {
      if (file_part.find("://") != std::string_view::npos || file_part.rfind("//", 0) == 0) {
        target.Kind = TKind::MissingFile;
        target.Key = std::string(ARef);
        target.DefinitionName = DefinitionName(fragment);
        return target;
      }
      file = Load((AFrom.parent_path() / fs::path(std::string(file_part))).lexically_normal());
      if (file == nullptr) {
        target.Kind = TKind::MissingFile;
        target.Key = (AFrom.parent_path() / fs::path(std::string(file_part))).lexically_normal().string() + fragment;
        target.DefinitionName = DefinitionName(fragment);
        return target;
      }
    }
    target.Key = file->string() + fragment;
    target.DefinitionName = DefinitionName(fragment);
    if (const std::optional<JsonValue> value = Pointer(FTrees.at(*file)->Root(), fragment.empty() ? "#" : fragment)) {
      target.Kind = TKind::Found;
      target.Place = TPlace{*value, file};
    }
    return target;
  }

  // APlace with its "$ref" chain followed, or none.
  std::optional<TPlace> Deref(TPlace APlace) {
    for (int step = 0; step < 64; ++step) {
      const std::optional<JsonValue> ref = APlace.Value.IsObject() ? APlace.Value.FindMember("$ref") : std::nullopt;
      if (!ref || ref->Kind() != JsonKind::String) return APlace;
      const TTarget target = Resolve(ref->Text(), *APlace.File);
      if (!target.Place) return std::nullopt;
      APlace = *target.Place;
    }
    return std::nullopt;
  }

 private:
  // NAME of a fragment "#/definitions/NAME", decoded; else empty.
  static std::string DefinitionName(const std::string& AFragment) {
    std::string decoded;
    for (size_t i = 1; i < AFragment.size(); ++i) {
      if (AFragment[i] == '%' && i + 2 < AFragment.size() && HexValue(AFragment[i + 1]) >= 0 &&
          HexValue(AFragment[i + 2]) >= 0) {
        decoded += static_cast<char>(HexValue(AFragment[i + 1]) * 16 + HexValue(AFragment[i + 2]));
        i += 2;
      } else {
        decoded += AFragment[i];
      }
    }
    static const std::string kPrefix = "/definitions/";
    if (decoded.rfind(kPrefix, 0) != 0 || decoded.find('/', kPrefix.size()) != std::string::npos) return "";
    std::string name;
    for (size_t i = kPrefix.size(); i < decoded.size(); ++i) {
      if (decoded[i] == '~' && i + 1 < decoded.size()) {
        name += decoded[++i] == '0' ? '~' : '/';
      } else {
        name += decoded[i];
      }
    }
    return name;
  }

  // The file's path as kept, or null when it is outside the document's
  // folder, not there or not JSON.
  const fs::path* Load(const fs::path& APath) {
    if (const auto found = FTrees.find(APath); found != FTrees.end()) {
      return found->second == nullptr ? nullptr : &found->first;
    }
    const fs::path relative = APath.lexically_relative(FRoot);
    const bool inside = !FRoot.empty() && !relative.empty() && *relative.begin() != "..";
    const JsonTree* tree = nullptr;
    if (inside && fs::is_regular_file(APath)) {
      std::ifstream in(APath, std::ios::binary);
      std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      const std::string text = DecodeDocument(std::move(bytes));
      if (std::optional<JsonTree> parsed = JsonTree::TryParse(text, [&] { return text; })) {
        FOthers.push_back(std::make_unique<JsonTree>(std::move(*parsed)));
        tree = FOthers.back().get();
      }
    }
    const auto [entry, added] = FTrees.emplace(APath, tree);
    return tree == nullptr ? nullptr : &entry->first;
  }

  fs::path FRoot, FEntry;
  std::unique_ptr<JsonTree> FEntryTree;
  std::vector<std::unique_ptr<JsonTree>> FOthers;
  std::map<fs::path, const JsonTree*> FTrees;  // null: not readable
};

// --- The walk. -------------------------------------------------------------

class TSchemaWalk {
 public:
  TSchemaWalk(TDocumentFiles& AFiles, const TUnitClasses& AUnit) : FFiles(AFiles), FUnit(AUnit) {}

  // The definitions of the document, then those reached in other files.
  void Definitions() {
    struct TDefinition {
      std::string Name;
      TPlace Place;
    };
    std::vector<TDefinition> definitions;
    const TPlace entry = FFiles.Entry();
    if (const std::optional<JsonValue> local = entry.Value.FindMember("definitions"); local && local->IsObject()) {
      for (const JsonMember member : local->Members()) {
        if (member.value().IsObject()) definitions.push_back({std::string(member.key), {member.value(), entry.File}});
      }
    }
    // Every "$ref" of the document (outside "x-" members) and of what it
    // reaches, each target once.
    std::unordered_set<std::string> scanned;
    std::set<std::string> missing;
    std::deque<TPlace> pending = {entry};
    while (!pending.empty()) {
      std::vector<JsonValue> stack = {pending.front().Value};
      const fs::path* file = pending.front().File;
      pending.pop_front();
      while (!stack.empty()) {
        const JsonValue value = stack.back();
        stack.pop_back();
        for (const JsonValue element : value.Elements()) stack.push_back(element);
        for (const JsonMember member : value.Members()) {
          if (member.key.rfind("x-", 0) == 0) continue;
          if (member.key != "$ref" || member.value().Kind() != JsonKind::String) {
            stack.push_back(member.value());
            continue;
          }
          TDocumentFiles::TTarget target = FFiles.Resolve(member.value().Text(), *file);
          if (target.Kind == TDocumentFiles::TKind::MissingFile) {
            if (!target.DefinitionName.empty()) missing.insert(target.Key);
            continue;
          }
          if (!target.Place || *target.Place->File == FFiles.EntryPath() || !scanned.insert(target.Key).second) continue;
          if (!target.DefinitionName.empty() && target.Place->Value.IsObject()) {
            definitions.push_back({target.DefinitionName, *target.Place});
          }
          pending.push_back(*target.Place);
        }
      }
    }
    FTotals.Classes += missing.size();
    FTotals.ClassesPresent += missing.size();

    // Each definition's class: its own name first, then its name with a number.
    std::vector<const TUnitClass*> classes(definitions.size(), nullptr);
    std::vector<bool> taken(FUnit.Classes.size(), false);
    std::unordered_map<std::string, std::vector<size_t>> numbered;  // folded name without its number
    for (size_t i = 0; i < FUnit.Classes.size(); ++i) {
      numbered[WithoutNumber(Folded(FUnit.Classes[i].Identifier))].push_back(i);
    }
    const auto claim = [&](size_t AIndex, size_t AClass) {
      taken[AClass] = true;
      classes[AIndex] = &FUnit.Classes[AClass];
    };
    for (size_t d = 0; d < definitions.size(); ++d) {
      const auto found = FUnit.ByIdentifier.find(Folded("T" + IdentifierPart(definitions[d].Name)));
      if (found != FUnit.ByIdentifier.end() && !taken[found->second]) claim(d, found->second);
    }
    for (size_t d = 0; d < definitions.size(); ++d) {
      if (classes[d] != nullptr) continue;
      const std::string name = "T" + IdentifierPart(definitions[d].Name);
      for (const size_t candidate : numbered[WithoutNumber(Folded(name))]) {
        if (!taken[candidate] && NamedAfter(FUnit.Classes[candidate].Identifier, name)) {
          claim(d, candidate);
          break;
        }
      }
    }
    for (size_t d = 0; d < definitions.size(); ++d) {
      ++FTotals.Classes;
      if (classes[d] != nullptr) ++FTotals.ClassesPresent;
      Class(definitions[d].Place, classes[d], "T" + IdentifierPart(definitions[d].Name));
    }
  }

  // The inline schemas of the operations' results and bodies.
  void Operations(const std::multimap<std::pair<std::string, std::string>, TUnitMethod>& AMethods) {
    const TPlace entry = FFiles.Entry();
    for (const TExpectedOperation& operation : ExpectedOperations(entry.Value)) {
      const auto found = AMethods.find({operation.Method, operation.Path});
      const TUnitMethod* method = found == AMethods.end() ? nullptr : &found->second;
      // An escaped method name ("&delete") names its classes without the "&".
      const std::string method_name = method ? method->Name.substr(method->Name.rfind('&', 0) == 0 ? 1 : 0) : "?";
      const std::string owner = "T" + method_name;
      if (operation.ResultSchema) {
        Inline({*operation.ResultSchema, entry.File}, owner + "_Response",
               method && method->IsFunction ? std::optional(method->ResultType) : std::nullopt);
      }
      if (operation.BodySchema) {
        // The body argument, by its name; none leads to no class.
        std::optional<std::string> type = method ? std::optional<std::string>("") : std::nullopt;
        const std::string name = IdentifierPart(operation.Body->Name);
        for (size_t i = 0; method != nullptr && i < method->Arguments.size() && type->empty(); ++i) {
          const std::string& argument = method->Arguments[i].first;
          if (NamedAfter(argument.rfind('&', 0) == 0 ? argument.substr(1) : argument, name)) {
            type = method->Arguments[i].second;
          }
        }
        Inline({*operation.BodySchema, entry.File}, owner + "_Body", type);
      }
    }
  }

  TSchemaCompleteness Totals() const { return FTotals; }

 private:
  struct TProperty {
    std::string Key;
    TPlace Schema;
    bool Own;  // not reached through a reference in allOf
  };

  // The properties of ASchema: its own, then those of its allOf parts.
  void CollectProperties(TPlace ASchema, bool AOwn, std::vector<TProperty>& AInto,
                         std::unordered_set<std::string>& AKeys, std::unordered_set<std::string>& AVisited,
                         int ADepth) {
    if (!ASchema.Value.IsObject() || ADepth > 512) return;
    if (const std::optional<JsonValue> properties = ASchema.Value.FindMember("properties");
        properties && properties->IsObject()) {
      for (const JsonMember property : properties->Members()) {
        if (AKeys.insert(std::string(property.key)).second) {
          AInto.push_back({std::string(property.key), {property.value(), ASchema.File}, AOwn});
        }
      }
    }
    const std::optional<JsonValue> parts = ASchema.Value.FindMember("allOf");
    if (!parts || !parts->IsArray()) return;
    for (const JsonValue part : parts->Elements()) {
      const std::optional<JsonValue> ref = part.IsObject() ? part.FindMember("$ref") : std::nullopt;
      if (!ref) {
        CollectProperties({part, ASchema.File}, AOwn, AInto, AKeys, AVisited, ADepth + 1);
        continue;
      }
      if (ref->Kind() != JsonKind::String) continue;
      const TDocumentFiles::TTarget target = FFiles.Resolve(ref->Text(), *ASchema.File);
      if (!target.Place || !AVisited.insert(target.Key).second) continue;
      if (const std::optional<TPlace> schema = FFiles.Deref(*target.Place)) {
        CollectProperties(*schema, false, AInto, AKeys, AVisited, ADepth + 1);
      }
    }
  }

  static bool HasProperties(const JsonValue& ASchema) {
    const std::optional<JsonValue> properties = ASchema.FindMember("properties");
    return properties && properties->IsObject() && properties->Count() > 0;
  }

  // An object schema written inline: not a reference, with properties of
  // its own or in an inline part of its allOf.
  static bool IsInlineObject(const JsonValue& ASchema) {
    if (!ASchema.IsObject() || ASchema.FindMember("$ref")) return false;
    if (HasProperties(ASchema)) return true;
    const std::optional<JsonValue> parts = ASchema.FindMember("allOf");
    if (!parts || !parts->IsArray()) return false;
    return std::any_of(parts->Elements().begin(), parts->Elements().end(), [](const JsonValue& APart) {
      return APart.IsObject() && !APart.FindMember("$ref") && HasProperties(APart);
    });
  }

  // The class of a schema (or none) and its properties; AName is the owner
  // name of its inline schemas when it has no class.
  void Class(TPlace ASchema, const TUnitClass* AClass, const std::string& AName) {
    std::vector<TProperty> properties;
    std::unordered_set<std::string> keys, visited;
    CollectProperties(ASchema, true, properties, keys, visited, 0);
    const std::string owner = AClass ? AClass->Identifier : AName;
    for (const TProperty& property : properties) {
      ++FTotals.Properties;
      const std::optional<std::string> type = AClass ? FUnit.FieldType(*AClass, property.Key) : std::nullopt;
      if (type) ++FTotals.PropertiesNamed;
      // Inline schemas reached through a reference are the referenced definition's.
      if (property.Own) Inline(property.Schema, owner + "_" + IdentifierPart(property.Key), type);
    }
    if (ASchema.Value.IsObject() && !IsInlineObject(ASchema.Value)) {
      // An array definition's items.
      if (const std::optional<JsonValue> items = ASchema.Value.FindMember("items")) {
        Inline({*items, ASchema.File}, owner + "_Item", std::nullopt);
      }
    }
  }

  // ASchema, standing where the unit writes AType, with its name by the rule.
  void Inline(TPlace ASchema, std::string AName, std::optional<std::string> AType) {
    for (int depth = 0; ASchema.Value.IsObject() && depth < 512; ++depth) {
      if (IsInlineObject(ASchema.Value)) {
        ++FTotals.Classes;
        if (AName.size() > 101) AName.resize(101);
        // Where no type leads to it (an array definition's items), by its name.
        const TUnitClass* found = FUnit.Find(AType ? *AType : AName);
        if (found && !NamedAfter(found->Identifier, AName) && !FInlineClasses.count(found)) found = nullptr;
        if (found) {
          ++FTotals.ClassesPresent;
          FInlineClasses.insert(found);
        }
        Class(ASchema, found, AName);
        return;
      }
      const std::optional<JsonValue> items = ASchema.Value.FindMember("items");
      if (!items || ASchema.Value.FindMember("$ref")) return;
      ASchema = {*items, ASchema.File};
      AName += "_Item";
      // A type that is not an array leads to no class.
      if (AType) AType = ArrayElement(*AType).value_or("");
    }
  }

  TDocumentFiles& FFiles;
  const TUnitClasses& FUnit;
  TSchemaCompleteness FTotals;
  std::unordered_set<const TUnitClass*> FInlineClasses;
};

}  // namespace completeness

// ADocument: the document's text (UTF-8, as decoded); AUnit: the unit's
// bytes as written, empty when no unit was written; ADocumentPath: where the
// document lies, for the files its references name (none: no other files).
inline TSchemaCompleteness CheckSchemas(const std::string& ADocument, const std::string& AUnit,
                                        const std::filesystem::path& ADocumentPath = {}) {
  using namespace completeness;
  TDocumentFiles files(ADocument, ADocumentPath);
  const TUnitClasses classes = UnitClasses(AUnit);
  TSchemaWalk walk(files, classes);
  walk.Definitions();
  walk.Operations(UnitMethods(AUnit));
  return walk.Totals();
}

}  // namespace tolvane::testing
