#include "platform/regional.h"

#include <langinfo.h>
#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/errors.h"

namespace platform {
namespace {

// "%d.%m.%Y" and its kin to our pattern letters.
std::string FromStrftime(const char* fmt, bool time) {
  std::string out;
  for (const char* p = fmt; *p; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    ++p;
    bool noPad = false;
    if (*p == '-' || *p == '_') {
      noPad = true;
      ++p;
    }
    switch (*p) {
      case 'd':
        out += noPad ? "d" : "dd";
        break;
      case 'e':
        out += "d";
        break;
      case 'm':
        out += noPad ? "M" : "MM";
        break;
      case 'Y':
        out += "yyyy";
        break;
      case 'y':
        out += "yy";
        break;
      case 'H':
        out += noPad ? "H" : "HH";
        break;
      case 'k':
        out += "H";
        break;
      case 'I':
        out += noPad ? "h" : "hh";
        break;
      case 'l':
        out += "h";
        break;
      case 'M':
        out += "mm";
        break;
      case 'S':
        out += "ss";
        break;
      case 'p':
        out += "tt";
        break;
      case 'T':
        out += "HH:mm:ss";
        break;
      case 'D':
        out += "MM/dd/yy";
        break;
      case 'F':
        out += "yyyy-MM-dd";
        break;
      case '\0':
        return out;
      default:
        break;
    }
  }
  (void)time;
  return out;
}

bool IsRealLocaleName(const char* name) {
  if (!name || !*name) return false;
  return std::strcmp(name, "C") != 0 && std::strcmp(name, "POSIX") != 0 &&
         std::strncmp(name, "C.", 2) != 0;
}

const char* EnvLocale(const char* category) {
  for (const char* var : {"LC_ALL", category, "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return nullptr;
}

// The programs run on one thread; the settings are read once and then only
// replaced by SetRegional.
std::optional<RegionalSettings> gSettings;

bool IsLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}
const int kMonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                               {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// Days from 1 January of year 1 (day 1) in the proleptic Gregorian calendar.
int64_t DaysFromCivil(int y, int m, int d) {
  int64_t yy = y - 1;
  int64_t days = yy * 365 + yy / 4 - yy / 100 + yy / 400;
  for (int i = 0; i < m - 1; ++i) days += kMonthDays[IsLeap(y)][i];
  return days + d;
}
constexpr int64_t kDelta = 693594;  // day number of 30 December 1899

}  // namespace

RegionalSettings RegionalSettings::FromEnvironment() {
  RegionalSettings s;
  const char* numeric = EnvLocale("LC_NUMERIC");
  if (IsRealLocaleName(numeric)) {
    if (locale_t loc = ::newlocale(LC_NUMERIC_MASK, numeric, static_cast<locale_t>(0))) {
      const char* radix = ::nl_langinfo_l(RADIXCHAR, loc);
      if (radix && (radix[0] == ',' || radix[0] == '.') && radix[1] == 0)
        s.decimalSeparator = radix[0];
      ::freelocale(loc);
    }
  }
  const char* time = EnvLocale("LC_TIME");
  if (IsRealLocaleName(time)) {
    if (locale_t loc = ::newlocale(LC_TIME_MASK, time, static_cast<locale_t>(0))) {
      const std::string d = FromStrftime(::nl_langinfo_l(D_FMT, loc), false);
      const std::string t = FromStrftime(::nl_langinfo_l(T_FMT, loc), true);
      if (!d.empty()) s.shortDateFormat = d;
      if (!t.empty()) s.longTimeFormat = t;
      ::freelocale(loc);
    }
  }
  if (const char* sep = std::getenv("TISKFORM_DECIMAL_SEPARATOR")) {
    if (std::strcmp(sep, ",") == 0 || std::strcmp(sep, ".") == 0) s.decimalSeparator = sep[0];
  }
  return s;
}

const RegionalSettings& Regional() {
  if (!gSettings) gSettings = RegionalSettings::FromEnvironment();
  return *gSettings;
}

void SetRegional(const RegionalSettings& settings) {
  gSettings = settings;
}

std::optional<int64_t> TryStrToInt64(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool neg = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) neg = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  uint64_t v = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<uint64_t>(c - '0');
    if (v > (uint64_t{1} << 63)) return std::nullopt;
  }
  if (!neg && v > static_cast<uint64_t>(INT64_MAX)) return std::nullopt;
  return neg ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
}

int32_t StrToInt(std::string_view text) {
  const auto v = TryStrToInt64(text);
  if (!v || *v < INT32_MIN || *v > INT32_MAX)
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return static_cast<int32_t>(*v);
}

std::optional<double> TryStrToFloat(std::string_view text, char decimalSeparator) {
  // Blanks around the number are allowed, as the platform's conversion does.
  size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  if (b == e || e - b > 64) return std::nullopt;
  // Copied with '.' as the separator for from_chars, which knows no locale.
  char buf[72];
  size_t n = 0;
  size_t i = b;
  if (text[i] == '+') {
    ++i;
  } else if (text[i] == '-') {
    buf[n++] = '-';
    ++i;
  }
  bool digits = false, sep = false;
  for (; i < e; ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      buf[n++] = c;
      digits = true;
    } else if (c == decimalSeparator && !sep) {
      buf[n++] = '.';
      sep = true;
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  if (i < e && (text[i] == 'e' || text[i] == 'E')) {
    buf[n++] = 'e';
    ++i;
    if (i < e && (text[i] == '+' || text[i] == '-')) {
      if (text[i] == '-') buf[n++] = '-';
      ++i;
    }
    bool expDigits = false;
    for (; i < e && text[i] >= '0' && text[i] <= '9'; ++i) {
      buf[n++] = text[i];
      expDigits = true;
    }
    if (!expDigits) return std::nullopt;
  }
  if (i != e) return std::nullopt;
  double v = 0;
  const auto r = std::from_chars(buf, buf + n, v);
  if (r.ec != std::errc() || r.ptr != buf + n || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string FloatToStrGeneral(double value, int precision, char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  if (precision < 1) precision = 1;
  if (precision > 17) precision = 17;
  // Whole numbers that fit the precision are their digits (most payroll values).
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
    const long long whole = static_cast<long long>(value);
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, whole);
    const int count = static_cast<int>(r.ptr - digits) - (whole < 0 ? 1 : 0);
    if (count <= precision) return std::string(digits, r.ptr);
  }
  char buf[64];
  const auto res =
      std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::scientific, precision - 1);
  *res.ptr = '\0';
  // buf: [-]d.ddddde[+-]xx; the significant digits without trailing zeros.
  char digits[24];
  int n = 0;
  const char* p = buf;
  const bool neg = *p == '-';
  if (neg) ++p;
  for (; *p && *p != 'e'; ++p)
    if (*p != '.') digits[n++] = *p;
  const int exp10 = std::atoi(p + 1);
  while (n > 1 && digits[n - 1] == '0') --n;

  char out[64];
  int o = 0;
  if (neg) out[o++] = '-';
  if (exp10 < -5 || exp10 >= precision) {
    out[o++] = digits[0];
    if (n > 1) {
      out[o++] = decimalSeparator;
      for (int i = 1; i < n; ++i) out[o++] = digits[i];
    }
    o += std::snprintf(out + o, sizeof out - static_cast<size_t>(o), "E%d", exp10);
  } else if (exp10 < 0) {
    out[o++] = '0';
    out[o++] = decimalSeparator;
    for (int i = 0; i < -exp10 - 1; ++i) out[o++] = '0';
    for (int i = 0; i < n; ++i) out[o++] = digits[i];
  } else {
    const int intDigits = exp10 + 1;
    for (int i = 0; i < intDigits; ++i) out[o++] = i < n ? digits[i] : '0';
    if (n > intDigits) {
      out[o++] = decimalSeparator;
      for (int i = intDigits; i < n; ++i) out[o++] = digits[i];
    }
  }
  return std::string(out, static_cast<size_t>(o));
}

DateParts DecodeDateTime(double value) {
  DateParts parts;
  if (!std::isfinite(value) || std::fabs(value) > 3e6) return parts;
  double whole = std::trunc(value);
  double frac = std::fabs(value - whole);
  int64_t ms = std::llround(frac * 86400000.0);
  if (ms >= 86400000) {
    ms -= 86400000;
    whole += value < 0 ? -1 : 1;
  }
  int64_t day = static_cast<int64_t>(whole) + kDelta;  // day 1 = 1 January of year 1
  if (day < 1) day = 1;
  int y = static_cast<int>(day / 365.2425) + 1;
  while (y > 1 && DaysFromCivil(y, 1, 1) > day) --y;
  while (DaysFromCivil(y + 1, 1, 1) <= day) ++y;
  int64_t rem = day - DaysFromCivil(y, 1, 1);
  int m = 0;
  while (m < 11 && rem >= kMonthDays[IsLeap(y)][m]) rem -= kMonthDays[IsLeap(y)][m++];
  parts.year = y;
  parts.month = m + 1;
  parts.day = static_cast<int>(rem) + 1;
  parts.hour = static_cast<int>(ms / 3600000);
  parts.minute = static_cast<int>(ms / 60000 % 60);
  parts.second = static_cast<int>(ms / 1000 % 60);
  parts.millisecond = static_cast<int>(ms % 1000);
  return parts;
}

std::optional<double> EncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > kMonthDays[IsLeap(year)][month - 1])
    return std::nullopt;
  return static_cast<double>(DaysFromCivil(year, month, day) - kDelta);
}

