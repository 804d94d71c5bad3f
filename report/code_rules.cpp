#include "report/code_rules.h"

#include <initializer_list>

#include "platform/regional.h"

namespace report {
namespace {

bool Equals(std::string_view code, std::initializer_list<std::string_view> list) {
  for (std::string_view c : list)
    if (code == c) return true;
  return false;
}

bool BeginsWithAny(std::string_view code, std::initializer_list<std::string_view> list) {
  for (std::string_view p : list)
    if (BeginsWith(code, p)) return true;
  return false;
}

}  // namespace

bool BeginsWith(std::string_view code, std::string_view prefix) {
  return code.size() >= prefix.size() && code.substr(0, prefix.size()) == prefix;
}

FormChoice ChooseForm(std::string_view code) {
  if (Equals(code, {"X113", "X23"}) || BeginsWith(code, "X1193")) return {"F_X113", "M_X113"};
  if (Equals(code, {"A3VW", "A3V3I"})) return {"F_SOUBDANI", "M_SOUBDANI"};
  if (code == "M0W") return {"F_PRIJMYI", "M_PRIJMYI"};
  if (code == "S69W1") return {"F_SU1", "M_SU1"};
  if (BeginsWithAny(code, {"C1W", "S2W"})) return {"F_VP", "M_VP"};
  if (BeginsWith(code, "A44")) return {"F_A441", "M_A441"};
  if (BeginsWith(code, "S65W")) return {"F_ELDP", "M_ELDP"};
  // The first four characters against a three-character text: only S34 itself.
  if (code == "S34") return {"F_NDCSSZ", "M_NDCSSZ"};
  if (BeginsWith(code, "S421")) return {"F_CSSZ", "M_CSSZ"};
  if (BeginsWith(code, "S0W")) return {"F_ZP", "M_ZP"};
  return {nullptr, nullptr};
}

bool UsesParam2(std::string_view code) {
  return BeginsWithAny(code, {"A44", "X11", "S65W", "S34"}) || Equals(code, {"X23", "S421"});
}

bool ReadsCbsIdentP(std::string_view code) {
  return BeginsWithAny(code, {"A44", "X11", "S65W"}) || code == "X23";
}

bool ReadsFormular2(std::string_view code) {
  return BeginsWith(code, "S65W");
}

bool HasOwnRecordsFilter(std::string_view code) {
  return Equals(code, {"X11931", "X11932", "X11933", "X11934"});
}

bool OwnRecordsWantVlastni(std::string_view code) {
  return Equals(code, {"X11931", "X11933"});
}

bool LastRecordOnly(std::string_view code) {
  return code == "X11935";
}

bool AdmitsEveryRecord(std::string_view code) {
  return Equals(code, {"X113", "X23", "X11935", "A3VW", "A3V3I", "M0W", "S69W1", "S421"}) ||
         BeginsWithAny(code, {"A44", "C1W", "S2W", "S34", "S65W", "S0W"});
}

bool SetsFormularFromFB(std::string_view code) {
  return !Equals(code, {"S34", "S421", "S0W"});
}

bool CopiesRunParameters(std::string_view code) {
  return Equals(code, {"A3VW", "A3V3I"});
}

bool LoadsTemplate(std::string_view code) {
  return Equals(code, {"X113", "X23", "A3VW", "A3V3I", "M0W", "S69W1", "S421"}) ||
         BeginsWithAny(code, {"A44", "C1W", "S2W", "S34", "S65W", "S0W", "X1193"});
}

bool HasYearSuffix(std::string_view code) {
  return Equals(code, {"M0W", "A3VW"});
}

std::string YearSuffix(std::string_view code, std::string_view rok) {
  if (rok.empty()) return {};
  // Plain byte comparison: a text that begins a longer one is the smaller.
  if (code == "M0W") {
    if (rok <= std::string_view("2005")) return "_2005";
    if (rok <= std::string_view("2007")) return "_2007";
    return {};
  }
  if (code == "A3VW") return rok <= std::string_view("2006") ? "_06" : "";
  return {};
}

std::string VariantSuffix(std::string_view variant) {
  const auto n = platform::TryStrToInt64(variant);
  if (!n || *n <= 0 || *n > INT32_MAX) return {};
  return "_" + std::string(variant);
}

}  // namespace report
