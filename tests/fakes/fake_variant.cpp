#include "fakes/fake_variant.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace tavrel::fakes {
namespace {

constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";
constexpr long kSecondsPerDay = 86400;

std::string_view Trim(std::string_view s) {
  const size_t first = s.find_first_not_of(kWhiteSpace);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kWhiteSpace) - first + 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// ---- calendar ----

// Days from 1899-12-30 to a date of the proleptic Gregorian calendar.
constexpr long DaysFromCivil(long y, long m, long d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25569;  // 25569: 1899-12-30 to 1970-01-01
}

struct Civil {
  long year, month, day;
};

Civil CivilFromDays(long days) {
  const long z = days - 25569 + 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const long day = doy - (153 * mp + 2) / 5 + 1;
  const long month = mp < 10 ? mp + 3 : mp - 9;
  return {yoe + era * 400 + (month <= 2), month, day};
}

long DaysInMonth(long year, long month) {
  return DaysFromCivil(month == 12 ? year + 1 : year, month == 12 ? 1 : month + 1, 1) -
         DaysFromCivil(year, month, 1);
}

constexpr long kFirstDay = DaysFromCivil(100, 1, 1);
constexpr long kLastDay = DaysFromCivil(9999, 12, 31);
static_assert(DaysFromCivil(1899, 12, 30) == 0 && kFirstDay == -657434 && kLastDay == 2958465);

// A DATE's day and time of day: the integer part counts days, the fraction
// (counting forward even below zero) the time, to the nearest second.
struct DayAndTime {
  long day;
  long seconds;
};

DayAndTime Split(double date) {
  const double whole = std::trunc(date);
  DayAndTime split{static_cast<long>(whole), std::lround(std::fabs(date - whole) * kSecondsPerDay)};
  if (split.seconds == kSecondsPerDay) {
    split.seconds = 0;
    split.day += date < 0 ? -1 : 1;
  }
  return split;
}

OleDate Join(long day, double seconds) {
  const double time = seconds / kSecondsPerDay;
  return OleDate{day < 0 ? day - time : day + time};
}

// ---- numbers ----

// digits * 10^exponent, digits without leading zeros.
struct Decimal {
  bool negative = false;
  std::string digits;
  long exponent = 0;
};

// Sign, parentheses and white space around the number; true when negative.
bool TakeSign(std::string_view& s) {
  bool negative = false;
  const bool leadingSign = !s.empty() && (s.front() == '+' || s.front() == '-');
  if (leadingSign) {
    negative = s.front() == '-';
    s = Trim(s.substr(1));
  }
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
    negative = true;
    s = Trim(s.substr(1, s.size() - 2));
  }
  if (!leadingSign && !s.empty() && (s.back() == '+' || s.back() == '-')) {
    negative = s.back() == '-';
    s = Trim(s.substr(0, s.size() - 1));
  }
  return negative;
}

std::optional<long> TakeExponent(std::string_view s) {
  if (s.empty()) return 0;
  if (s.front() != 'e' && s.front() != 'E') return std::nullopt;
  s.remove_prefix(1);
  const bool negative = !s.empty() && s.front() == '-';
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
  if (s.empty() || !std::all_of(s.begin(), s.end(), IsDigit)) return std::nullopt;
  long value = 0;
  for (char c : s) value = std::min(value * 10 + (c - '0'), 100000L);
  return negative ? -value : value;
}

std::optional<Decimal> ParseNumber(std::string_view text) {
  std::string_view s = Trim(text);
  Decimal number;
  number.negative = TakeSign(s);
  size_t i = 0;
  // Thousands separators may follow any digit of the integer part.
  for (; i < s.size() && (IsDigit(s[i]) || (s[i] == ',' && !number.digits.empty())); ++i) {
    if (s[i] != ',') number.digits += s[i];
  }
  if (i < s.size() && s[i] == '.') {
    for (++i; i < s.size() && IsDigit(s[i]); ++i) {
      number.digits += s[i];
      --number.exponent;
    }
  }
  const auto exponent = TakeExponent(s.substr(i));
  if (number.digits.empty() || !exponent) return std::nullopt;
  number.exponent += *exponent;
  number.digits.erase(0, number.digits.find_first_not_of('0'));
  return number;
}

// The magnitude rounded half to even, or nothing when it exceeds 32768.
std::optional<long> RoundHalfEven(const Decimal& number) {
  const long point = static_cast<long>(number.digits.size()) + number.exponent;
  if (number.digits.empty() || point < 0) return 0;
  if (point > 5) return std::nullopt;
  std::string whole = number.digits.substr(0, static_cast<size_t>(point));
  whole.resize(static_cast<size_t>(point), '0');
  long value = whole.empty() ? 0 : std::stol(whole);
  const std::string fraction = number.exponent < 0 ? number.digits.substr(whole.size()) : "";
  if (!fraction.empty()) {
    const bool pastHalf = fraction.find_first_not_of('0', 1) != std::string::npos;
    if (fraction[0] > '5' || (fraction[0] == '5' && (pastHalf || value % 2 == 1))) ++value;
  }
  if (value > 32768) return std::nullopt;
  return value;
}

// ---- date text ----

