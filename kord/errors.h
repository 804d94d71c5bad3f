// Errors of the Kord reader. Messages are Windows-1250 text.
#pragma once

#include "platform/errors.h"

namespace kord {

// A table or field refused what was asked; the message starts with the
// component's name.
class EKordTableError : public platform::Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "EKordTableError"; }
};

// A data file that breaks the size rule.
class EFileError : public platform::Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "EFileError"; }
};

}  // namespace kord
