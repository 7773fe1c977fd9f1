// Construction of the services, Init, Start, Shutdown and the end of the application object.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>

#include "framework/app/KitAppBase.h"
#include "framework/app/OwnCopyNote.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/app/devtools/DebugOverlays.h"
#include "framework/graphics/SharedImageSet.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/resource/ResourceManager.h"
#include "framework/sound/DSoundManager.h"
#include "framework/sound/MusicInterface.h"
#include "framework/util/MTRand.h"
#include "framework/util/PathUtil.h"
#include "framework/util/StringUtil.h"
#include "framework/widget/WidgetManager.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/Errors.h"
#include "platform/win/files/Files.h"
#include "platform/win/input/Cursor.h"
#include "platform/win/modules/Modules.h"
#include "platform/win/process/DebugOutput.h"
#include "platform/win/process/Process.h"
#include "platform/win/process/SingleInstance.h"
#include "platform/win/system/SystemInfo.h"
#include "platform/win/threads/Threads.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/Messages.h"
#include "platform/win/window/Window.h"

namespace Kit {

HINSTANCE gHInstance = nullptr;

namespace {

// The DirectX libraries the application loads by name at construction: their presence is the DirectX
// test of Init.
HMODULE gDDrawDLL = nullptr;
HMODULE gDSoundDLL = nullptr;

constexpr const char* kDirectXMessage =
    "This application requires DirectX to run.  You can get DirectX at "
    "https://www.microsoft.com/en-us/download/details.aspx?id=35";

void FreeModule(HMODULE& module) {
  if (module != nullptr) FreeLibrary(module);
  module = nullptr;
}

std::string ThreadIdText(std::thread::id id) {
  std::ostringstream text;
  text << id;
  return text.str();
}

std::string ExecutablePath() {
  char path[257] = {};
  GetModuleFileName(nullptr, path, 256);
  return path;
}

}  // namespace

void KitAppBase::ConstructServices() {
  gDDrawDLL = LoadLibrary("ddraw.dll");
  gDSoundDLL = LoadLibrary("dsound.dll");

  mTimeLoaded = GetTickCount();
  mLastDrawTick = timeGetTime();
  mNextDrawTick = timeGetTime();
  for (int i = 0; i < 512; ++i) mAdd8BitMaxTable[i] = static_cast<std::uint8_t>(i < 256 ? i : 255);

  mSharedImageSet =
      std::make_unique<SharedImageSet>([this](const std::string& fileName) { return GetImage(fileName, false); },
                                       [this]() -> std::unique_ptr<MemoryImage> {
                                         if (mDDInterface) return std::make_unique<DDImage>(mDDInterface.get());
                                         return std::make_unique<MemoryImage>(this);
                                       });
  mWidgetManager = std::make_unique<WidgetManager>(this);
  mResourceManager = std::make_unique<ResourceManager>(this);
}

void KitAppBase::DestroyServices() {
  // The loading thread works in the resource manager: it must have finished before that goes.
  WaitForLoadingThread();
  WriteDemoFile(mRandomSeed);
  if (mInvisHWnd != nullptr) {
    SetWindowLongPtr(mInvisHWnd, GWLP_USERDATA, 0);
    DestroyWindow(mInvisHWnd);
    mInvisHWnd = nullptr;
  }
  // Every image before what it uses: the overlays' images are display images of the application.
  mDebugOverlays.reset();
  mWidgetManager.reset();
  mResourceManager.reset();
  mSharedImageSet.reset();
  mDDInterface.reset();
  mMusicInterface.reset();
  mSoundManager.reset();
  DestroyMainWindow();
  if (mCursorThread.joinable()) mCursorThread.join();
  if (mHandCursor != nullptr) DestroyCursor(mHandCursor);
  if (mDraggingCursor != nullptr) DestroyCursor(mDraggingCursor);
  mHandCursor = mDraggingCursor = nullptr;
  if (mMutex != nullptr) CloseHandle(mMutex);
  mMutex = nullptr;
  FreeModule(gDDrawDLL);
  FreeModule(gDSoundDLL);
}

void KitAppBase::Init() {
  if (mQuit) return;
  mPrimaryThreadId = std::this_thread::get_id();

  if (gDDrawDLL == nullptr || gDSoundDLL == nullptr) {
    MessageBox(nullptr, kDirectXMessage, "You need DirectX", MB_OK | MB_ICONERROR);
    FatalExit(EXIT_FAILURE);
  }

  if (!mCmdLineParsed) ParseCommandLine();
  if (mIsScreenSaver) mOnlyAllowOneCopyToRun = false;
  if (mOnlyAllowOneCopyToRun) {
    mNotifyMessage = RegisterWindowMessage((mProdName + "Notify").c_str());
    HANDLE mutex = CreateMutex(nullptr, TRUE, (mProdName + "Mutex").c_str());
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
      if (mutex != nullptr) CloseHandle(mutex);
      // Handing over to the copy that runs is no failure.
      PostMessage(HWND_BROADCAST, mNotifyMessage, 0, 0);
      FatalExit(EXIT_SUCCESS);
    }
    mMutex = mutex;
  }

