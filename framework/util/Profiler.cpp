#include "framework/util/Profiler.h"

#include <cstdint>
#include <map>
#include <vector>

#include "framework/util/CpuSpeed.h"
#include "framework/util/StringUtil.h"
#include "platform/win/CycleCounter.h"

namespace Kit {

namespace {

struct Sample {
  const char* name;
  std::uint64_t time;
  bool isStart;
};

struct SectionStats {
  std::uint64_t startTime = 0;
  std::uint64_t totalCycles = 0;
  double longestCycles = 0;
  int depth = 0;
  int calls = 0;
  double totalMillis = 0;
  double longestMillis = 0;
};

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Letters A to Z fold to lower case; everything else compares by byte value.
struct NoCaseLess {
  bool operator()(const char* a, const char* b) const {
    for (;; ++a, ++b) {
      auto ca = static_cast<unsigned char>(FoldCase(*a));
      auto cb = static_cast<unsigned char>(FoldCase(*b));
      if (ca != cb || ca == 0) return ca < cb;
    }
  }
};

struct ProfilerState {
  bool enabled = false;
  std::vector<Sample> samples;  // reused between folds; only the first sampleCount are valid
  int sampleCount = 0;
  int depth = 0;
  std::uint64_t runStart = 0;
  std::uint64_t overhead = 0;
  double totalTime = 0;
  std::map<const char*, SectionStats, NoCaseLess> table;
};

ProfilerState& State() {
  static ProfilerState state;
  return state;
}

void Append(ProfilerState& state, const char* name, bool isStart) {
  Sample sample{name, plat::ReadCycleCounter(), isStart};
  if (static_cast<std::size_t>(state.sampleCount) < state.samples.size()) {
    state.samples[static_cast<std::size_t>(state.sampleCount)] = sample;
  } else {
    state.samples.push_back(sample);
  }
  ++state.sampleCount;
}

void FoldSample(ProfilerState& state, const Sample& sample) {
  if (sample.isStart) {
    SectionStats& stats = state.table[sample.name];
    ++stats.calls;
    if (++stats.depth == 1) stats.startTime = sample.time;
    return;
  }
  auto it = state.table.find(sample.name);
  if (it == state.table.end()) return;
  SectionStats& stats = it->second;
  if (stats.depth <= 0) return;  // more ends than begins for this name: nothing open to close
  if (--stats.depth == 0) {
    std::uint64_t elapsed = sample.time - stats.startTime;
    stats.totalCycles += elapsed;
    if (static_cast<double>(elapsed) > stats.longestCycles) stats.longestCycles = static_cast<double>(elapsed);
  }
}

// Folds the buffered samples into the table and counts the time it took as overhead.
void FoldSamples(ProfilerState& state) {
  std::uint64_t begin = plat::ReadCycleCounter();
  for (int i = 0; i < state.sampleCount; ++i) FoldSample(state, state.samples[static_cast<std::size_t>(i)]);
  state.sampleCount = 0;
  state.overhead += plat::ReadCycleCounter() - begin;
}

}  // namespace

bool Profiler::IsEnabled() { return State().enabled; }

void Profiler::StartRun(bool keepDisabled) {
  ProfilerState& state = State();
  state.table.clear();
  state.sampleCount = 0;
  state.depth = 0;
  state.overhead = 0;
  if (!keepDisabled) state.enabled = true;
  state.runStart = plat::ReadCycleCounter();
}

void Profiler::StopRun() {
  ProfilerState& state = State();
  std::uint64_t end = plat::ReadCycleCounter();
  FoldSamples(state);
  state.enabled = false;
  const double hz = static_cast<double>(GetCpuSpeed());
  std::uint64_t spent = end - state.runStart;
  spent = spent > state.overhead ? spent - state.overhead : 0;
  state.totalTime = static_cast<double>(spent) * 1000.0 / hz;
  for (auto& [name, stats] : state.table) {
    stats.totalMillis = static_cast<double>(stats.totalCycles) * 1000.0 / hz;
    stats.longestMillis = stats.longestCycles * 1000.0 / hz;
  }
}

void Profiler::BeginSection(const char* name) {
  ProfilerState& state = State();
  if (!state.enabled || name == nullptr) return;
  ++state.depth;
  Append(state, name, true);
}

void Profiler::EndSection(const char* name) {
  ProfilerState& state = State();
  if (!state.enabled || name == nullptr) return;
  Append(state, name, false);
  if (--state.depth <= 0) {
    // Also on an unmatched end: the buffer must not grow without bound while nothing is open.
    state.depth = 0;
    FoldSamples(state);
  }
}

std::string Profiler::GetReport() {
  const ProfilerState& state = State();
  std::string report = StrFormat("Total Time: %.2f\n", state.totalTime);
  for (const auto& [name, stats] : state.table) {
    double share = state.totalTime > 0 ? 100.0 * stats.totalMillis / state.totalTime : 0.0;
    double average = stats.calls > 0 ? stats.totalMillis / stats.calls : 0.0;
    report += StrFormat("%s (%d calls, %%%.2f time): %.2f (%.2f avg, %.2f longest)\n", name, stats.calls, share,
                        stats.totalMillis, average, stats.longestMillis);
  }
  return report;
}

}  // namespace Kit
