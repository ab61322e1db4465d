#include "dates/TOLMDateParser.h"

#include <array>
#include <cstring>
#include <limits>
#include <string>

#include "dates/TOLMCivilCalendar.h"
#include "dates/TOLMDate.h"

namespace {

namespace civil = TOLMCivilCalendar;

struct Token {
  enum Kind { Number, Word, Mark } kind = Mark;
  std::int64_t value = 0;  // Number
  int digits = 0;          // Number
  char mark = 0;           // Mark: one of / : - ,
  std::array<char, 12> word{};  // Word, lower case, dots removed
  bool is(const char* text) const { return kind == Word && std::strcmp(word.data(), text) == 0; }
  bool isMark(char c) const { return kind == Mark && mark == c; }
};

constexpr std::size_t kMaxTokens = 24;
constexpr int kMaxDigits = 10;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Splits the text into numbers, words and marks; false for anything else.
bool tokenize(std::string_view text, std::array<Token, kMaxTokens>& tokens, std::size_t& count) {
  count = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (isSpace(c)) {
      ++i;
      continue;
    }
    if (count == kMaxTokens) return false;
    Token& token = tokens[count++];
    token = Token{};
    if (isDigit(c)) {
      token.kind = Token::Number;
      while (i < text.size() && isDigit(text[i])) {
        if (++token.digits > kMaxDigits) return false;
        token.value = token.value * 10 + (text[i++] - '0');
      }
    } else if (isLetter(c)) {
      // "p.m." and "Jul." read as "pm" and "jul".
      token.kind = Token::Word;
      std::size_t length = 0;
      while (i < text.size() && (isLetter(text[i]) || text[i] == '.')) {
        if (text[i] != '.') {
          if (length + 1 >= token.word.size()) return false;
          token.word[length++] = lower(text[i]);
        }
        ++i;
      }
    } else if (c == '/' || c == ':' || c == '-' || c == ',') {
      token.mark = c;
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

int monthOfWord(const Token& token) {
  static const char* const kMonths[12] = {"january", "february", "march",     "april",   "may",      "june",
                                          "july",    "august",   "september", "october", "november", "december"};
  if (token.kind != Token::Word) return 0;
  const std::size_t length = std::strlen(token.word.data());
  if (length < 3) return 0;
  for (int m = 0; m < 12; ++m) {
    if (length <= std::strlen(kMonths[m]) && std::strncmp(kMonths[m], token.word.data(), length) == 0) return m + 1;
  }
  return 0;
}

bool isMeridiem(const Token& token) { return token.is("am") || token.is("pm"); }

bool isOrdinal(const Token& token) {
  return token.is("st") || token.is("nd") || token.is("rd") || token.is("th");
}

// The reading as it is assembled; years stay 64-bit until checked.
struct Reading {
  enum class DateKind { None, Absolute, ThisYear, Relative } dateKind = DateKind::None;
  std::int64_t year = 0;
  std::int64_t month = 0;
  std::int64_t day = 0;
  int dayOffset = 0;
  bool hasTime = false;
  std::int64_t hour = 0;
  std::int64_t minute = 0;
  std::int64_t second = 0;
};

class Grammar {
 public:
  Grammar(const std::array<Token, kMaxTokens>& tokens, std::size_t count) : t_(tokens), n_(count) {}

  bool read(Reading& r) {
    std::size_t i = 0;
    while (i < n_) {
      if (t_[i].isMark(',') && i > 0 && i + 1 < n_) {
        ++i;
      } else if (t_[i].is("at") && !r.hasTime) {
        if (!time(++i, r)) return false;
      } else if (r.dateKind == Reading::DateKind::None && date(i, r)) {
        // "2005-07-04T09:05:00"
        if (lastWasIso_ && i < n_ && t_[i].is("t") && !time(++i, r)) return false;
      } else if (!r.hasTime && time(i, r)) {
      } else {
        return false;
      }
    }
    return r.dateKind != Reading::DateKind::None || r.hasTime;
  }

 private:
  bool number(std::size_t i, int maxDigits = kMaxDigits) const {
    return i < n_ && t_[i].kind == Token::Number && t_[i].digits <= maxDigits;
  }
  bool mark(std::size_t i, char c) const { return i < n_ && t_[i].isMark(c); }
  // A number that starts a time ("9:05", "9 pm") is not a year.
  bool startsTime(std::size_t i) const { return mark(i + 1, ':') || (i + 1 < n_ && isMeridiem(t_[i + 1])); }

  bool date(std::size_t& i, Reading& r) {
    lastWasIso_ = false;
    if (i < n_ && (t_[i].is("today") || t_[i].is("tomorrow") || t_[i].is("yesterday"))) {
      r.dateKind = Reading::DateKind::Relative;
      r.dayOffset = t_[i].is("today") ? 0 : t_[i].is("tomorrow") ? 1 : -1;
      ++i;
      return true;
    }
    // m/d/y or m/d
    if (number(i, 2) && mark(i + 1, '/') && number(i + 2, 2)) {
      r.month = t_[i].value;
      r.day = t_[i + 2].value;
      if (mark(i + 3, '/')) {
        if (!number(i + 4)) return false;
        r.year = t_[i + 4].value;
        r.dateKind = Reading::DateKind::Absolute;
        i += 5;
      } else {
        r.dateKind = Reading::DateKind::ThisYear;
        i += 3;
      }
      return true;
    }
    // y-m-d
    if (number(i) && t_[i].digits >= 4 && mark(i + 1, '-') && number(i + 2, 2) && mark(i + 3, '-') &&
        number(i + 4, 2)) {
      r.year = t_[i].value;
      r.month = t_[i + 2].value;
      r.day = t_[i + 4].value;
      r.dateKind = Reading::DateKind::Absolute;
      i += 5;
      lastWasIso_ = true;
      return true;
    }
    // "July 4, 2005", "Jul 4", "4 July 2005"
    std::size_t j = i;
    if (const int m = i < n_ ? monthOfWord(t_[i]) : 0; m != 0 && number(i + 1, 2) && !startsTime(i + 1)) {
      r.month = m;
      r.day = t_[i + 1].value;
      j = i + 2;
    } else if (number(i, 2) && !startsTime(i)) {
      std::size_t k = i + 1;
      if (k < n_ && isOrdinal(t_[k])) ++k;
      const int month = k < n_ ? monthOfWord(t_[k]) : 0;
      if (month == 0) return false;
      r.month = month;
      r.day = t_[i].value;
      j = k + 1;
    } else {
      return false;
    }
    if (j < n_ && isOrdinal(t_[j]) && monthOfWord(t_[i]) != 0) ++j;
    std::size_t y = mark(j, ',') ? j + 1 : j;
    if (number(y) && !startsTime(y)) {
      r.year = t_[y].value;
      r.dateKind = Reading::DateKind::Absolute;
      i = y + 1;
    } else {
      r.dateKind = Reading::DateKind::ThisYear;
      i = j;
    }
    return true;
  }

  bool time(std::size_t& i, Reading& r) {
    if (i < n_ && (t_[i].is("noon") || t_[i].is("midnight"))) {
      r.hour = t_[i].is("noon") ? 12 : 0;
      r.minute = r.second = 0;
      r.hasTime = true;
      ++i;
      return true;
    }
    if (!number(i, 2)) return false;
    std::size_t j = i + 1;
    r.hour = t_[i].value;
    r.minute = r.second = 0;
    if (mark(j, ':')) {
      if (!number(j + 1) || t_[j + 1].digits != 2) return false;
      r.minute = t_[j + 1].value;
      j += 2;
      if (mark(j, ':')) {
        if (!number(j + 1) || t_[j + 1].digits != 2) return false;
        r.second = t_[j + 1].value;
        j += 2;
      }
    } else if (!(j < n_ && isMeridiem(t_[j]))) {
      return false;  // a bare number is no time
    }
    if (j < n_ && isMeridiem(t_[j])) {
      if (r.hour < 1 || r.hour > 12) {
        r.hour = -1;  // unreadable: 0 am, 13 pm
      } else {
        r.hour = r.hour % 12 + (t_[j].is("pm") ? 12 : 0);
      }
      ++j;
    }
    r.hasTime = true;
    i = j;
    return true;
  }

  const std::array<Token, kMaxTokens>& t_;
  std::size_t n_;
  bool lastWasIso_ = false;
};

}  // namespace

std::optional<std::int64_t> TOLMDateParser::parse(std::string_view text) {
  std::array<Token, kMaxTokens> tokens;
  std::size_t count = 0;
  if (!tokenize(text, tokens, count) || count == 0) return std::nullopt;
  Reading r;
  if (!Grammar(tokens, count).read(r)) return std::nullopt;

  std::int64_t year = r.year;
  std::int64_t days = 0;
  if (r.dateKind != Reading::DateKind::Absolute) {
    const TOLMDate today = TOLMDate::init();
    year = today.year();
    days = civil::daysFromCivil(today.year(), today.month(), today.day()) + r.dayOffset;
  }
  if (r.dateKind == Reading::DateKind::Absolute || r.dateKind == Reading::DateKind::ThisYear) {
    if (year > std::numeric_limits<std::int32_t>::max() || r.month < 1 || r.month > 12 || r.day < 1 ||
        r.day > civil::daysInMonth(year, static_cast<int>(r.month))) {
      return std::nullopt;
    }
    days = civil::daysFromCivil(year, static_cast<int>(r.month), static_cast<int>(r.day));
  }
  if (r.hour < 0 || r.hour > 23 || r.minute > 59 || r.second > 59) return std::nullopt;
  return days * 86400 + r.hour * 3600 + r.minute * 60 + r.second;
}

std::optional<TOLMDate> dateForString(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && isSpace(text[first])) ++first;
  while (last > first && isSpace(text[last - 1])) --last;
  if (first == last) return std::nullopt;
  const std::optional<std::int64_t> local = TOLMDateParser::parse(std::string_view(text).substr(first, last - first));
  return local ? TOLMDate(*local) : TOLMDate();
}
