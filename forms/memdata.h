// An in-memory dataset with typed persistent fields and calculated fields:
// records are inserted before the current one (or kept sorted on one text
// field), stored compactly, and decoded into one current-record buffer when
// fetched. The calculated-field handler runs after every assignment while a
// record is inserted and again at every fetch.
#pragma once

#include <climits>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/errors.h"
#include "platform/variant.h"

namespace forms {

enum class FieldType {
  kText,
  kInt16,
  kInt32,
  kCurrency,
  kFloat,
  kDate,
  kDateTime,
  kBoolean,
  kBlob
};
const char* FieldTypeName(FieldType type);  // text, int16, ..., blob

struct FieldDef {
  std::string name;
  FieldType type;
  int size = 0;  // text fields; 0 means the default 20
  bool calculated = false;
  int displayWidth = 0;
};

// The dataset's errors: "M_VP: Field 'X' not found" and the like.
class EDatabaseError : public platform::Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "EDatabaseError"; }
};

class MemDataset;

// One field of a dataset; reads and writes the dataset's current record.
class MemField {
 public:
  const std::string& FieldName() const { return def_.name; }
  FieldType DataType() const { return def_.type; }
  int Size() const { return def_.size; }
  bool Calculated() const { return def_.calculated; }
  int DisplayWidth() const { return def_.displayWidth; }
  int Index() const { return index_; }

  bool IsNull() const;
  // Text form: as stored; decimal digits; the shortest decimal with at most 15
  // significant digits and the regional separator; the regional date formats;
  // "True"/"False". Null gives the empty text.
  std::string AsString() const;
  // A text or blob field's stored bytes, valid until the record changes.
  std::string_view TextView() const;
  int32_t AsInteger() const;
  int64_t AsCurrency() const;  // ten-thousandths
  double AsFloat() const;
  bool AsBoolean() const;
  double AsDateTime() const;

  // Converts the text to the field's type under the regional settings; an
  // empty text clears the field; a text that does not convert raises
  // EConvertError and leaves the field as it was; a long text is cut to Size.
  void SetAsString(std::string_view text);
  void SetAsInteger(int64_t value);
  void SetAsCurrency(int64_t tenThousandths);
  void SetAsFloat(double value);
  void SetAsBoolean(bool value);
  void SetAsDateTime(double value);
  void SetAsVariant(const platform::Variant& value);
  void Clear();

 private:
  friend class MemDataset;
  void PutNumber(int64_t i, double d);  // stores a non-null number and tells the dataset
  MemField(MemDataset* ds, FieldDef def, int index)
      : ds_(ds), def_(std::move(def)), index_(index) {}
  MemDataset* ds_;
  FieldDef def_;
  int index_;
};

enum class DataSetState { kInactive, kBrowse, kInsert, kCalcFields };

class MemDataset {
 public:
  using CalcHandler = std::function<void(MemDataset&)>;

  MemDataset(std::string name, std::vector<FieldDef> fields);
  ~MemDataset();
  MemDataset(const MemDataset&) = delete;
  MemDataset& operator=(const MemDataset&) = delete;

  const std::string& Name() const { return name_; }
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  MemField& Field(int index) { return *fields_[index]; }
  const MemField& Field(int index) const { return *fields_[index]; }
  MemField* FindField(std::string_view name);    // case ignored; nullptr when none
  MemField& FieldByName(std::string_view name);  // raises "<Name>: Field 'x' not found"

  // The handler computes the calculated fields of the current record. One
  // whose only effect is on those fields may run when they are read instead
  // of after every assignment: the values are the same.
  CalcHandler OnCalcFields;
  // Asked each time: whether the handler does more than compute the fields.
  std::function<bool()> calcHasSideEffects;

  // Keeps the records in ascending order of a text field, comparing bytes with
  // only a..z folded to upper case; records with equal keys keep insertion order.
  void SetSortedField(std::string_view name);
  const std::string& SortedField() const { return sortedField_; }

  bool Active() const { return state_ != DataSetState::kInactive; }
  DataSetState State() const { return state_; }
  void Open();
  void Close();  // drops the records

  void Insert();  // a new empty record before the current one
  void Post();
  void Cancel();

  int RecordCount() const { return static_cast<int>(order_.size()); }
  int RecNo() const { return current_; }  // 0-based; -1 when empty
  void First();
  void Last();
  void Next();
  void Prior();
  void MoveTo(int index);
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }

  size_t StoredBytes() const;  // the records as stored, for memory accounting

 private:
  friend class MemField;
  struct Value {
    bool null = true;
    int64_t i = 0;  // integers, currency, Booleans
    double d = 0;   // float, date, date-time
    std::string s;  // text, blob
  };

  void CheckActive() const;
  Value& Slot(int index) { return buffer_[index]; }
  const Value& Read(int index) const;
  void Modified(int index);
  void RunCalc();
  void Fetch();
  void Encode() const;  // into encodeScratch_
  std::string_view Stored(uint32_t id) const {
    const RecordRef& r = records_[id];
    return {chunks_[r.chunk].get() + r.offset, r.length};
  }
  void Store();  // encodeScratch_ as a new record
  void ResetBuffer();
  void Decode(std::string_view record);
  void EnsureSorted();

  std::string name_;
  std::vector<std::unique_ptr<MemField>> fields_;
  // Field names without regard to case, looked up without building a new text.
  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const;
  };
  struct NameEq {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
  };
  std::unordered_map<std::string, int, NameHash, NameEq> byName_;  // name → first index
  std::string sortedField_;
  int sortedIndex_ = -1;
  bool sortDirty_ = false;

  DataSetState state_ = DataSetState::kInactive;
  // Records by id, compactly encoded one after another in one pool.
  struct RecordRef {
    uint32_t chunk;
    uint32_t offset;
    uint32_t length;
  };
  // Filled chunk by chunk, never moved: growing one buffer would copy it all.
  std::vector<std::unique_ptr<char[]>> chunks_;
  size_t chunkUsed_ = 0, chunkSize_ = 0, chunkBytes_ = 0;
  std::vector<RecordRef> records_;
  mutable std::string encodeScratch_;
  std::deque<uint32_t> order_;  // record ids in dataset order
  int current_ = -1;
  uint32_t currentId_ = UINT32_MAX;  // sorted mode: the record to find again after sorting
  int insertAt_ = 0;
  bool eof_ = true, bof_ = true;
  std::vector<Value> buffer_;  // the current record, decoded
  bool calcDirty_ = false;
  bool inCalc_ = false;
};

}  // namespace forms
