#include "forms/memdata.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/regional.h"
#include "platform/win1250.h"

namespace forms {
namespace {

using platform::EConvertError;

uint64_t GetVarint(std::string_view in, size_t& pos) {
  uint64_t v = 0;
  for (int shift = 0; pos < in.size(); shift += 7) {
    const uint8_t b = static_cast<uint8_t>(in[pos++]);
    v |= static_cast<uint64_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) break;
  }
  return v;
}

uint64_t ZigZag(int64_t v) {
  return (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63);
}
int64_t UnZigZag(uint64_t v) {
  return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1);
}

// Decimal text with the regional separator to ten-thousandths, rounding half
// away from zero; exponents go through a double.
std::optional<int64_t> ParseCurrency(std::string_view text, char sep) {
  size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  std::string_view t = text.substr(b, e - b);
  if (t.find_first_of("eE") != std::string_view::npos) {
    const auto d = platform::TryStrToFloat(t, sep);
    if (!d || std::fabs(*d) > 9.2e14) return std::nullopt;
    return std::llround(*d * 10000.0);
  }
  size_t i = 0;
  bool neg = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) neg = t[i++] == '-';
  uint64_t v = 0;
  constexpr uint64_t kLimit = static_cast<uint64_t>(INT64_MAX) / 10 - 1;
  int decimals = 0;
  bool digits = false, seenSep = false;
  int roundDigit = -1;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c >= '0' && c <= '9') {
      digits = true;
      if (!seenSep || decimals < 4) {
        if (v > kLimit) return std::nullopt;
        v = v * 10 + static_cast<uint64_t>(c - '0');
        if (seenSep) ++decimals;
      } else if (roundDigit < 0) {
        roundDigit = c - '0';
      }
    } else if (c == sep && !seenSep) {
      seenSep = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  for (; decimals < 4; ++decimals) {
    if (v > kLimit) return std::nullopt;
    v *= 10;
  }
  if (roundDigit >= 5) ++v;
  return neg ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
}

std::string CurrencyText(int64_t v) {
  return platform::FloatToStrGeneral(static_cast<double>(v) / 10000.0, 15);
}

char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

