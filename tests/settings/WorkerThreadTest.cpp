// The loading thread and the cursor thread of a running application.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/graphics/ImageLock.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/resource/Image.h"
#include "framework/resource/PNGWriter.h"
#include "framework/resource/ResourceManager.h"
#include "framework/util/AutoCrit.h"
#include "platform/win/input/Cursor.h"
#include "platform/win/process/Process.h"
#include "platform/win/system/DisplaySettings.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/Window.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/PollUntil.h"
#include "tests/support/ScreenFormats.h"
#include "tests/support/TempDir.h"

namespace {

// Loads in steps the test releases one at a time, so that progress can be watched midway.
class SteppedLoadingGame : public testsupport::HeadlessApp {
 public:
  SteppedLoadingGame() : HeadlessApp("WorkerThreadGame", 200, 150) {}
  void LoadingThreadProc() override {
    ++mRuns;
    mNumLoadingThreadTasks = 4;
    for (int i = 0; i < 4; ++i) {
      while (mReleased.load() <= i) std::this_thread::yield();
      ++mCompletedLoadingThreadTasks;
      mStepsDone = i + 1;
    }
  }
  std::atomic<int> mRuns{0};
  std::atomic<int> mReleased{0};
  std::atomic<int> mStepsDone{0};
};

// Loads the manifest's group "Game" on the loading thread, as the game does.
class ResourceLoadingGame : public testsupport::HeadlessApp {
 public:
  ResourceLoadingGame() : HeadlessApp("ResourceLoadingGame", 200, 150) { mFullScreenBits = 32; }
  void LoadingThreadProc() override {
    mResourceManager->StartLoadResources("Game");
    while (mResourceManager->LoadNextResource()) ++mCompletedLoadingThreadTasks;
  }
};

// Makes images of its own on the loading thread, the way game code may: made with new, filled
// through their pixels, drawn into, turned into surfaces or palettes, purged. It makes them anew,
// round after round, until the main thread has switched screen modes a few times meanwhile.
class ImageMakingGame : public testsupport::HeadlessApp {
 public:
  static constexpr int kImages = 40;
  static constexpr int kSwitchesWhileMaking = 3;
  static constexpr std::uint32_t kFill = 0xFF3080C0;
  static constexpr std::uint32_t kCorner = 0xFFFFFF00;

  ImageMakingGame() : HeadlessApp("ImageMakingGame", 200, 150) { mFullScreenBits = 32; }
  void LoadingThreadProc() override {
    mImages.resize(kImages);
    const int switchesBefore = mSwitches;
    for (int round = 0; round < 2 || mSwitches - switchesBefore < kSwitchesWhileMaking; ++round) {
      for (int i = 0; i < kImages; ++i) mImages[static_cast<std::size_t>(i)] = Make(i);
    }
    mCompletedLoadingThreadTasks = kImages;
  }
  // The loading thread's alone until it has finished.
  std::vector<std::unique_ptr<Kit::MemoryImage>> mImages;
  std::atomic<int> mSwitches{0};

 private:
  std::unique_ptr<Kit::MemoryImage> Make(int i) {
    std::unique_ptr<Kit::MemoryImage> image;
    if (i % 2)
      image = std::make_unique<Kit::DDImage>(mDDInterface.get());
    else
      image = std::make_unique<Kit::MemoryImage>(this);
    image->Create(8, 8);
    std::fill_n(image->GetBits(), 64, kFill);
    image->BitsChanged();
    image->CommitBits();
    if (i % 4 == 1) static_cast<Kit::DDImage&>(*image).GetSurface();
    if (i % 3 == 0) image->Palletize();
    image->FillRect(Kit::Rect(0, 0, 2, 2), Kit::Color(255, 255, 0), 0);
    if (i % 5 == 0) image->PurgeBits();
    return image;
  }
};

// Repaints a picture the main thread draws too, in one colour and then the other, until the main thread
// has drawn it 50 times meanwhile: as a picture that two groups share is loaded again.
class PictureRepaintingGame : public testsupport::HeadlessApp {
 public:
  PictureRepaintingGame() : HeadlessApp("PictureRepaintingGame", 200, 150) {}
  void LoadingThreadProc() override {
    for (int round = 0; mDraws < 50; ++round) {
      mPicture->FillRect(Kit::Rect(0, 0, 16, 16), round % 2 ? Kit::Color(192, 128, 48) : Kit::Color(48, 128, 192), 0);
      mPicture->Palletize();
    }
  }
  std::unique_ptr<Kit::MemoryImage> mPicture;
  std::atomic<int> mDraws{0};
};

class WorkerThreads : public testsupport::AppFixture {
 protected:
  // The position the cursor thread gave the display, read under the display's lock as it is written.
  static bool CursorAt(Kit::KitAppBase& app, int x, int y) {
    Kit::AutoCrit guard(app.mDDInterface->Lock());
    return app.mDDInterface->mCursorX == x && app.mDDInterface->mCursorY == y;
  }

