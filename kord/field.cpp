#include "kord/field.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "kord/errors.h"
#include "kord/file.h"
#include "kord/format.h"
#include "kord/table.h"
#include "platform/errors.h"
#include "platform/messages.h"
#include "platform/regional.h"
#include "platform/trim.h"
#include "platform/win1250.h"

namespace kord {
namespace {

using platform::Utf8ToWin1250;

[[noreturn]] void Abstract() {
  throw platform::EAbstractError("Abstract Error");
}

[[noreturn]] void ListIndexError(int index) {
  throw platform::EListError("List index out of bounds (" + std::to_string(index) + ")");
}

// Bytes an F field needs for n digits: the smallest b with 10^n - 1 <= 2^(8b-1) - 1.
uint16_t FSize(int n) {
  static constexpr uint16_t kSizes[19] = {0, 1, 1, 2, 2, 3, 3, 4, 4, 4, 5, 5, 6, 6, 6, 7, 7, 8, 8};
  return kSizes[n];
}

// Text between position `from` (exclusive) and the first ';' of `s`; empty
// when the ';' is missing or comes first, as the platform's copy gives.
std::string Between(std::string_view s, size_t from) {
  const size_t semi = s.find(';');
  if (semi == std::string_view::npos || semi <= from) return {};
  return std::string(s.substr(from + 1, semi - from - 1));
}

uint16_t ToSize(std::string_view text, const std::string& name) {
  const int32_t v = platform::StrToInt(text);
  // Held in 16 bits: a larger or negative length cannot describe a record.
  if (v < 0 || v > 65535) throw EKordTableError(Utf8ToWin1250("Chybná definice položky:") + name);
  return static_cast<uint16_t>(v);
}

}  // namespace

// ---------------------------------------------------------------- TKordField

TKordField::TKordField(TKordTable* table, TKordFieldType type, std::string name, int64_t offset)
    : table_(table), type_(type), fieldName_(std::move(name)), offset_(offset) {}

TAlignment TKordField::Alignment() const {
  return type_ == TKordFieldType::ftFormatedFloat || type_ == TKordFieldType::ftFloat
             ? TAlignment::taRightJustify
             : TAlignment::taLeftJustify;
}

double TKordField::AsFloat() {
  Abstract();
}
std::string TKordField::AsString() {
  Abstract();
}
double TKordField::AsDate() {
  Abstract();
}
double TKordField::AsTime() {
  Abstract();
}
double TKordField::AsDateTime() {
  Abstract();
}
bool TKordField::AsBoolean() {
  Abstract();
}
platform::Variant TKordField::AsVariant() {
  Abstract();
}

const uint8_t* TKordField::Bytes() {
  if (!table_ || !table_->DataFileOpen())
    throw EKordTableError(name_ + Utf8ToWin1250(": tabulka není otevřena"));
  const std::vector<uint8_t>& record = table_->RecordBuffer();
  const size_t size = DataSize();
  if (offset_ >= 0 && static_cast<uint64_t>(offset_) + size <= record.size())
    return record.data() + offset_;
  // A field that does not fit the record (defined after the open) reads zeros
  // where the record has no bytes.
  scratch_.assign(size, 0);
  for (size_t i = 0; i < size; ++i) {
    const int64_t at = offset_ + static_cast<int64_t>(i);
    if (at >= 0 && static_cast<uint64_t>(at) < record.size()) scratch_[i] = record[at];
  }
  return scratch_.data();
}

void TKordField::FireGetText(const std::string& text) {
  if (OnGetText) OnGetText(*this, text);
}

// ------------------------------------------------------------------------ F

TKordFieldF::TKordFieldF(TKordTable* t, std::string name, int64_t offset)
    : TKordField(t, TKordFieldType::ftFormatedFloat, std::move(name), offset) {}

void TKordFieldF::SetDigits(int32_t intDigits, int32_t decDigits) {
  intDigits_ = intDigits;
  decDigits_ = decDigits;
  const int64_t n = int64_t{intDigits} + decDigits;
  if (n < 1 || n > 18) throw platform::Exception(Utf8ToWin1250("Vadná délka položky F"));
  size_ = FSize(static_cast<int>(n));
}

double TKordFieldF::AsFloat() {
  const double value = DecodeScaled(Bytes(), size_, decDigits_);
  if (OnGetText) FireGetText(platform::FloatToStrGeneral(value, 15));
  return value;
}

std::string TKordFieldF::AsString() {
  return platform::FloatToStrGeneral(AsFloat(), 15);
}
platform::Variant TKordFieldF::AsVariant() {
  return AsFloat();
}

// ------------------------------------------------------------------------ R

TKordFieldR::TKordFieldR(TKordTable* t, std::string name, int64_t offset)
    : TKordField(t, TKordFieldType::ftFloat, std::move(name), offset) {}

double TKordFieldR::AsFloat() {
  const double value = DecodeReal48(Bytes());
  if (OnGetText) FireGetText(platform::FloatToStrGeneral(value, 15));
  return value;
}

std::string TKordFieldR::AsString() {
  return platform::FloatToStrGeneral(AsFloat(), 11);
}
platform::Variant TKordFieldR::AsVariant() {
  return AsFloat();
}

// ------------------------------------------------------------------------ A

TKordFieldA::TKordFieldA(TKordTable* t, std::string name, int64_t offset)
    : TKordField(t, TKordFieldType::ftString, std::move(name), offset) {}

std::string TKordFieldA::AsString() {
  const uint8_t* bytes = Bytes();
  // The text ends at the first 0 byte after descrambling: a stored mask byte
  // when scrambled, a stored 0 otherwise.
  const uint8_t end = scrambled_ ? kScrambleMask : 0;
  const void* stop = std::memchr(bytes, end, size_);
  const size_t length =
      stop ? static_cast<size_t>(static_cast<const uint8_t*>(stop) - bytes) : size_;
  std::string text(reinterpret_cast<const char*>(bytes), length);
  if (scrambled_)
    for (char& c : text) c = static_cast<char>(static_cast<uint8_t>(c) ^ kScrambleMask);
  // Texts are always re-coded; Encode governs memo texts only.
  const TCodingType mode = KordTable()->EncodeMode();
  for (char& c : text)
    if (static_cast<uint8_t>(c) >= 0x80)
      c = static_cast<char>(RecodeChar(mode, static_cast<uint8_t>(c)));
  FireGetText(text);
  if (KordTable()->CutTrailSPC()) text.resize(platform::TrimRightView(text).size());
  return text;
}

platform::Variant TKordFieldA::AsVariant() {
  return AsString();
}

// ------------------------------------------------------------------------ N

TKordFieldN::TKordFieldN(TKordTable* t, std::string name, int64_t offset)
    : TKordField(t, TKordFieldType::ftNumberString, std::move(name), offset) {}

void TKordFieldN::SetDigits(uint16_t digits) {
  digits_ = digits;
  size_ = static_cast<uint16_t>((digits + 1) / 2);
}

std::string TKordFieldN::AsString() {
  std::string text = DecodePackedDigits(Bytes(), size_, digits_);
  FireGetText(text);
  return text;
}

double TKordFieldN::AsFloat() {
  const std::string text = AsString();
  try {
    return platform::StrToInt(text);
  } catch (const platform::EConvertError&) {
    platform::ShowMessageBox(Utf8ToWin1250("Chyba při převodu položky N na číslo."), {},
                             platform::MessageKind::Error);
    return 0;
  }
}

platform::Variant TKordFieldN::AsVariant() {
  return AsString();
}

// ------------------------------------------------------------------------ D

TKordFieldD::TKordFieldD(TKordTable* t, std::string name, int64_t offset)
    : TKordField(t, TKordFieldType::ftDateTime, std::move(name), offset) {}

double TKordFieldD::AsFloat() {
  const double value = DayNumberToDateTime(DecodeReal48(Bytes()));
  if (OnGetText) FireGetText(platform::FloatToStrGeneral(value, 15));
  return value;
}

std::string TKordFieldD::AsString() {
  return platform::DateTimeToStr(AsFloat());
}
double TKordFieldD::AsDate() {
  return std::trunc(AsFloat());
}
double TKordFieldD::AsTime() {
  const double v = AsFloat();
  return v - std::trunc(v);
}
double TKordFieldD::AsDateTime() {
  return AsFloat();
}
platform::Variant TKordFieldD::AsVariant() {
  return AsFloat();
}

// ------------------------------------------------------------------------ B

TKordFieldB::TKordFieldB(TKordTable* t, std::string name, int64_t offset)
    : TKordField(t, TKordFieldType::ftBoolean, std::move(name), offset) {}

double TKordFieldB::AsFloat() {
  const uint8_t b = Bytes()[0];
  FireGetText(b != 0 ? "True" : "False");
  return b;
}

std::string TKordFieldB::AsString() {
  return AsFloat() != 0 ? "True" : "False";
}
bool TKordFieldB::AsBoolean() {
  return AsFloat() != 0;
}
platform::Variant TKordFieldB::AsVariant() {
  return AsFloat() != 0;
}

// ------------------------------------------------------------------------ T

TKordFieldT::TKordFieldT(TKordTable* t, std::string name, int64_t offset)
    : TKordField(t, TKordFieldType::ftMemo, std::move(name), offset) {}

std::string TKordFieldT::Read(bool keepLineBreaks) {
  const uint8_t* b = Bytes();
  memoPosition_ =
      static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                           static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24);
  std::string text;
  ReadOnlyFile* memo = KordTable()->MemoFile();
  if (memoPosition_ != 0 && memo)
    text = ReadMemoText(*memo, memoPosition_, KordTable()->EncodeMode(), keepLineBreaks, scrambled_,
                        KordTable()->Encode());
  FireGetText(text);
  return text;
}

