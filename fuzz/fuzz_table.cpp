// Opens one layout's table on an arbitrary data file and memo file, walks it
// both ways and decodes every field of every record.
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "forms/layouts.h"
#include "kord/table.h"
#include "platform/messages.h"

namespace {

struct Quiet : platform::MessageSink {
  void Show(const std::string&, const std::string&, platform::MessageKind) override {}
};

void Decode(kord::TKordTable& t) {
  for (int i = 0; i < t.Fields().Count(); ++i) {
    kord::TKordField* f = t.Fields().Fields(i);
    (void)f->AsVariant();
    if (f->FieldType() == kord::TKordFieldType::ftNumberString) (void)f->AsFloat();
    if (f->FieldType() != kord::TKordFieldType::ftMemo) continue;
    (void)f->AsString();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = [] {
    platform::SetMessageSink(std::make_shared<Quiet>());
    char tmpl[] = "/tmp/fuzz-table-XXXXXX";
    return std::string(::mkdtemp(tmpl));
  }();
  if (size < 3) return 0;
  const auto& layouts = forms::TableLayouts();
  const forms::TableLayout& layout = layouts[data[0] % layouts.size()];
  const size_t memoSize = std::min<size_t>(size - 3, data[1] | data[2] << 8);
  const char* bytes = reinterpret_cast<const char*>(data) + 3;
  const std::string memo(bytes, memoSize);
  std::string file(bytes + memoSize, size - 3 - memoSize);
  // Most inputs would fail the size rule: repair the header's count so the
  // records themselves get read, unless the first byte asks for it raw.
  if ((data[0] & 0x80) && file.size() >= 6) {
    const uint16_t length = static_cast<uint8_t>(file[4]) | static_cast<uint8_t>(file[5]) << 8;
    const uint32_t count = length ? static_cast<uint32_t>((file.size() - 6) / length) : 0;
    file.resize(6 + size_t{count} * length);
    for (int i = 0; i < 4; ++i) file[i] = static_cast<char>(count >> (8 * i));
  }
  std::ofstream(dir + "/T.DAT", std::ios::binary | std::ios::trunc) << file;
  std::ofstream(dir + "/T.TAT", std::ios::binary | std::ios::trunc) << memo;

  auto table = forms::CreateTable(layout);
  try {
    table->SetTableName(dir + "/T.DAT");
    table->Open();
    table->First();
    Decode(*table);
    for (int i = 1; i < table->RecordCount() && i < 64; ++i) {
      table->Next();
      Decode(*table);
    }
    table->Last();
    for (int i = 1; i < table->RecordCount() && i < 64; ++i) table->Prior();
    Decode(*table);
  } catch (const platform::Exception&) {
  }
  return 0;
}
