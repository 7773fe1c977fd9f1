// Widget toolkit hot paths: one frame of a menu-like screen (a full-screen backdrop, a panel of image
// buttons, check boxes and a modal dialog with its two buttons, about twenty widgets) through the
// manager's update and draw, and hit testing as the pointer moves across it. No peer library runs the
// same tree, so the figures stand alone. Frames are drawn onto the display's screen surface (16- and
// 32-bit), as the game draws, and onto an 800 x 600 software image.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "bench/support/BenchWindow.h"
#include "framework/app/KitAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageHost.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/widget/ButtonListener.h"
#include "framework/widget/ButtonWidget.h"
#include "framework/widget/Checkbox.h"
#include "framework/widget/Dialog.h"
#include "framework/widget/DialogButton.h"
#include "framework/widget/WidgetManager.h"
#include "platform/win/system/DisplaySettings.h"
#include "platform/win/window/Window.h"

#include <cstdlib>
#include <set>

namespace {

std::unique_ptr<Kit::MemoryImage> Solid(int width, int height, std::uint32_t pixel) {
  auto image = std::make_unique<Kit::MemoryImage>();
  image->Create(width, height);
  std::fill(image->GetBits(), image->GetBits() + width * height, pixel);
  image->BitsChanged();
  return image;
}

class Backdrop : public Kit::Widget {
 public:
  explicit Backdrop(Kit::Image* image) : mImage(image) {}
  void Draw(Kit::Graphics* g) override { g->DrawImage(mImage, 0, 0); }
  Kit::Image* mImage;
};

struct Menu : Kit::ButtonListener {
  Menu() {
    app.mWidth = 800;
    app.mHeight = 600;
    Kit::WidgetManager& manager = *app.mWidgetManager;
    manager.Resize(800, 600);
    manager.mImage = screen.get();
    manager.AddWidget(&backdrop);
    backdrop.Resize(0, 0, 800, 600);
    for (int i = 0; i < 12; ++i) {
      auto button = std::make_unique<Kit::ButtonWidget>(i, this);
      button->mFaceImage = face.get();
      button->mHoverImage = over.get();
      button->mPressedImage = down.get();
      button->Resize(40 + (i % 3) * 250, 60 + (i / 3) * 120, 200, 48);
      backdrop.AddWidget(button.get());
      buttons.push_back(std::move(button));
    }
    for (int i = 0; i < 4; ++i) {
      auto box = std::make_unique<Kit::Checkbox>(nullptr, nullptr, i, nullptr);
      box->Resize(40 + i * 60, 540, 20, 20);
      backdrop.AddWidget(box.get());
      boxes.push_back(std::move(box));
    }
    dialog = app.DoDialog(1, true, "Options", "Change the settings below and press OK to keep them.", "", 2);
    // A hover colour of its own, so that hovering a dialog button redraws it.
    dialog->SetColor(4, Kit::Color(255, 255, 0));
  }
  ~Menu() {
    app.KillDialog(1);
    app.ProcessSafeDeleteList();
    backdrop.RemoveAllWidgets(false, false);
    app.mWidgetManager->RemoveWidget(&backdrop);
  }

