#include "unitdef/delphi_type.h"

#include <array>

#include "platform/utf8.h"
#include "unitdef/identifiers.h"
#include "unitdef/sanitize.h"

namespace tolvane {

namespace {

constexpr std::string_view kArrayPrefix = "TArray<";

// The simple types as the conversion rules name them, with the spelling a
// unit declares values of them in (none for TDate and object).
struct TSimpleType {
  std::string_view Text;
  std::string_view Declared;
};
constexpr std::array<TSimpleType, 8> kSimpleTypes = {{
    {"Integer", "integer"},
    {"Int64", "int64"},
    {"string", "string"},
    {"TDate", ""},
    {"TDateTime", "TDateTime"},
    {"Double", "double"},
    {"Boolean", "boolean"},
    {"object", ""},
}};

// Drops the array brackets that the type cleaning keeps, level by level (no
// recursion, so a deeply nested text from a document cannot exhaust the
// stack), and counts the levels.
std::string_view PeelArrays(std::string_view AText, size_t& ADepth) {
  ADepth = 0;
  while (IsArrayType(AText)) {
    AText = AText.substr(kArrayPrefix.size(), AText.size() - kArrayPrefix.size() - 1);
    ++ADepth;
  }
  return AText;
}

}  // namespace

bool IsSimpleType(std::string_view AText) {
  // The eight texts are 5 to 9 characters long.
  if (AText.size() < 5 || AText.size() > 9) return false;
  for (const TSimpleType& simple : kSimpleTypes) {
    if (SameTextFold(AText, simple.Text)) return true;
  }
  return false;
}

std::string_view DeclaredSimpleType(std::string_view AText) {
  for (const TSimpleType& simple : kSimpleTypes) {
    if (!simple.Declared.empty() && SameTextFold(AText, simple.Text)) return simple.Declared;
  }
  return {};
}

bool IsDeclaredSimpleType(std::string_view AText) {
  for (const TSimpleType& simple : kSimpleTypes) {
    if (!simple.Declared.empty() && AText == simple.Declared) return true;
  }
  return false;
}

std::string ArrayType(std::string_view AElement) {
  std::string text;
  text.reserve(kArrayPrefix.size() + AElement.size() + 1);
  text.append(kArrayPrefix).append(AElement) += '>';
  return text;
}

void AppendArrayPrefix(std::string& AOut) { AOut.append(kArrayPrefix); }

bool StartsAsArray(std::string_view AText) { return AText.starts_with(kArrayPrefix); }

bool StartsAsArrayFold(std::string_view AText) { return StartsWithFold(AText, kArrayPrefix); }

bool IsArrayType(std::string_view AText) {
  return AText.size() > kArrayPrefix.size() && AText.starts_with(kArrayPrefix) && AText.back() == '>';
}

std::string_view ArrayElement(std::string_view AText) {
  if (!StartsAsArray(AText) || AText.size() <= kArrayPrefix.size()) return {};
  return AText.substr(kArrayPrefix.size(), AText.size() - kArrayPrefix.size() - 1);
}

std::string_view StripArrayPrefix(std::string_view AText) {
  const size_t at = AText.find(kArrayPrefix);
  if (at == std::string_view::npos) return AText;
  // The last character of the text may be several bytes long.
  size_t end = AText.size() - 1;
  while (end > 0 && IsUtf8Continuation(AText[end])) --end;
  const size_t start = at + kArrayPrefix.size();
  if (end <= start) return {};
  return AText.substr(start, end - start);
}

bool IsObjectType(std::string_view AText) {
  return StartsWithFold(AText, "T") && !StartsAsArrayFold(AText) && !IsSimpleType(AText);
}

bool IsObjectArrayType(std::string_view AText) {
  if (!StartsAsArrayFold(AText) || AText.size() <= kArrayPrefix.size() || AText.back() != '>') return false;
  return !IsSimpleType(AText.substr(kArrayPrefix.size(), AText.size() - kArrayPrefix.size() - 1));
}

std::string SanitizeTypeText(std::string_view AText) {
  size_t depth;
  const std::string_view core = PeelArrays(AText, depth);
  std::string out;
  out.reserve(AText.size());
  for (size_t i = 0; i < depth; ++i) out.append(kArrayPrefix);
  if (core == "???") {
    out.append(core);
  } else {
    // A type text never carries the "&" of an escaped name, so it is not kept.
    AppendSanitized(out, core);
  }
  out.append(depth, '>');
  return out;
}

}  // namespace tolvane
