// The caches' sizes as Linux describes them: sizes and lists of processors as its files write them, good
// and bad, and folders of cache entries like /sys/devices/system/cpu/cpu0/cache of machines of several
// kinds, with entries missing or not understood (tests/files gives it files that cannot be read); and
// which frames' copies stay near the caches of machines of those kinds.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "platform/cpu/CacheSizes.h"
#include "platform/cpu/SysfsCaches.h"
#include "tests/support/TempDir.h"

namespace {

using plat::cache::Sizes;

constexpr std::size_t kKiB = 1024, kMiB = 1024 * kKiB;

TEST(CacheText, SizesAndProcessorListsAsTheFilesWriteThem) {
  EXPECT_EQ(plat::cache::ParseCacheSize("32K\n"), 32 * kKiB);
  EXPECT_EQ(plat::cache::ParseCacheSize("32M"), 32 * kMiB);
  EXPECT_EQ(plat::cache::ParseCacheSize("2G"), 2048 * kMiB);
  EXPECT_EQ(plat::cache::ParseCacheSize("4096"), 4096u);
  for (const char* text : {"", "\n", "K", "32k", "32KB", " 32K", "-32K", "+32K", "32K\n\n", "0x20K",
                           "18014398509481984K" /* 2^54 KiB, past size_t */, "99999999999999999999"})
    EXPECT_EQ(plat::cache::ParseCacheSize(text), std::nullopt) << '"' << text << '"';
  EXPECT_EQ(plat::cache::CountProcessors("0\n"), 1);
  EXPECT_EQ(plat::cache::CountProcessors("0-27,56-83\n"), 56);
  EXPECT_EQ(plat::cache::CountProcessors("0,2,4-6"), 5);
  EXPECT_EQ(plat::cache::CountProcessors("0-65535"), plat::cache::kMostProcessors);
  for (const char* text : {"", "\n", "7-0", "0-", "-3", "0,,1", "0,", "0 - 7", "0-7-9", "a", "0-65536",
                           "0-40000,0-40000", "0-18446744073709551615"})
    EXPECT_EQ(plat::cache::CountProcessors(text), std::nullopt) << '"' << text << '"';
}

// One cache entry's files, index<N>/<name>, added to `files`.
void AddEntry(std::map<std::string, std::string>& files, int index, const char* level, const char* type,
              const char* size, const char* sharedList) {
  const std::string folder = "index" + std::to_string(index) + "/";
  for (const auto& [name, line] :
       {std::pair{"level", level}, {"type", type}, {"size", size}, {"shared_cpu_list", sharedList}})
    files[folder + name] = std::string(line) + "\n";
}

// A machine's entries: two first-level caches, then those given from index2 on.
std::map<std::string, std::string> Machine(
    std::initializer_list<std::tuple<const char*, const char*, const char*, const char*>> higher, int firstIndex = 2) {
  std::map<std::string, std::string> files;
  AddEntry(files, 0, "1", "Data", "32K", "0");
  AddEntry(files, 1, "1", "Instruction", "32K", "0");
  int index = firstIndex;
  for (const auto& [level, type, size, shared] : higher) AddEntry(files, index++, level, type, size, shared);
  return files;
}

TEST(SysfsCaches, TheSecondAndThirdLevelsOfMachinesOfSeveralKinds) {
  const struct {
    const char* name;
    std::map<std::string, std::string> files;
    Sizes sizes;
  } machines[] = {
      {"AMD EPYC (Zen 4) of 8 processors",
       Machine({{"2", "Unified", "1024K", "0"}, {"3", "Unified", "32768K", "0-7"}}),
       {kMiB, 1, 32 * kMiB, 8}},
      {"Intel Xeon, two threads a core",
       Machine({{"2", "Unified", "2048K", "0,56"}, {"3", "Unified", "107520K", "0-111"}}),
       {2 * kMiB, 2, 105 * kMiB, 112}},
      {"no entries", {}, {}},
      // A second-level cache of instructions counts for nothing; a level whose size or sharers are not
      // understood stays unknown.
      {"instructions apart",
       Machine({{"2", "Instruction", "64K", "0"}, {"2", "Unified", "1024K", "0"}}),
       {kMiB, 1, 0, 1}},
      {"no size", Machine({{"2", "Unified", "large", "0"}, {"3", "Unified", "16M", "0-3"}}), {0, 1, 16 * kMiB, 4}},
      {"no list", Machine({{"2", "Unified", "1024K", "0"}, {"3", "Unified", "16M", "all"}}), {kMiB, 1, 0, 1}},
      // The entries are read from index0 up to the first that is missing.
      {"a gap in the numbering", Machine({{"3", "Unified", "16M", "0-3"}}, 3), {}},
  };
  for (const auto& machine : machines) {
    SCOPED_TRACE(machine.name);
    const testsupport::TempDir folder;
    for (const auto& [name, contents] : machine.files) folder.Write(name, contents);
    EXPECT_EQ(plat::cache::ReadSysfsCaches(folder.Path().string()), machine.sizes);
  }
}

// A frame's copy stays near the caches when its source and target fit the processor's share of the
// second level and of a third level near it; a third level spanning a chip counts for nothing.
TEST(CacheSizes, FramesCopiedNearTheCachesOnMachinesOfSeveralKinds) {
  constexpr std::size_t kFrame16 = 800 * 600 * 2, kFrame32 = 800 * 600 * 4;
  const struct {
    const char* name;
    Sizes sizes;
    bool near16, near32;
  } machines[] = {
      {"AMD EPYC (Zen 3): 512 KiB L2 each, 32 MiB L3 for 8", {kMiB / 2, 1, 32 * kMiB, 8}, true, true},
      {"AMD EPYC (Zen 4): 1 MiB L2 each, 32 MiB L3 for 8", {kMiB, 1, 32 * kMiB, 8}, true, true},
      {"the same, L3 for 16", {kMiB, 1, 32 * kMiB, 16}, true, false},
      {"36 MiB L3 for 8: still near", {kMiB, 1, 36 * kMiB, 8}, true, true},
      {"37 MiB L3 for 8: across a mesh", {kMiB, 1, 37 * kMiB, 8}, false, false},
      {"Intel Xeon under KVM: 2 MiB L2 each, 320 MiB L3 for 8", {2 * kMiB, 1, 320 * kMiB, 8}, true, false},
      {"Intel Xeon: 2 MiB L2 for a core's two threads, 105 MiB L3 for 112",
       {2 * kMiB, 2, 105 * kMiB, 112},
       false,
       false},
      {"4 MiB L2 each, 32 MiB L3 for 8", {4 * kMiB, 1, 32 * kMiB, 8}, true, true},
      {"2 MiB L2, no L3", {2 * kMiB, 1, 0, 1}, true, false},
      {"16 MiB L3 for 4, no L2 known", {0, 1, 16 * kMiB, 4}, true, true},
      {"only a 320 MiB L3 known", {0, 1, 320 * kMiB, 8}, true, true},
      {"sizes not known", {}, true, true},
  };
  for (const auto& machine : machines) {
    SCOPED_TRACE(machine.name);
    const plat::cache::ScopedSizes sizes(machine.sizes);
    EXPECT_EQ(plat::cache::FitsNearCaches(2 * kFrame16), machine.near16);
    EXPECT_EQ(plat::cache::FitsNearCaches(2 * kFrame32), machine.near32);
  }
}

}  // namespace
