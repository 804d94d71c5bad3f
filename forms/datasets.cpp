#include "forms/datasets.h"

#include "platform/win1250.h"

namespace forms {

const DatasetLayout* FindDatasetLayout(std::string_view name) {
  for (const DatasetLayout& layout : DatasetLayouts())
    if (platform::AnsiSameText(layout.name, name)) return &layout;
  return nullptr;
}

std::unique_ptr<MemDataset> CreateDataset(const DatasetLayout& layout, TraceWriter* trace) {
  auto ds = std::make_unique<MemDataset>(layout.name, layout.fields);
  const std::string& n = layout.name;
  if (n == "M_X113") {
    ds->SetSortedField("C_Name_Sur");
    ds->OnCalcFields = [trace](MemDataset& d) { M_X113CalcFields(d, trace); };
    // Its trace lines are the handler's only effect beyond the fields.
    if (trace) ds->calcHasSideEffects = [trace] { return trace->Enabled(); };
  } else if (n == "M_VP") {
    ds->OnCalcFields = M_VPCalcFields;
  } else if (n == "M_CSSZ") {
    ds->OnCalcFields = M_CSSZCalcFields;
  } else if (n == "M_NDCSSZ") {
    ds->OnCalcFields = M_NDCSSZCalcFields;
  } else if (n == "M_ZP") {
    ds->OnCalcFields = M_ZPCalcFields;
  }
  return ds;
}

}  // namespace forms
