#include "swagger/swagger_classes.h"

namespace tolvane {

std::array<TOperation*, 7> TPath::Operations() const {
  return {Fget.get(), Fput.get(), Fpost.get(), Fdelete.get(), Foptions.get(), Fhead.get(),
          Fpatch.get()};
}

std::array<TOperation*, 5> TPath::SupportedOperations() const {
  return {Fget.get(), Fput.get(), Fpost.get(), Fdelete.get(), Fpatch.get()};
}

// The method table: get, put, post, delete, options, head, patch.
std::unique_ptr<TOperation>* TPath::OperationField(std::string_view AMethod) {
  if (AMethod == "get") return &Fget;
  if (AMethod == "put") return &Fput;
  if (AMethod == "post") return &Fpost;
  if (AMethod == "delete") return &Fdelete;
  if (AMethod == "options") return &Foptions;
  if (AMethod == "head") return &Fhead;
  if (AMethod == "patch") return &Fpatch;
  return nullptr;
}

std::string_view TPath::GetSecurity(std::string_view AOperation) const {
  const auto* field = const_cast<TPath*>(this)->OperationField(AOperation);
  if (field == nullptr || *field == nullptr || (*field)->Fsecurity.empty()) return {};
  return (*field)->Fsecurity.front()->FName;
}

void TPath::SetSecurity(std::string_view AOperation, std::string_view ASecurityName) {
  auto* field = OperationField(AOperation);
  if (field == nullptr || *field == nullptr || (*field)->Fsecurity.empty()) return;
  (*field)->Fsecurity.front()->FName = ASecurityName;
}

}  // namespace tolvane
