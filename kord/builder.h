// Writes Kord files from field values, the reverse of the reader: test data,
// benchmarks and the demo job use it. The programs themselves never write.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kord/table.h"

namespace kord {

// DOS byte in the code page `mode` for a Windows-1250 byte (0x3F '?' when the
// code page has no such character).
unsigned char EncodeChar(TCodingType mode, unsigned char c);

// Builds records for the fields of `table` (its definitions; it need not be open).
class RecordBuilder {
 public:
  explicit RecordBuilder(const TKordTable& table);

  // Starts a new record of zero bytes; `live` sets the flag byte of an indexed table.
  void Begin(bool live = true);
  // Sets a field by name. A and N take Windows-1250 text; F, R, D (a
  // date-time number), B and T (a memo position) take numbers.
  void SetText(std::string_view field, std::string_view text);
  void SetNumber(std::string_view field, double value);
  // Appends the current record to the data.
  void End();

  // The data file: header, then every record.
  std::string DataFile() const;
  // Appends a memo text (Windows-1250, stored in the table's code page) and
  // returns its position, for SetNumber on a T field.
  int32_t AddMemo(std::string_view text, bool scrambled = false);
  const std::string& MemoFile() const { return memo_; }

 private:
  const TKordField& Field(std::string_view name) const;
  const TKordTable& table_;
  std::vector<uint8_t> record_;
  std::string records_;
  int32_t count_ = 0;
  std::string memo_ = std::string(4, '\0');  // position 0 means "no text"
};

}  // namespace kord
