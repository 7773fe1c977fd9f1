// The developer keys and what they open: the profiler's report, the overlays, the video statistics,
// the 3D switch, pause and slow motion, screenshots and the image dump, and the reload of the
// tweakable constants.
#include <ctime>

#include "framework/app/KitAppBase.h"
#include "framework/app/devtools/DebugOverlays.h"
#include "framework/app/devtools/DeveloperFiles.h"
#include "framework/app/devtools/ModValues.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/util/FileSystemUtil.h"
#include "framework/util/Profiler.h"
#include "framework/util/StringUtil.h"
#include "framework/widget/WidgetManager.h"
#include "platform/shell/Shell.h"
#include "platform/ui/dialogs/MessageBox.h"
#include "platform/win/files/Files.h"
#include "platform/win/input/VirtualKeys.h"
#include "platform/win/threads/Time.h"

namespace Kit {

namespace {
constexpr const char* kMenuCommandSound = "c:\\windows\\media\\Windows XP Menu Command.wav";
// The dump's folder is made again right after it was deleted; a folder that another program is still
// removing gets five seconds to go.
constexpr int kDumpFolderTries = 50;
}  // namespace

bool KitAppBase::DebugKeyDown(int key) {
  // While a demo plays, the widgets hold the recording's keys; the modifiers are the live ones.
  auto held = [this](int modifier) {
    return mWidgetManager->mKeyDownTable[modifier] || (DemoPlaying() && GetKeyState(modifier) < 0);
  };
  const bool shift = held(VK_SHIFT);
  const bool ctrl = held(VK_CONTROL);
  if (key == 'R' && held(VK_MENU)) {
    if (ReparseModValues())
      PlaySound(kMenuCommandSound, nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT);
    else
      mWidgetManager->mKeyDownTable.fill(false);  // a message box may have taken the releases
    return false;
  }
  switch (key) {
    case VK_F2:
      if (!Profiler::IsEnabled()) {
        ResetTiming(false);
        Profiler::StartRun(false);
      } else {
        Profiler::StopRun();
        MsgBox(Profiler::GetReport(), "Perf Results", MB_OK);
        ResetTiming(false);
      }
      return false;
    case VK_F3:
      if (shift) {
        mShowFPS = true;
        mFpsMode = (mFpsMode + 1) % 2;
      } else {
        mShowFPS = !mShowFPS;
      }
      mWidgetManager->MarkAllDirty();
      if (mShowFPS) {
        if (!mDebugOverlays) mDebugOverlays = std::make_unique<DebugOverlays>();
        mDebugOverlays->RestartFrameRate();
      }
      return false;
    case VK_F8:
      if (shift) {
        SwitchScreenMode(mIsWindowed, !Is3DAccelerated(), false);
        MsgBox(StrFormat("3D-Mode: %s", Is3DAccelerated() ? "ON" : "OFF"), "Mode Switch", MB_OK);
        mLastTimeAcc = timeGetTime();
      } else {
        ShowVideoStats();
      }
      return true;
    case VK_F10:
      if (ctrl) {
        mUpdateMultiplier = mUpdateMultiplier == 0.25 ? 1.0 : 0.25;
      } else if (shift) {
        mPauseState = 0;
        ResetTiming(false);
      } else {
        mPauseState = 1;
      }
      return true;
    case VK_F11:
      if (shift)
        DumpImages();
      else
        TakeScreenshot();
      return true;
    default:
      return false;
  }
}

void KitAppBase::ShowVideoStats() {
  DWORD total = 0;
  DWORD available = 0;
  if (mDDInterface && mDDInterface->mDirectDraw7 != nullptr) {
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_VIDEOMEMORY;
    mDDInterface->mDirectDraw7->GetAvailableVidMem(&caps, &total, &available);
  }
  const char* verdict = Is3DAccelerationRecommended() ? "Recommended"
                        : Is3DAccelerationSupported() ? "Supported"
                                                      : "Unsupported";
  std::string text =
      StrFormat("3D-Mode is %s (3D is %s on this system)\r\n\r\n", Is3DAccelerated() ? "ON" : "OFF", verdict);
  text +=
      StrFormat("Video Memory: %s/%s KB\r\n\r\n", CommaSeparate(static_cast<int>((total - available) / 1024)).c_str(),
                CommaSeparate(static_cast<int>(total / 1024)).c_str());
  // Textures are counted by the Direct3D path; without one there are none.
  text += StrFormat("Texture Memory: %s KB\r\n", CommaSeparate(0).c_str());
  for (const char* format : {"A8R8G8B8", "A4R4G4B4", "R5G6B5", "Palette8"})
    text += StrFormat("%s: %d - %s KB\r\n", format, 0, CommaSeparate(0).c_str());
  MsgBox(text, "Video Stats", MB_OK);
}

void KitAppBase::TakeScreenshot() {
  DDImage* screen = mDDInterface ? mDDInterface->GetScreenImage() : nullptr;
  if (screen == nullptr || screen->GetSurface() == nullptr) return;
  const std::string folder = DeveloperFolder("_screenshots");
  CreateDirectory(folder.c_str(), nullptr);
  const std::string path = StrFormat("%s/image%d.png", folder.c_str(), NextScreenshotNumber(folder));
  // A key that seems to do nothing would leave the developer looking for a file that is not there.
  if (!WriteScreenshot(*screen, path))
    MsgBox(StrFormat("The screenshot could not be saved as \"%s\".", path.c_str()), "Screenshot", MB_OK | MB_ICONERROR);
  ResetTiming(false);
}

void KitAppBase::DumpImages() {
  const std::string folder = DeveloperFolder("_dump");
  // A folder the deletion could not empty keeps what is left in it however long one waits.
  const bool cleared = DeleteFolderTree(folder) || !FolderStandsAt(folder);
  const std::time_t now = std::time(nullptr);
  std::string date = std::ctime(&now);
  if (!date.empty() && date.back() == '\n') date.pop_back();
  if (cleared && CreateFolderPatiently(folder, kDumpFolderTries) && WriteImageDump(folder, SnapshotImages(), date))
    return;
  // As with a screenshot, a key that seems to do nothing would leave the developer looking for the dump.
  MsgBox(StrFormat("The image dump could not be written into \"%s\".", folder.c_str()), "Image Dump",
         MB_OK | MB_ICONERROR);
}

}  // namespace Kit
