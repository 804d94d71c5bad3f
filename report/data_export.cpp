#include "report/data_export.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <vector>

#include "platform/csv.h"
#include "platform/regional.h"
#include "platform/win1250.h"

namespace report {
namespace {

using Json = nlohmann::ordered_json;
using forms::FieldType;
using platform::Win1250ToUtf8;

Json Value(const forms::MemField& f) {
  if (f.IsNull()) return nullptr;
  switch (f.DataType()) {
    case FieldType::kText:
    case FieldType::kBlob:
      return Win1250ToUtf8(f.TextView());
    case FieldType::kInt16:
    case FieldType::kInt32:
      return f.AsInteger();
    case FieldType::kCurrency:
    case FieldType::kFloat:
      return f.AsFloat();
    case FieldType::kDate:
      return IsoDate(f.AsDateTime());
    case FieldType::kDateTime:
      return IsoDateTime(f.AsDateTime());
    case FieldType::kBoolean:
      return f.AsBoolean();
  }
  return nullptr;
}

bool Put(FILE* out, const std::string& s) {
  return std::fwrite(s.data(), 1, s.size(), out) == s.size();
}

std::string CsvValue(const forms::MemField& f) {
  if (f.IsNull()) return {};
  switch (f.DataType()) {
    case FieldType::kText:
    case FieldType::kBlob:
      return platform::CsvCell(Win1250ToUtf8(f.TextView()));
    case FieldType::kCurrency:
    case FieldType::kFloat:
      return platform::ShortestNumber(f.AsFloat());
    case FieldType::kBoolean:
      return f.AsBoolean() ? "true" : "false";
    default:
      return Value(f).is_string() ? Value(f).get<std::string>() : Value(f).dump();
  }
}

}  // namespace

std::string IsoDate(double value) {
  return platform::FormatDateTimePattern("yyyy-MM-dd", platform::DecodeDateTime(value));
}

std::string IsoDateTime(double value) {
  const platform::DateParts p = platform::DecodeDateTime(value);
  std::string s = platform::FormatDateTimePattern("yyyy-MM-ddTHH:mm:ss", p);
  if (p.millisecond != 0) {
    char ms[8];
    std::snprintf(ms, sizeof ms, ".%03d", p.millisecond);
    s += ms;
  }
  return s;
}

bool ExportJson(forms::MemDataset& ds, const std::string& code, const std::string& templatePath,
                FILE* out) {
  Json fields = Json::array();
  for (int i = 0; i < ds.FieldCount(); ++i) {
    const forms::MemField& f = ds.Field(i);
    Json def = {{"name", Win1250ToUtf8(f.FieldName())},
                {"type", forms::FieldTypeName(f.DataType())}};
    def["size"] = f.DataType() == FieldType::kText ? (f.Size() > 0 ? f.Size() : 20) : 0;
    def["calculated"] = f.Calculated();
    fields.push_back(std::move(def));
  }
  std::string head = "{\"code\":" + Json(Win1250ToUtf8(code)).dump() +
                     ",\"dataset\":" + Json(ds.Name()).dump() +
                     ",\"template\":" + Json(Win1250ToUtf8(templatePath)).dump() +
                     ",\"fields\":" + fields.dump() + ",\"records\":[";
  if (!Put(out, head)) return false;
  // The keys are written by the library once; each record only its values.
  std::vector<std::string> keys;
  for (int i = 0; i < ds.FieldCount(); ++i)
    keys.push_back((i ? "," : "{") + Json(Win1250ToUtf8(ds.Field(i).FieldName())).dump() + ":");
  std::string text;
  nlohmann::detail::serializer<Json> serializer(nlohmann::detail::output_adapter<char>(text), ' ');
  bool first = true;
  for (ds.First(); !ds.Eof(); ds.Next()) {
    if (!first) text += ',';
    first = false;
    for (int i = 0; i < ds.FieldCount(); ++i) {
      text += keys[i];
      serializer.dump(Value(ds.Field(i)), false, false, 0);
    }
    text += ds.FieldCount() ? "}" : "{}";
    // Written in pieces of about 1 MB.
    if (text.size() > (1u << 20)) {
      if (!Put(out, text)) return false;
      text.clear();
    }
  }
  if (!Put(out, text)) return false;
  return Put(out, "]}\n") && std::fflush(out) == 0;
}

bool ExportCsv(forms::MemDataset& ds, FILE* out) {
  std::string line;
  for (int i = 0; i < ds.FieldCount(); ++i)
    line += (i ? "," : "") + platform::CsvCell(Win1250ToUtf8(ds.Field(i).FieldName()));
  if (!Put(out, line + "\r\n")) return false;
  for (ds.First(); !ds.Eof(); ds.Next()) {
    line.clear();
    for (int i = 0; i < ds.FieldCount(); ++i) {
      if (i) line += ',';
      line += CsvValue(ds.Field(i));
    }
    if (!Put(out, line + "\r\n")) return false;
  }
  return std::fflush(out) == 0;
}

}  // namespace report