  template <typename Condition>
  static testing::AssertionResult WaitFor(Condition condition) {
    return testsupport::PollUntil(condition);
  }
};

TEST_F(WorkerThreads, TheLoadingThreadRunsOnceAndReportsItsProgress) {
  SteppedLoadingGame game;
  EXPECT_DOUBLE_EQ(game.GetLoadingThreadProgress(), 0.0);  // not started
  game.StartLoadingThread();
  game.StartLoadingThread();
  EXPECT_DOUBLE_EQ(game.GetLoadingThreadProgress(), 0.0);
  game.mReleased = 1;
  ASSERT_TRUE(WaitFor([&] { return game.mStepsDone.load() == 1; }));
  EXPECT_DOUBLE_EQ(game.GetLoadingThreadProgress(), 0.25);
  game.mReleased = 3;
  ASSERT_TRUE(WaitFor([&] { return game.mStepsDone.load() == 3; }));
  EXPECT_DOUBLE_EQ(game.GetLoadingThreadProgress(), 0.75);
  game.mReleased = 4;
  game.WaitForLoadingThread();
  EXPECT_TRUE(game.mLoadingThreadCompleted);
  EXPECT_DOUBLE_EQ(game.GetLoadingThreadProgress(), 1.0);
  EXPECT_EQ(game.mRuns.load(), 1);
}

TEST_F(WorkerThreads, TheCursorThreadMovesTheSoftwareCursorWithThePointer) {
  SteppedLoadingGame game;
  game.Init();
  ASSERT_NE(game.mDDInterface, nullptr);
  game.mDrawCount = 1;  // a frame has been drawn
  game.mNextDrawTick = timeGetTime() - 1000;
  game.StartCursorThread();
  EXPECT_TRUE(game.mCursorThreadRunning);

  POINT origin{0, 0};
  ClientToScreen(game.mHWnd, &origin);
  SetCursorPos(origin.x + 30, origin.y + 40);
  EXPECT_TRUE(WaitFor([&] { return CursorAt(game, 30, 40); }));
  SetCursorPos(origin.x + 31, origin.y + 12);
  EXPECT_TRUE(WaitFor([&] { return CursorAt(game, 31, 12); }));

  game.Shutdown();  // waits for the cursor thread
  EXPECT_FALSE(game.mCursorThreadRunning);
}

// Alt+Enter rebuilds the main window while the cursor thread maps the pointer into it: the thread goes on
// with each new window.
TEST_F(WorkerThreads, TheCursorThreadFollowsTheWindowThroughScreenModeSwitches) {
  plat::ScopedDisplaySettings desktop(testsupport::TestDesktop(plat::DesktopFormat::Xrgb8888));
  SteppedLoadingGame game;
  game.mFullScreenBits = 32;
  game.Init();
  ASSERT_NE(game.mDDInterface, nullptr);
  game.mDrawCount = 1;
  game.mNextDrawTick = timeGetTime() - 1000;
  game.StartCursorThread();
  for (int step = 0; step < 12; ++step) {
    const bool windowed = step % 2 == 1;
    game.SwitchScreenModeWindowed(windowed);
    ASSERT_EQ(game.mWindowedInUse, windowed);
    POINT origin{0, 0};
    ClientToScreen(game.mHWnd, &origin);
    SetCursorPos(origin.x + 10 + step, origin.y + 20 + step);
    EXPECT_TRUE(WaitFor([&] { return CursorAt(game, 10 + step, 20 + step); })) << "after switch " << step;
  }
  game.Shutdown();
  EXPECT_FALSE(game.mCursorThreadRunning);
}

// The loading screen is up while the player switches screen modes: the images that the loading thread
// makes meanwhile, in their surfaces or not, come through with their pixels.
TEST_F(WorkerThreads, ImagesLoadedWhileTheScreenModeSwitchesKeepTheirPixels) {
  constexpr int kImages = 120;
  constexpr std::uint32_t kColour = 0xFF3080C0;
  plat::ScopedDisplaySettings desktop(testsupport::TestDesktop(plat::DesktopFormat::Xrgb8888));
  testsupport::TempDir folder;
  ImageLib::Image tile;
  ASSERT_TRUE(tile.Allocate(8, 8));
  std::fill_n(tile.GetBits(), tile.GetPixelCount(), kColour);
  ASSERT_TRUE(ImageLib::WritePNGImage(folder / "tile.png", tile));
  std::string images;
  for (int i = 0; i < kImages; ++i)
    images += "<Image id=\"I" + std::to_string(i) + "\" path=\"tile.png\" variant=\"" + std::to_string(i) + "\"" +
              (i % 2 == 0 ? " ddsurface" : "") + "/>";
  const std::string manifest =
      folder.Write("resources.xml", "<ResourceManifest><Resources id=\"Game\"><SetDefaults path=\"" +
                                        folder.Path().string() + "\"/>" + images + "</Resources></ResourceManifest>");

  ResourceLoadingGame game;
  game.Init();
  ASSERT_TRUE(game.mResourceManager->ParseResourcesFile(manifest)) << game.mResourceManager->GetErrorText();
  game.StartLoadingThread();
  // At least one switch, even when the loading thread is done before the first one begins.
  bool windowed = false;
  do {
    game.SwitchScreenModeWindowed(windowed);
    windowed = !windowed;
  } while (!game.mLoadingThreadCompleted);
  game.WaitForLoadingThread();
  ASSERT_FALSE(game.mResourceManager->HadError()) << game.mResourceManager->GetErrorText();
  EXPECT_EQ(game.mCompletedLoadingThreadTasks, kImages);
  game.SwitchScreenModeWindowed(!game.mWindowedInUse);  // once more with every image in place
  for (int i = 0; i < kImages; ++i) {
    Kit::MemoryImage* image = game.mResourceManager->GetImageThrow("I" + std::to_string(i)).GetImage();
    ASSERT_NE(image, nullptr) << i;
    const std::uint32_t* bits = image->GetBits();
    ASSERT_NE(bits, nullptr) << i;
    EXPECT_EQ(bits[0], kColour) << i;
    EXPECT_EQ(bits[63], kColour) << i;
  }
}

// The game's own images made on the loading thread meet the display's walks over every image while the
// player switches screen modes: each image's work on its pixels waits for the walk, whoever calls it.
TEST_F(WorkerThreads, ImagesTheGameMakesOnTheLoadingThreadWhileTheScreenModeSwitchesKeepTheirPixels) {
  plat::ScopedDisplaySettings desktop(testsupport::TestDesktop(plat::DesktopFormat::Xrgb8888));
  ImageMakingGame game;
  game.Init();
  ASSERT_NE(game.mDDInterface, nullptr);
  game.StartLoadingThread();
  bool windowed = false;
  do {
    game.SwitchScreenModeWindowed(windowed);
    windowed = !windowed;
    ++game.mSwitches;
  } while (!game.mLoadingThreadCompleted);
  game.WaitForLoadingThread();
  ASSERT_EQ(game.mImages.size(), static_cast<std::size_t>(ImageMakingGame::kImages));
  game.SwitchScreenModeWindowed(!game.mWindowedInUse);
  for (std::size_t i = 0; i < game.mImages.size(); ++i) {
    const std::uint32_t* bits = game.mImages[i]->GetBits();
    ASSERT_NE(bits, nullptr) << i;
    EXPECT_EQ(bits[0], ImageMakingGame::kCorner) << i;
    EXPECT_EQ(bits[9], ImageMakingGame::kCorner) << i;
    EXPECT_EQ(bits[63], ImageMakingGame::kFill) << i;
  }
}

// The main thread works on images without the display's lock only while no other thread may work on
// them: it takes the lock from the loading thread's start until it has seen the thread finish, and
// while the cursor thread draws a software cursor image. Any other thread always takes it.
TEST_F(WorkerThreads, TheMainThreadTakesTheImageLockWhileAnotherThreadMayWorkOnImages) {
  SteppedLoadingGame game;
  game.Init();
  ASSERT_NE(game.mDDInterface, nullptr);
  Kit::ImageLock& lock = game.mDDInterface->ImagesLock();
  EXPECT_FALSE(lock.NeededHere());
  bool neededOnAnotherThread = false;
  std::thread([&] { neededOnAnotherThread = lock.NeededHere(); }).join();
  EXPECT_TRUE(neededOnAnotherThread);

  game.StartLoadingThread();
  EXPECT_TRUE(lock.NeededHere());
  game.mReleased = 4;
  game.WaitForLoadingThread();
  EXPECT_FALSE(lock.NeededHere());

  Kit::MemoryImage cursor(&game);
  cursor.Create(4, 4);
  game.mDDInterface->SetCursorImage(&cursor);
  EXPECT_TRUE(lock.NeededHere());
  game.mDDInterface->SetCursorImage(nullptr);
  EXPECT_FALSE(lock.NeededHere());
}

// The loading thread repaints a picture that the main thread draws meanwhile: each draw meets the
// picture whole, in one colour or the other.
TEST_F(WorkerThreads, APictureTheLoadingThreadRepaintsIsDrawnWholeMeanwhile) {
  PictureRepaintingGame game;
  game.Init();
  ASSERT_NE(game.mDDInterface, nullptr);
  game.mPicture = std::make_unique<Kit::MemoryImage>(&game);
  game.mPicture->Create(16, 16);
  Kit::MemoryImage canvas(&game);
  canvas.Create(16, 16);
  game.StartLoadingThread();
  do {
    canvas.Blt(game.mPicture.get(), 0, 0, Kit::Rect(0, 0, 16, 16), Kit::Color::White, 0);
    const std::uint32_t* drawn = canvas.GetBits();
    ASSERT_TRUE(std::all_of(drawn, drawn + 256, [&](std::uint32_t pixel) { return pixel == drawn[0]; }));
    ++game.mDraws;
  } while (!game.mLoadingThreadCompleted);
  game.WaitForLoadingThread();
}

}  // namespace
