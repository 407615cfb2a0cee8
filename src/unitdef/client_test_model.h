#pragma once

// Hand-made document parts for the tests of signatures and client writers.
// The model views its texts: pass texts that outlive it (literals).

#include <memory>
#include <string>
#include <string_view>

#include "swagger/swagger_classes.h"

namespace tolvane::testing {

inline std::unique_ptr<TSchema> Schema(std::string_view ref, std::string_view type = "",
                                       std::string_view itemsRef = "") {
  auto schema = std::make_unique<TSchema>();
  schema->Fref = ref;
  schema->Ftype = type;
  if (!itemsRef.empty()) {
    schema->Fitems = std::make_unique<TItems>();
    schema->Fitems->Fref = itemsRef;
  }
  return schema;
}

inline void AddResponse(TOperation& operation, std::string_view code,
                        std::unique_ptr<TSchema> schema) {
  if (!operation.Fresponses) operation.Fresponses = std::make_unique<TResponses>();
  auto response = std::make_unique<TResponse>();
  response->FresponseCode = code;
  response->Fschema = std::move(schema);
  operation.Fresponses->Add(std::move(response));
}

inline TParameter& AddParameter(TOperation& operation, std::string_view name,
                                std::string_view in, std::string_view type,
                                bool required = true) {
  auto parameter = std::make_unique<TParameter>();
  parameter->Fname = name;
  parameter->Fin = in;
  parameter->Ftype = type;
  parameter->Frequired = required;
  operation.Fparameters.push_back(std::move(parameter));
  return *operation.Fparameters.back();
}

inline void SetItems(TParameter& parameter, std::string_view type) {
  parameter.Fitems = std::make_unique<TItems>();
  parameter.Fitems->Ftype = type;
}

// A new operation under AMethod ("get", "put", ...) of the path.
inline TOperation& AddOperation(TPath& path, std::string_view method,
                                std::string_view operationId) {
  auto& field = *path.OperationField(method);
  field = std::make_unique<TOperation>();
  field->FoperationId = operationId;
  return *field;
}

inline TPath& AddPath(TPaths& paths, std::string_view template_) {
  auto path = std::make_unique<TPath>();
  path->Fpath = template_;
  paths.Add(std::move(path));
  return *paths.FItems.back();
}

inline void AddSecurity(TOperation& operation, std::string_view name) {
  auto security = std::make_unique<TSecurity>();
  security->FName = name;
  operation.Fsecurity.push_back(std::move(security));
}

}  // namespace tolvane::testing
