// The application's frame loop: the cost of one paced tick (pump, tick of a screen of twenty widgets,
// fractional update, safe-delete pass) on a stopped clock, of taking one queued input record from
// the window procedure to the widgets, and of one whole frame drawn and presented by a headless
// application in a window of 800 x 600. No peer library runs this loop, so the figures stand alone.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/widget/Widget.h"
#include "framework/widget/WidgetManager.h"
#include "platform/win/process/Process.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/threads/Time.h"

#include <cstdlib>
#include <string>

namespace {

class Panel : public Kit::Widget {
 public:
  void Update() override {
    Widget::Update();
    MarkDirty();
  }
  void Draw(Kit::Graphics* g) override {
    g->SetColor(Kit::Color(30, 60, 90));
    g->FillRect(0, 0, mWidth, mHeight);
  }
};

struct Screen {
  explicit Screen(Kit::KitAppBase& app) {
    for (int i = 0; i < 20; ++i) {
      auto panel = std::make_unique<Panel>();
      panel->Resize((i % 5) * 160, (i / 5) * 150, 150, 140);
      app.mWidgetManager->AddWidget(panel.get());
      panels.push_back(std::move(panel));
    }
    manager = app.mWidgetManager.get();
  }
  ~Screen() {
    for (auto& panel : panels) manager->RemoveWidget(panel.get());
  }
  Kit::WidgetManager* manager;
  std::vector<std::unique_ptr<Panel>> panels;
};

void BM_PacedTick(benchmark::State& state) {
  plat::FakeClock clock;
  plat::ScopedClock scoped(clock);
  Kit::KitAppBase app;
  app.mWidgetManager->Resize(800, 600);
  Screen screen(app);
  app.mVSyncUpdates = true;
  app.ResetTiming(false);
  for (auto _ : state) {
    clock.AdvanceMillis(10);
    do {
      app.UpdateAppStep(nullptr);
    } while (app.mUpdateState != Kit::KitAppBase::UpdateState::kStepDone);
  }
  state.counters["ticks"] = app.mUpdateCount;
}
BENCHMARK(BM_PacedTick);

void BM_QueuedMouseMove(benchmark::State& state) {
  plat::FakeClock clock;
  plat::ScopedClock scoped(clock);
  Kit::KitAppBase app;
  app.mWidgetManager->Resize(800, 600);
  Screen screen(app);
  HWND const window = reinterpret_cast<HWND>(0x4242);
  app.mHWnd = window;
  int x = 0;
  for (auto _ : state) {
    x = (x + 7) % 800;
    app.HandleWindowMessage(window, WM_MOUSEMOVE, 0, static_cast<LPARAM>((300 << 16) | x));
    app.ProcessDeferredMessages(true);
  }
  app.mHWnd = nullptr;
}
BENCHMARK(BM_QueuedMouseMove);

class HeadlessApp : public Kit::KitAppBase {
 public:
  HeadlessApp() {
    mProdName = "FrameLoopBench" + std::to_string(GetCurrentProcessId());
    mWidth = 800;
    mHeight = 600;
    mNoSoundNeeded = true;
    mCmdLineParsed = true;
  }
  bool ChangeDirHook(const char*) override { return true; }
};

void BM_DrawAndPresentFrame(benchmark::State& state) {
  HeadlessApp app;
  app.Init();
  Screen screen(app);
  for (auto _ : state) {
    app.mWidgetManager->MarkAllDirty();
    app.mHasPendingDraw = true;
    app.mNextDrawTick = 0;
    benchmark::DoNotOptimize(app.DrawFrame());
  }
  state.counters["frames"] = app.mDrawCount.load();
}
BENCHMARK(BM_DrawAndPresentFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
