#pragma once

// Every failure of a run is one of these exceptions. The command line prints
// ClassName() + ": " + Message(), so the class names are part of the output.

#include <exception>
#include <string>

namespace tolvane {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  virtual const char* ClassName() const noexcept { return "Exception"; }
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

#define TOLVANE_EXCEPTION_CLASS(Name)                                   \
  class Name : public Exception {                                       \
   public:                                                              \
    using Exception::Exception;                                         \
    const char* ClassName() const noexcept override { return #Name; }   \
  };

TOLVANE_EXCEPTION_CLASS(EConversionError)
TOLVANE_EXCEPTION_CLASS(EInvalidCast)
TOLVANE_EXCEPTION_CLASS(EJSONException)
TOLVANE_EXCEPTION_CLASS(EYAMLException)
TOLVANE_EXCEPTION_CLASS(EArgumentOutOfRangeException)
TOLVANE_EXCEPTION_CLASS(EInOutError)
TOLVANE_EXCEPTION_CLASS(EFCreateError)

#undef TOLVANE_EXCEPTION_CLASS

}  // namespace tolvane
