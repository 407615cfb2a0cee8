#pragma once

// The tolerant reader: a Swagger 2.0 document into its ApiDocument (api_model.h).
//
// It reads what a client of the API needs and nothing else. A member the
// Swagger 2.0 schema forbids in the form it has, but that can be read
// sensibly, is read in the obvious way or skipped, with one progress line
// that names it by its JSON path and says what was done ("Skipped
// paths./a.get.parameters[2]: no name"). Local references are resolved,
// each once; a missing target, a cycle or a reference into another file
// gives one "Unresolved ..." line and leaves the reference unresolved.
// Members the model has no place for are ignored without a line.
//
// Failures, as the default loader reports them: not JSON (EJSONException),
// a root that is not an object (EConversionError), a version other than
// "2.0" (Exception "Wrong Swagger version: ..."), an unreadable file
// (EInOutError).

#include <memory>
#include <string>

#include "api/api_model.h"
#include "platform/console.h"
#include "swagger/json_tree.h"

namespace tolvane {

// Reads a document that is already decoded (UTF-8); every progress line
// goes to ALog. References into other files are not followed.
std::unique_ptr<ApiDocument> ReadApiText(std::string AText, const TLogProc& ALog);
// Reads the file as the default loader does (ParseDocumentFile: decoded,
// JSON whatever its name, else YAML by its name), then reads it,
// following references into other files that lie in the document's folder
// or below it (relative to the file that holds the reference; a file is
// read once). A file outside that folder, a missing or unreadable one and a
// URL leave the reference unresolved. Definitions reached in other files
// join the document's, each with its file.
std::unique_ptr<ApiDocument> ReadApiFile(const std::string& AFileName, const TLogProc& ALog);

}  // namespace tolvane
