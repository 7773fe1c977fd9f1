// The controls' per-event work on long contents: a key typed at the end of a long edit text (limits,
// caret scrolling), a click in it (hit test), a list drawn with many lines, and a list sorted.
#include <benchmark/benchmark.h>

#include <string>

#include "framework/font/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widget/EditWidget.h"
#include "framework/widget/ListWidget.h"

namespace {

// Fixed-advance blocks: measuring costs what a simple bitmap face costs.
class BlockFace : public Kit::Font {
 public:
  BlockFace() {
    mAscent = 8;
    mHeight = 10;
  }
  int StringWidth(const std::string& text) override { return 6 * static_cast<int>(text.size()); }
  void DrawString(Kit::Graphics* g, int x, int y, const std::string& text, const Kit::Color&,
                  const Kit::Rect&) override {
    for (std::size_t i = 0; i < text.size(); ++i) g->FillRect(x + 6 * static_cast<int>(i), y - mAscent, 5, mAscent);
  }
  Kit::Font* Duplicate() override { return new BlockFace(*this); }
};

void BM_EditTypeAtEndOfLongText(benchmark::State& state) {
  BlockFace face;
  Kit::EditWidget edit(1, nullptr);
  edit.SetFont(&face);
  edit.Resize(0, 0, 300, 20);
  edit.mMaxWidth = 1 << 30;
  edit.SetText(std::string(static_cast<std::size_t>(state.range(0)), 'w'), false);
  edit.ProcessKey(35, 0);  // End
  for (auto _ : state) {
    edit.ProcessKey(0, 'x');
    edit.ProcessKey(8, 0);  // Backspace
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_EditTypeAtEndOfLongText)->Arg(100)->Arg(10000);

void BM_EditClickInLongText(benchmark::State& state) {
  BlockFace face;
  Kit::EditWidget edit(1, nullptr);
  edit.SetFont(&face);
  edit.Resize(0, 0, 300, 20);
  edit.SetText(std::string(static_cast<std::size_t>(state.range(0)), 'w'), true);
  for (auto _ : state) benchmark::DoNotOptimize(edit.GetCharAt(150, 10));
}
BENCHMARK(BM_EditClickInLongText)->Arg(100)->Arg(10000);

void BM_ListDrawManyLines(benchmark::State& state) {
  BlockFace face;
  Kit::ListWidget list(1, &face, nullptr);
  for (int i = 0; i < 1000; ++i) list.AddLine("line number " + std::to_string(i), false);
  list.Resize(0, 0, 300, 408);
  list.SetSelect(3);
  list.mHoverRow = 5;
  Kit::MemoryImage canvas;
  canvas.Create(300, 408);
  for (auto _ : state) {
    Kit::Graphics g(&canvas);
    list.Draw(&g);
  }
}
BENCHMARK(BM_ListDrawManyLines);

void BM_ListSort(benchmark::State& state) {
  BlockFace face;
  Kit::ListWidget list(1, &face, nullptr);
  list.mKeyPadWidth = 6;
  for (int i = 0; i < state.range(0); ++i) list.AddLine(std::to_string((i * 7919) % 100000), false);
  bool ascending = true;
  for (auto _ : state) {
    list.Sort(ascending);
    ascending = !ascending;
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListSort)->Arg(100)->Arg(10000);

}  // namespace
