// Definition lines of any shape: only the definition errors may come out.
#include <cstdint>
#include <string>

#include "kord/table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  kord::TKordTable table("F");
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    try {
      table.FieldsDefinition().Add(text.substr(start, end - start));
    } catch (const platform::Exception&) {
    }
    if (start < text.size() && text[start] == '*') table.SetIndexed(!table.Indexed());
    start = end + 1;
  }
  (void)table.DefinitionLength();
  if (table.Fields().Count() > 0) table.FieldsDefinition().Delete(0);
  return 0;
}
