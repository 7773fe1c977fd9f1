// Steering a played demo: the playback keys, the sound toggle, the fast-forward the frame loop runs,
// and the Marker List and Jump To Time dialogs.
#include "framework/app/demo/DemoPlaybackControls.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "framework/app/KitAppBase.h"
#include "framework/app/demo/DemoStream.h"
#include "framework/sound/SoundManager.h"
#include "framework/util/StringUtil.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/controls/Controls.h"
#include "platform/ui/dialogs/DialogTemplateWriter.h"
#include "platform/ui/dialogs/Dialogs.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/util/ClampToInt.h"
#include "platform/win/Errors.h"
#include "platform/win/process/Memory.h"
#include "platform/win/registry/Registry.h"
#include "platform/win/threads/Time.h"
#include "platform/win/window/Window.h"

namespace Kit {

namespace {

constexpr int kControlId = 100;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr const char* kJumpTimeValue = "DemoJumpTime";
constexpr DWORD kMaxJumpTimeBytes = 1000;
constexpr int kMaxJumpTimeChars = 500;

// The time before the end that the keys "4" to "9" jump to.
constexpr int kJumpKeyMillis[] = {120000, 90000, 60000, 30000, 10000, 5000};

// Runs the template from a zero-filled 1024-byte block, as the dialog manager expects it.
INT_PTR RunDialogTemplate(const plat::DialogTemplateWriter& writer, HWND owner, DLGPROC proc, KitAppBase* app) {
  constexpr SIZE_T kBlockSize = 1024;
  if (writer.Bytes().size() > kBlockSize) return -1;
  HGLOBAL block = GlobalAlloc(GHND, kBlockSize);
  if (block == nullptr) return -1;
  void* bytes = GlobalLock(block);
  std::memcpy(bytes, writer.Bytes().data(), writer.Bytes().size());
  const INT_PTR result =
      DialogBoxIndirectParam(nullptr, static_cast<LPCDLGTEMPLATE>(bytes), owner, proc, reinterpret_cast<LPARAM>(app));
  GlobalUnlock(block);
  GlobalFree(block);
  return result;
}

KitAppBase* AppOf(HWND dialog) { return reinterpret_cast<KitAppBase*>(GetWindowLongPtr(dialog, GWLP_USERDATA)); }

class JumpTimeKey {
 public:
  explicit JumpTimeKey(const std::string& regKey) {
    if (regKey.empty()) return;
    RegOpenKeyEx(HKEY_LOCAL_MACHINE, ("SOFTWARE\\" + regKey).c_str(), 0, KEY_ALL_ACCESS, &mKey);
  }
  JumpTimeKey(const JumpTimeKey&) = delete;
  JumpTimeKey& operator=(const JumpTimeKey&) = delete;
  ~JumpTimeKey() {
    if (mKey != nullptr) RegCloseKey(mKey);
  }
  HKEY Get() const { return mKey; }

 private:
  HKEY mKey = nullptr;
};

void FillMarkerList(HWND dialog, KitAppBase& app) {
  HWND list = GetDlgItem(dialog, kControlId);
  RECT client{};
  GetClientRect(dialog, &client);
  MoveWindow(list, 10, 10, client.right - client.left - 20, client.bottom - client.top - 20, TRUE);
  HDC dc = GetDC(list);
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(list, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  int widest = 0;
  for (const MarkerLine& line :
       MarkerListLines(app.mDemoStream->mDemoMarkers, app.mUpdateCount, app.DemoEndUpdate(), app.mFrameTime)) {
    const LRESULT index = SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.mText.c_str()));
    SendMessage(list, LB_SETITEMDATA, static_cast<WPARAM>(index), line.mUpdateCount);
    SIZE size{};
    GetTextExtentPoint32A(dc, line.mText.c_str(), static_cast<int>(line.mText.size()), &size);
    widest = std::max(widest, static_cast<int>(size.cx));
    SendMessage(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + metrics.tmAveCharWidth), 0);
  }
  SelectObject(dc, oldFont);
  ReleaseDC(list, dc);
}