std::string TKordFieldT::AsString() {
  return Read(false);
}
platform::Variant TKordFieldT::AsVariant() {
  return Read(true);
}

// ------------------------------------------------------------------ memo text

std::string ReadMemoText(ReadOnlyFile& memo, int32_t position, TCodingType mode,
                         bool keepLineBreaks, bool scrambled, bool encode) {
  std::string text;
  if (position < 0) return text;
  uint8_t lengthBytes[kMemoLengthSize];
  uint64_t pos = static_cast<uint64_t>(position);
  if (!memo.ReadAt(pos, lengthBytes, kMemoLengthSize)) return text;
  pos += kMemoLengthSize;
  const unsigned length = lengthBytes[0] | (lengthBytes[1] << 8);
  // Continuations could point anywhere, even back: never read more bytes
  // than the file holds.
  uint64_t budget = memo.size();
  uint64_t used = kMemoLengthSize;
  // Nor follow more links than the text has characters: a chain of links that
  // carry no text would otherwise walk the whole file four bytes at a time.
  unsigned links = 0;
  while (text.size() < length) {
    uint8_t c;
    if (used >= budget || !memo.ReadAt(pos, &c, 1)) break;
    ++pos;
    ++used;
    if (c == 0) {
      uint8_t link[kMemoLinkSize];
      if (++links > length || !memo.ReadAt(pos - 1, link, kMemoLinkSize)) break;
      used += kMemoLinkSize - 1;
      pos = static_cast<uint64_t>(link[0]) | static_cast<uint64_t>(link[1]) << 8 |
            static_cast<uint64_t>(link[2]) << 16 | static_cast<uint64_t>(link[3]) << 24;
      continue;
    }
    if (!keepLineBreaks && (c == 13 || c == 10)) break;
    if (scrambled) c ^= kScrambleMask;
    if (encode) c = RecodeChar(mode, c);
    text += static_cast<char>(c);
  }
  return text;
}

