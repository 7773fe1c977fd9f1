// An image's alpha run table (RunLengthTable.h: transparent, opaque and partly transparent pixels) and
// the keyed spans made from it, held together: whatever drops or replaces the table drops the spans.
#pragma once

#include "framework/graphics/kernels/KeyedSpans.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace Kit {

class AlphaRunTable {
 public:
  AlphaRunTable() = default;
  explicit AlphaRunTable(std::unique_ptr<std::uint8_t[]> runs) : mRuns(std::move(runs)) {}

  // The table's bytes, one per pixel; null when there is no table.
  std::uint8_t* get() const { return mRuns.get(); }
  explicit operator bool() const { return mRuns != nullptr; }
  void reset() {
    mRuns.reset();
    mKeyed.reset();
  }

  // The spans made from this table, or null when none were kept.
  const KeyedSpans* Keyed() const { return mKeyed.get(); }
  const KeyedSpans& KeepKeyed(KeyedSpans spans) {
    mKeyed = std::make_unique<KeyedSpans>(std::move(spans));
    return *mKeyed;
  }

 private:
  std::unique_ptr<std::uint8_t[]> mRuns;
  std::unique_ptr<KeyedSpans> mKeyed;
};

}  // namespace Kit
