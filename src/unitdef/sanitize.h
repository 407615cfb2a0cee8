#pragma once

// Cleaning of document texts at the moment they are written into the unit,
// so that no name from a document can break out of its place in the code.

#include <string>
#include <string_view>

namespace tolvane {

// Every character that is not an ASCII letter or digit, "_" or a
// Windows-1252 letter becomes "_"; a leading "&" stays.
std::string SanitizeIdentifier(std::string_view AText);

// The cleaning of SanitizeIdentifier, without the "&" rule, appended to AOut.
void AppendSanitized(std::string& AOut, std::string_view AText);

// A Delphi string literal: single quotes, inner quotes doubled; CR and LF are
// written as #13 and #10 constants joined to the quoted runs ('a'#13#10'b').
std::string QuoteLiteral(std::string_view AText);

// CR and LF replaced with blanks, for texts inside a "//" comment line.
std::string CommentText(std::string_view AText);

}  // namespace tolvane