// ---------------------------------------------------------------- TKordFields

TKordField* TKordFields::Fields(int index) const {
  if (items_.empty()) return nullptr;
  if (index < 0 || index >= Count()) ListIndexError(index);
  return items_[index].get();
}

int TKordFields::Add(std::unique_ptr<TKordField> field) {
  items_.push_back(std::move(field));
  return Count() - 1;
}

void TKordFields::Delete(int index) {
  if (index < 0 || index >= Count()) ListIndexError(index);
  items_.erase(items_.begin() + index);
}

void TKordFields::Clear() {
  while (!items_.empty()) items_.pop_back();
}

TKordField* TKordFields::FindField(std::string_view name) const {
  for (const auto& f : items_)
    if (platform::AnsiSameText(f->FieldName(), name)) return f.get();
  return nullptr;
}

// ---------------------------------------------------------------- TFieldList

int TFieldList::Add(std::string_view line) {
  std::string s;
  s.reserve(line.size());
  for (char c : line)
    if (c != ' ') s += c;
  const size_t colon = s.find(':');
  if (colon == std::string::npos || colon + 1 == s.size()) return -1;
  lines_.push_back(s);
  const int index = Count() - 1;
  ParseFieldDefinition(s, *FOwner);
  return index;
}

void TFieldList::Clear() {
  lines_.clear();
  FOwner->Fields().Clear();
}