// Bytes compared unsigned, only a..z folded.
bool SortKeyLess(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const uint8_t x = static_cast<uint8_t>(UpperAscii(a[i]));
    const uint8_t y = static_cast<uint8_t>(UpperAscii(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

}  // namespace

const char* FieldTypeName(FieldType type) {
  switch (type) {
    case FieldType::kText:
      return "text";
    case FieldType::kInt16:
      return "int16";
    case FieldType::kInt32:
      return "int32";
    case FieldType::kCurrency:
      return "currency";
    case FieldType::kFloat:
      return "float";
    case FieldType::kDate:
      return "date";
    case FieldType::kDateTime:
      return "datetime";
    case FieldType::kBoolean:
      return "boolean";
    case FieldType::kBlob:
      return "blob";
  }
  return "?";
}

// ------------------------------------------------------------------ MemField

bool MemField::IsNull() const {
  return ds_->Read(index_).null;
}

std::string MemField::AsString() const {
  const auto& v = ds_->Read(index_);
  if (v.null) return {};
  switch (def_.type) {
    case FieldType::kText:
    case FieldType::kBlob:
      return v.s;
    case FieldType::kInt16:
    case FieldType::kInt32:
      return std::to_string(v.i);
    case FieldType::kCurrency:
      return CurrencyText(v.i);
    case FieldType::kFloat:
      return platform::FloatToStrGeneral(v.d, 15);
    case FieldType::kDate:
      return platform::DateToStr(v.d);
    case FieldType::kDateTime:
      return platform::DateTimeToStr(v.d);
    case FieldType::kBoolean:
      return v.i ? "True" : "False";
  }
  return {};
}

std::string_view MemField::TextView() const {
  return ds_->Read(index_).s;
}

int32_t MemField::AsInteger() const {
  const auto& v = ds_->Read(index_);
  if (v.null) return 0;
  switch (def_.type) {
    case FieldType::kInt16:
    case FieldType::kInt32:
    case FieldType::kBoolean:
      return static_cast<int32_t>(v.i);
    case FieldType::kCurrency:
      return static_cast<int32_t>(std::llround(static_cast<double>(v.i) / 10000.0));
    case FieldType::kFloat:
    case FieldType::kDate:
    case FieldType::kDateTime:
      return static_cast<int32_t>(std::llround(v.d));
    default:
      return platform::StrToInt(v.s);
  }
}

int64_t MemField::AsCurrency() const {
  const auto& v = ds_->Read(index_);
  if (v.null) return 0;
  switch (def_.type) {
    case FieldType::kCurrency:
      return v.i;
    case FieldType::kInt16:
    case FieldType::kInt32:
    case FieldType::kBoolean:
      return v.i * 10000;
    case FieldType::kFloat:
    case FieldType::kDate:
    case FieldType::kDateTime:
      return std::llround(v.d * 10000.0);
    default: {
      const auto c = ParseCurrency(v.s, platform::Regional().decimalSeparator);
      if (!c) throw EConvertError("'" + v.s + "' is not a valid floating point value");
      return *c;
    }
  }
}

double MemField::AsFloat() const {
  const auto& v = ds_->Read(index_);
  if (v.null) return 0;
  switch (def_.type) {
    case FieldType::kCurrency:
      return static_cast<double>(v.i) / 10000.0;
    case FieldType::kInt16:
    case FieldType::kInt32:
    case FieldType::kBoolean:
      return static_cast<double>(v.i);
    case FieldType::kFloat:
    case FieldType::kDate:
    case FieldType::kDateTime:
      return v.d;
    default: {
      const auto d = platform::TryStrToFloat(v.s, platform::Regional().decimalSeparator);
      if (!d) throw EConvertError("'" + v.s + "' is not a valid floating point value");
      return *d;
    }
  }
}

bool MemField::AsBoolean() const {
  const auto& v = ds_->Read(index_);
  if (v.null) return false;
  if (def_.type == FieldType::kText) return platform::AnsiSameText(v.s, "True");
  return def_.type == FieldType::kFloat || def_.type == FieldType::kDate ||
                 def_.type == FieldType::kDateTime
             ? v.d != 0
             : v.i != 0;
}

double MemField::AsDateTime() const {
  const auto& v = ds_->Read(index_);
  if (v.null) return 0;
  if (def_.type == FieldType::kText) {
    const auto d = platform::TryStrToDateTime(v.s);
    if (!d) throw EConvertError("'" + v.s + "' is not a valid date and time");
    return *d;
  }
  return AsFloat();
}

void MemField::SetAsString(std::string_view text) {
  if (text.empty()) {
    Clear();
    return;
  }
  auto fail = [&](const char* what) -> void {
    throw EConvertError("'" + std::string(text) + "' is not a valid " + what);
  };
  const char sep = platform::Regional().decimalSeparator;
  int64_t i = 0;
  double d = 0;
  switch (def_.type) {
    case FieldType::kText:
    case FieldType::kBlob: {
      const size_t size = def_.type == FieldType::kBlob ? text.size()
                          : def_.size > 0               ? static_cast<size_t>(def_.size)
                                                        : 20;
      MemDataset::Value& v = ds_->Slot(index_);
      v.null = false;
      v.s.assign(text.substr(0, size));
      ds_->Modified(index_);
      return;
    }
    case FieldType::kInt16:
    case FieldType::kInt32: {
      const auto n = platform::TryStrToInt64(text);
      if (!n || *n < INT32_MIN || *n > INT32_MAX) fail("integer value");
      SetAsInteger(*n);
      return;
    }
    case FieldType::kCurrency: {
      const auto c = ParseCurrency(text, sep);
      if (!c) fail("floating point value");
      i = *c;
      break;
    }
    case FieldType::kFloat: {
      const auto f = platform::TryStrToFloat(text, sep);
      if (!f) fail("floating point value");
      d = *f;
      break;
    }
    case FieldType::kDate:
    case FieldType::kDateTime: {
      const auto f = platform::TryStrToDateTime(text);
      if (!f) fail("date");
      d = def_.type == FieldType::kDate ? std::trunc(*f) : *f;
      break;
    }
    case FieldType::kBoolean: {
      // A beginning of "False" or "True", case ignored, as the platform's Boolean field takes it.
      auto prefixOf = [&](std::string_view word) {
        return text.size() <= word.size() &&
               platform::AnsiSameText(text, word.substr(0, text.size()));
      };
      if (prefixOf("False"))
        i = 0;
      else if (prefixOf("True"))
        i = 1;
      else
        throw EConvertError("'" + std::string(text) + "' is not a valid boolean value for field '" +
                            def_.name + "'");
      break;
    }
  }
  PutNumber(i, d);
}

void MemField::PutNumber(int64_t i, double d) {
  MemDataset::Value& v = ds_->Slot(index_);
  v.null = false;
  v.i = i;
  v.d = d;
  v.s.clear();
  ds_->Modified(index_);
}

void MemField::SetAsInteger(int64_t value) {
  int64_t i = 0;
  double d = 0;
  switch (def_.type) {
    case FieldType::kInt16:
    case FieldType::kInt32: {
      const int64_t lo = def_.type == FieldType::kInt16 ? -32768 : INT32_MIN;
      const int64_t hi = def_.type == FieldType::kInt16 ? 32767 : INT32_MAX;
      if (value < lo || value > hi)
        throw platform::ERangeError(std::to_string(value) + " is not a valid value for field '" +
                                    def_.name + "'. The allowed range is " + std::to_string(lo) +
                                    " to " + std::to_string(hi));
      i = value;
      break;
    }
    case FieldType::kCurrency:
      i = value * 10000;
      break;
    case FieldType::kBoolean:
      i = value != 0;
      break;
    case FieldType::kFloat:
    case FieldType::kDate:
    case FieldType::kDateTime:
      d = static_cast<double>(value);
      break;
    default:
      SetAsString(std::to_string(value));
      return;
  }
  PutNumber(i, d);
}

void MemField::SetAsCurrency(int64_t tenThousandths) {
  if (def_.type != FieldType::kCurrency) {
    SetAsFloat(static_cast<double>(tenThousandths) / 10000.0);
    return;
  }
  PutNumber(tenThousandths, 0);
}

void MemField::SetAsFloat(double value) {
  switch (def_.type) {
    case FieldType::kFloat:
    case FieldType::kDate:
    case FieldType::kDateTime: {
      PutNumber(0, def_.type == FieldType::kDate ? std::trunc(value) : value);
      return;
    }
    case FieldType::kCurrency:
      SetAsCurrency(std::llround(value * 10000.0));
      return;
    case FieldType::kInt16:
    case FieldType::kInt32:
      SetAsInteger(std::llround(value));
      return;
    case FieldType::kBoolean:
      SetAsBoolean(value != 0);
      return;
    default:
      SetAsString(platform::FloatToStrGeneral(value, 15));
      return;
  }
}

void MemField::SetAsBoolean(bool value) {
  if (def_.type != FieldType::kBoolean) {
    SetAsString(value ? "True" : "False");
    return;
  }
  PutNumber(value, 0);
}

void MemField::SetAsDateTime(double value) {
  SetAsFloat(value);
}

void MemField::SetAsVariant(const platform::Variant& value) {
  if (value.IsBool())
    SetAsBoolean(value.AsBool());
  else if (value.IsDouble())
    SetAsFloat(value.AsDouble());
  else
    SetAsString(value.AsString());
}

void MemField::Clear() {
  MemDataset::Value& v = ds_->Slot(index_);
  v.null = true;
  v.i = 0;
  v.d = 0;
  v.s.clear();
  ds_->Modified(index_);
}

// ---------------------------------------------------------------- MemDataset

MemDataset::MemDataset(std::string name, std::vector<FieldDef> fields) : name_(std::move(name)) {
  for (size_t i = 0; i < fields.size(); ++i) {
    byName_.emplace(fields[i].name, static_cast<int>(i));
    fields_.push_back(
        std::unique_ptr<MemField>(new MemField(this, std::move(fields[i]), static_cast<int>(i))));
  }
  buffer_.resize(fields_.size());
}

MemDataset::~MemDataset() = default;

size_t MemDataset::NameHash::operator()(std::string_view s) const {
  size_t h = 14695981039346656037ull;
  for (char c : s)
    h = (h ^ platform::AnsiUpperChar(static_cast<unsigned char>(c))) * 1099511628211ull;
  return h;
}

bool MemDataset::NameEq::operator()(std::string_view a, std::string_view b) const {
  return platform::AnsiSameText(a, b);
}

MemField* MemDataset::FindField(std::string_view name) {
  const auto it = byName_.find(name);
  return it == byName_.end() ? nullptr : fields_[it->second].get();
}

MemField& MemDataset::FieldByName(std::string_view name) {
  MemField* f = FindField(name);
  if (!f) throw EDatabaseError(name_ + ": Field '" + std::string(name) + "' not found");
  return *f;
}

void MemDataset::SetSortedField(std::string_view name) {
  sortedField_ = std::string(name);
  MemField* f = name.empty() ? nullptr : FindField(name);
  sortedIndex_ = f ? f->Index() : -1;
  sortDirty_ = true;
}

void MemDataset::CheckActive() const {
  if (state_ == DataSetState::kInactive)
    throw EDatabaseError(name_ + ": Cannot perform this operation on a closed dataset");
}

void MemDataset::Open() {
  if (Active()) return;
  state_ = DataSetState::kBrowse;
  current_ = -1;
  eof_ = bof_ = true;
  for (auto& v : buffer_) v = Value{};
}

void MemDataset::Close() {
  state_ = DataSetState::kInactive;
  records_.clear();
  records_.shrink_to_fit();
  chunks_.clear();
  chunkUsed_ = chunkSize_ = chunkBytes_ = 0;
  order_.clear();
  current_ = -1;
  for (auto& v : buffer_) v = Value{};
}

const MemDataset::Value& MemDataset::Read(int index) const {
  if (calcDirty_ && fields_[index]->Calculated()) const_cast<MemDataset*>(this)->RunCalc();
  return buffer_[index];
}

void MemDataset::Modified(int index) {
  if (inCalc_) return;
  if (state_ != DataSetState::kInsert) {
    throw EDatabaseError(name_ + ": Dataset not in edit or insert mode");
  }
  if (fields_[index]->Calculated()) return;
  if (!OnCalcFields) return;
  if (calcHasSideEffects && calcHasSideEffects())
    RunCalc();
  else
    calcDirty_ = true;
}

void MemDataset::RunCalc() {
  if (!OnCalcFields || inCalc_) {
    calcDirty_ = false;
    return;
  }
  for (size_t i = 0; i < fields_.size(); ++i)
    if (fields_[i]->Calculated()) buffer_[i] = Value{};
  inCalc_ = true;
  calcDirty_ = false;
  try {
    OnCalcFields(*this);
  } catch (...) {
    inCalc_ = false;
    throw;
  }
  inCalc_ = false;
}

void MemDataset::Insert() {
  CheckActive();
  if (state_ == DataSetState::kInsert) Post();
  // A sorted dataset places the record when it is next looked at.
  insertAt_ = current_ < 0 || sortedIndex_ >= 0 ? 0 : current_;
  ResetBuffer();
  state_ = DataSetState::kInsert;
  calcDirty_ = static_cast<bool>(OnCalcFields);
}

void MemDataset::Encode() const {
  // Room for the worst case first, then raw writes: appending byte by byte
  // costs more than the encoding itself.
  size_t bound = 0;
  for (size_t i = 0; i < fields_.size(); ++i)
    if (!buffer_[i].null) bound += 20 + buffer_[i].s.size();
  std::string& out = encodeScratch_;
  out.resize(bound);
  char* o = out.data();
  auto varint = [&o](uint64_t v) {
    while (v >= 0x80) {
      *o++ = static_cast<char>(v | 0x80);
      v >>= 7;
    }
    *o++ = static_cast<char>(v);
  };
  for (size_t i = 0; i < fields_.size(); ++i) {
    const Value& v = buffer_[i];
    if (v.null || fields_[i]->Calculated()) continue;
    varint(i);
    switch (fields_[i]->DataType()) {
      case FieldType::kText:
      case FieldType::kBlob:
        varint(v.s.size());
        std::memcpy(o, v.s.data(), v.s.size());
        o += v.s.size();
        break;
      case FieldType::kFloat:
      case FieldType::kDate:
      case FieldType::kDateTime:
        std::memcpy(o, &v.d, 8);
        o += 8;
        break;
      default:
        varint(ZigZag(v.i));
        break;
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
}

void MemDataset::ResetBuffer() {
  for (auto& v : buffer_) {
    v.null = true;
    v.i = 0;
    v.d = 0;
    v.s.clear();
  }
}

void MemDataset::Decode(std::string_view record) {
  ResetBuffer();
  size_t pos = 0;
  while (pos < record.size()) {
    const size_t i = GetVarint(record, pos);
    Value& v = buffer_[i];
    v.null = false;
    switch (fields_[i]->DataType()) {
      case FieldType::kText:
      case FieldType::kBlob: {
        const size_t n = GetVarint(record, pos);
        v.s.assign(record.substr(pos, n));
        pos += n;
        break;
      }
      case FieldType::kFloat:
      case FieldType::kDate:
      case FieldType::kDateTime:
        std::memcpy(&v.d, record.data() + pos, 8);
        pos += 8;
        break;
      default:
        v.i = UnZigZag(GetVarint(record, pos));
        break;
    }
  }
}

void MemDataset::Post() {
  if (state_ != DataSetState::kInsert) return;
  const uint32_t id = static_cast<uint32_t>(records_.size());
  Encode();
  Store();
  if (sortedIndex_ >= 0) {
    // Sorted lazily: the run inserts many records before anyone looks.
    order_.push_back(id);
    sortDirty_ = true;
    current_ = static_cast<int>(order_.size()) - 1;
  } else {
    order_.insert(order_.begin() + insertAt_, id);
    current_ = insertAt_;
  }
  state_ = DataSetState::kBrowse;
  eof_ = bof_ = false;
  // The posted record is fetched again: its calculated fields once more (when
  // the handler does more than compute them; otherwise when they are read).
  if (calcHasSideEffects && calcHasSideEffects())
    RunCalc();
  else
    calcDirty_ = static_cast<bool>(OnCalcFields);
  if (sortedIndex_ >= 0) currentId_ = id;
}

void MemDataset::Cancel() {
  if (state_ != DataSetState::kInsert) return;
  state_ = DataSetState::kBrowse;
  if (current_ >= 0) Fetch();
}

void MemDataset::EnsureSorted() {
  if (!sortDirty_ || sortedIndex_ < 0) return;
  sortDirty_ = false;
  std::vector<std::string> keys(records_.size());
  for (uint32_t id : order_) {
    Decode(Stored(id));
    keys[id] = buffer_[sortedIndex_].s;
  }
  std::vector<uint32_t> ids(order_.begin(), order_.end());
  std::stable_sort(ids.begin(), ids.end(),
                   [&](uint32_t a, uint32_t b) { return SortKeyLess(keys[a], keys[b]); });
  order_.assign(ids.begin(), ids.end());
  if (currentId_ != UINT32_MAX) {
    const auto it = std::find(order_.begin(), order_.end(), currentId_);
    current_ = it == order_.end() ? -1 : static_cast<int>(it - order_.begin());
  }
  if (current_ >= 0) Fetch();
}

void MemDataset::Fetch() {
  Decode(Stored(order_[current_]));
  RunCalc();
}

void MemDataset::MoveTo(int index) {
  CheckActive();
  if (state_ == DataSetState::kInsert) Post();
  EnsureSorted();
  currentId_ = UINT32_MAX;
  if (order_.empty()) {
    current_ = -1;
    eof_ = bof_ = true;
    return;
  }
  current_ = std::clamp(index, 0, RecordCount() - 1);
  Fetch();
}

void MemDataset::First() {
  MoveTo(0);
  bof_ = true;
  eof_ = order_.empty();
}

void MemDataset::Last() {
  MoveTo(RecordCount() - 1);
  eof_ = true;
  bof_ = order_.empty();
}

void MemDataset::Next() {
  CheckActive();
  EnsureSorted();
  if (current_ + 1 >= RecordCount()) {
    eof_ = true;
    return;
  }
  MoveTo(current_ + 1);
  bof_ = false;
}

void MemDataset::Prior() {
  CheckActive();
  EnsureSorted();
  if (current_ <= 0) {
    bof_ = true;
    return;
  }
  MoveTo(current_ - 1);
  eof_ = false;
}

void MemDataset::Store() {
  constexpr size_t kChunk = 1 << 20;
  const size_t n = encodeScratch_.size();
  if (chunks_.empty() || chunkUsed_ + n > chunkSize_) {
    chunkSize_ = std::max(kChunk, n);
    chunks_.emplace_back(new char[chunkSize_]);
    chunkBytes_ += chunkSize_;
    chunkUsed_ = 0;
  }
  std::memcpy(chunks_.back().get() + chunkUsed_, encodeScratch_.data(), n);
  records_.push_back({static_cast<uint32_t>(chunks_.size() - 1), static_cast<uint32_t>(chunkUsed_),
                      static_cast<uint32_t>(n)});
  chunkUsed_ += n;
}

size_t MemDataset::StoredBytes() const {
  return chunkBytes_ + records_.capacity() * sizeof(RecordRef) + order_.size() * sizeof(uint32_t);
}

}  // namespace forms
