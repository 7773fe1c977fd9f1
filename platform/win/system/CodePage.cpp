#include "platform/win/system/CodePage.h"

#include <vector>

#include "platform/win/Errors.h"

namespace plat {
namespace {

// 0x80..0x9F of Windows-1252; the five unassigned bytes map to the C1 controls, as Windows does.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

char32_t Cp1252ToUnicode(unsigned char c) { return c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : c; }

int UnicodeToCp1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == c) return 0x80 + i;
  }
  return -1;
}

char32_t NextUtf8(std::string_view utf8, std::size_t& pos) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
  unsigned char lead = byte(pos);
  int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || pos + static_cast<std::size_t>(length) > utf8.size()) {
    ++pos;
    return length == 1 ? lead : kReplacement;
  }
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    unsigned char next = byte(pos + static_cast<std::size_t>(i));
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return kReplacement;
    }
    c = (c << 6) | (next & 0x3F);
  }
  static constexpr char32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++pos;
    return kReplacement;
  }
  pos += static_cast<std::size_t>(length);
  return c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string Utf8ToCp1252(std::string_view utf8, char replacement) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    int byte = UnicodeToCp1252(NextUtf8(utf8, pos));
    out.push_back(byte < 0 ? replacement : static_cast<char>(byte));
  }
  return out;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace plat

namespace {

bool KnownCodePage(UINT codePage) { return codePage == CP_ACP || codePage == 1252 || codePage == CP_UTF8; }

// Writes `units` into a caller's buffer with the Windows size rules.
template <typename Unit>
int Deliver(const std::vector<Unit>& units, Unit* destination, int destinationCount) {
  int needed = static_cast<int>(units.size());
  if (destinationCount == 0) return needed;
  if (!destination || destinationCount < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::copy(units.begin(), units.end(), destination);
  return needed;
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceCount, LPWSTR destination,
                        int destinationCount) {
  if (!source || sourceCount == 0 || sourceCount < -1 || destinationCount < 0 || !KnownCodePage(codePage)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string_view text = sourceCount == -1 ? std::string_view(source, std::char_traits<char>::length(source) + 1)
                                            : std::string_view(source, static_cast<std::size_t>(sourceCount));
  std::vector<WCHAR> units;
  units.reserve(text.size());
  if (codePage == CP_UTF8) {
    for (std::size_t pos = 0; pos < text.size();) {
      char32_t c = plat::NextUtf8(text, pos);
      if (c == 0xFFFD && (flags & MB_ERR_INVALID_CHARS)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
      }
      if (c >= 0x10000) {
        units.push_back(static_cast<WCHAR>(0xD800 + ((c - 0x10000) >> 10)));
        units.push_back(static_cast<WCHAR>(0xDC00 + ((c - 0x10000) & 0x3FF)));
      } else {
        units.push_back(static_cast<WCHAR>(c));
      }
    }
  } else {
    for (char c : text) units.push_back(static_cast<WCHAR>(plat::Cp1252ToUnicode(static_cast<unsigned char>(c))));
  }
  return Deliver(units, destination, destinationCount);
}

int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR source, int sourceCount, LPSTR destination, int destinationCount,
                        LPCSTR defaultChar, LPBOOL usedDefaultChar) {
  if (!source || sourceCount == 0 || sourceCount < -1 || destinationCount < 0 || !KnownCodePage(codePage)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::size_t length = 0;
  if (sourceCount == -1) {
    while (source[length]) ++length;
    ++length;
  } else {
    length = static_cast<std::size_t>(sourceCount);
  }
  char fallback = defaultChar ? *defaultChar : '?';
  bool usedDefault = false;
  std::vector<char> units;
  units.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    char32_t c = source[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && source[i + 1] >= 0xDC00 && source[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (source[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // a lone surrogate
    }
    if (codePage == CP_UTF8) {
      std::string encoded;
      plat::AppendUtf8(encoded, c);
      units.insert(units.end(), encoded.begin(), encoded.end());
      continue;
    }
    int byte = plat::UnicodeToCp1252(c);
    if (byte < 0) {
      usedDefault = true;
      units.push_back(fallback);
    } else {
      units.push_back(static_cast<char>(byte));
    }
  }
  if (usedDefaultChar) *usedDefaultChar = usedDefault ? TRUE : FALSE;
  return Deliver(units, destination, destinationCount);
}
