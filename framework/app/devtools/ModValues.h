// Tweakable constants: a literal written M(2.5) (or M1(..) .. M9(..) when a line holds several) reads
// its value from the table below, which Alt+R refills by reading the program's source files again, so
// numbers can be tuned while the program runs. A file's values are known once one of its sites has
// been used; until a reload they are the literals the program was built with.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

namespace Kit {

struct ModValue {
  bool mSet = false;
  int mIntValue = 0;
  double mDoubleValue = 0.0;
};

// The values of one source file: list k for macro Mk (0 for plain M), indexed by line.
struct ModValueFile {
  bool mReparsed = false;
  std::vector<ModValue> mLists[10];
};

// The registry's entry for the file (made when missing).
ModValueFile& RegisterModValSite(const std::string& fileName);
void SetModValue(int macro, const std::string& fileName, int line, int intValue, double doubleValue);
// Reads every registered file again. True when at least one changed since the last reload (the first
// compares with the executable's own date); false with a message box on a missing file, two plain
// M values on one line, or no change.
bool ReparseModValues();
// The number after "(": decimal or 0x hexadecimal, then ")"; or decimal with a fraction, then ")" or
// "f)". Failure leaves 0.
bool ParseModInt(const char* text, int& value);
bool ParseModDouble(const char* text, double& value);

// Where source files named relatively are looked for: this folder first, then the executable's folder
// and the folders above it. Empty: the environment's "KIT_SOURCE_DIR", when set.
void SetModSourceFolder(const std::string& folder);
// The file's path on this machine; the name itself when it is found nowhere.
std::string FindModSourceFile(const std::string& fileName);
// Forgets every file and the latest file time (tests).
void ResetModValues();

// The value of a marked literal: the reloaded one when its line was read, else the literal.
template <typename T>
T ModValueAt(int macro, const char* fileName, int line, T literal) {
  ModValueFile& file = RegisterModValSite(fileName);
  const std::vector<ModValue>& list = file.mLists[macro];
  if (!file.mReparsed || line < 0 || static_cast<std::size_t>(line) >= list.size() || !list[line].mSet) return literal;
  if constexpr (std::is_integral_v<T>)
    return static_cast<T>(list[line].mIntValue);
  else
    return static_cast<T>(list[line].mDoubleValue);
}

}  // namespace Kit

#define M(value) ::Kit::ModValueAt(0, __FILE__, __LINE__, value)
#define M1(value) ::Kit::ModValueAt(1, __FILE__, __LINE__, value)
#define M2(value) ::Kit::ModValueAt(2, __FILE__, __LINE__, value)
#define M3(value) ::Kit::ModValueAt(3, __FILE__, __LINE__, value)
#define M4(value) ::Kit::ModValueAt(4, __FILE__, __LINE__, value)
#define M5(value) ::Kit::ModValueAt(5, __FILE__, __LINE__, value)
#define M6(value) ::Kit::ModValueAt(6, __FILE__, __LINE__, value)
#define M7(value) ::Kit::ModValueAt(7, __FILE__, __LINE__, value)
#define M8(value) ::Kit::ModValueAt(8, __FILE__, __LINE__, value)
#define M9(value) ::Kit::ModValueAt(9, __FILE__, __LINE__, value)
