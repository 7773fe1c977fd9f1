// Numbered input recordings: prefix + N + ".dmo", the newest with the highest number.
#include <map>

#include "framework/app/KitAppBase.h"
#include "framework/util/PathUtil.h"
#include "platform/win/files/Files.h"
#include "platform/win/files/Removal.h"

namespace Kit {

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The number of a file named base + number + ".dmo", when the name has that form.
bool DemoNumberOf(std::string_view name, std::string_view base, int* number) {
  if (name.size() <= base.size() + 4 || !EqualsNoCase(name.substr(0, base.size()), base)) return false;
  if (!EqualsNoCase(name.substr(name.size() - 4), ".dmo")) return false;
  std::string_view digits = name.substr(base.size(), name.size() - base.size() - 4);
  bool negative = false;
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
    negative = digits[0] == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty() || digits.size() > 9) return false;
  int value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  *number = negative ? -value : value;
  return true;
}

}  // namespace

int KitAppBase::GetNextDemoNumber(const std::string& prefix, int keep, bool deleteOld) {
  const std::string base = prefix.substr(GetFileDir(prefix, true).size());
  // number -> the file as found: its own name, which may differ from the formed one in case or leading
  // zeros, and the folder it lies in, where it is deleted by that name
  std::map<int, plat::FoundEntry> numbers;
  for (plat::FoundEntry& found : plat::FindEntries(prefix + "*.dmo")) {
    int number = 0;
    if ((found.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        DemoNumberOf(found.data.cFileName, base, &number))
      numbers.emplace(number, std::move(found));
  }
  if (numbers.empty()) return 0;
  const int highest = numbers.rbegin()->first;
  // The oldest go until there is room for the recording about to be made among the kept ones.
  while (deleteOld && keep > 0 && static_cast<int>(numbers.size()) >= keep) {
    const plat::FoundEntry& oldest = numbers.begin()->second;
    plat::RemoveEntryOf(oldest.folder, oldest.data.cFileName);
    numbers.erase(numbers.begin());
  }
  return highest;
}

}  // namespace Kit