  if (gHInstance == nullptr) gHInstance = reinterpret_cast<HINSTANCE>(GetModuleHandle(nullptr));
  if (mHInstance == nullptr) mHInstance = gHInstance;

  const std::string dir = GetFileDir(ExecutablePath());
  if (!ChangeDirHook(dir.c_str()) && !dir.empty()) SetCurrentDirectory(dir.c_str());

  mRandomSeed = GetTickCount();
  std::string demoError;
  if (!StartDemo(demoError)) {
    Popup(demoError);
    FatalExit(EXIT_FAILURE);
  }
  // A played demo's seed replaces the run's; the C runtime's generator follows it too, so that
  // whatever draws from either replays the same numbers.
  if (mDemoStream != nullptr && mDemoStream->mDemoPlaying) mRandomSeed = static_cast<unsigned int>(mDemoStream->mSeed);
  SeedRandom(mRandomSeed);

  PreReadRegistryHook();
  std::srand(mRandomSeed);
  ReadFromRegistry();

  RegisterWindowClasses();
  mInvisHWnd = CreateWindowEx(0, "InvisWindow", mTitle.c_str(), 0, 0, 0, 0, 0, nullptr, nullptr, mHInstance, nullptr);
  SetWindowLongPtr(mInvisHWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  CreateAppCursors();

  PreDisplayHook();
  mWidgetManager->Resize(mWidth, mHeight);

  if (mIsWindowed && !mFullScreenWindow &&
      (mWidth >= GetSystemMetrics(SM_CXSCREEN) || mHeight >= GetSystemMetrics(SM_CYSCREEN)))
    mIsWindowed = false;
  if (mFullScreenWindow && !ChangeDesktopModeForFullScreen()) {
    mFullScreenWindow = false;
    mIsWindowed = false;
  }

  MakeWindow();
  ReplayDisplayStateAtInit();

  if (!mSoundManager) mSoundManager = std::make_unique<DSoundManager>(mNoSoundNeeded ? nullptr : mHWnd, mUseFMod);
  SetSfxVolume(mSfxVolume);
  mMusicInterface.reset(CreateMusicInterface(mInvisHWnd));
  SetMusicVolume(mMusicVolume);

  if (mIsScreenSaver) SetCursor(CURSOR_NONE);
  InitHook();
  mInitialized = true;
}

bool KitAppBase::ChangeDesktopModeForFullScreen() {
  DEVMODE mode{};
  mode.dmSize = sizeof(mode);
  if (!EnumDisplaySettings(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return false;
  const bool depthUsable = mode.dmBitsPerPel == 16 || mode.dmBitsPerPel == 32;
  // The layer cannot change the desktop's mode: a desktop that does not already fit is a failed change.
  return static_cast<int>(mode.dmPelsWidth) == mWidth && static_cast<int>(mode.dmPelsHeight) == mHeight && depthUsable;
}

void KitAppBase::Start() {
  if (mQuit) return;
  StartCursorThread();
  if (mStartLoadingThread) StartLoadingThread();
  ShowWindow(mHWnd, SW_SHOWNORMAL);
  ::SetFocus(mHWnd);
  timeBeginPeriod(1);

  const DWORD start = timeGetTime();
  mRunning = true;
  mLastTimerTime = start;
  mLastUserInputTick = start;
  DoMainLoop();

  mUpdateDepth = 0;
  ProcessSafeDeleteList();
  mRunning = false;
  WaitForLoadingThread();
  WriteStatistics(start);

  timeEndPeriod(1);
  PreTerminate();
  WriteToRegistry();
}

void KitAppBase::WriteStatistics(DWORD startTime) {
  const auto line = [](const std::string& text) { OutputDebugString(text.c_str()); };
  line(StrFormat("Seconds       = %g\r\n", (timeGetTime() - startTime) * 0.001));
  line(StrFormat("Sleep Count   = %d\r\n", mSleepCount));
  line(StrFormat("Update Count  = %d\r\n", mUpdateCount));
  line(StrFormat("Draw Count    = %d\r\n", mDrawCount.load()));
  line(StrFormat("Draw Time     = %d\r\n", mDrawTime));
  line(StrFormat("Screen Blt    = %d\r\n", mScreenBltTime));
  if (mDrawTime + mScreenBltTime > 0)
    line(StrFormat("Avg FPS       = %d\r\n", mDrawCount.load() * 1000 / (mDrawTime + mScreenBltTime)));
}

void KitAppBase::Shutdown() {
  if (std::this_thread::get_id() != mPrimaryThreadId) {
    mShutdownRequested = true;
    return;
  }
  if (mQuit.exchange(true)) return;
  mLeaveNestedLoops = true;
  ShutdownHook();
  // No lock for the wake-up: the cursor thread may have crashed holding it, and it looks at mQuit at
  // least every 10 ms anyway. The wait pumps, so a crash window of that thread can show.
  mCursorThreadWake.notify_all();
  PumpWhile([this] { return mCursorThreadRunning.load(); });
  if (mCursorThread.joinable()) mCursorThread.join();
  if (mMusicInterface) mMusicInterface->StopAllMusic();
  if (!mWindowedInUse && mDDInterface && mDDInterface->mDirectDraw != nullptr)
    mDDInterface->mDirectDraw->RestoreDisplayMode();
  if (mHWnd != nullptr) ShowWindow(mHWnd, SW_HIDE);
  RestoreScreenResolution();
  if (mSaveSettingsAtShutdown) WriteToRegistry();
}

// Runs on the crashing thread, which may hold any lock of the application: it only sets flags, mutes
// and hides the window, and waits for nothing. A living main thread shuts down on its own.
void KitAppBase::CrashOccurred() {
  mCrashShutdown = true;
  mShutdownRequested = true;
  mCursorThreadWake.notify_all();
  SetMusicVolume(0);
  if (mHWnd != nullptr) ShowWindow(mHWnd, SW_HIDE);
}

// Waits while `busy` holds. On the main thread the wait pumps (without taking messages), because a
// crash window of another thread shows only while the main thread pumps.
void KitAppBase::PumpWhile(const std::function<bool()>& busy) {
  const bool primary = std::this_thread::get_id() == mPrimaryThreadId;
  while (busy()) {
    if (primary) {
      MSG msg{};
      PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    Sleep(10);
  }
}

std::string KitAppBase::GetAppInfoText() {
  const DWORD seconds = (GetTickCount() - mTimeLoaded) / 1000;
  return "Product: " + mProdName + "\r\nVersion: " + mProductVersion + "\r\nTime Loaded: " +
         StrFormat("%02d:%02d:%02d", static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                   static_cast<int>(seconds % 60)) +
         "\r\nFullscreen: " + (mIsWindowed ? "No" : "Yes") + "\r\nPrimary ThreadId: " + ThreadIdText(mPrimaryThreadId);
}

void KitAppBase::LoadResourceManifest(const std::string& fileName) {
  if (!mResourceManager->ParseResourcesFile("properties\\" + fileName)) ShowResourceError(true);
}

// The error names the file by its program path; when what was read there is the player's own copy,
// which wins over the game's, the player is told where it is.
std::string KitAppBase::ResourceErrorText() {
  return mResourceManager->GetErrorText() + OwnCopyNote(mResourceManager->GetErrorFile());
}

void KitAppBase::ShowResourceError(bool exitAfter) {
  if (std::this_thread::get_id() != mPrimaryThreadId) {
    // The pop-up and what it resets belong to the main thread.
    std::lock_guard<std::mutex> guard(mOwedResourceErrorLock);
    mOwedResourceError.emplace(ResourceErrorText(), exitAfter);
    return;
  }
  Popup(ResourceErrorText());
  if (exitAfter) FatalExit(EXIT_FAILURE);
}

void KitAppBase::ShowOwedResourceError() {
  std::optional<std::pair<std::string, bool>> owed;
  {
    std::lock_guard<std::mutex> guard(mOwedResourceErrorLock);
    owed.swap(mOwedResourceError);
  }
  if (!owed) return;
  Popup(owed->first);
  if (owed->second) FatalExit(EXIT_FAILURE);
}

void KitAppBase::FatalExit(int code) {
  RestoreScreenResolution();
  ExitProcess(static_cast<UINT>(code));
}

void KitAppBase::RestoreScreenResolution() {
  // Init only keeps this flag when the desktop already had the application's mode, so there is no
  // earlier mode to bring back.
  mFullScreenWindow = false;
}

void KitAppBase::WaitForLoadingThread() {
  if (!mLoadingThreadStarted) return;
  PumpWhile([this] { return !mLoadingThreadCompleted.load(); });
  if (mLoadingThread.joinable()) mLoadingThread.join();
  ShareImagesWhileLoading();
}

}  // namespace Kit
