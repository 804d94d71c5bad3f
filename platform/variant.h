// The tagged value every Kord field delivers: a double, a Windows-1250 text
// or a Boolean.
#pragma once

#include <string>
#include <variant>

namespace platform {

class Variant {
 public:
  Variant() : v_(std::string()) {}
  Variant(double d) : v_(d) {}
  Variant(std::string s) : v_(std::move(s)) {}
  Variant(const char* s) : v_(std::string(s)) {}
  Variant(bool b) : v_(b) {}

  bool IsDouble() const { return std::holds_alternative<double>(v_); }
  bool IsString() const { return std::holds_alternative<std::string>(v_); }
  bool IsBool() const { return std::holds_alternative<bool>(v_); }

  double AsDouble() const { return std::get<double>(v_); }
  const std::string& AsString() const { return std::get<std::string>(v_); }
  std::string TakeString() && { return std::move(std::get<std::string>(v_)); }
  bool AsBool() const { return std::get<bool>(v_); }

  bool operator==(const Variant&) const = default;

 private:
  std::variant<double, std::string, bool> v_;
};

}  // namespace platform
