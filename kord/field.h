// Kord field objects and the definition language that creates them. A
// definition line such as "UhrnPrij:F,8.2;" becomes a field with a name, a
// type, an offset in the record and a size; the field decodes its bytes from
// the table's current record on every call.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kord/decode.h"
#include "platform/variant.h"

namespace kord {

class TKordTable;
class TKordField;

enum class TKordFieldType {
  ftUnknown,
  ftFormatedFloat,
  ftFloat,
  ftString,
  ftNumberString,
  ftDateTime,
  ftBoolean,
  ftMemo
};
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

using TKordFieldNotifyEvent = std::function<void(TKordField& KordField, const std::string& Text)>;

class TKordField {
 public:
  TKordField(TKordTable* table, TKordFieldType type, std::string name, int64_t offset);
  virtual ~TKordField() = default;
  TKordField(const TKordField&) = delete;
  TKordField& operator=(const TKordField&) = delete;

  bool ReadOnly() const { return true; }
  TKordFieldType FieldType() const { return type_; }
  const std::string& FieldName() const { return fieldName_; }
  int64_t Offset() const { return offset_; }
  void SetOffset(int64_t offset) { offset_ = offset; }  // the table's Indexed shift
  TKordTable* KordTable() const { return table_; }
  TAlignment Alignment() const;
  const std::string& Name() const { return name_; }  // component name: empty

  TKordFieldNotifyEvent OnGetText;

  virtual uint16_t DataSize() const = 0;
  // Accessors a class does not provide raise EAbstractError "Abstract Error".
  virtual double AsFloat();
  virtual std::string AsString();
  virtual double AsDate();
  virtual double AsTime();
  virtual double AsDateTime();
  virtual bool AsBoolean();
  virtual platform::Variant AsVariant();

 protected:
  // The field's bytes of the current record; raises ": tabulka není otevřena"
  // when the table's data file is not open. Bytes beyond the record read as 0.
  const uint8_t* Bytes();
  void FireGetText(const std::string& text);

 private:
  TKordTable* table_;
  TKordFieldType type_;
  std::string fieldName_;
  std::string name_;
  int64_t offset_;
  std::vector<uint8_t> scratch_;
};

class TKordFieldF : public TKordField {
 public:
  TKordFieldF(TKordTable* t, std::string name, int64_t offset);
  int32_t IntDigits() const { return intDigits_; }
  int32_t DecDigits() const { return decDigits_; }
  // Raises Exception "Vadná délka položky F" when the sum lies outside 1 to 18.
  void SetDigits(int32_t intDigits, int32_t decDigits);
  uint16_t DataSize() const override { return size_; }
  double AsFloat() override;
  std::string AsString() override;
  platform::Variant AsVariant() override;

 private:
  int32_t intDigits_ = 15, decDigits_ = 3;
  uint16_t size_ = 8;
};

class TKordFieldR : public TKordField {
 public:
  TKordFieldR(TKordTable* t, std::string name, int64_t offset);
  uint16_t DataSize() const override { return 6; }
  double AsFloat() override;
  std::string AsString() override;
  platform::Variant AsVariant() override;
};

class TKordFieldA : public TKordField {
 public:
  TKordFieldA(TKordTable* t, std::string name, int64_t offset);
  uint16_t Size() const { return size_; }
  bool Scrambled() const { return scrambled_; }
  void SetSize(uint16_t size) { size_ = size; }
  void SetScrambled(bool value) { scrambled_ = value; }
  uint16_t DataSize() const override { return size_; }
  std::string AsString() override;
  platform::Variant AsVariant() override;

 private:
  uint16_t size_ = 0;
  bool scrambled_ = false;
};

class TKordFieldN : public TKordField {
 public:
  TKordFieldN(TKordTable* t, std::string name, int64_t offset);
  uint16_t Digits() const { return digits_; }
  void SetDigits(uint16_t digits);
  uint16_t DataSize() const override { return size_; }
  double AsFloat() override;
  std::string AsString() override;
  platform::Variant AsVariant() override;

 private:
  uint16_t digits_ = 0;
  uint16_t size_ = 0;
};

class TKordFieldD : public TKordField {
 public:
  TKordFieldD(TKordTable* t, std::string name, int64_t offset);
  uint16_t DataSize() const override { return 6; }
  double AsFloat() override;
  std::string AsString() override;
  double AsDate() override;
  double AsTime() override;
  double AsDateTime() override;
  platform::Variant AsVariant() override;
};

class TKordFieldB : public TKordField {
 public:
  TKordFieldB(TKordTable* t, std::string name, int64_t offset);
  uint16_t DataSize() const override { return 1; }
  double AsFloat() override;
  std::string AsString() override;
  bool AsBoolean() override;
  platform::Variant AsVariant() override;
};

class TKordFieldT : public TKordField {
 public:
  TKordFieldT(TKordTable* t, std::string name, int64_t offset);
  bool Scrambled() const { return scrambled_; }
  void SetScrambled(bool value) { scrambled_ = value; }
  int32_t MemoPosition() const { return memoPosition_; }
  uint16_t DataSize() const override { return 4; }
  std::string AsString() override;
  platform::Variant AsVariant() override;

 private:
  std::string Read(bool keepLineBreaks);
  bool scrambled_ = false;
  int32_t memoPosition_ = 0;
};

// The table's fields, in definition order; owns them.
class TKordFields {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // None when empty; an index outside the list raises EListError.
  TKordField* Fields(int index) const;
  int Add(std::unique_ptr<TKordField> field);
  void Delete(int index);
  void Clear();  // last to first
  // First field whose name matches without regard to case (ANSI upper-casing).
  TKordField* FindField(std::string_view name) const;

 private:
  std::vector<std::unique_ptr<TKordField>> items_;
};

// The definition lines of a table. Adding a line stores it without blanks and
// creates its field; Clear and Delete free fields too; the other operations
// touch only the text.
class TFieldList {
 public:
  explicit TFieldList(TKordTable* owner) : FOwner(owner) {}

  // Index of the stored line, or -1 when the line is not stored.
  int Add(std::string_view line);
  void Clear();
  void Delete(int index);
  void Insert(int index, std::string_view line);
  void Put(int index, std::string_view line);
  void Exchange(int a, int b);
  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& Strings(int index) const;
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  void CheckIndex(int index) const;
  TKordTable* FOwner;
  std::vector<std::string> lines_;
};

// Parses one line and, on success, appends its field to the table.
void ParseFieldDefinition(std::string_view line, TKordTable& table);

// Reads one memo text at `position` of `memo` (see format.h for the layout).
class ReadOnlyFile;
std::string ReadMemoText(ReadOnlyFile& memo, int32_t position, TCodingType mode,
                         bool keepLineBreaks, bool scrambled, bool encode);

}  // namespace kord
