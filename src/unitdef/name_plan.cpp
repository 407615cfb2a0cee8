#include "unitdef/name_plan.h"

#include <algorithm>
#include <array>

#include "platform/utf8.h"
#include "unitdef/identifiers.h"

namespace tolvane {

namespace {

// Words that Free Pascal reserves in Delphi mode besides Delphi's own.
constexpr std::array<std::string_view, 2> kFreePascalWords = {"otherwise", "bitpacked"};

// The units the generated unit uses, and the short names under which Delphi
// also finds some of them; a unit of one of these names cannot be compiled
// beside them.
constexpr std::array<std::string_view, 13> kLibraryUnits = {
    "System",     "SysUtils",        "Classes",     "DateUtils",      "System.JSON",
    "REST.Types", "REST.JSON",       "REST.Json.Types", "REST.Client", "SOAP.XSBuiltins",
    "System.Generics.Collections", "System.SysUtils", "System.DateUtils"};

constexpr bool IsAsciiLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Letters, digits and "_" alone, at most kMaxNameLength of them: what
// neither the cleaning nor AsciiIdentifierPart changes.
bool IsIdentifierRun(std::string_view AText) {
  if (AText.size() > kMaxNameLength) return false;
  for (const char c : AText) {
    if (!IsAsciiLetterOrDigit(c) && c != '_') return false;
  }
  return true;
}

// An identifier as it stands: neither PlainIdentifier nor the escape
// changes it.
bool IsPlainIdentifier(std::string_view AText) {
  return !AText.empty() && !IsDigit(AText.front()) && IsIdentifierRun(AText) && !IsDelphiReservedWord(AText);
}

}  // namespace

bool IsDelphiReservedWord(std::string_view AText) {
  if (IsReservedWord(AText)) return true;
  for (const std::string_view word : kFreePascalWords) {
    if (SameTextFold(AText, word)) return true;
  }
  return false;
}

std::string AsciiIdentifierPart(std::string_view AText) {
  // Most names are made of these characters alone: their run is copied at
  // once, and the rest goes character by character into room for the
  // longest result, as no character gives more than one byte.
  const size_t limit = std::min(AText.size(), kMaxNameLength);
  size_t run = 0;
  while (run < limit && (IsAsciiLetterOrDigit(AText[run]) || AText[run] == '_')) ++run;
  if (run == AText.size()) return std::string(AText);
  std::string out(limit, '_');
  std::copy_n(AText.data(), run, out.data());
  size_t size = run;
  bool in_sequence = false;  // after the lead byte of a multi-byte character
  for (size_t i = run; i < AText.size() && size < limit; ++i) {
    const char c = AText[i];
    if (static_cast<unsigned char>(c) < 0x80) {
      if (IsAsciiLetterOrDigit(c)) out[size] = c;  // the others stay "_"
      ++size;
      in_sequence = false;
    } else if (!IsUtf8Continuation(c) || !in_sequence) {
      // One "_" per character: its continuation bytes add nothing.
      ++size;
      in_sequence = !IsUtf8Continuation(c);
    }
  }
  out.resize(size);
  return out;
}

namespace {

// An identifier part made a whole identifier: "_" in front of a leading
// digit, "_" for the empty part.
std::string WholeIdentifier(std::string APart) {
  if (APart.empty()) return "_";
  if (IsDigit(APart.front())) {
    APart.insert(APart.begin(), '_');
    if (APart.size() > kMaxNameLength) APart.pop_back();
  }
  return APart;
}

// What the model's cleaning and AsciiIdentifierPart together make of each
// ASCII byte: one byte, or 0 where the byte goes. The cleaning acts on each
// ASCII byte alone, so the table is made by cleaning each byte on its own.
const std::array<char, 128> kAsciiPart = [] {
  std::array<char, 128> table{};
  for (size_t c = 0; c < table.size(); ++c) {
    const char byte = static_cast<char>(c);
    const std::string cleaned = MakeIdentifier(std::string_view(&byte, 1), false);
    if (!cleaned.empty()) table[c] = IsAsciiLetterOrDigit(cleaned.front()) ? cleaned.front() : '_';
  }
  return table;
}();

// The cleaning followed by AsciiIdentifierPart. An ASCII name takes one
// pass: each byte gives at most one, so the result is the first
// kMaxNameLength bytes that the table gives.
std::string CleanedPart(std::string_view AName) {
  std::string out(std::min(AName.size(), kMaxNameLength), '_');
  size_t size = 0;
  for (size_t i = 0; i < AName.size() && size < kMaxNameLength; ++i) {
    const unsigned char byte = static_cast<unsigned char>(AName[i]);
    if (byte >= 0x80) return AsciiIdentifierPart(MakeIdentifier(AName, false));
    if (const char c = kAsciiPart[byte]; c != 0) out[size++] = c;
  }
  out.resize(size);
  return out;
}

}  // namespace

std::string PlainIdentifier(std::string_view AText) { return WholeIdentifier(AsciiIdentifierPart(AText)); }

std::string DocumentIdentifierPart(std::string_view AName) {
  if (IsIdentifierRun(AName)) return std::string(AName);
  return CleanedPart(AName);
}

std::string DocumentIdentifier(std::string_view AName) {
  if (!AName.empty() && !IsDigit(AName.front()) && IsIdentifierRun(AName)) return std::string(AName);
  return WholeIdentifier(CleanedPart(AName));
}

std::string MethodNameFromPath(std::string_view AMethod, std::string_view APath) {
  std::string name(AMethod);
  bool word = false;
  for (const char c : APath) {
    if (!IsAsciiLetterOrDigit(c)) {
      word = false;
      continue;
    }
    if (!word) name += '_';
    name += c;
    word = true;
  }
  return PlainIdentifier(name);
}

std::string CompilableUnitName(std::string_view AUnitName) {
  bool valid = true;
  size_t start = 0;
  while (valid) {
    const size_t dot = AUnitName.find('.', start);
    valid = IsPlainIdentifier(AUnitName.substr(start, dot == std::string_view::npos ? dot : dot - start));
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  std::string name = valid ? std::string(AUnitName) : PlainIdentifier(AUnitName);
  bool clashes = IsDelphiReservedWord(name);
  for (const std::string_view unit : kLibraryUnits) clashes = clashes || SameTextFold(name, unit);
  if (clashes) name += '1';
  return name;
}

// --- TNameScope --------------------------------------------------------------

TNameScope::TKey TNameScope::Key(std::string_view AName) {
  std::string text = UpperCaseFold(AName);
  const size_t hash = std::hash<std::string_view>()(text);
  return TKey{std::move(text), hash};
}

bool TNameScope::Contains(const TKey& AKey, size_t* AFree) const {
  if (Holds(AKey, AFree)) return true;
  for (const TNameScope* scope = FOuter; scope != nullptr; scope = scope->FOuter) {
    if (scope->Holds(AKey)) return true;
  }
  return false;
}

bool TNameScope::Holds(const TKey& AKey, size_t* AFree) const {
  if (FSlots.empty()) return false;
  const size_t mask = FSlots.size() - 1;
  size_t slot = AKey.Hash & mask;
  for (; FSlots[slot] != 0; slot = (slot + 1) & mask) {
    const uint32_t entry = FSlots[slot] - 1;
    if (FHashes[entry] == AKey.Hash && KeyAt(entry) == AKey.Text) return true;
  }
  if (AFree != nullptr) *AFree = slot;
  return false;
}

void TNameScope::Reserve(size_t ANames) {
  FEnds.reserve(ANames);
  FHashes.reserve(ANames);
  // Most names are shorter than this.
  FKeys.reserve(ANames * 16);
  size_t slots = 16;
  while (slots < 2 * ANames) slots *= 2;
  if (slots > FSlots.size()) Grow(slots);
}

void TNameScope::Grow(size_t ASlots) {
  FSlots.assign(ASlots, 0);
  const size_t mask = FSlots.size() - 1;
  for (uint32_t entry = 0; entry < FHashes.size(); ++entry) {
    size_t slot = FHashes[entry] & mask;
    while (FSlots[slot] != 0) slot = (slot + 1) & mask;
    FSlots[slot] = entry + 1;
  }
}

bool TNameScope::IsFree(std::string_view AName) const { return !Contains(Key(AName)); }

void TNameScope::Take(std::string_view AName) { Insert(Key(AName)); }

void TNameScope::Insert(const TKey& AKey) {
  MakeRoom();
  size_t slot = 0;
  if (!Holds(AKey, &slot)) InsertAt(AKey, slot);
}

void TNameScope::MakeRoom() {
  if ((FHashes.size() + 1) * 2 > FSlots.size()) Grow(FSlots.empty() ? 16 : FSlots.size() * 2);
}

void TNameScope::InsertAt(const TKey& AKey, size_t ASlot) {
  FSlots[ASlot] = static_cast<uint32_t>(FHashes.size()) + 1;
  FKeys += AKey.Text;
  FEnds.push_back(static_cast<uint32_t>(FKeys.size()));
  FHashes.push_back(AKey.Hash);
}

}  // namespace tolvane
