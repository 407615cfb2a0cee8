#pragma once

// Hand-made document parts for the tests of signatures and client writers.

#include <memory>
#include <string>

#include "swagger/swagger_classes.h"

namespace tolvane::testing {

inline std::unique_ptr<TSchema> Schema(const std::string& ref, const std::string& type = "",
                                       const std::string& itemsRef = "") {
  auto schema = std::make_unique<TSchema>();
  schema->Fref = ref;
  schema->Ftype = type;
  if (!itemsRef.empty()) {
    schema->Fitems = std::make_unique<TItems>();
    schema->Fitems->Fref = itemsRef;
  }
  return schema;
}

inline void AddResponse(TOperation& operation, const std::string& code,
                        std::unique_ptr<TSchema> schema) {
  if (!operation.Fresponses) operation.Fresponses = std::make_unique<TResponses>();
  auto response = std::make_unique<TResponse>();
  response->FresponseCode = code;
  response->Fschema = std::move(schema);
  operation.Fresponses->Add(std::move(response));
}

inline TParameter& AddParameter(TOperation& operation, const std::string& name,
                                const std::string& in, const std::string& type,
                                bool required = true) {
  auto parameter = std::make_unique<TParameter>();
  parameter->Fname = name;
  parameter->Fin = in;
  parameter->Ftype = type;
  parameter->Frequired = required;
  operation.Fparameters.push_back(std::move(parameter));
  return *operation.Fparameters.back();
}

inline void SetItems(TParameter& parameter, const std::string& type) {
  parameter.Fitems = std::make_unique<TItems>();
  parameter.Fitems->Ftype = type;
}

// A new operation under AMethod ("get", "put", ...) of the path.
inline TOperation& AddOperation(TPath& path, const std::string& method,
                                const std::string& operationId) {
  auto& field = *path.OperationField(method);
  field = std::make_unique<TOperation>();
  field->FoperationId = operationId;
  return *field;
}

inline TPath& AddPath(TPaths& paths, const std::string& template_) {
  auto path = std::make_unique<TPath>();
  path->Fpath = template_;
  paths.Add(std::move(path));
  return *paths.FItems.back();
}

inline void AddSecurity(TOperation& operation, const std::string& name) {
  auto security = std::make_unique<TSecurity>();
  security->FName = name;
  operation.Fsecurity.push_back(std::move(security));
}

}  // namespace tolvane::testing
