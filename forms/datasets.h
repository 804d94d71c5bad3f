// The ten memory datasets of the main window and their calculated-field
// handlers, as declared data.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/memdata.h"

namespace forms {

// Where the handlers write their trace lines (the run's trace log).
class TraceWriter {
 public:
  virtual ~TraceWriter() = default;
  virtual void WriteLog(const std::string& message) = 0;
  // Whether lines are written at all; a handler that writes none has no effect
  // beyond its fields.
  virtual bool Enabled() const = 0;
};

struct DatasetLayout {
  std::string name;
  std::string inputTable;
  std::vector<FieldDef> fields;
};

// In the order the main window declares them.
const std::vector<DatasetLayout>& DatasetLayouts();
const DatasetLayout* FindDatasetLayout(std::string_view name);

// A closed dataset with its fields, sort settings and handler; `trace` may be
// null and must outlive the dataset.
std::unique_ptr<MemDataset> CreateDataset(const DatasetLayout& layout, TraceWriter* trace);

// The handlers; each computes the calculated fields of the current record.
void M_X113CalcFields(MemDataset& ds, TraceWriter* trace);
void M_VPCalcFields(MemDataset& ds);
void M_CSSZCalcFields(MemDataset& ds);
void M_NDCSSZCalcFields(MemDataset& ds);
void M_ZPCalcFields(MemDataset& ds);

// Text helpers of the main window.
std::string PadLeft(std::string_view text, int width, char padChar, bool keepLonger);
int PosOfOccurrence(std::string_view sub, std::string_view text, int n);

}  // namespace forms
