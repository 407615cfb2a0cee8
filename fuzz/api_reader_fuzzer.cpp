// Fuzz target: the tolerant reader on the fuzzer's bytes taken as a document
// file's bytes, decoded as a file is. It may fail only where nothing can be read (not JSON, a root
// that is not an object, a version other than "2.0"); everything it builds
// must hold together: every parameter named and placed, every schema either
// resolved or unresolved with a reason.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "api/api_reader.h"
#include "platform/code_page.h"
#include "platform/exceptions.h"

namespace {

void Require(bool ACondition) {
  if (!ACondition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* AData, size_t ASize) {
  using namespace tolvane;
  std::unique_ptr<ApiDocument> api;
  try {
    const std::string bytes(reinterpret_cast<const char*>(AData), ASize);
    api = ReadApiText(DecodeDocument(bytes), [](const std::string& ALine) {
      Require(!ALine.empty() && ALine.find('\n') == std::string::npos);
    });
  } catch (const EJSONException&) {
    return 0;
  } catch (const EConversionError& failure) {
    Require(failure.Message() == "Der Eingabewert ist kein gültiges Objekt");
    return 0;
  } catch (const Exception& failure) {
    Require(failure.Message().rfind("Wrong Swagger version: ", 0) == 0);
    return 0;
  }
  Require(api->swagger == "2.0");
  for (const ApiOperation& operation : api->operations) {
    for (const ApiParameter* parameter : operation.parameters) {
      Require(parameter != nullptr && !parameter->name.empty() && !parameter->in.empty());
      Require((parameter->schema == nullptr) || parameter->in == "body");
    }
  }
  for (const ApiSchema& schema : api->schema_pool) {
    if (schema.ref.empty()) {
      Require(schema.resolved == &schema);
    } else {
      Require((schema.resolved == nullptr) != schema.unresolved().empty());
      Require(schema.resolved == nullptr || schema.resolved->ref.empty());
    }
  }
  for (const ApiDefinition& definition : api->definitions) Require(definition.schema->definition() == &definition);
  return 0;
}
