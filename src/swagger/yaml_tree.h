#pragma once

// Reads a YAML document into the same JSON tree that JSON text gives, so
// that everything after reading is the same for both syntaxes.

#include <string>
#include <string_view>

#include "swagger/json_tree.h"

namespace tolvane {

// Parses the bytes of a YAML stream holding one document (UTF-8 with or
// without byte order mark, or UTF-16 with one). Mappings become objects with
// their keys in order, sequences arrays; a key is its scalar's text. Plain
// scalars follow the core schema: null, ~ and empty give null, true/false
// booleans, integers and floats numbers with their text as written; every
// other scalar is a string. The tags !!str, !!int, !!float, !!bool and !!null
// are honoured. Aliases are expanded; a merge key << adds, after the
// mapping's own members, the members of the mappings it names that the
// mapping does not give itself (the first mapping named wins).
// Fails with EYAMLException and " (line L, column C)": a syntax error in
// the parser's words, no document or more than one, an alias to an unknown
// anchor or to a node that contains it, a key that is not a scalar, a merge
// value that is not a mapping or a sequence of mappings, a tagged scalar
// that does not fit its tag, nesting deeper than kMaxJsonDepth, and aliases
// that expand to more nodes than the document has bytes (plus 65536).
JsonTree ParseYaml(std::string_view ABytes);

// True for a file name that ends in ".yaml" or ".yml", in any letter case.
bool IsYamlFileName(std::string_view AFileName);

// The tree of a document file, as every reader of a document takes it: the
// bytes decoded (byte order mark, else Windows-1252) and parsed as JSON
// whatever the file's name; a file named as YAML whose text is not JSON is
// parsed as YAML. Fails as the file reading or the parser fails.
JsonTree ParseDocumentFile(const std::string& AFileName);

}  // namespace tolvane
