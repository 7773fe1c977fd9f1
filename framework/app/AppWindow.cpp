// The window classes, the main window and the display it shows, and switching between a window and
// full screen.
#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "framework/app/AppCursors.h"
#include "framework/app/KitAppBase.h"
#include "framework/graphics/ImageLock.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/graphics/display/DDInterface.h"
#include "framework/sound/SoundManager.h"
#include "framework/widget/WidgetManager.h"
#include "platform/win/input/Cursor.h"
#include "platform/win/system/SystemInfo.h"
#include "platform/win/window/Window.h"

namespace Kit {

void KitAppBase::RegisterWindowClasses() {
  WNDCLASS main{};
  main.style = CS_DBLCLKS;
  main.lpfnWndProc = WindowProc;
  main.hInstance = mHInstance;
  main.hIcon = LoadIcon(mHInstance, "IDI_MAIN_ICON");
  main.lpszClassName = "MainWindow";
  RegisterClass(&main);

  WNDCLASS invisible{};
  invisible.lpfnWndProc = WindowProc;
  invisible.hInstance = mHInstance;
  invisible.lpszClassName = "InvisWindow";
  RegisterClass(&invisible);
}

void KitAppBase::CreateAppCursors() {
  mHandCursor = CreateHandCursor(mHInstance);
  mDraggingCursor = CreateDraggingCursor(mHInstance);
}

void KitAppBase::WindowedPlacement(int outerWidth, int outerHeight, int* x, int* y) {
  RECT work{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  if (mPreferredX == -1) {
    *x = work.left + (work.right - work.left - outerWidth) / 2;
    *y = work.top - static_cast<int>(-0.382 * (work.bottom - work.top - outerHeight));
    return;
  }
  *x = std::max(mPreferredX, static_cast<int>(work.left) + 4);
  *y = std::max(mPreferredY, static_cast<int>(work.top) + 4);
  if (*x + outerWidth >= work.right - 4) *x = std::max(static_cast<int>(work.left), work.right - 4 - outerWidth);
  if (*y + outerHeight >= work.bottom - 4) *y = std::max(static_cast<int>(work.top), work.bottom - 4 - outerHeight);
}

void KitAppBase::MakeWindow() {
  DestroyMainWindow();

  if (!mIsWindowed || mFullScreenWindow) {
    SetMainWindowHandle(CreateWindowEx(WS_EX_TOPMOST, "MainWindow", mTitle.c_str(), WS_POPUP | WS_VISIBLE, 0, 0, mWidth,
                                       mHeight, nullptr, nullptr, mHInstance, nullptr));
    mWindowedInUse = false;
  } else {
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT outer{0, 0, mWidth, mHeight};
    AdjustWindowRect(&outer, style, FALSE);
    const int outerWidth = outer.right - outer.left;
    const int outerHeight = outer.bottom - outer.top;
    int x = 64;
    int y = 64;
    WindowedPlacement(outerWidth, outerHeight, &x, &y);
    SetMainWindowHandle(CreateWindowEx(0, "MainWindow", mTitle.c_str(), style, x, y, outerWidth, outerHeight, nullptr,
                                       nullptr, mHInstance, nullptr));
    mWindowedInUse = true;
  }
  SetWindowLongPtr(mHWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

  if (!mDDInterface) {
    mDDInterface = std::make_unique<DDInterface>(this);
    ShareImagesWhileLoading();
    TakeStored3DChoice();
  }
  PreDDInterfaceInitHook();
  DeleteNativeImageData();
  const int result = mDDInterface->Init(mHWnd, mWindowedInUse);
  RecordDisplayState();
  if (mDDInterface->mD3DTester && !mDDInterface->mD3DTester->mFailureReason.empty()) RegistryEraseValue("Is3D");
  if (!ApplyDisplayResult(result)) return;

  if (mMinimized && mMuteOnLostFocus) {
    Unmute(true);
    RehupFocus();
  }
  ReInitImages();
  UseScreenImage();
  SetTimer(mHWnd, kAppTimerId, static_cast<UINT>(mFrameTime), nullptr);
}

void KitAppBase::DestroyMainWindow() {
  if (mHWnd == nullptr) return;
  const HWND old = mHWnd;
  SetMainWindowHandle(nullptr);
  SetWindowLongPtr(old, GWLP_USERDATA, 0);
  KillTimer(old, kAppTimerId);
  DestroyWindow(old);
}

void KitAppBase::SetMainWindowHandle(HWND window) {
  std::lock_guard<std::mutex> guard(mCursorThreadLock);
  mHWnd = window;
}

// False when the start of the display was handed to another attempt (which finished the window).
bool KitAppBase::ApplyDisplayResult(int result) {
  if (result == DDInterface::RESULT_OK) return true;
  if (mIsWindowed && result == DDInterface::RESULT_INVALID_COLORDEPTH) {
    if (mForceWindowed) {
      Popup("Please set your desktop color depth to 16 bit.");
      FatalExit(EXIT_FAILURE);
    }
    mForceFullscreen = true;
    SwitchScreenModeWindowed(false);
    return false;
  }
  // Back to a window, once. Where full screen was the way out of a desktop a window cannot use, the
  // window is tried again all the same (the forced full screen would make the switch change nothing
  // and leave the program without a display): it fails as before, and the user is told which depth
  // to set.
  if (!mWindowedInUse &&
      (result == DDInterface::RESULT_EXCLUSIVE_FAIL || result == DDInterface::RESULT_DISPCHANGE_FAIL) &&
      !mForceWindowed) {
    mForceWindowed = true;
    mForceFullscreen = false;
    SwitchScreenModeWindowed(true);
    return false;
  }
  if (result == DDInterface::RESULT_3D_FAIL || mDDInterface->mIs3D) {
    InitDisplay(false, true);
    return false;
  }
  Popup("Failed to initialize DirectDraw: " + DDInterface::ResultToString(result) + " " + mDDInterface->mErrorString);
  FatalExit(EXIT_FAILURE);
}

bool KitAppBase::InitDisplay(bool use3D, bool restart) {
  if (!mDDInterface || mDDInterface->mIs3D == use3D) return true;
  mChanged3DSetting = true;
  mDDInterface->mIs3D = use3D;
  if (!restart) return true;
  for (;;) {
    PreDDInterfaceInitHook();
    DeleteExtraImageData();
    const int result = mDDInterface->Init(mHWnd, mWindowedInUse);
    RecordDisplayState();
    if (result == DDInterface::RESULT_OK) {
      ReInitImages();
      UseScreenImage();
      return true;
    }
    if (!mDDInterface->mIs3D) {
      Popup("Failed to initialize DirectDraw: " + DDInterface::ResultToString(result) + " " +
            mDDInterface->mErrorString);
      FatalExit(EXIT_FAILURE);
    }
    mDDInterface->mIs3D = false;
  }
}

void KitAppBase::UseScreenImage() {
  mWidgetManager->mImage = mDDInterface ? mDDInterface->GetScreenImage() : nullptr;
  mWidgetManager->MarkAllDirty();
}

void KitAppBase::SwitchScreenMode(bool wantWindowed, bool is3D, bool force) {
  if (mForceFullscreen) wantWindowed = false;
  if (wantWindowed == mIsWindowed && !force) {
    InitDisplay(is3D, true);
    return;
  }
  InitDisplay(is3D, false);
  mIsWindowed = wantWindowed;
  MakeWindow();
  ShowWindow(mHWnd, mURLOpenPending ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL);
  SetForegroundWindow(mHWnd);
  if (mSoundManager) mSoundManager->SetCooperativeWindow(mHWnd, mIsWindowed);
}

void KitAppBase::SwitchScreenModeWindowed(bool wantWindowed) {
  SwitchScreenMode(wantWindowed, Is3DAccelerated(), false);
}

void KitAppBase::ReapplyScreenMode() { SwitchScreenMode(mIsWindowed, Is3DAccelerated(), true); }

std::vector<MemoryImage*> KitAppBase::SnapshotImages() {
  std::lock_guard<std::mutex> guard(mMemoryImageLock);
  return {mMemoryImageSet.begin(), mMemoryImageSet.end()};
}

ImageLock* KitAppBase::ImagesLock() { return mDDInterface ? &mDDInterface->ImagesLock() : nullptr; }

void KitAppBase::ForEachImage(void (MemoryImage::*operation)()) {
  // Images are made and destroyed under the display's lock (the loading thread's too), so none in the
  // set is half built or half gone while this walk holds it.
  const ImageOperationGuard guard(ImagesLock(), ImageOperationGuard::kAlways);
  for (MemoryImage* image : SnapshotImages()) (image->*operation)();
}

void KitAppBase::ReInitImages() { ForEachImage(&MemoryImage::ReInit); }

void KitAppBase::DeleteNativeImageData() { ForEachImage(&MemoryImage::DeleteNativeData); }

void KitAppBase::DeleteExtraImageData() { ForEachImage(&MemoryImage::DeleteExtraBuffers); }

void KitAppBase::AddMemoryImage(MemoryImage* image) {
  const ImageOperationGuard guard(ImagesLock(), ImageOperationGuard::kAlways);
  std::lock_guard<std::mutex> setGuard(mMemoryImageLock);
  mMemoryImageSet.insert(image);
}

void KitAppBase::RemoveMemoryImage(MemoryImage* image) {
  const ImageOperationGuard guard(ImagesLock(), ImageOperationGuard::kAlways);
  {
    std::lock_guard<std::mutex> setGuard(mMemoryImageLock);
    mMemoryImageSet.erase(image);
  }
  RemoveImageFromDisplay(image);
}

void KitAppBase::RemoveImageFromDisplay(MemoryImage* image) {
  if (mDDInterface) mDDInterface->Remove3DData(image);
}

NativeDisplay* KitAppBase::GetNativeDisplay() { return mDDInterface.get(); }

}  // namespace Kit
