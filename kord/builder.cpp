#include "kord/builder.h"

#include <cmath>
#include <cstring>

#include "kord/errors.h"
#include "kord/format.h"

namespace kord {

unsigned char EncodeChar(TCodingType mode, unsigned char c) {
  if (c < 0x80) return c;
  for (int d = 0x80; d < 0x100; ++d)
    if (RecodeChar(mode, static_cast<unsigned char>(d)) == c) return static_cast<unsigned char>(d);
  return '?';
}

RecordBuilder::RecordBuilder(const TKordTable& table) : table_(table) {}

const TKordField& RecordBuilder::Field(std::string_view name) const {
  const TKordField* f = table_.FieldByName(name);
  if (!f) throw EKordTableError(table_.Name() + ": no field " + std::string(name));
  return *f;
}

void RecordBuilder::Begin(bool live) {
  record_.assign(static_cast<size_t>(table_.DefinitionLength()), 0);
  if (table_.Indexed() && !record_.empty()) record_[0] = live ? kLiveFlag : 1;
  // An empty scrambled text is stored as scrambled zeros.
  for (int i = 0; i < table_.Fields().Count(); ++i) {
    const TKordField* f = table_.Fields().Fields(i);
    if (f->FieldType() == TKordFieldType::ftString && static_cast<const TKordFieldA*>(f)->Scrambled())
      std::memset(record_.data() + f->Offset(), kScrambleMask, f->DataSize());
  }
}

void RecordBuilder::SetText(std::string_view name, std::string_view text) {
  const TKordField& f = Field(name);
  uint8_t* at = record_.data() + f.Offset();
  if (f.FieldType() == TKordFieldType::ftString) {
    const auto& a = static_cast<const TKordFieldA&>(f);
    const size_t n = std::min<size_t>(text.size(), a.Size());
    for (size_t i = 0; i < a.Size(); ++i) {
      uint8_t c = i < n ? EncodeChar(table_.EncodeMode(), static_cast<uint8_t>(text[i])) : 0;
      at[i] = a.Scrambled() ? c ^ kScrambleMask : c;
    }
  } else if (f.FieldType() == TKordFieldType::ftNumberString) {
    const auto& nf = static_cast<const TKordFieldN&>(f);
    std::memset(at, 0, nf.DataSize());
    // Digits right-aligned with leading zeros, as the payroll system writes them.
    std::string digits(text);
    if (digits.size() < nf.Digits()) digits.insert(0, nf.Digits() - digits.size(), '0');
    for (size_t i = 0; i < digits.size() && i < size_t{nf.DataSize()} * 2; ++i) {
      const uint8_t digit = static_cast<uint8_t>((digits[i] - '0') & 0x0F);
      at[i / 2] |= i % 2 == 0 ? static_cast<uint8_t>(digit << 4) : digit;
    }
  } else {
    throw EKordTableError(table_.Name() + ": not a text field " + std::string(name));
  }
}

void RecordBuilder::SetNumber(std::string_view name, double value) {
  const TKordField& f = Field(name);
  uint8_t* at = record_.data() + f.Offset();
  switch (f.FieldType()) {
    case TKordFieldType::ftFormatedFloat: {
      const auto& ff = static_cast<const TKordFieldF&>(f);
      const int64_t scaled = std::llround(value * std::pow(10.0, ff.DecDigits()));
      for (int i = 0; i < ff.DataSize(); ++i)
        at[i] =
            static_cast<uint8_t>(static_cast<uint64_t>(scaled) >> (8 * (ff.DataSize() - 1 - i)));
      break;
    }
    case TKordFieldType::ftFloat:
      EncodeReal48(value, at);
      break;
    case TKordFieldType::ftDateTime: {
      // The reader's day-number rule, backwards.
      const double t = std::trunc(value);
      EncodeReal48(value >= 0 ? value + kDateDelta : (t + kDateDelta) - (value - t), at);
      break;
    }
    case TKordFieldType::ftBoolean:
      at[0] = static_cast<uint8_t>(value);
      break;
    case TKordFieldType::ftMemo: {
      const uint32_t pos = static_cast<uint32_t>(static_cast<int32_t>(value));
      for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(pos >> (8 * i));
      break;
    }
    default:
      throw EKordTableError(table_.Name() + ": not a number field " + std::string(name));
  }
}

void RecordBuilder::End() {
  records_.append(reinterpret_cast<const char*>(record_.data()), record_.size());
  ++count_;
}

std::string RecordBuilder::DataFile() const {
  std::string file(kHeaderSize, '\0');
  const uint32_t count = static_cast<uint32_t>(count_);
  const uint16_t length = static_cast<uint16_t>(table_.DefinitionLength());
  for (int i = 0; i < 4; ++i) file[i] = static_cast<char>(count >> (8 * i));
  file[4] = static_cast<char>(length & 0xFF);
  file[5] = static_cast<char>(length >> 8);
  return file + records_;
}

int32_t RecordBuilder::AddMemo(std::string_view text, bool scrambled) {
  const int32_t pos = static_cast<int32_t>(memo_.size());
  const size_t n = std::min<size_t>(text.size(), 0xFFFF);
  memo_ += static_cast<char>(n & 0xFF);
  memo_ += static_cast<char>(n >> 8);
  for (size_t i = 0; i < n; ++i) {
    uint8_t c = EncodeChar(table_.EncodeMode(), static_cast<uint8_t>(text[i]));
    if (scrambled) c ^= kScrambleMask;
    memo_ += static_cast<char>(c);
  }
  return pos;
}

}  // namespace kord
