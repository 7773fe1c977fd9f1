#include "framework/graphics/display/DirectXErrorString.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/dx/Results.h"

namespace Kit {

namespace {

struct ResultName {
  HRESULT code;
  const char* name;
};

// One entry per code, under the name a developer is most likely to look up: the DirectX codes' own
// names (ALIAS entries name a value another entry names) and the generic out-of-memory code.
#define KIT_NAMED_RESULT(name, value) {name, #name},
#define KIT_UNNAMED_RESULT(name, value)
constexpr ResultName kResultNames[] = {
    KIT_DIRECTX_RESULTS(KIT_NAMED_RESULT, KIT_UNNAMED_RESULT){E_OUTOFMEMORY, "E_OUTOFMEMORY"},
};
#undef KIT_NAMED_RESULT
#undef KIT_UNNAMED_RESULT

constexpr auto SortedByCode() {
  std::array<ResultName, std::size(kResultNames)> sorted{};
  std::copy(std::begin(kResultNames), std::end(kResultNames), sorted.begin());
  std::sort(sorted.begin(), sorted.end(), [](const ResultName& a, const ResultName& b) { return a.code < b.code; });
  return sorted;
}

constexpr auto kSortedResultNames = SortedByCode();

constexpr bool CodesAreDistinct() {
  for (std::size_t i = 1; i < kSortedResultNames.size(); ++i) {
    if (kSortedResultNames[i - 1].code == kSortedResultNames[i].code) return false;
  }
  return true;
}
static_assert(CodesAreDistinct(), "two names share one result code");

}  // namespace

std::string GetDirectXErrorString(HRESULT code) {
  auto it = std::lower_bound(kSortedResultNames.begin(), kSortedResultNames.end(), code,
                             [](const ResultName& entry, HRESULT value) { return entry.code < value; });
  if (it != kSortedResultNames.end() && it->code == code) return it->name;
  char digits[16];
  std::snprintf(digits, sizeof digits, "%x", static_cast<unsigned>(code));
  return digits;
}

}  // namespace Kit
