// Any text into every field type of a memory dataset, posted and fetched
// back: only conversion errors may come out, and what was stored reads back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "forms/memdata.h"
#include "platform/regional.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  platform::RegionalSettings settings;
  settings.decimalSeparator = (data[0] & 1) ? '.' : ',';
  platform::SetRegional(settings);
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  using forms::FieldType;
  forms::MemDataset ds("M_FUZZ", {{"T", FieldType::kText, 7},
                                  {"S", FieldType::kInt16},
                                  {"I", FieldType::kInt32},
                                  {"C", FieldType::kCurrency},
                                  {"F", FieldType::kFloat},
                                  {"D", FieldType::kDate},
                                  {"DT", FieldType::kDateTime},
                                  {"B", FieldType::kBoolean},
                                  {"X", FieldType::kBlob}});
  ds.SetSortedField(data[0] & 2 ? "T" : "");
  ds.Open();
  std::string stored[9];
  for (int round = 0; round < 2; ++round) {
    ds.Insert();
    for (int i = 0; i < ds.FieldCount(); ++i) {
      try {
        ds.Field(i).SetAsString(text);
      } catch (const platform::Exception&) {
      }
      stored[i] = ds.Field(i).AsString();
    }
    ds.Post();
  }
  for (ds.First(); !ds.Eof(); ds.Next())
    for (int i = 0; i < ds.FieldCount(); ++i)
      if (ds.Field(i).AsString() != stored[i]) std::abort();
  return 0;
}
