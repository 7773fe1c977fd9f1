#include "framework/util/StringUtil.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace Kit {

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string StringToUpper(const std::string& text) {
  std::string result = text;
  std::transform(result.begin(), result.end(), result.begin(), Upper);
  return result;
}

std::string StringToLower(const std::string& text) {
  std::string result = text;
  std::transform(result.begin(), result.end(), result.begin(), Lower);
  return result;
}

std::string Trim(const std::string& text) {
  auto first = std::find_if_not(text.begin(), text.end(), IsSpace);
  auto last = std::find_if_not(text.rbegin(), text.rend(), IsSpace).base();
  return first < last ? std::string(first, last) : std::string();
}

bool StringToInt(const std::string& text, int& value) {
  value = 0;
  if (text.empty()) return false;
  // Unsigned arithmetic: values wrap as on the 32-bit machine, without undefined behaviour.
  std::uint32_t number = 0;
  std::uint32_t radix = 10;
  bool negative = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (i == 0 && c == '-') {
      negative = true;
    } else if ((c == 'x' || c == 'X') && i == 1 && text[0] == '0' && radix == 10) {
      radix = 16;
    } else if (radix == 10 && IsDigit(c)) {
      number = number * 10 + static_cast<std::uint32_t>(c - '0');
    } else if (radix == 16 && HexDigit(c) >= 0) {
      number = number * 16 + static_cast<std::uint32_t>(HexDigit(c));
    } else {
      return false;
    }
  }
  if (negative) number = 0u - number;
  value = static_cast<int>(number);
  return true;
}

bool StringToDouble(const std::string& text, double& value) {
  value = 0.0;
  if (text.empty()) return false;
  double number = 0.0;
  std::size_t i = 0;
  bool negative = text[0] == '-';
  if (negative) ++i;
  for (; i < text.size() && IsDigit(text[i]); ++i) number = number * 10 + (text[i] - '0');
  if (i < text.size()) {
    if (text[i] != '.') return false;
    double factor = 0.1;
    for (++i; i < text.size(); ++i) {
      if (!IsDigit(text[i])) return false;
      number += (text[i] - '0') * factor;
      factor *= 0.1;
    }
  }
  value = negative ? -number : number;
  return true;
}

std::string CommaSeparate(int value) {
  if (value == 0) return "0";
  std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
  std::string reversed;
  for (int digits = 0; magnitude > 0; ++digits, magnitude /= 10) {
    if (digits > 0 && digits % 3 == 0) reversed += ',';
    reversed += static_cast<char>('0' + magnitude % 10);
  }
  if (value < 0) reversed += '-';
  return std::string(reversed.rbegin(), reversed.rend());
}

std::string VFormat(const char* format, va_list args) {
  if (format == nullptr) return {};
  va_list measure;
  va_copy(measure, args);
  int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length <= 0) return {};
  std::size_t kept = std::min(static_cast<std::size_t>(length), kMaxFormattedLength);
  std::string result(kept + 1, '\0');
  va_list write;
  va_copy(write, args);
  std::vsnprintf(result.data(), result.size(), format, write);
  va_end(write);
  result.resize(kept);
  return result;
}

std::string StrFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string result = VFormat(format, args);
  va_end(args);
  return result;
}

std::string XMLDecodeString(const std::string& text) {
  static constexpr struct {
    std::string_view name;
    char replacement;
  } kEntities[] = {{"lt", '<'}, {"amp", '&'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", ' '}, {"cr", '\n'}};
  std::string result;
  result.reserve(text.size());
  // The first ';' after the current '&', found once and kept while it lies ahead, so that a text of
  // many '&' and no ';' is read once rather than once per '&'.
  std::size_t semicolon = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      result += text[i];
      continue;
    }
    if (semicolon != std::string::npos && semicolon <= i) semicolon = text.find(';', i + 1);
    if (semicolon == std::string::npos) {
      result += text[i];
      continue;
    }
    const std::string_view name(text.data() + i + 1, semicolon - i - 1);
    char replacement = '&';
    for (const auto& entity : kEntities) {
      if (entity.name == name) replacement = entity.replacement;
    }
    result += replacement;
    i = semicolon;
  }
  return result;
}

int StrFindNoCase(const char* haystack, const char* needle) {
  if (haystack == nullptr || needle == nullptr || *haystack == '\0') return -1;
  for (int start = 0; haystack[start] != '\0'; ++start) {
    int i = 0;
    while (needle[i] != '\0' && haystack[start + i] != '\0' && Lower(haystack[start + i]) == Lower(needle[i])) ++i;
    if (needle[i] == '\0') return start;
    if (haystack[start + i] == '\0') return -1;  // the rest of the haystack is shorter than the needle
  }
  return -1;
}

}  // namespace Kit
