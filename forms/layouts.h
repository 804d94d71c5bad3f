// The thirteen Kord table components of the main window: their names,
// property values and field definition lines, as declared data.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kord/table.h"

namespace forms {

struct TableLayout {
  std::string name;
  bool indexed;                    // only F_X113 carries the flag byte
  std::vector<std::string> lines;  // FieldsDefinition, in order
};

// In the order the main window declares them.
const std::vector<TableLayout>& TableLayouts();
const TableLayout* FindTableLayout(std::string_view name);  // case ignored

// A closed table set up as the main window's resource does: FieldsDefinition
// first, then Indexed, EncodeMode emKamenicky, CutTrailSPC and Exclusive false.
std::unique_ptr<kord::TKordTable> CreateTable(const TableLayout& layout);

// The hidden memo Memo1 describing the input tables (Windows-1250).
const std::vector<std::string>& Memo1Lines();

}  // namespace forms
