// Filling memory datasets the way the print run does: 100,000 M_VP records
// field by field from text, and the bytes 100,000 M_X113 records take
// against the bytes of their non-null values.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "forms/datasets.h"

namespace {

constexpr int kRecords = 100000;

// The texts the run hands over for one payslip: every M_VP data field gets one.
std::vector<std::pair<forms::MemField*, std::string>> VpValues(forms::MemDataset& ds, int i) {
  std::vector<std::pair<forms::MemField*, std::string>> v;
  for (int f = 0; f < ds.FieldCount(); ++f) {
    forms::MemField& field = ds.Field(f);
    if (field.Calculated()) continue;
    std::string text;
    switch (field.DataType()) {
      case forms::FieldType::kText:
        text = field.FieldName() + std::to_string(i % 97);
        break;
      case forms::FieldType::kInt16:
      case forms::FieldType::kInt32:
        text = std::to_string(i % 1000);
        break;
      case forms::FieldType::kCurrency:
      case forms::FieldType::kFloat:
        text = std::to_string(i % 50000) + ",25";
        break;
      case forms::FieldType::kDate:
      case forms::FieldType::kDateTime:
        text = "1.2.1980";
        break;
      case forms::FieldType::kBoolean:
        text = i % 2 ? "True" : "False";
        break;
      case forms::FieldType::kBlob:
        text = "Konec\r\nv\xFDplatn\xEDho listu";
        break;
    }
    v.emplace_back(&field, text);
  }
  return v;
}

void BM_FillVp(benchmark::State& state) {
  size_t stored = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto ds = forms::CreateDataset(*forms::FindDatasetLayout("M_VP"), nullptr);
    ds->Open();
    std::vector<std::vector<std::pair<forms::MemField*, std::string>>> inputs;
    for (int k = 0; k < 97; ++k) inputs.push_back(VpValues(*ds, k));
    state.ResumeTiming();
    for (int i = 0; i < kRecords; ++i) {
      ds->Insert();
      for (const auto& [field, text] : inputs[i % 97]) field->SetAsString(text);
      ds->Post();
    }
    stored = ds->StoredBytes();
  }
  state.counters["records/s"] =
      benchmark::Counter(kRecords, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["stored_MB"] = stored / 1e6;
}

void BM_X113Memory(benchmark::State& state) {
  for (auto _ : state) {
    auto ds = forms::CreateDataset(*forms::FindDatasetLayout("M_X113"), nullptr);
    ds->Open();
    size_t valueBytes = 0;
    for (int i = 0; i < kRecords; ++i) {
      ds->Insert();
      const std::string values[][2] = {{"Osoba", std::to_string(100000 + i)},
                                       {"C_Name_Sur", "Nov\xE1k" + std::to_string(i % 1000)},
                                       {"C_Name_Fir", "Jan"},
                                       {"C_Bno", "7501011234"},
                                       {"C_Adr_Str", "Dlouh\xE1"},
                                       {"C_Adr_Num", "12"},
                                       {"C_Adr_Cit", "Praha"},
                                       {"Comp_Nam", "Mzdov\xE1 \xFA\xE8t\xE1rna s.r.o."},
                                       {"CFro", "2005-03-01"},
                                       {"Act", "1"}};
      for (const auto& kv : values) {
        ds->FieldByName(kv[0]).SetAsString(kv[1]);
        valueBytes += kv[1].size();
      }
      ds->Post();
    }
    state.counters["value_MB"] = valueBytes / 1e6;
    state.counters["stored_MB"] = ds->StoredBytes() / 1e6;
    state.counters["ratio"] =
        static_cast<double>(ds->StoredBytes()) / static_cast<double>(valueBytes);
  }
}

BENCHMARK(BM_FillVp)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_X113Memory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
