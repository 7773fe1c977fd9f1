#include "platform/cpu/SysfsCaches.h"

#include <charconv>
#include <limits>

#include "platform/win/files/FileRead.h"

namespace plat::cache {
namespace {

// Each of these files holds a line of a few bytes; sysfs says they have a page.
constexpr std::size_t kMostFileBytes = 4096;

std::string_view WithoutLineEnd(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  return text;
}

// The whole of `text` as a decimal number.
std::optional<unsigned long long> WholeNumber(std::string_view text) {
  unsigned long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::string> ReadLine(const std::string& path) {
  std::string bytes;
  if (ReadWholeFile(path, &bytes, kMostFileBytes) != FileReadResult::kRead) return std::nullopt;
  return std::string(WithoutLineEnd(bytes));
}

}  // namespace

std::optional<std::size_t> ParseCacheSize(std::string_view text) {
  text = WithoutLineEnd(text);
  unsigned long long unit = 1;
  if (!text.empty() && (text.back() == 'K' || text.back() == 'M' || text.back() == 'G')) {
    unit = text.back() == 'K' ? 1ull << 10 : text.back() == 'M' ? 1ull << 20 : 1ull << 30;
    text.remove_suffix(1);
  }
  const std::optional<unsigned long long> count = WholeNumber(text);
  if (!count || *count > std::numeric_limits<std::size_t>::max() / unit) return std::nullopt;
  return static_cast<std::size_t>(*count * unit);
}

std::optional<int> CountProcessors(std::string_view text) {
  text = WithoutLineEnd(text);
  long long count = 0;
  for (;;) {
    const std::string_view item = text.substr(0, text.find(','));
    const std::size_t dash = item.find('-');
    const std::optional<unsigned long long> first = WholeNumber(item.substr(0, dash));
    const std::optional<unsigned long long> last =
        dash == std::string_view::npos ? first : WholeNumber(item.substr(dash + 1));
    if (!first || !last || *last < *first || *last - *first >= static_cast<unsigned long long>(kMostProcessors))
      return std::nullopt;
    count += static_cast<long long>(*last - *first) + 1;
    if (count > kMostProcessors) return std::nullopt;
    if (item.size() == text.size()) return static_cast<int>(count);
    text.remove_prefix(item.size() + 1);
  }
}

Sizes ReadSysfsCaches(const std::string& folder) {
  Sizes sizes;
  // The entries are numbered from 0 without gaps.
  for (int index = 0;; ++index) {
    const std::string entry = folder + "/index" + std::to_string(index) + "/";
    const std::optional<std::string> level = ReadLine(entry + "level");
    if (!level) return sizes;
    const std::optional<std::string> type = ReadLine(entry + "type");
    if (!type || *type == "Instruction" || (*level != "2" && *level != "3")) continue;
    const std::optional<std::size_t> bytes = ParseCacheSize(ReadLine(entry + "size").value_or(""));
    const std::optional<int> sharers = CountProcessors(ReadLine(entry + "shared_cpu_list").value_or(""));
    if (!bytes || !sharers) continue;
    (*level == "2" ? sizes.level2 : sizes.level3) = *bytes;
    (*level == "2" ? sizes.level2Sharers : sizes.level3Sharers) = *sharers;
  }
}

}  // namespace plat::cache
