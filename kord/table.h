// TKordTable reads one Kord table: a data file of fixed-length records and,
// when the table has memo fields, its memo file. It only reads: it never
// writes, creates or locks records. Navigation walks the file itself; only
// live records become current.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kord/errors.h"
#include "kord/field.h"
#include "kord/file.h"
#include "kord/format.h"

namespace kord {

class TKordTable;
using TKordTableNotifyEvent = std::function<void(TKordTable& KordTable)>;

class TKordTable {
 public:
  explicit TKordTable(std::string name = {});
  ~TKordTable();
  TKordTable(const TKordTable&) = delete;
  TKordTable& operator=(const TKordTable&) = delete;

  const std::string& Name() const { return name_; }

  bool Active() const { return active_; }
  void SetActive(bool value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }

  const std::string& TableFolder() const { return tableFolder_; }
  void SetTableFolder(const std::string& folder);
  std::string TableName() const;
  void SetTableName(const std::string& name);
  const std::string& DataFileName() const { return dataFileName_; }
  const std::string& MemoFileName() const { return memoFileName_; }

  TFieldList& FieldsDefinition() { return definition_; }
  const TFieldList& FieldsDefinition() const { return definition_; }
  // Frees every field and builds the fields from `lines`.
  void SetFieldsDefinition(const std::vector<std::string>& lines);

  bool Indexed() const { return indexed_; }
  void SetIndexed(bool value);
  bool Encode() const { return encode_; }
  void SetEncode(bool value) { encode_ = value; }
  TCodingType EncodeMode() const { return encodeMode_; }
  void SetEncodeMode(TCodingType mode) { encodeMode_ = mode; }
  bool CutTrailSPC() const { return cutTrailSpc_; }
  void SetCutTrailSPC(bool value) { cutTrailSpc_ = value; }
  bool Exclusive() const { return exclusive_; }
  void SetExclusive(bool value);
  bool ReadOnly() const { return true; }
  void SetReadOnly(bool) {}

  TKordTableNotifyEvent OnBeforeOpen, OnBeforeClose, OnBeforeScroll;
  TKordTableNotifyEvent OnAfterOpen, OnAfterClose, OnAfterScroll;

  void First();
  void Last();
  void Next();
  void Prior();
  int32_t RecordCount() const { return recordCount_; }
  void GetFieldNames(std::vector<std::string>& list) const;
  TKordField* FieldByName(std::string_view name) const { return fields_.FindField(name); }

  TKordFields& Fields() { return fields_; }
  const TKordFields& Fields() const { return fields_; }
  uint16_t RecordLength() const { return recordLength_; }
  uint32_t HeaderCount() const { return headerCount_; }  // absolute value, as read at open
  // Largest Offset + DataSize over all fields.
  int64_t DefinitionLength() const;

  // What the fields decode from: the current record (zero bytes until one is current).
  bool DataFileOpen() const { return dataFile_ != nullptr; }
  const std::vector<uint8_t>& RecordBuffer() const { return recordBuffer_; }
  ReadOnlyFile* MemoFile() const { return memoFile_.get(); }

 private:
  void DoOpen();
  void DoClose();
  void Fire(const TKordTableNotifyEvent& event);
  [[noreturn]] void Raise(const std::string& text) const;
  bool IsLive(const uint8_t* record) const { return !indexed_ || record[0] == kLiveFlag; }
  // Reads the record at pos_ into scratch and advances pos_; false on failure.
  bool ReadRecord();
  void CountLiveRecords();
  void CheckOpen() const;

  std::string name_;
  bool indexed_ = false;
  bool cutTrailSpc_ = false;
  bool active_ = false;
  bool exclusive_ = false;
  std::unique_ptr<ReadOnlyFile> dataFile_;
  std::string dataFileName_;
  std::unique_ptr<ReadOnlyFile> memoFile_;
  std::string memoFileName_;
  std::string tableFolder_;
  std::vector<uint8_t> recordBuffer_;
  std::vector<uint8_t> scratch_;
  uint32_t headerCount_ = 0;
  uint16_t recordLength_ = 0;
  int32_t recordCount_ = -1;
  TFieldList definition_{this};
  TKordFields fields_;
  TCodingType encodeMode_ = TCodingType::emLatin2;
  bool encode_ = true;
  uint64_t pos_ = 0;  // the read position in the data file
};

}  // namespace kord
