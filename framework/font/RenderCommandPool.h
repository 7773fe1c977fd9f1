// The records every image font lays its glyphs out in, shared by all fonts of the process. Records
// come from a fixed pool, so drawing allocates nothing per glyph, and land in 256 order buckets, so
// ordering takes one pass and no sort. Whoever fills or reads the pool holds its lock throughout.
#pragma once

#include <array>
#include <mutex>

#include "framework/font/RenderCommand.h"

namespace Kit {

class RenderCommandPool {
 public:
  static constexpr int kPoolSize = 4096;
  static constexpr int kBucketCount = 256;

  static RenderCommandPool& Instance();

  std::mutex& Lock() { return mLock; }
  // Empties the buckets and starts handing out records from the first again.
  void Clear();
  // The next free record, reset; null when all are in use.
  RenderCommand* Allocate();
  // Appends the record at the end of its bucket (0..255).
  void Append(RenderCommand* command, int bucket);

  // Calls visit for every record, buckets in ascending order, each in the order it was filled.
  template <typename Visit>
  void ForEach(Visit&& visit) const {
    for (const RenderCommand* first : mFirst)
      for (const RenderCommand* command = first; command; command = command->mNext) visit(*command);
  }

 private:
  RenderCommandPool() = default;

  std::mutex mLock;
  std::array<RenderCommand, kPoolSize> mCommands;
  int mUsed = 0;
  std::array<RenderCommand*, kBucketCount> mFirst{};
  std::array<RenderCommand*, kBucketCount> mLast{};
};

}  // namespace Kit
