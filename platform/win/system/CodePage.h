// Text in the program's 8-bit code page (Windows-1252, the ANSI code page of the system it was made
// for) and in 16-bit wide characters, and the conversions from and to UTF-8 that SDL speaks.
#pragma once

#include <string>
#include <string_view>

#include "platform/win/Types.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MB_PRECOMPOSED = 0x00000001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;

// Counts include the terminator when the source count is -1. A zero destination size asks for the
// size needed; a destination too small fails with ERROR_INSUFFICIENT_BUFFER. Code pages: CP_ACP,
// 1252 and CP_UTF8.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceCount, LPWSTR destination,
                        int destinationCount);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceCount, LPSTR destination,
                        int destinationCount, LPCSTR defaultChar, LPBOOL usedDefaultChar);

namespace plat {

[[nodiscard]] char32_t Cp1252ToUnicode(unsigned char c);
// The code-page byte of a character, or -1 when the code page has none.
[[nodiscard]] int UnicodeToCp1252(char32_t c);
// Undecodable UTF-8 and characters outside the code page become the replacement.
[[nodiscard]] std::string Utf8ToCp1252(std::string_view utf8, char replacement = '?');
[[nodiscard]] std::string Cp1252ToUtf8(std::string_view text);
// Decodes the next code point, advancing `pos`; malformed input yields U+FFFD and skips one byte.
[[nodiscard]] char32_t NextUtf8(std::string_view utf8, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t c);

}  // namespace plat
