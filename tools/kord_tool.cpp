#include "tools/kord_tool.h"

#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "forms/layouts.h"
#include "kord/table.h"
#include "platform/cmdline.h"
#include "platform/csv.h"
#include "platform/errors.h"
#include "platform/win1250.h"

namespace kordtool {
namespace {

using platform::Win1250ToUtf8;

const char* const kUsage =
    "usage: kord layouts\n"
    "       kord info --layout NAME FILE\n"
    "       kord dump --layout NAME [--format json|csv] FILE\n";

char TypeLetter(kord::TKordFieldType type) {
  switch (type) {
    case kord::TKordFieldType::ftFormatedFloat:
      return 'F';
    case kord::TKordFieldType::ftFloat:
      return 'R';
    case kord::TKordFieldType::ftString:
      return 'A';
    case kord::TKordFieldType::ftNumberString:
      return 'N';
    case kord::TKordFieldType::ftDateTime:
      return 'D';
    case kord::TKordFieldType::ftBoolean:
      return 'B';
    case kord::TKordFieldType::ftMemo:
      return 'T';
    default:
      return '?';
  }
}

// Keys of the fields in order; a repeated name gets "#2", "#3", ...
std::vector<std::string> UniqueKeys(const kord::TKordTable& table) {
  std::vector<std::string> keys;
  std::map<std::string, int> seen;
  for (int i = 0; i < table.Fields().Count(); ++i) {
    const std::string name = Win1250ToUtf8(table.Fields().Fields(i)->FieldName());
    const int n = ++seen[name];
    keys.push_back(n == 1 ? name : name + "#" + std::to_string(n));
  }
  return keys;
}

nlohmann::ordered_json ToJson(const platform::Variant& v) {
  if (v.IsBool()) return v.AsBool();
  if (v.IsDouble()) return v.AsDouble();
  return Win1250ToUtf8(v.AsString());
}

std::string CsvValue(const platform::Variant& v) {
  if (v.IsBool()) return v.AsBool() ? "true" : "false";
  if (v.IsDouble()) return platform::ShortestNumber(v.AsDouble());
  return platform::CsvCell(Win1250ToUtf8(v.AsString()));
}

struct Options {
  std::string command, layout, format = "json", file;
};

bool Parse(int argc, const char* const* argv, Options& o, std::string& error) {
  if (argc < 2) return false;
  o.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (platform::TakeOption(argc, argv, i, "--layout", o.layout, error) ||
        platform::TakeOption(argc, argv, i, "--format", o.format, error)) {
      if (!error.empty()) return false;
      continue;
    }
    if (!a.empty() && a[0] == '-' && a != "-") {
      error = "unknown option " + a;
      return false;
    }
    if (!o.file.empty()) {
      error = "more than one file given";
      return false;
    }
    o.file = a;
  }
  if (o.command == "layouts") return true;
  if (o.command != "info" && o.command != "dump") {
    error = "unknown command " + o.command;
    return false;
  }
  if (o.layout.empty() || o.file.empty()) return false;
  if (o.format != "json" && o.format != "csv") {
    error = "unknown format " + o.format;
    return false;
  }
  return true;
}

void Dump(kord::TKordTable& table, const Options& o, std::ostream& out) {
  const std::vector<std::string> keys = UniqueKeys(table);
  const int fieldCount = table.Fields().Count();
  if (o.format == "csv") {
    for (int i = 0; i < fieldCount; ++i) out << (i ? "," : "") << platform::CsvCell(keys[i]);
    out << "\r\n";
  } else {
    nlohmann::ordered_json fields = nlohmann::ordered_json::array();
    for (int i = 0; i < fieldCount; ++i) {
      const kord::TKordField* f = table.Fields().Fields(i);
      fields.push_back({{"name", Win1250ToUtf8(f->FieldName())},
                        {"type", std::string(1, TypeLetter(f->FieldType()))},
                        {"offset", f->Offset()},
                        {"size", f->DataSize()}});
    }
    out << "{\"layout\":" << nlohmann::json(o.layout).dump()
        << ",\"recordLength\":" << table.RecordLength()
        << ",\"recordCount\":" << table.RecordCount() << ",\"fields\":" << fields.dump()
        << ",\"records\":[";
  }
  for (int r = 0; r < table.RecordCount(); ++r) {
    r == 0 ? table.First() : table.Next();
    if (o.format == "csv") {
      for (int i = 0; i < fieldCount; ++i)
        out << (i ? "," : "") << CsvValue(table.Fields().Fields(i)->AsVariant());
      out << "\r\n";
    } else {
      nlohmann::ordered_json rec = nlohmann::ordered_json::object();
      for (int i = 0; i < fieldCount; ++i)
        rec[keys[i]] = ToJson(table.Fields().Fields(i)->AsVariant());
      out << (r ? "," : "") << rec.dump();
    }
  }
  if (o.format == "json") out << "]}\n";
}

}  // namespace

int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  Options o;
  std::string error;
  if (!Parse(argc, argv, o, error)) {
    if (!error.empty()) err << "kord: " << error << "\n";
    err << kUsage;
    return kExitUsage;
  }
  if (o.command == "layouts") {
    for (const forms::TableLayout& layout : forms::TableLayouts()) {
      auto table = forms::CreateTable(layout);
      out << layout.name << "\t" << table->Fields().Count() << " fields\t"
          << table->DefinitionLength() << " bytes" << (layout.indexed ? "\tindexed" : "") << "\n";
    }
    return kExitOk;
  }
  const forms::TableLayout* layout = forms::FindTableLayout(platform::Utf8ToWin1250(o.layout));
  if (!layout) {
    err << "kord: no layout named " << o.layout << " (see kord layouts)\n";
    return kExitError;
  }
  o.layout = layout->name;
  try {
    auto table = forms::CreateTable(*layout);
    table->SetTableName(platform::Utf8ToWin1250(o.file));
    table->Open();
    if (o.command == "info") {
      const bool memo = table->MemoFile() != nullptr;
      out << "file: " << o.file << "\n"
          << "layout: " << layout->name << "\n"
          << "header count: " << table->HeaderCount() << "\n"
          << "record length: " << table->RecordLength() << "\n"
          << "live records: " << table->RecordCount() << "\n"
          << "memo file: " << (memo ? Win1250ToUtf8(table->MemoFileName()) : std::string("none"))
          << "\n";
    } else {
      Dump(*table, o, out);
    }
    table->Close();
    if (!out.flush()) {
      err << "kord: cannot write the output\n";
      return kExitError;
    }
  } catch (const platform::Exception& e) {
    err << "kord: " << o.file << ": " << Win1250ToUtf8(e.what()) << "\n";
    return kExitError;
  }
  return kExitOk;
}

}  // namespace kordtool