INT_PTR MarkerListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtr(dialog, GWLP_USERDATA, lParam);
      FillMarkerList(dialog, *reinterpret_cast<KitAppBase*>(lParam));
      return TRUE;
    case WM_COMMAND:
      // Escape closes the list as the window's close box does.
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
      if (LOWORD(wParam) == kControlId && HIWORD(wParam) == LBN_DBLCLK) {
        KitAppBase* app = AppOf(dialog);
        HWND list = GetDlgItem(dialog, kControlId);
        const LRESULT selected = SendMessage(list, LB_GETCURSEL, 0, 0);
        if (selected < 0) return TRUE;
        const auto target =
            static_cast<std::int32_t>(SendMessage(list, LB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
        if (target > app->mUpdateCount) {
          app->mDemoJumpTarget = target;
          EndDialog(dialog, 0);
        }
      }
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR JumpToTimeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtr(dialog, GWLP_USERDATA, lParam);
      const JumpTimeKey key(reinterpret_cast<KitAppBase*>(lParam)->mRegKey);
      char text[kMaxJumpTimeBytes + 1] = {};
      DWORD type = 0;
      DWORD size = kMaxJumpTimeBytes;
      if (key.Get() != nullptr &&
          RegQueryValueEx(key.Get(), kJumpTimeValue, nullptr, &type, reinterpret_cast<LPBYTE>(text), &size) ==
              ERROR_SUCCESS &&
          type == REG_SZ) {
        SetDlgItemText(dialog, kControlId, text);
        SendDlgItemMessage(dialog, kControlId, EM_SETSEL, 0, -1);
      }
      return TRUE;
    }
    case WM_COMMAND: {
      if (LOWORD(wParam) == kControlId) return TRUE;  // the edit box's own notifications
      if (LOWORD(wParam) == IDOK) {
        KitAppBase* app = AppOf(dialog);
        char text[kMaxJumpTimeChars + 1] = {};
        GetDlgItemText(dialog, kControlId, text, sizeof(text));
        const JumpTimeKey key(app->mRegKey);
        if (key.Get() != nullptr)
          RegSetValueEx(key.Get(), kJumpTimeValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>(std::strlen(text) + 1));
        app->mDemoJumpTarget = JumpTargetForTime(app->DemoEndUpdate(), ParseJumpTime(text), app->mFrameTime);
      }
      EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    }
    case WM_CLOSE:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int ParseJumpTime(const std::string& text) {
  // Fields and sums are held at int's limits: a time longer than any demo only jumps nowhere.
  int seconds = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t colon = text.find(':', start);
    const int field = plat::ClampToInt(std::strtoll(text.substr(start, colon - start).c_str(), nullptr, 10));
    seconds = plat::ClampToInt(seconds * 60LL + field);
    if (colon == std::string::npos) return seconds;
    start = colon + 1;
  }
}

std::int32_t JumpTargetForTime(std::int32_t endUpdate, int seconds, int frameTime) {
  return plat::ClampToInt(endUpdate - (static_cast<long long>(seconds) + 1) * 1000 / frameTime);
}

std::int32_t JumpTargetBeforeEnd(std::int32_t endUpdate, int millis, int frameTime) {
  return plat::ClampToInt(static_cast<long long>(endUpdate) - millis / frameTime);
}

std::vector<MarkerLine> MarkerListLines(const std::vector<DemoMarker>& markers, std::int32_t updateCount,
                                        std::int32_t endUpdate, int frameTime) {
  std::vector<MarkerLine> lines;
  for (const DemoMarker& marker : markers) {
    if (marker.mUpdateCount <= updateCount) continue;
    const long long seconds = (static_cast<long long>(endUpdate) - marker.mUpdateCount) * frameTime / 1000;
    lines.push_back({StrFormat("%s (%02d:%02d:%02d)", marker.mName.c_str(), static_cast<int>(seconds / 3600),
                               static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60)),
                     marker.mUpdateCount});
  }
  return lines;
}

bool KitAppBase::DemoPlaying() const { return mDemoStream != nullptr && mDemoStream->mDemoPlaying; }

int KitAppBase::DemoEndUpdate() const { return mDemoStream != nullptr ? mDemoStream->mDemoEndUpdate : 0; }

