// The error classes the programs raise, named as the payroll system's own
// tools name them. Every message is Windows-1250 text.
#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// Base of every error the programs report; `what()` is the Windows-1250 message.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  virtual const char* ClassName() const { return "Exception"; }
};

#define PLATFORM_ERROR_CLASS(Name, Base)                         \
  class Name : public Base {                                     \
   public:                                                       \
    explicit Name(const std::string& message) : Base(message) {} \
    const char* ClassName() const override { return #Name; }     \
  };

PLATFORM_ERROR_CLASS(EConvertError, Exception)
PLATFORM_ERROR_CLASS(EAbstractError, Exception)
PLATFORM_ERROR_CLASS(ERangeError, Exception)
PLATFORM_ERROR_CLASS(EListError, Exception)
PLATFORM_ERROR_CLASS(EStreamError, Exception)
PLATFORM_ERROR_CLASS(EFOpenError, EStreamError)
PLATFORM_ERROR_CLASS(EFCreateError, EStreamError)
PLATFORM_ERROR_CLASS(EWriteError, EStreamError)
PLATFORM_ERROR_CLASS(EReadError, EStreamError)

#undef PLATFORM_ERROR_CLASS

}  // namespace platform