void TFieldList::Delete(int index) {
  CheckIndex(index);
  lines_.erase(lines_.begin() + index);
  FOwner->Fields().Delete(index);
}

void TFieldList::Insert(int index, std::string_view line) {
  if (index < 0 || index > Count()) ListIndexError(index);
  lines_.insert(lines_.begin() + index, std::string(line));
}

void TFieldList::Put(int index, std::string_view line) {
  CheckIndex(index);
  lines_[index] = std::string(line);
}

void TFieldList::Exchange(int a, int b) {
  CheckIndex(a);
  CheckIndex(b);
  std::swap(lines_[a], lines_[b]);
}

const std::string& TFieldList::Strings(int index) const {
  CheckIndex(index);
  return lines_[index];
}

void TFieldList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) ListIndexError(index);
}

// ------------------------------------------------------ ParseFieldDefinition

void ParseFieldDefinition(std::string_view line, TKordTable& table) {
  if (line.empty()) return;
  const size_t c = line.find(':');
  if (c == std::string_view::npos || c + 1 >= line.size()) return;
  const std::string name(line.substr(0, c));
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(line[c + 1])));
  std::string rest(line.substr(c + 1));
  if (line.find(';') == std::string_view::npos)
    throw EKordTableError(Utf8ToWin1250("Neukončená definice položky:") + name);
  if (std::string_view("ABDFNRT").find(letter) == std::string_view::npos) return;

  int64_t offset = table.Indexed() ? 1 : 0;
  for (int i = 0; i < table.Fields().Count(); ++i) offset += table.Fields().Fields(i)->DataSize();
  const std::string badDefinition = Utf8ToWin1250("Chybná definice položky:") + name;

  std::unique_ptr<TKordField> field;
  switch (letter) {
    case 'A': {
      auto a = std::make_unique<TKordFieldA>(&table, name, offset);
      a->SetScrambled(line.find('!') != std::string_view::npos);
      const size_t bang = rest.find('!');
      if (bang != std::string::npos) rest.erase(bang, 1);
      const size_t comma = rest.find(',');
      if (comma == std::string::npos) throw EKordTableError(badDefinition);
      a->SetSize(ToSize(Between(rest, comma), name));
      field = std::move(a);
      break;
    }
    case 'N': {
      auto n = std::make_unique<TKordFieldN>(&table, name, offset);
      const size_t comma = rest.find(',');
      if (comma == std::string::npos) throw EKordTableError(badDefinition);
      n->SetDigits(ToSize(Between(rest, comma), name));
      field = std::move(n);
      break;
    }
    case 'F': {
      auto f = std::make_unique<TKordFieldF>(&table, name, offset);
      const size_t comma = rest.find(',');
      if (comma == std::string::npos)
        throw EKordTableError(Utf8ToWin1250("Chybná definice položky") + name);
      const std::string tail = rest.substr(comma + 1);
      size_t sep = tail.find(',');
      if (sep == std::string::npos) sep = tail.find('.');
      if (sep == std::string::npos) throw EKordTableError(badDefinition);
      const int32_t intDigits = platform::StrToInt(tail.substr(0, sep));
      const int32_t decDigits = platform::StrToInt(Between(tail, sep));
      f->SetDigits(intDigits, decDigits);
      field = std::move(f);
      break;
    }
    case 'R':
      field = std::make_unique<TKordFieldR>(&table, name, offset);
      break;
    case 'D':
      field = std::make_unique<TKordFieldD>(&table, name, offset);
      break;
    case 'B':
      field = std::make_unique<TKordFieldB>(&table, name, offset);
      break;
    case 'T': {
      auto t = std::make_unique<TKordFieldT>(&table, name, offset);
      t->SetScrambled(line.find('!') != std::string_view::npos);
      field = std::move(t);
      break;
    }
  }
  table.Fields().Add(std::move(field));
}

}  // namespace kord
