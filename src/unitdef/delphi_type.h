#pragma once

// Delphi type texts: the simple types, the array form "TArray<...>", the
// unknown mark "???", and their cleaning for the unit. Every rule that reads
// or makes a type text goes through here.

#include <string>
#include <string_view>

namespace tolvane {

// "Integer", "Int64", "string", "TDate", "TDateTime", "Double", "Boolean",
// "object", ignoring case.
bool IsSimpleType(std::string_view AText);
// The spelling in which a unit declares values of a simple type ("integer",
// "int64", "string", "TDateTime", "double", "boolean"), for a text that names
// one ignoring case; empty for any other text (TDate and object included).
std::string_view DeclaredSimpleType(std::string_view AText);
// True for exactly those six spellings.
bool IsDeclaredSimpleType(std::string_view AText);

// "TArray<" + AElement + ">".
std::string ArrayType(std::string_view AElement);
// Appends "TArray<" to AOut; the caller appends the element and ">".
void AppendArrayPrefix(std::string& AOut);
// Begins with "TArray<" (exactly / ignoring case).
bool StartsAsArray(std::string_view AText);
bool StartsAsArrayFold(std::string_view AText);
// "TArray<" + something + ">".
bool IsArrayType(std::string_view AText);
// The text between "TArray<" and the last character of a text that starts
// as an array ("TArray<TPet>" gives "TPet"); empty for any other text.
std::string_view ArrayElement(std::string_view AText);
// The text after the first "TArray<" anywhere in AText, without the last
// character of the whole text; AText unchanged when it holds no "TArray<".
// "TArray<TPet>" gives "TPet", "TPet" gives "TPet", "TArray<" gives "".
// The result views AText.
std::string_view StripArrayPrefix(std::string_view AText);

// A class or an unknown type as the plain rule counts it: begins with "T"
// ignoring case, is no array and no simple type.
bool IsObjectType(std::string_view AText);
// An array whose element is not a simple type (TArray<> included).
bool IsObjectArrayType(std::string_view AText);

// "TArray<" + inner + ">" keeps its brackets and cleans the inner text (again
// level by level), "???" stays, any other text is cleaned as an identifier.
std::string SanitizeTypeText(std::string_view AText);

}  // namespace tolvane