double EncodeTime(int hour, int minute, int second, int millisecond) {
  return (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond) / 86400000.0;
}

std::string FormatDateTimePattern(std::string_view pattern, const DateParts& d) {
  std::string out;
  size_t i = 0;
  auto run = [&](char c) {
    size_t n = 0;
    while (i + n < pattern.size() && pattern[i + n] == c) ++n;
    return n;
  };
  auto num = [&](int v, size_t width) {
    std::string s = std::to_string(v);
    if (s.size() < width) s.insert(0, width - s.size(), '0');
    out += s;
  };
  while (i < pattern.size()) {
    const char c = pattern[i];
    size_t n = 1;
    switch (c) {
      case 'd':
        n = run('d');
        num(d.day, n >= 2 ? 2 : 1);
        break;
      case 'M':
        n = run('M');
        num(d.month, n >= 2 ? 2 : 1);
        break;
      case 'y':
        n = run('y');
        if (n >= 3)
          num(d.year, 4);
        else
          num(d.year % 100, 2);
        break;
      case 'H':
        n = run('H');
        num(d.hour, n >= 2 ? 2 : 1);
        break;
      case 'h': {
        n = run('h');
        int h = d.hour % 12;
        num(h == 0 ? 12 : h, n >= 2 ? 2 : 1);
        break;
      }
      case 'm':
        n = run('m');
        num(d.minute, n >= 2 ? 2 : 1);
        break;
      case 's':
        n = run('s');
        num(d.second, n >= 2 ? 2 : 1);
        break;
      case 't':
        n = run('t');
        out += d.hour < 12 ? "AM" : "PM";
        break;
      default:
        out += c;
        break;
    }
    i += n;
  }
  return out;
}

