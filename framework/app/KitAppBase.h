// The framework's application object: one per process, reached through gKitApp. It owns the main and
// the invisible window, the display, the widget manager, the resource manager, the sound manager and
// the music interface; it runs the frame loop (fixed ticks, fractional updates, draws and presents),
// queues window input and hands it to the widget manager one record per loop pass, keeps the registry
// of open dialogs with their modality, the string properties, the cursor number and the deferred
// deletion of widgets that keeps a widget alive until every handler that may use it has returned.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Before FontHost.h, whose inline defaults need the whole type.
#include "framework/graphics/Image.h"

#include "framework/app/ScreenSaverState.h"
#include "framework/font/FontHost.h"
#include "framework/graphics/ImageHost.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/d3d/D3DTester.h"
#include "framework/resource/ResourceHost.h"
#include "framework/widget/ButtonListener.h"
#include "framework/widget/DialogListener.h"
#include "platform/win/Types.h"
#include "platform/win/window/Messages.h"

namespace Kit {

class Buffer;
class DebugOverlays;
class DemoStream;
class DDImage;
class CritSect;
class DDInterface;
class Dialog;
class Image;
class MusicInterface;
class ResourceManager;
class SharedImageSet;
class SoundManager;
class Widget;
class WidgetManager;

enum CursorNumber {
  CURSOR_POINTER = 0,
  CURSOR_HAND = 1,
  CURSOR_DRAGGING = 2,
  CURSOR_TEXT = 3,
  CURSOR_CIRCLE_SLASH = 4,
  CURSOR_SIZE_ALL = 5,
  CURSOR_SIZE_NESW = 6,
  CURSOR_SIZE_NS = 7,
  CURSOR_SIZE_NWSE = 8,
  CURSOR_SIZE_WE = 9,
  CURSOR_WAIT = 10,
  CURSOR_NONE = 11,
  CURSOR_CUSTOM = 12,
};

// The dialog buttons' ids and the "no result yet" value of a dialog.
constexpr int kIdYes = 1000;
constexpr int kIdNo = 1001;
constexpr int kIdOk = 1000;
constexpr int kIdCancel = 1001;
constexpr int kNoDialogResult = 0x7FFFFFFF;

// Button modes of a dialog.
constexpr int kButtonsNone = 0;
constexpr int kButtonsYesNo = 1;
constexpr int kButtonsOkCancel = 2;
constexpr int kButtonsFooter = 3;

// The id of the main window's timer, whose messages feed the input queue.
constexpr UINT_PTR kAppTimerId = 100;
// Owed update time never exceeds this (ms), so a stall costs at most about 20 catch-up ticks.
constexpr double kMaxOwedMillis = 200.0;

class KitAppBase : public ButtonListener,
                   public DialogListener,
                   public ImageHost,
                   public D3DTestHost,
                   public FontHost,
                   public ResourceHost {
 public:
  KitAppBase();
  KitAppBase(const KitAppBase&) = delete;
  KitAppBase& operator=(const KitAppBase&) = delete;
  virtual ~KitAppBase();

  // Lifecycle: construct, Init, Start (returns when the loop ends), delete.
  virtual void Init();
  virtual void Start();
  // Hides the window and shuts down without painting; the crash handler calls it.
  virtual void CrashOccurred();
  virtual std::string GetAppInfoText();
  // A file the crash report's upload attaches instead of the demo file; empty for none.
  virtual std::string GetCrashExtraText() { return std::string(); }
  // Extra fields of an uploaded crash report, by field name.
  virtual void AddCrashReportFields(std::map<std::string, std::string>& fields) {}
  virtual void InitHook() {}
  virtual void PreTerminate() {}
  virtual void PreDisplayHook() {}
  virtual void PreReadRegistryHook() {}
  virtual void PreDDInterfaceInitHook() {}
  // Asked with the executable's folder; false lets the framework change to it.
  virtual bool ChangeDirHook(const char* /*dir*/) { return false; }
  virtual void LoadingThreadProc() {}
  virtual void LoadingThreadCompleted() {}
  void LoadResourceManifest(const std::string& fileName);
  // Shows the resource manager's error text and, when asked, ends the program. Called off the main
  // thread (the loading thread), the report is taken with its text and the main loop shows it on its
  // next pass.
  void ShowResourceError(bool exitAfter);
  // The resource manager's error, and where the player's own copy lies when it was the file read.
  std::string ResourceErrorText();
  // Restores the desktop mode and ends the process at once with the code.
  [[noreturn]] void FatalExit(int code);
  void RestoreScreenResolution();
  void WaitForLoadingThread();
  void PumpWhile(const std::function<bool()>& busy);

  // The window and the display.
  virtual void MakeWindow();
  virtual void ReInitImages();
  virtual void DeleteNativeImageData();
  virtual void DeleteExtraImageData();
  virtual void SwitchScreenMode(bool wantWindowed, bool is3D, bool force);
  virtual void SwitchScreenModeWindowed(bool wantWindowed);
  virtual void ReapplyScreenMode();
  bool InitDisplay(bool use3D, bool restart);
  // Takes the refresh rate from the display and, while recording, records the display state.
  void RecordDisplayState();
  void StartCursorThread();
  void StartLoadingThread();
  virtual double GetLoadingThreadProgress();
  // Shuts down and waits for the cursor and the loading thread to end (after Start they have). Both
  // threads call the application's virtual functions (the loading thread its LoadingThreadProc), so an
  // application that may be deleted while they run calls this first in its destructor, before its own
  // members and virtual table go (GameApp does); this class's destructor calls it too.
  void EndThreads();

  // The frame loop.
  virtual void DoMainLoop();
  // One step of the main loop: pumps queued input first, then runs the pacing step. False when nested
  // loops are to be left (the application is quitting).
  virtual bool UpdateAppStep(bool* updated);
  // Steps until one of them changed the update count (true) or the loop is to be left (false).
  virtual bool UpdateApp();
  // Handles queued input records (one when onlyOne); true when records remain.
  bool ProcessDeferredMessages(bool onlyOne);
  // Handles at most one queued input record; false when none was waiting.
  virtual bool ProcessDeferredMessages();
  // One pacing step; false only when it would have slept and allowSleep is false.
  virtual bool Process(bool allowSleep);
  virtual bool DoUpdateFrames();
  virtual void UpdateFrames();
  virtual void UpdateFramesF(float fraction);
  virtual bool DrawFrame();
  virtual void Redraw(const Rect* clip);
  void ResetTiming(bool forgiveLag);
  void UpdateFTimeAcc();
  // The update period T (ms) and fractional step f of the current mode.
  double UpdatePeriod() const;
  double FractionalStep() const;
  bool UsesRefreshSyncedRule() const;
  bool LoadingThreadRunning() const { return mLoadingThreadStarted && !mLoadingThreadCompleted; }

  // The window procedure (both window classes) and the input queue.
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void RehupFocus();
  virtual bool IsAltKeyUsed(WPARAM wParam) { return wParam == 'r' || wParam == 'R'; }
  // The developer keys (F2 profiler, F3 overlays, F8 video statistics and 3D switch, F10 pause and
  // speed, F11 screenshot and image dump, Alt+R constants); true for keys the widgets must not see.
  virtual bool DebugKeyDown(int key);
  virtual bool DebugKeyDownEx(int /*key*/, bool /*ctrl*/, bool /*alt*/) { return false; }
  virtual void CloseRequested() {}
  // Developer tools. Screenshots go to "_screenshots\\imageN.png" (N after the highest there), the
  // dump of every image to "_dump", both in the player's own folder.
  virtual void TakeScreenshot();
  virtual void DumpImages();
  virtual void ShowVideoStats();
  // A character typed while a demo plays: speed, jumps, single step, pause, the marker list and the
  // jump dialog, and the sound toggle.
  void DemoPlaybackKey(int character);
  // Silences music and effects, or gives each back its volume from before.
  void ToggleDemoSound();
  // The frame loop's fast-forward while a demo plays; true when it ended the pacing step.
  bool DemoFastForwardStep();
  void ShowMarkerListDialog();
  void ShowJumpToTimeDialog();
  bool DemoPlaying() const;
  int DemoEndUpdate() const;
  virtual void GotFocus() {}
  virtual void LostFocus() {}

  // Sound and music.
  virtual MusicInterface* CreateMusicInterface(HWND window);
  virtual void PlaySample(int soundId);
  virtual void PlaySampleWithPan(int soundId, int pan);
  virtual double GetMasterVolume();
  virtual double GetMusicVolume() { return mMusicVolume; }
  virtual double GetSfxVolume() { return mSfxVolume; }
  virtual bool IsMuted() { return mMuteCount > 0; }
  virtual void SetMasterVolume(double volume);
  virtual void SetMusicVolume(double volume);
  virtual void SetSfxVolume(double volume);
  virtual void Mute(bool autoMute);
  virtual void Unmute(bool autoMute);

  // Images shared by file name, for the resource manager and the fonts; those nobody holds any more
  // are dropped once per tick.
  SharedImageRef GetSharedImage(const std::string& fileName, const std::string& variant, bool* created) override;
  void CleanSharedImages();
  // A new image of the display (a software one without a display) with the file's pixels, handed to
  // SetBits with commitBits; null when the file cannot be read.
  std::unique_ptr<MemoryImage> GetImage(const std::string& fileName, bool commitBits);
  using ResourceHost::GetImage;

  // What the images, the fonts and the resource manager need of the application.
  void AddMemoryImage(MemoryImage* image) override;
  void RemoveMemoryImage(MemoryImage* image) override;
  // The application's images as they are now.
  std::vector<MemoryImage*> SnapshotImages();
  // The lock that guards the image set and every image's making and unmaking: the display's, while
  // there is a display.
  ImageLock* ImagesLock() override;
  void ForEachImage(void (MemoryImage::*operation)());
  NativeDisplay* GetNativeDisplay() override;
  int GetDisplayWidth() override { return mWidth; }
  int GetDisplayHeight() override { return mHeight; }
  int GetFullScreenBits() override { return mFullScreenBits; }
  bool IsPopupShown() override { return mPopupActive; }
  bool WaitsForVerticalSync() override { return mWaitForVSync; }
  bool IsSoftwareVerticalSync() override { return mSoftVSyncWait; }
  void SetVerticalSyncBroken(bool broken) override { mVSyncBroken = mVSyncBroken || broken; }
  SoundManager* GetSoundManager() override { return mSoundManager.get(); }
  FontHost* GetFontHost() override { return this; }
  ImageHost* GetImageHost() override { return this; }
  // What the display's Direct3D path and its self-test need of the application.
  void Remove3DData(MemoryImage* image) override;
  bool RecoverBitsFrom3D(MemoryImage* image, std::uint32_t* bits) override;
  Settings3D Get3DSettings() override;
  D3DTestHost* GetD3DTestHost() override { return this; }
  void Record3DRuntimeError(const std::string& text) override;
  std::string GetRegistryKey() override { return mRegKey; }
  bool IsPlayingDemo() override { return mPlayingDemoBuffer; }

  virtual Dialog* NewDialog(int id, bool isModal, const std::string& header, const std::string& lines,
                            const std::string& footer, int buttonMode);
  // A system message box over a full-screen display: the display shows the desktop's surface while
  // the box is up, and afterwards held keys and mouse buttons are forgotten (their releases went to
  // the box).
  virtual void BeginPopup();
  virtual void EndPopup();
  virtual int MsgBox(const std::string& text, const std::string& caption, unsigned int flags);
  // A fatal error's text in a "FATAL ERROR" box; the caller ends the program.
  void Popup(const std::string& text) override;
  // A problem after which the program goes on (settings or a player's file that cannot be kept): its
  // text in a warning box captioned with the program's title, which does not call it fatal.
  virtual void Notice(const std::string& text);
  virtual void LogScreenSaverError(const std::string& text);
  virtual void SafeDeleteWidget(Widget* widget);
  virtual void URLOpenFailed(const std::string& url);
  virtual void URLOpenSucceeded(const std::string& url);
  // Opens an address or document with the desktop's handler. Whether it really opened is decided
  // later from the window's activation; until then a second request for the same address is ignored.
  virtual bool OpenURL(const std::string& url, bool shutdownOnOpen);
  // The "ProductVersion" of a file's version information; empty when it has none.
  virtual std::string GetProductVersion(const std::string& path);
  // Ends the main loop once, on the primary thread; from another thread it is only requested.
  virtual void Shutdown();
  virtual void ShutdownHook();
  // A plain dialog of the framework's look (NewDialog) in place of the one under the id; with one
  // footer button it is a message box that its button closes.
  virtual Dialog* DoDialog(int id, bool isModal, const std::string& header, const std::string& lines,
                           const std::string& footer, int buttonMode);
  virtual Dialog* GetDialog(int id);
  virtual void AddDialogOwnId(Dialog* dialog);
  virtual void AddDialog(int id, Dialog* dialog);
  virtual bool KillDialogOwnId(Dialog* dialog);
  virtual bool KillDialog(int id);
  virtual int GetDialogCount();
  virtual void ModalOpen();
  virtual void ModalClose();
  virtual void EnforceCursor();

  void DialogButtonPress(int dialogId, int buttonId) override;
  void DialogButtonDepress(int dialogId, int buttonId) override;

  void ProcessSafeDeleteList();
  // Forgets every held key and the Ctrl and Alt state.
  void ClearKeyStates();
  void SetCursor(int cursorNumber);
  int GetCursor() const { return mCursorNum; }
  // The display now runs with 3D acceleration.
  bool Is3DAccelerated() override;
  // Whether 3D acceleration can be turned on (the display's self-test ran and found no failure), and
  // whether it is advised (nor a warning).
  virtual bool Is3DAccelerationSupported();
  virtual bool Is3DAccelerationRecommended();
  // The player's 3D choice of an earlier run ("Is3D"), for the display about to start.
  void TakeStored3DChoice();
  // At the end of a run: keeps a 3D switch made during it, asking first when the self-test did not
  // advise 3D, and offers to turn 3D off after Direct3D problems.
  void Confirm3DChoice();
  void SetString(const std::string& name, const std::string& text);
  std::string GetString(const std::string& name, const std::string& defaultText) const;
  // A widget that is waiting (a dialog in its nested loop) is not deleted while it waits, even when a
  // handler inside the wait queued it for deletion; it goes at the first safe point after the wait.
  void BeginWait(Widget* widget);
  void EndWait(Widget* widget);
  // The clipboard's text (CF_TEXT, with a CF_UNICODETEXT copy when set); empty when there is none or
  // the clipboard is held elsewhere.
  virtual void CopyToClipboard(const std::string& text);
  virtual std::string GetClipboard();
  // The clipboard's text as it is now, not synchronised.
  std::string ReadClipboardText();

 private:
  // The application's images. First of the members, so that it is destroyed last: every image the
  // application owns (the widgets', the display's, the resources', the overlays') takes itself out of
  // it when destroyed.
  std::mutex mMemoryImageLock;
  std::set<MemoryImage*> mMemoryImageSet;

 public:
  // Main thread only, apart from the cursor thread's reads under mCursorThreadLock (see
  // SetMainWindowHandle).
  HWND mHWnd = nullptr;
  int mWidth = 640;
  int mHeight = 480;
  bool mWindowedInUse = true;
  bool mIsScreenSaver = false;
  std::unique_ptr<WidgetManager> mWidgetManager;
  std::unique_ptr<DDInterface> mDDInterface;  // null until the first window is made
  std::map<int, Dialog*> mDialogMap;
  std::list<Dialog*> mDialogList;
  std::map<std::string, std::string> mStringProperties;
  bool mPopupActive = false;
  int mCursorNum = CURSOR_POINTER;

  std::string mProductVersion;
  bool mURLOpenPending = false;
  bool mShutdownOnURLOpen = false;
  std::string mPendingURL;
  DWORD mURLOpenStartTime = 0;

  // The thread that runs Init, the loop and every tick; set again by Init.
  std::thread::id mPrimaryThreadId = std::this_thread::get_id();
  // Written by other threads (Shutdown, the loading and cursor threads), so atomic.
  std::atomic<bool> mShutdownRequested{false};
  std::atomic<bool> mQuit{false};
  bool mLeaveNestedLoops = false;
  // Where the main loop's step stands: pumping the queued messages, ready for a tick, past a tick
  // (catch-up ticks, the fractional update), or done (the next step pumps again).
  enum class UpdateState { kPumpMessages, kReadyToTick, kTicked, kStepDone };
  UpdateState mUpdateState = UpdateState::kPumpMessages;
  int mUpdateDepth = 0;
  int mUpdateCount = 0;

  // Identity.
  std::string mProdName = "Product";
  std::string mTitle = "KitApp";
  std::string mFullCompanyName;  // the caption prefix of the hardware-acceleration questions

  // Window and display.
  HINSTANCE mHInstance = nullptr;
  HWND mInvisHWnd = nullptr;
  int mFullScreenBits = 16;
  bool mFullScreenWindow = false;
  bool mForceFullscreen = false;
  bool mForceWindowed = false;
  UINT mNotifyMessage = 0;
  HANDLE mMutex = nullptr;
  bool mOnlyAllowOneCopyToRun = true;
  HCURSOR mHandCursor = nullptr;
  HCURSOR mDraggingCursor = nullptr;
  bool mAutoEnable3D = false;
  bool mTest3D = false;
  int mMinVidMemory3D = 6;
  int mRecommendedVidMemory3D = 14;
  bool mChanged3DSetting = false;
  std::array<std::uint8_t, 512> mAdd8BitMaxTable{};
  std::vector<RECT> mScreenBounds;

  // Services.
  std::unique_ptr<ResourceManager> mResourceManager;
  std::unique_ptr<SoundManager> mSoundManager;
  std::unique_ptr<MusicInterface> mMusicInterface;
  bool mNoSoundNeeded = false;
  bool mUseFMod = false;

  // Lifecycle.
  bool mInitialized = false;
  std::atomic<bool> mCrashShutdown{false};
  std::atomic<bool> mRunning{false};
  DWORD mTimeLoaded = 0;
  unsigned int mRandomSeed = 0;
  int mDifficulty = 2;

  // Threads.
  bool mStartLoadingThread = true;
  std::atomic<bool> mLoadingThreadStarted{false};
  std::atomic<bool> mLoadingThreadCompleted{false};
  bool mLoadedHandedOver = false;
  std::atomic<int> mNumLoadingThreadTasks{0};
  std::atomic<int> mCompletedLoadingThreadTasks{0};
  std::atomic<bool> mCursorThreadRunning{false};
  std::thread mLoadingThread;
  std::thread mCursorThread;
  std::mutex mCursorThreadLock;
  std::condition_variable mCursorThreadWake;

  // Frame loop timing (ms unless named otherwise).
  int mFrameTime = 10;
  int mSyncRefreshRate = 100;
  double mUpdateMultiplier = 1.0;
  bool mVSyncUpdates = false;
  bool mPlaybackPaused = false;
  int mPauseState = 0;
  double mUpdateFTimeAcc = 0.0;
  double mPendingUpdatesAcc = 0.0;
  int mNoCatchUpCountdown = 0;
  DWORD mLastTimeAcc = 0;
  int mUpdatesSinceDraw = 0;
  bool mHasPendingDraw = true;
  bool mLastDrawWasEmpty = false;
  bool mVSyncBroken = false;
  int mVSyncBrokenTestUpdates = 0;
  int mVSyncBrokenCount = 0;
  DWORD mVSyncBrokenTestStartTick = 0;
  bool mSoftVSyncWait = true;
  DWORD mLastDrawTick = 0;
  // Read by the cursor thread.
  std::atomic<DWORD> mNextDrawTick{0};
  DWORD mLastScreenSaverCheck = 0;
  bool mForceDraw = false;
  bool mDrawing = false;
  bool mLastPresentFailed = false;
  DWORD mLastRestartAttempt = 0;
  bool mYieldMainThread = false;
  int mSleepCount = 0;
  std::atomic<int> mDrawCount{0};
  int mRedrawCount = 0;
  int mDirtyCount = 0;
  int mDrawTime = 0;
  int mScreenBltTime = 0;
  int mFPSCount = 0;
  int mFPSTime = 0;

  // Developer tools: the overlays (F3), demo playback control.
  bool mShowFPS = false;
  int mFpsMode = 0;  // 0 frame rate, 1 mouse position
  std::unique_ptr<DebugOverlays> mDebugOverlays;
  std::int32_t mDemoJumpTarget = 0;
  bool mDemoRunToEnd = false;
  bool mDemoSingleStep = false;
  bool mDemoFastForward = false;
  bool mFastForwardClockStarted = false;
  DWORD mLastFastForwardDraw = 0;
  double mDemoSavedMusicVolume = 0.0;
  double mDemoSavedSfxVolume = 0.0;

  // Window procedure and queued input.
  std::list<MSG> mDeferredMessages;
  bool mMouseIn = false;
  bool mCtrlDown = false;
  bool mAltDown = false;
  bool mDebugKeysEnabled = false;
  bool mActive = true;
  bool mMinimized = false;
  bool mHasFocus = true;
  bool mMuteOnLostFocus = true;
  bool mAllowMonitorPowersave = true;
  DWORD mLastTimerTime = 0;
  DWORD mLastBigDelayTime = 0;
  DWORD mLastUserInputTick = 0;

  struct SafeDeleteRecord {
    int mUpdateDepth = 0;
    Widget* mWidget = nullptr;
  };
  std::list<SafeDeleteRecord> mSafeDeleteList;
  std::vector<Widget*> mWaitingWidgets;

  // Settings, synchronised file access, the command line and screen-saver mode.
  // The registry: values under "SOFTWARE\\" + the registry key; a name "Sub\\Value" reaches a sub-key.
  bool RegistryWrite(const std::string& valueName, DWORD type, const std::uint8_t* data, DWORD length);
  bool RegistryRead(const std::string& valueName, DWORD* type, std::uint8_t* data, DWORD* length);
  void RegistryEraseValue(const std::string& valueName);
  bool RegistryWriteString(const std::string& valueName, const std::string& text);
  bool RegistryWriteInteger(const std::string& valueName, int value);
  bool RegistryWriteBoolean(const std::string& valueName, bool value);
  bool RegistryReadString(const std::string& valueName, std::string* text);
  bool RegistryReadInteger(const std::string& valueName, int* value);
  bool RegistryReadBoolean(const std::string& valueName, bool* value);
  // Runs `write`, whose registry writes reach the settings file together, in one write after it
  // (plat::RegistryWriteGroup); a failure of that write is told as a failed write is.
  void RegistryWriteTogether(const std::function<void()>& write);
  virtual void WriteToRegistry();
  virtual void ReadFromRegistry();
  // Tells the player, in a pop-up, what the settings store could not do with its file (read it, keep it,
  // write it) and has not told yet: each problem once a run. The hand-over after loading asks, and so
  // does every failed write after it; nothing is shown before the window is up.
  void TellSettingsProblems();
  // Files read and written through these are synchronised with input recordings. A write goes to a
  // temporary file that replaces the old one only when complete; while a recording plays back nothing
  // is written and the recorded outcome is returned (an override sees what would have been written).
  bool ReadBufferFromFile(const std::string& path, Buffer* buffer, bool notRecorded = false);
  bool FileExists(const std::string& path);
  virtual bool WriteBytesToFile(const std::string& path, const std::uint8_t* data, int length);
  bool WriteBufferToFile(const std::string& path, const Buffer& buffer);
  void EnableCustomCursors(bool enabled);
  // Images drawn as the software cursor, by cursor number; the game fills the ones it wants.
  static constexpr int kCursorImageCount = 13;
  Image* mCursorImages[kCursorImageCount] = {};
  // Shown instead of the cursor number's system cursor while set.
  HCURSOR mOverrideCursor = nullptr;
  bool mSystemCursorInUse = true;
  // Whether the screen image lives in video memory only (no system-memory copy to draw into).
  virtual void SetVideoOnlyDraw(bool videoOnlyDraw);
  // A new image of the display with a copy of the rectangle of the image (and its cel grid and
  // animation); the caller owns it.
  std::unique_ptr<DDImage> CopyImageRect(Image* image, const Rect& rect);
  // The fonts' copies of their glyph sheets: a display image like CopyImageRect's.
  std::unique_ptr<Image> CopyImage(Image* image) override;

  virtual void ParseCommandLine();
  virtual void ParseCommandLineText(const std::string& text);
  virtual void HandleCmdLineParam(const std::string& name, const std::string& value);
  // The highest number N of the files prefix + N + ".dmo" (0 when none); with deleteOld, the oldest are
  // deleted until fewer than keep remain.
  int GetNextDemoNumber(const std::string& prefix, int keep, bool deleteOld);
  bool IsScreenSaver() const { return mIsScreenSaver; }
  // Pauses a windowed game while the system's screen saver is due, so that it can start.
  void ScreenSaverKeeper(DWORD now);
  // The screen-saver mode's message filter; true when it handled the message (result in *result).
  bool VerifyScreenSaverPassword(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  std::string mRegKey;
  double mMusicVolume = 0.85;
  double mSfxVolume = 0.85;
  int mMuteCount = 0;
  int mAutoMuteCount = 0;
  bool mIsWindowed = true;
  int mPreferredX = -1;
  int mPreferredY = -1;
  bool mCustomCursorsEnabled = false;
  bool mWaitForVSync = false;
  bool mSaveSettingsAtShutdown = false;
  bool mLastShutdownWasGraceful = true;
  bool mCmdLineParsed = false;
  std::string mDemoPrefix = "kitapp";
  std::string mDemoFileName = "kitapp.dmo";
  bool mRecordingDemoBuffer = false;
  bool mPlayingDemoBuffer = false;
  // The demo stream of the recording or playback in progress (owned by the recorder); while it records
  // or plays, registry and file access is synchronised through it.
  DemoStream* mDemoStream = nullptr;

  // Input recording and playback. StartDemo makes the stream the command line asked for; for
  // playback it opens the demo file (OpenDemoFile), false with the message to show when the file
  // cannot be played, and for a recording false with the message when its file could not be written.
  // WriteDemoFile saves a recording, with the run's random seed (a failure goes to standard error).
  bool StartDemo(std::string& error);
  bool OpenDemoFile(std::string& error);
  void WriteDemoFile(std::uint32_t seed);
  // Applies the recorded input due at the current update count (the main loop's playback step).
  void PlaybackDemoStep();
  // Writes a queued input message into the recording.
  void RecordDemoMessage(const MSG& msg);
  // The display state recorded right after the window was made replaces the current one.
  void ReplayDisplayStateAtInit();
  // While recording, a record without payload (mouse enter and leave, loading completed).
  void RecordDemoCommand(int command);
  // Values from outside the program that no operation of its own records: recorded, or taken back
  // from the stream while a demo plays.
  void DemoSyncBuffer(Buffer& buffer);
  void DemoSyncString(std::string& text) override;
  void DemoSyncBool(bool& value) override;
  std::unique_ptr<DemoStream> mOwnDemoStream;
  // The replayed mouse position (x in the high half, y in the low), for the cursor thread.
  std::atomic<std::uint64_t> mDemoCursorPos{0};
  ScreenSaverState mScreenSaver;
  bool mVideoOnlyDraw = false;

 private:
  // Takes the dialog out of the registry and the manager and ends its modality; no deletion.
  void UnregisterDialog(int id);

  void ConstructServices();
  void DestroyServices();
  void RegisterWindowClasses();
  void CreateAppCursors();
  bool ChangeDesktopModeForFullScreen();
  void WriteStatistics(DWORD startTime);
  void WindowedPlacement(int outerWidth, int outerHeight, int* x, int* y);
  bool ApplyDisplayResult(int result);
  void TickWatchdog(DWORD now);
  bool ProcessStateReady(bool refreshSynced, double period, DWORD now);
  void ProcessStateTicked(bool refreshSynced, double period, double fraction);
  bool ProcessNoTick(bool allowSleep, double period, DWORD* slept);
  bool YieldToLoadingThread(bool allowSleep, DWORD now, DWORD slept);
  void RestartDisplay();
  void UseScreenImage();
  bool QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void HandleQueuedMessage(const MSG& msg);
  void HandleQueuedMouse(const MSG& msg);
  void HandleQueuedTimer();
  // The bodies of the loading and the cursor threads.
  void LoadingThreadEntry();
  // Tells the display whether the loading thread may be at work on images: from before it starts until
  // this (the main) thread has seen it finish, the main thread's image operations take the lock too.
  void ShareImagesWhileLoading();
  void CursorThreadEntry();
  void CursorThreadProc();
  // Moves the software cursor to a client position read by the cursor thread.
  void MoveSoftwareCursor(DDInterface* display, POINT at);
  // The main window's handle changes under the cursor thread's lock, which that thread holds while it
  // maps the pointer into the window.
  void SetMainWindowHandle(HWND window);
  // The main window goes, if there is one: its handle first (the cursor thread lets go of it), then its
  // link to the application, its timer and the window itself.
  void DestroyMainWindow();
  // Drops the image's textures from the display.
  void RemoveImageFromDisplay(MemoryImage* image);
  void ApplyVolumes();
  // The resource error that another thread reported, shown now on the main thread.
  void ShowOwedResourceError();
  // A problem's text in a system message box (to the screen saver's log in screen-saver mode); nothing
  // is shown once the program is quitting.
  void ShowProblem(const std::string& text, const std::string& caption, unsigned int icon);

  // The lines of this run that reached "ScrError.txt": the file is written whole with each new one.
  std::string mScreenSaverLog;
  HMODULE mVersionDll = nullptr;
  std::unique_ptr<SharedImageSet> mSharedImageSet;
  // A resource error reported off the main thread, waiting for the main loop.
  std::mutex mOwedResourceErrorLock;
  std::optional<std::pair<std::string, bool>> mOwedResourceError;
};

extern KitAppBase* gKitApp;
// The program's module handle, kept by the entry function before it creates the application.
extern HINSTANCE gHInstance;

}  // namespace Kit