  std::unique_ptr<Kit::MemoryImage> screen = Solid(800, 600, 0xFF000000);
  std::unique_ptr<Kit::MemoryImage> wallpaper = Solid(800, 600, 0xFF203040);
  std::unique_ptr<Kit::MemoryImage> face = Solid(200, 48, 0xC04060A0);
  std::unique_ptr<Kit::MemoryImage> over = Solid(200, 48, 0xC060A0E0);
  std::unique_ptr<Kit::MemoryImage> down = Solid(200, 48, 0xC0304070);
  Kit::KitAppBase app;
  Backdrop backdrop{wallpaper.get()};
  std::vector<std::unique_ptr<Kit::ButtonWidget>> buttons;
  std::vector<std::unique_ptr<Kit::Checkbox>> boxes;
  Kit::Dialog* dialog = nullptr;
};

// The display's side of the application, for drawing onto the screen's surface as the game does.
class ScreenHost : public Kit::ImageHost {
 public:
  void AddMemoryImage(Kit::MemoryImage* image) override { images.insert(image); }
  void RemoveMemoryImage(Kit::MemoryImage* image) override { images.erase(image); }
  Kit::NativeDisplay* GetNativeDisplay() override { return display; }
  int GetDisplayWidth() override { return 800; }
  int GetDisplayHeight() override { return 600; }
  int GetFullScreenBits() override { return 16; }
  bool IsPopupShown() override { return false; }
  bool IsPageFlipping() override { return false; }
  bool WaitsForVerticalSync() override { return false; }
  void SetVerticalSyncBroken(bool) override {}
  std::set<Kit::MemoryImage*> images;
  Kit::NativeDisplay* display = nullptr;
};

struct Screen {
  explicit Screen(plat::DesktopFormat format) {
    plat::DisplaySettings wanted;
    wanted.format = format;
    wanted.desktopWidth = 1024;
    wanted.desktopHeight = 768;
    settings = std::make_unique<plat::ScopedDisplaySettings>(wanted);
    window = benchsupport::CreateBenchWindow("WidgetBench", 800, 600);
    display = std::make_unique<Kit::DDInterface>(&host);
    host.display = display.get();
    ok = window != nullptr && display->Init(window, true) == Kit::DDInterface::RESULT_OK;
  }
  ~Screen() {
    display.reset();
    if (window != nullptr) DestroyWindow(window);
  }
  ScreenHost host;
  std::unique_ptr<plat::ScopedDisplaySettings> settings;
  HWND window = nullptr;
  std::unique_ptr<Kit::DDInterface> display;
  bool ok = false;
};

// Every widget dirty onto the screen surface of a 16-bit (0) or 32-bit (1) display.
void BM_MenuFrameFullRedrawOnSurface(benchmark::State& state) {
  Screen screen(state.range(0) == 0 ? plat::DesktopFormat::Rgb565 : plat::DesktopFormat::Xrgb8888);
  if (!screen.ok) {
    state.SkipWithError("no display");
    return;
  }
  Menu menu;
  Kit::WidgetManager& manager = *menu.app.mWidgetManager;
  manager.mImage = screen.display->GetScreenImage();
  for (auto _ : state) {
    manager.MarkAllDirty();
    manager.UpdateFrame();
    benchmark::DoNotOptimize(manager.DrawScreen());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MenuFrameFullRedrawOnSurface)->Arg(0)->Arg(1)->ArgName("bits32")->Unit(benchmark::kMicrosecond);

// Every widget dirty: the whole screen is redrawn, as after a screen change.
void BM_MenuFrameFullRedraw(benchmark::State& state) {
  Menu menu;
  Kit::WidgetManager& manager = *menu.app.mWidgetManager;
  for (auto _ : state) {
    manager.MarkAllDirty();
    manager.UpdateFrame();
    benchmark::DoNotOptimize(manager.DrawScreen());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MenuFrameFullRedraw)->Unit(benchmark::kMicrosecond);

// A frame with the modal dialog up and the pointer moving between its buttons: the translucent
// button marks what lies under it, down to the backdrop, so the frame redraws the backdrop, the
// dialog and its buttons.
void BM_MenuFrameHoverOverDialog(benchmark::State& state) {
  Menu menu;
  Kit::WidgetManager& manager = *menu.app.mWidgetManager;
  const Kit::Rect yes = menu.dialog->mYesButton->GetRect();
  const Kit::Rect no = menu.dialog->mNoButton->GetRect();
  bool onYes = false;
  manager.DrawScreen();
  for (auto _ : state) {
    onYes = !onYes;
    const Kit::Rect& target = onYes ? yes : no;
    manager.MouseMoveEntry(target.mX + 5, target.mY + 5);
    manager.UpdateFrame();
    benchmark::DoNotOptimize(manager.DrawScreen());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MenuFrameHoverOverDialog)->Unit(benchmark::kMicrosecond);

// Only the update walk, nothing to draw.
void BM_MenuUpdateWalk(benchmark::State& state) {
  Menu menu;
  Kit::WidgetManager& manager = *menu.app.mWidgetManager;
  for (auto _ : state) benchmark::DoNotOptimize(manager.UpdateFrame());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MenuUpdateWalk);

// One mouse move: the hit test through the tree and the hover update, across the screen.
void BM_HitTestPerMouseMove(benchmark::State& state) {
  Menu menu;
  if (state.range(0) == 0) {
    menu.app.KillDialog(1);
    menu.app.ProcessSafeDeleteList();
  }
  Kit::WidgetManager& manager = *menu.app.mWidgetManager;
  int step = 0;
  for (auto _ : state) {
    step = (step + 7) % 4800;
    manager.MouseMoveEntry((step * 13) % 800, (step * 7) % 600);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HitTestPerMouseMove)->Arg(0)->Arg(1)->ArgName("modal");

}  // namespace
