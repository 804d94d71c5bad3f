#include "kord/table.h"

#include <cerrno>
#include <cstring>

#include "kord/format.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/win1250.h"

namespace kord {

using platform::Utf8ToWin1250;

TKordTable::TKordTable(std::string name) : name_(std::move(name)) {}

TKordTable::~TKordTable() {
  if (active_) {
    try {
      DoClose();
    } catch (...) {
      // An event handler's error cannot leave a destructor.
    }
  }
  definition_.Clear();
}

void TKordTable::Raise(const std::string& text) const {
  throw EKordTableError(name_ + text);
}

void TKordTable::Fire(const TKordTableNotifyEvent& event) {
  if (event) event(*this);
}

void TKordTable::SetActive(bool value) {
  if (value == active_) return;
  if (value)
    DoOpen();
  else
    DoClose();
}

void TKordTable::SetTableFolder(const std::string& folder) {
  if (folder.empty()) {
    tableFolder_.clear();
  } else if (!platform::DirectoryExists(folder)) {
    tableFolder_.clear();
    Raise(Utf8ToWin1250(": uvedený adresář neexistuje"));
  } else {
    tableFolder_ = platform::IncludeTrailingBackslash(folder);
  }
  dataFileName_.clear();
}

std::string TKordTable::TableName() const {
  return platform::ExtractFileName(dataFileName_);
}

void TKordTable::SetTableName(const std::string& value) {
  if (value.empty()) {
    dataFileName_.clear();
    return;
  }
  const bool hasFolder = !platform::ExtractFilePath(value).empty();
  std::string name = value;
  if (!hasFolder && !tableFolder_.empty()) name = tableFolder_ + value;
  if (!platform::FileExists(name)) {
    dataFileName_.clear();
    Raise(Utf8ToWin1250(": uvedená tabulka neexistuje"));
  }
  dataFileName_ = name;
  if (!platform::ExtractFilePath(name).empty()) {
    tableFolder_ = platform::IncludeTrailingBackslash(platform::ExtractFilePath(name));
  } else {
    tableFolder_ = platform::IncludeTrailingBackslash(platform::GetCurrentDir());
    dataFileName_ = tableFolder_ + value;
  }
  // The memo file: the data file's extension becomes ".T" and its 3rd and 4th characters.
  const std::string ext = platform::ExtractFileExt(dataFileName_);
  memoFileName_ = dataFileName_.substr(0, dataFileName_.size() - ext.size()) + ".T" +
                  (ext.size() > 2 ? ext.substr(2, 2) : std::string());
}

void TKordTable::SetFieldsDefinition(const std::vector<std::string>& lines) {
  definition_.Clear();
  for (const std::string& line : lines) definition_.Add(line);
}

void TKordTable::SetIndexed(bool value) {
  if (value == indexed_ || active_) return;
  indexed_ = value;
  const int n = fields_.Count();
  if (n == 0) return;
  const int64_t first = fields_.Fields(0)->Offset();
  if (value && first == 0) {
    for (int i = 0; i < n; ++i) fields_.Fields(i)->SetOffset(fields_.Fields(i)->Offset() + 1);
  } else if (!value && first == 1) {
    for (int i = 0; i < n; ++i) fields_.Fields(i)->SetOffset(fields_.Fields(i)->Offset() - 1);
  }
}

void TKordTable::SetExclusive(bool value) {
  if (value == exclusive_) return;
  if (active_) Raise(Utf8ToWin1250(": nelze přepnout, tabulka je otevřena"));
  exclusive_ = value;
}

int64_t TKordTable::DefinitionLength() const {
  int64_t length = 0;
  for (int i = 0; i < fields_.Count(); ++i) {
    const TKordField* f = fields_.Fields(i);
    length = std::max(length, f->Offset() + f->DataSize());
  }
  return length;
}

void TKordTable::DoOpen() {
  Fire(OnBeforeOpen);
  const int64_t definitionLength = DefinitionLength();
  if (definitionLength == 0) Raise(Utf8ToWin1250(": nejsou nadefinovány položky"));
  if (dataFileName_.empty()) Raise(Utf8ToWin1250(": není nadefinována tabulka"));

  auto openFile = [this](const std::string& name) {
    auto file = ReadOnlyFile::Open(platform::ResolvePath(name), exclusive_);
    if (!file) throw platform::EFOpenError("Cannot open file " + name);
    return file;
  };
  std::unique_ptr<ReadOnlyFile> data = openFile(dataFileName_);
  std::unique_ptr<ReadOnlyFile> memo;
  for (int i = 0; i < fields_.Count(); ++i)
    if (fields_.Fields(i)->FieldType() == TKordFieldType::ftMemo) {
      memo = openFile(memoFileName_);
      break;
    }

  uint8_t header[kHeaderSize];
  const bool haveHeader = data->ReadAt(0, header, kHeaderSize);
  int32_t count = 0;
  uint16_t length = 0;
  if (haveHeader) {
    std::memcpy(&count, header + kHeaderCountOffset, 4);
    length =
        static_cast<uint16_t>(header[kHeaderLengthOffset] | header[kHeaderLengthOffset + 1] << 8);
  }
  // 64-bit, so a crafted count cannot wrap the product into a matching size.
  const uint64_t absCount = count < 0 ? uint64_t{0} - static_cast<uint64_t>(int64_t{count})
                                      : static_cast<uint64_t>(count);
  if (!haveHeader || data->size() != kHeaderSize + absCount * length)
    throw EFileError(Utf8ToWin1250("Datový soubor je porušen") + "\n" + dataFileName_);
  if (definitionLength != length) Raise(Utf8ToWin1250(": chyba v definici položek nebo indexu"));

  headerCount_ = static_cast<uint32_t>(absCount);
  recordLength_ = length;
  recordBuffer_.assign(length, 0);
  scratch_.assign(length, 0);
  dataFile_ = std::move(data);
  memoFile_ = std::move(memo);
  active_ = true;
  Fire(OnAfterOpen);
  CountLiveRecords();
}

void TKordTable::CountLiveRecords() {
  pos_ = kHeaderSize;
  int32_t count = 0;
  const uint64_t size = dataFile_->size();
  if (!indexed_) {
    const uint64_t records = recordLength_ ? (size - kHeaderSize) / recordLength_ : 0;
    count = static_cast<int32_t>(std::min<uint64_t>(records, INT32_MAX));
    pos_ += records * recordLength_;
  } else {
    while (recordLength_ > 0 && size - pos_ >= recordLength_) {
      uint8_t flag;
      if (!dataFile_->ReadAt(pos_, &flag, 1)) break;
      if (flag == kLiveFlag && count < INT32_MAX) ++count;
      pos_ += recordLength_;
    }
  }
  recordCount_ = count;
}

void TKordTable::DoClose() {
  Fire(OnBeforeClose);
  dataFile_.reset();
  memoFile_.reset();
  recordBuffer_.clear();
  recordBuffer_.shrink_to_fit();
  scratch_.clear();
  active_ = false;
  Fire(OnAfterClose);
  recordCount_ = -1;
}

void TKordTable::CheckOpen() const {
  if (!dataFile_) Raise(Utf8ToWin1250(": tabulka není otevřena"));
}

bool TKordTable::ReadRecord() {
  if (!dataFile_->ReadAt(pos_, scratch_.data(), recordLength_)) return false;
  pos_ += recordLength_;
  return true;
}

void TKordTable::First() {
  CheckOpen();
  Fire(OnBeforeScroll);
  pos_ = kHeaderSize;
  while (ReadRecord()) {
    if (IsLive(scratch_.data())) {
      recordBuffer_.swap(scratch_);
      break;
    }
  }
  Fire(OnAfterScroll);
}

void TKordTable::Last() {
  CheckOpen();
  Fire(OnBeforeScroll);
  const uint64_t size = dataFile_->size();
  if (size >= kHeaderSize + uint64_t{recordLength_}) {
    pos_ = size - recordLength_;
    bool ok = ReadRecord();
    while (ok && !IsLive(scratch_.data()) && pos_ > kHeaderSize + uint64_t{recordLength_}) {
      pos_ -= 2 * uint64_t{recordLength_};
      ok = ReadRecord();
    }
    if (ok && IsLive(scratch_.data())) recordBuffer_.swap(scratch_);
  }
  Fire(OnAfterScroll);
}

void TKordTable::Next() {
  CheckOpen();
  if (pos_ >= dataFile_->size()) return;
  Fire(OnBeforeScroll);
  while (ReadRecord()) {
    if (IsLive(scratch_.data())) {
      recordBuffer_.swap(scratch_);
      break;
    }
  }
  Fire(OnAfterScroll);
}

void TKordTable::Prior() {
  CheckOpen();
  if (pos_ <= kHeaderSize + uint64_t{recordLength_}) return;
  Fire(OnBeforeScroll);
  bool ok;
  do {
    pos_ -= 2 * uint64_t{recordLength_};
    ok = ReadRecord();
  } while (ok && !IsLive(scratch_.data()) && pos_ > kHeaderSize + uint64_t{recordLength_});
  if (ok && IsLive(scratch_.data())) recordBuffer_.swap(scratch_);
  Fire(OnAfterScroll);
}

void TKordTable::GetFieldNames(std::vector<std::string>& list) const {
  list.clear();
  for (int i = 0; i < fields_.Count(); ++i) list.push_back(fields_.Fields(i)->FieldName());
}

}  // namespace kord
