// Byte-string helpers shared by the whole framework: case conversion, trimming, number parsing and
// formatting, printf-style formatting, XML entity decoding and case-insensitive search. Strings are
// byte strings in the system code page; case and white space follow the C runtime's "C" mapping.
#pragma once

#include <cstdarg>
#include <string>

namespace Kit {

std::string StringToUpper(const std::string& text);
std::string StringToLower(const std::string& text);
// Without leading and trailing white space.
std::string Trim(const std::string& text);

// Decimal, or hexadecimal after a leading "0x"/"0X"; an optional leading "-" (decimal only). Values
// wrap instead of overflowing. On failure `value` is 0 and the result false; an empty text fails.
bool StringToInt(const std::string& text, int& value);
// An optional "-", digits, and an optional "." with fraction digits; no exponent. On failure `value`
// is 0.0 and the result false; an empty text fails.
bool StringToDouble(const std::string& text, double& value);
// Digits grouped by three with ",": 1000000 gives "1,000,000"; a negative number keeps its sign.
std::string CommaSeparate(int value);

// printf-style formatting. Output is limited to kMaxFormattedLength characters; longer output is cut.
constexpr std::size_t kMaxFormattedLength = 1'310'720;
std::string VFormat(const char* format, va_list args);
std::string StrFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the entities lt, gt, amp, quot, apos, nbsp (a space) and cr (a line feed). An unknown
// entity becomes a lone "&"; an "&" without a later ";" stays as it is. No numeric references.
std::string XMLDecodeString(const std::string& text);

// Index of the first case-insensitive occurrence of needle in haystack, or -1. An empty haystack
// gives -1; an empty needle is found at 0 of any other haystack.
int StrFindNoCase(const char* haystack, const char* needle);

}  // namespace Kit
