// Regional settings (decimal separator, short date and long time formats) and
// the number and date texts built on them. Czech defaults; a real process
// locale overrides them; TISKFORM_DECIMAL_SEPARATOR overrides the separator.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct RegionalSettings {
  char decimalSeparator = ',';
  std::string shortDateFormat = "d.M.yyyy";  // d dd M MM yy yyyy
  std::string longTimeFormat = "H:mm:ss";    // H HH h hh mm ss tt

  // Czech defaults, the process locale, then the environment.
  static RegionalSettings FromEnvironment();
};

// The settings in force; read once from the environment on first use.
const RegionalSettings& Regional();
void SetRegional(const RegionalSettings& settings);  // for tests and callers

// Whole numbers: optional blanks, optional sign, decimal digits; signed 32-bit.
// Throws EConvertError "'%s' is not a valid integer value".
int32_t StrToInt(std::string_view text);
std::optional<int64_t> TryStrToInt64(std::string_view text);

// Decimal number with the regional separator; optional exponent.
std::optional<double> TryStrToFloat(std::string_view text, char decimalSeparator);

// General number format: the shortest text with at most `precision`
// significant digits; scientific below 0.00001 or with more integer digits
// than the precision.
std::string FloatToStrGeneral(double value, int precision, char decimalSeparator);
inline std::string FloatToStrGeneral(double value, int precision) {
  return FloatToStrGeneral(value, precision, Regional().decimalSeparator);
}

// Calendar of the date-time number: days since 30 December 1899, fraction the time of day.
struct DateParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};
DateParts DecodeDateTime(double value);
std::optional<double> EncodeDate(int year, int month, int day);
double EncodeTime(int hour, int minute, int second, int millisecond);

std::string FormatDateTimePattern(std::string_view pattern, const DateParts& parts);
// The "c" format: short date, and the long time when the time is not midnight.
std::string DateTimeToStr(double value);
std::string DateToStr(double value);
// Reads a date (short date order) with an optional time; nullopt when it does not convert.
std::optional<double> TryStrToDateTime(std::string_view text);

}  // namespace platform
