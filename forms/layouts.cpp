#include "forms/layouts.h"

#include "platform/win1250.h"

namespace forms {

const TableLayout* FindTableLayout(std::string_view name) {
  for (const TableLayout& layout : TableLayouts())
    if (platform::AnsiSameText(layout.name, name)) return &layout;
  return nullptr;
}

std::unique_ptr<kord::TKordTable> CreateTable(const TableLayout& layout) {
  auto table = std::make_unique<kord::TKordTable>(layout.name);
  // The resource streams FieldsDefinition before Indexed: the fields are laid
  // out without the flag byte and then moved by one.
  table->SetFieldsDefinition(layout.lines);
  table->SetIndexed(layout.indexed);
  table->SetEncodeMode(kord::TCodingType::emKamenicky);
  table->SetCutTrailSPC(false);
  table->SetExclusive(false);
  return table;
}

}  // namespace forms