class Reader {
 public:
  explicit Reader(std::string_view s) : s_(s) {}
  bool AtEnd() const { return i_ == s_.size(); }
  size_t Position() const { return i_; }
  void Rewind(size_t position) { i_ = position; }
  bool Take(char c) { return i_ < s_.size() && s_[i_] == c ? (++i_, true) : false; }
  bool TakeSpaces() {
    const size_t start = i_;
    while (i_ < s_.size() && kWhiteSpace.find(s_[i_]) != std::string_view::npos) ++i_;
    return i_ > start;
  }
  // Up to four digits; the number and how many digits it had.
  std::optional<std::pair<long, size_t>> Number() {
    const size_t start = i_;
    long value = 0;
    while (i_ < s_.size() && IsDigit(s_[i_]) && i_ - start < 4)
      value = value * 10 + (s_[i_++] - '0');
    if (i_ == start || (i_ < s_.size() && IsDigit(s_[i_]))) return std::nullopt;
    return std::pair{value, i_ - start};
  }

 private:
  std::string_view s_;
  size_t i_ = 0;
};

std::optional<long> ReadDay(Reader& in) {
  const auto year = in.Number();
  if (!year) return std::nullopt;
  const char separator = in.Take('/') ? '/' : in.Take('-') ? '-' : '\0';
  if (!separator) return std::nullopt;
  const auto month = in.Number();
  if (!month || !in.Take(separator)) return std::nullopt;
  const auto day = in.Number();
  if (!day) return std::nullopt;
  long y = year->first;
  // Two-digit years fall in 1950 to 2049, the calendar's default window on
  // current Windows (and under Wine).
  if (year->second <= 2) y += y < 50 ? 2000 : 1900;
  if (y < 100 || month->first < 1 || month->first > 12 || day->first < 1 ||
      day->first > DaysInMonth(y, month->first)) {
    return std::nullopt;
  }
  return DaysFromCivil(y, month->first, day->first);
}

std::optional<long> ReadSeconds(Reader& in) {
  const auto hour = in.Number();
  if (!hour || !in.Take(':')) return std::nullopt;
  const auto minute = in.Number();
  if (!minute) return std::nullopt;
  std::optional<std::pair<long, size_t>> second = std::pair{0L, size_t{0}};
  if (in.Take(':')) second = in.Number();
  if (!second || hour->first > 23 || minute->first > 59 || second->first > 59) {
    return std::nullopt;
  }
  return hour->first * 3600 + minute->first * 60 + second->first;
}

std::optional<OleDate> ParseDate(std::string_view text) {
  Reader in(Trim(text));
  const size_t start = in.Position();
  std::optional<long> day = ReadDay(in);
  std::optional<long> seconds;
  if (!day) {
    in.Rewind(start);
    seconds = ReadSeconds(in);
  } else if (in.TakeSpaces()) {
    seconds = ReadSeconds(in);
    if (!seconds) return std::nullopt;
  }
  if ((!day && !seconds) || !in.AtEnd()) return std::nullopt;
  return Join(day.value_or(0), static_cast<double>(seconds.value_or(0)));
}

std::string FormatDay(long day) {
  const Civil c = CivilFromDays(day);
  char text[64];
  std::snprintf(text, sizeof text, "%04ld/%02ld/%02ld", c.year, c.month, c.day);
  return text;
}

std::string FormatTime(long seconds) {
  char text[64];
  std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60,
                seconds % 60);
  return text;
}

}  // namespace

OleDate MakeOleDate(int year, int month, int day, int hour, int minute, double second) {
  return Join(DaysFromCivil(year, month, day), hour * 3600.0 + minute * 60.0 + second);
}

HRESULT FakeVariantConversions::VarI2FromStr(const char16_t* strIn, LCID, ULONG, SHORT* psOut) {
  if (!strIn || !psOut) return kEInvalidArg;
  const auto number = ParseNumber(Utf16ToUtf8(strIn));
  if (!number) return kDispETypeMismatch;
  const auto magnitude = RoundHalfEven(*number);
  if (!magnitude || *magnitude > (number->negative ? 32768 : 32767)) return kDispEOverflow;
  *psOut = static_cast<SHORT>(number->negative ? -*magnitude : *magnitude);
  return kSOk;
}

HRESULT FakeVariantConversions::VarDateFromStr(const char16_t* strIn, LCID, ULONG,
                                               OleDate* pdateOut) {
  if (!strIn || !pdateOut) return kEInvalidArg;
  const auto date = ParseDate(Utf16ToUtf8(strIn));
  if (!date) return kDispETypeMismatch;
  *pdateOut = *date;
  return kSOk;
}

HRESULT FakeVariantConversions::VarBstrFromDate(OleDate dateIn, LCID, ULONG,
                                                std::u16string* pbstrOut) {
  if (!pbstrOut || !(dateIn.value > kFirstDay - 1 && dateIn.value < kLastDay + 1)) {
    return kEInvalidArg;
  }
  const DayAndTime split = Split(dateIn.value);
  std::string text;
  if (split.day == 0) {
    text = FormatTime(split.seconds);
  } else {
    text = FormatDay(split.day);
    if (split.seconds != 0) text += ' ' + FormatTime(split.seconds);
  }
  *pbstrOut = Utf8ToUtf16(text);
  return kSOk;
}

}  // namespace tavrel::fakes
