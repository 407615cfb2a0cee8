#pragma once

// How schema names become identifiers of the unit, and the comparisons that
// ignore letter case.

#include <array>
#include <string>
#include <string_view>

namespace tolvane {

// The reserved words and directives of the target language, in table order.
extern const std::array<std::string_view, 104> ReservedWords;

// Upper-cases ASCII a-z and the Latin-1 letters U+00E0..U+00FE (except
// U+00F7) of a UTF-8 text; nothing else is folded.
std::string UpperCaseFold(std::string_view text);
bool SameTextFold(std::string_view a, std::string_view b);
bool StartsWithFold(std::string_view text, std::string_view prefix);
bool IsReservedWord(std::string_view text);

// Removes " ", turns "-" into "_", "$" into "S", removes "/", and with
// AEscapeReserved puts "&" before a reserved word.
std::string MakeIdentifier(std::string_view AText, bool AEscapeReserved);

// Drops the first count characters (UTF-16 code units, as the target
// language counts them) of a UTF-8 text; "#/definitions/Pet" minus 14 is "Pet".
std::string DropCharacters(std::string_view text, size_t count);
// The same, appended to out.
void AppendDroppingCharacters(std::string& out, std::string_view text, size_t count);

// Length of the local reference prefix "#/definitions/": a type text is made
// of the name after it, "#/definitions/Pet" gives "Pet" (also when the
// reference has another prefix: the cut is by length).
constexpr size_t kReferencePrefixLength = 14;
inline void AppendReferencedName(std::string& out, std::string_view ref) {
  AppendDroppingCharacters(out, ref, kReferencePrefixLength);
}

}  // namespace tolvane