std::string DateToStr(double value) {
  return FormatDateTimePattern(Regional().shortDateFormat, DecodeDateTime(value));
}

std::string DateTimeToStr(double value) {
  const DateParts d = DecodeDateTime(value);
  std::string s = FormatDateTimePattern(Regional().shortDateFormat, d);
  if (d.hour || d.minute || d.second)
    s += " " + FormatDateTimePattern(Regional().longTimeFormat, d);
  return s;
}

std::optional<double> TryStrToDateTime(std::string_view text) {
  // Numbers in the order of the short date pattern, then an optional H:mm[:ss].
  std::vector<int> nums;
  std::vector<int> widths;
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  auto readNum = [&](int& v, int& w) {
    size_t st = i;
    v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - st < 9)
      v = v * 10 + (text[i++] - '0');
    w = static_cast<int>(i - st);
    return w > 0;
  };
  int v, w;
  for (int k = 0; k < 3; ++k) {
    if (!readNum(v, w)) return std::nullopt;
    nums.push_back(v);
    widths.push_back(w);
    if (k < 2) {
      if (i >= text.size() || (text[i] != '.' && text[i] != '/' && text[i] != '-'))
        return std::nullopt;
      ++i;
      while (i < text.size() && text[i] == ' ') ++i;
    }
  }
  // Order of day, month and year as the pattern has them.
  const std::string& pat = Regional().shortDateFormat;
  std::string order;
  for (char c : pat)
    if ((c == 'd' || c == 'M' || c == 'y') && order.find(c) == std::string::npos) order += c;
  if (order.size() != 3) order = "dMy";
  int day = 0, month = 0, year = 0, yearWidth = 4;
  for (int k = 0; k < 3; ++k) {
    if (order[k] == 'd') day = nums[k];
    if (order[k] == 'M') month = nums[k];
    if (order[k] == 'y') {
      year = nums[k];
      yearWidth = widths[k];
    }
  }
  if (yearWidth <= 2) year += year < 50 ? 2000 : 1900;
  auto date = EncodeDate(year, month, day);
  if (!date) return std::nullopt;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i == text.size()) return date;
  int h, mi = 0, s = 0;
  if (!readNum(h, w) || i >= text.size() || text[i] != ':') return std::nullopt;
  ++i;
  if (!readNum(mi, w)) return std::nullopt;
  if (i < text.size() && text[i] == ':') {
    ++i;
    if (!readNum(s, w)) return std::nullopt;
  }
  while (i < text.size() && text[i] == ' ') ++i;
  if (i != text.size() || h > 23 || mi > 59 || s > 59) return std::nullopt;
  const double t = EncodeTime(h, mi, s, 0);
  return *date >= 0 ? *date + t : *date - t;
}

}  // namespace platform
