// The framework's application object: one per process, reached through gKitApp. This file holds the
// parts the widget toolkit stands on: the widget manager it owns, the registry of open dialogs with
// their modality, the string properties, the cursor number and the deferred
// deletion of widgets that keeps a widget alive until every handler that may use it has returned.
#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/app/ScreenSaverState.h"
#include "framework/graphics/Rect.h"
#include "framework/widget/ButtonListener.h"
#include "framework/widget/DialogListener.h"
#include "platform/win/Types.h"

namespace Kit {

class Buffer;
class DemoStream;
class DDImage;
class DDInterface;
class Dialog;
class Image;
class Widget;
class WidgetManager;

enum CursorNumber {
  CURSOR_POINTER = 0,
  CURSOR_HAND = 1,
  CURSOR_DRAGGING = 2,
  CURSOR_TEXT = 3,
  CURSOR_CIRCLE_SLASH = 4,
  CURSOR_WAIT = 10,
  CURSOR_NONE = 11,
  CURSOR_CUSTOM = 12,
};

// The dialog buttons' ids and the "no result yet" value of a dialog.
constexpr int ID_YES = 1000;
constexpr int ID_NO = 1001;
constexpr int ID_OK = 1000;
constexpr int ID_CANCEL = 1001;
constexpr int kNoDialogResult = 0x7FFFFFFF;

// Button modes of a dialog.
constexpr int BUTTONS_NONE = 0;
constexpr int BUTTONS_YES_NO = 1;
constexpr int BUTTONS_OK_CANCEL = 2;
constexpr int BUTTONS_FOOTER = 3;

class KitAppBase : public ButtonListener, public DialogListener {
 public:
  KitAppBase();
  KitAppBase(const KitAppBase&) = delete;
  KitAppBase& operator=(const KitAppBase&) = delete;
  virtual ~KitAppBase();

  // One step of the main loop: pumps queued input first, then runs the pacing step. False when nested
  // loops are to be left (the application is quitting).
  virtual bool UpdateAppStep(bool* updated);
  // Steps until one of them changed the update count (true) or the loop is to be left (false).
  virtual bool UpdateApp();
  // Handles at most one queued input record; false when none was waiting.
  virtual bool ProcessDeferredMessages();
  // The pacing step. Without a display and its timing this runs one tick per step.
  virtual bool Process(bool allowSleep);
  virtual void UpdateFrames();

  virtual Dialog* NewDialog(int id, bool isModal, const std::string& header, const std::string& lines,
                            const std::string& footer, int buttonMode);
  // A system message box over a full-screen display: the display shows the desktop's surface while
  // the box is up, and afterwards held keys and mouse buttons are forgotten (their releases went to
  // the box).
  virtual void BeginPopup();
  virtual void EndPopup();
  virtual int MsgBox(const std::string& text, const std::string& caption, unsigned int flags);
  // A fatal error's text in a "FATAL ERROR" box; the caller ends the program.
  virtual void Popup(const std::string& text);
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
  // Forgets every held key.
  void ClearKeyStates();
  void SetCursor(int cursorNumber);
  int GetCursor() const { return mCursorNum; }
  bool Is3DAccelerated() const;
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

  std::thread::id mPrimaryThreadId = std::this_thread::get_id();
  std::atomic<bool> mShutdownRequested{false};
  bool mQuit = false;
  bool mLeaveNestedLoops = false;
  int mUpdateState = 0;
  int mUpdateDepth = 0;
  int mUpdateCount = 0;

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
  virtual void WriteToRegistry();
  virtual void ReadFromRegistry();
  // Files read and written through these are synchronised with input recordings. A write goes to a
  // temporary file that replaces the old one only when complete.
  bool ReadBufferFromFile(const std::string& path, Buffer* buffer, bool notRecorded = false);
  bool FileExists(const std::string& path);
  bool WriteBytesToFile(const std::string& path, const std::uint8_t* data, int length);
  bool WriteBufferToFile(const std::string& path, const Buffer& buffer);
  void EnableCustomCursors(bool enabled);
  // Whether the screen image lives in video memory only (no system-memory copy to draw into).
  virtual void SetVideoOnlyDraw(bool videoOnlyDraw);
  // A new image of the display with a copy of the rectangle of the image (and its cel grid and
  // animation); the caller owns it.
  std::unique_ptr<DDImage> CopyImageRect(Image* image, const Rect& rect);
  std::unique_ptr<DDImage> CopyImage(Image* image);

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
  // cannot be played. WriteDemoFile saves a recording, with the run's random seed.
  bool StartDemo(std::string& error);
  bool OpenDemoFile(std::string& error);
  void WriteDemoFile(std::uint32_t seed);
  // Values from outside the program that no operation of its own records: recorded, or taken back
  // from the stream while a demo plays.
  void DemoSyncBuffer(Buffer& buffer);
  void DemoSyncString(std::string& text);
  void DemoSyncBool(bool& value);
  std::unique_ptr<DemoStream> mOwnDemoStream;
  ScreenSaverState mScreenSaver;
  bool mVideoOnlyDraw = false;

 private:
  // Takes the dialog out of the registry and the manager and ends its modality; no deletion.
  void UnregisterDialog(int id);

  bool mScreenSaverLogStarted = false;
  HMODULE mVersionDll = nullptr;
};

extern KitAppBase* gKitApp;

}  // namespace Kit