void KitAppBase::DemoPlaybackKey(int character) {
  switch (character) {
    case '+':
      mUpdateMultiplier *= 1.5;
      return;
    case '-':
      mUpdateMultiplier *= 0.6666666666666666;
      return;
    case '=':
      mUpdateMultiplier = 1.0;
      return;
    case '0':
      mDemoJumpTarget = DemoEndUpdate();
      return;
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9':
      mDemoJumpTarget = JumpTargetBeforeEnd(DemoEndUpdate(), kJumpKeyMillis[character - '4'], mFrameTime);
      return;
    case 'J':
    case 'j':
      ShowJumpToTimeDialog();
      return;
    case 'L':
    case 'l':
      ShowMarkerListDialog();
      return;
    case 'M':
    case 'm':
      mDemoRunToEnd = true;
      return;
    case 'N':
    case 'n':
      mDemoSingleStep = true;
      mDemoJumpTarget = mUpdateCount + 1;
      return;
    case 'P':
    case 'p':
      mPlaybackPaused = !mPlaybackPaused;
      ResetTiming(false);
      return;
    case 'S':
    case 's':
      ToggleDemoSound();
      return;
    default:
      return;
  }
}

void KitAppBase::ToggleDemoSound() {
  if (GetMusicVolume() != 0.0) {
    mDemoSavedMusicVolume = GetMusicVolume();
    SetMusicVolume(0.0);
  } else {
    SetMusicVolume(mDemoSavedMusicVolume);
  }
  if (GetSfxVolume() != 0.0) {
    mDemoSavedSfxVolume = GetSfxVolume();
    SetSfxVolume(0.0);
  } else {
    SetSfxVolume(mDemoSavedSfxVolume);
  }
}

void KitAppBase::ShowMarkerListDialog() {
  if (!DemoPlaying()) return;
  plat::DialogTemplateWriter writer(kDialogStyle, 0, 10, 10, 200, 200, "Marker List", 8, "Tahoma");
  writer.AddItem(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY, WS_EX_CLIENTEDGE, 5, 5, 190, 195,
                 kControlId, "LISTBOX", "");
  RunDialogTemplate(writer, mHWnd, MarkerListProc, this);
  ResetTiming(false);
}

void KitAppBase::ShowJumpToTimeDialog() {
  if (!DemoPlaying()) return;
  plat::DialogTemplateWriter writer(kDialogStyle, 0, 10, 10, 200, 50, "Jump To Time", 8, "Tahoma");
  writer.AddItem(WS_CHILD | WS_VISIBLE, WS_EX_CLIENTEDGE, 5, 5, 190, 15, kControlId, "EDIT", "");
  writer.AddItem(WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 0, 30, 25, 60, 15, IDOK, "BUTTON", "Ok");
  writer.AddItem(WS_CHILD | WS_VISIBLE, 0, 100, 25, 60, 15, IDCANCEL, "BUTTON", "Cancel");
  RunDialogTemplate(writer, mHWnd, JumpToTimeProc, this);
  ResetTiming(false);
}

bool KitAppBase::DemoFastForwardStep() {
  if (!DemoPlaying()) return false;
  auto pending = [this] { return mUpdateCount < mDemoJumpTarget || mDemoRunToEnd; };
  if (pending() && !mDemoFastForward && !mDemoSingleStep) {
    mDemoFastForward = true;
    Mute(true);
  }
  if (pending() && !mFastForwardClockStarted) {
    mFastForwardClockStarted = true;
    mLastFastForwardDraw = GetTickCount();
  }
  const double step = FractionalStep();
  while (pending()) {
    ResetTiming(false);
    const int before = mUpdateCount;
    if (DoUpdateFrames()) {
      mPendingUpdatesAcc += step - 1.0;
      ProcessSafeDeleteList();
      while (mPendingUpdatesAcc >= 1.0) {
        PlaybackDemoStep();
        if (!DoUpdateFrames()) break;
        ProcessSafeDeleteList();
        mPendingUpdatesAcc -= 1.0;
      }
      UpdateFramesF(static_cast<float>(step));
      ProcessSafeDeleteList();
    }
    // Ending the pass sends the loop back to pumping input and replaying the records now due.
    if (mUpdateCount == before) {
      mUpdateState = UpdateState::kStepDone;
      return true;
    }
    if (GetTickCount() - mLastFastForwardDraw > 999 || mDemoSingleStep) {
      mDemoSingleStep = false;
      mLastFastForwardDraw = GetTickCount();
      DrawFrame();
      mUpdateState = UpdateState::kStepDone;
      return true;
    }
  }
  if (mDemoFastForward) {
    mDemoFastForward = false;
    if (mSoundManager) mSoundManager->StopAllSounds();
    Unmute(true);
  }
  return false;
}

}  // namespace Kit
