#include "framework/util/Profiler.h"

#include <cstdint>
#include <map>
#include <vector>

#include "framework/util/CpuSpeed.h"
#include "framework/util/StringUtil.h"
#include "platform/win/threads/CycleCounter.h"

namespace Kit {

namespace {

struct Sample {
  const char* mName;
  std::uint64_t mTime;
  bool mIsStart;
};

// Cycles while the run goes on; StopRun turns the totals into milliseconds.
struct SectionStats {
  std::uint64_t mStartTime = 0;
  std::uint64_t mTotalTime = 0;
  double mLongest = 0;
  int mDepth = 0;
  int mCalls = 0;
  double mTotalTimeMillis = 0;
  double mLongestMillis = 0;
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
  bool mEnabled = false;
  std::vector<Sample> mSamples;  // reused between folds; only the first mSampleCount are valid
  int mSampleCount = 0;
  int mDepth = 0;
  std::uint64_t mRunStart = 0;
  std::uint64_t mOverhead = 0;
  double mTotalTime = 0;
  std::map<const char*, SectionStats, NoCaseLess> mTable;
};

ProfilerState& State() {
  static ProfilerState state;
  return state;
}

void Append(ProfilerState& state, const char* name, bool isStart) {
  Sample sample{name, plat::ReadCycleCounter(), isStart};
  if (static_cast<std::size_t>(state.mSampleCount) < state.mSamples.size()) {
    state.mSamples[static_cast<std::size_t>(state.mSampleCount)] = sample;
  } else {
    state.mSamples.push_back(sample);
  }
  ++state.mSampleCount;
}

void FoldSample(ProfilerState& state, const Sample& sample) {
  if (sample.mIsStart) {
    SectionStats& stats = state.mTable[sample.mName];
    ++stats.mCalls;
    if (++stats.mDepth == 1) stats.mStartTime = sample.mTime;
    return;
  }
  auto it = state.mTable.find(sample.mName);
  if (it == state.mTable.end()) return;
  SectionStats& stats = it->second;
  if (stats.mDepth <= 0) return;  // more ends than begins for this name: nothing open to close
  if (--stats.mDepth == 0) {
    std::uint64_t elapsed = sample.mTime - stats.mStartTime;
    stats.mTotalTime += elapsed;
    if (static_cast<double>(elapsed) > stats.mLongest) stats.mLongest = static_cast<double>(elapsed);
  }
}

// Folds the buffered samples into the table and counts the time it took as overhead.
void FoldSamples(ProfilerState& state) {
  std::uint64_t begin = plat::ReadCycleCounter();
  for (int i = 0; i < state.mSampleCount; ++i) FoldSample(state, state.mSamples[static_cast<std::size_t>(i)]);
  state.mSampleCount = 0;
  state.mOverhead += plat::ReadCycleCounter() - begin;
}

}  // namespace

bool Profiler::IsEnabled() { return State().mEnabled; }

void Profiler::StartRun(bool keepDisabled) {
  ProfilerState& state = State();
  state.mTable.clear();
  state.mSampleCount = 0;
  state.mDepth = 0;
  state.mOverhead = 0;
  if (!keepDisabled) state.mEnabled = true;
  state.mRunStart = plat::ReadCycleCounter();
}

void Profiler::StopRun() {
  ProfilerState& state = State();
  std::uint64_t end = plat::ReadCycleCounter();
  FoldSamples(state);
  state.mEnabled = false;
  const double hz = static_cast<double>(GetCpuSpeed());
  std::uint64_t spent = end - state.mRunStart;
  spent = spent > state.mOverhead ? spent - state.mOverhead : 0;
  state.mTotalTime = static_cast<double>(spent) * 1000.0 / hz;
  for (auto& [name, stats] : state.mTable) {
    stats.mTotalTimeMillis = static_cast<double>(stats.mTotalTime) * 1000.0 / hz;
    stats.mLongestMillis = stats.mLongest * 1000.0 / hz;
  }
}

void Profiler::BeginSection(const char* name) {
  ProfilerState& state = State();
  if (!state.mEnabled || name == nullptr) return;
  ++state.mDepth;
  Append(state, name, true);
}

void Profiler::EndSection(const char* name) {
  ProfilerState& state = State();
  if (!state.mEnabled || name == nullptr) return;
  Append(state, name, false);
  if (--state.mDepth <= 0) {
    // Also on an unmatched end: the buffer must not grow without bound while nothing is open.
    state.mDepth = 0;
    FoldSamples(state);
  }
}

std::string Profiler::GetReport() {
  const ProfilerState& state = State();
  std::string report = StrFormat("Total Time: %.2f\n", state.mTotalTime);
  for (const auto& [name, stats] : state.mTable) {
    double share = state.mTotalTime > 0 ? 100.0 * stats.mTotalTimeMillis / state.mTotalTime : 0.0;
    double average = stats.mCalls > 0 ? stats.mTotalTimeMillis / stats.mCalls : 0.0;
    report += StrFormat("%s (%d calls, %%%.2f time): %.2f (%.2f avg, %.2f longest)\n", name, stats.mCalls, share,
                        stats.mTotalTimeMillis, average, stats.mLongestMillis);
  }
  return report;
}

}  // namespace Kit
