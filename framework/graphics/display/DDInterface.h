// The screen: the DirectDraw display in a window or full screen, the image that frames are drawn
// into, its presentation by flip or blit, the software mouse cursor drawn over the presented frame,
// and the display's pixel format for every software and surface-backed image. One critical section
// guards the surfaces, the cursor and the set of surface-backed images; the cursor thread and the
// main thread share it, and the images take it as their ImageLock says.
#pragma once

#include "framework/graphics/ImageHost.h"
#include "framework/graphics/ImageLock.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/d3d/D3DInterface.h"
#include "framework/graphics/d3d/D3DTester.h"
#include "framework/graphics/surface/ChannelAddTables.h"
#include "platform/ddraw/DDraw.h"
#include "platform/win/modules/Modules.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

namespace Kit {

class DDImage;
class Image;
class MemoryImage;

class DDInterface : public NativeDisplay {
 public:
  enum Result {
    RESULT_OK = 0,
    RESULT_FAIL = 1,
    RESULT_DD_CREATE_FAIL = 2,
    RESULT_SURFACE_FAIL = 3,
    RESULT_EXCLUSIVE_FAIL = 4,
    RESULT_DISPCHANGE_FAIL = 5,
    RESULT_INVALID_COLORDEPTH = 6,
    RESULT_3D_FAIL = 7,
  };

  explicit DDInterface(ImageHost* app);
  DDInterface(const DDInterface&) = delete;
  DDInterface& operator=(const DDInterface&) = delete;
  ~DDInterface() override;

  int Init(HWND hwnd, bool isWindowed);
  void Cleanup();
  HRESULT CreateSurface(DDSURFACEDESC2& desc, IDirectDrawSurface** surface);
  // False for success; for a failure records "<step>: <code name>" as the error text.
  bool CheckDXError(HRESULT result, const char* step);
  DDImage* GetScreenImage() { return mScreenImage.get(); }
  void SetVideoOnlyDraw(bool videoOnlyDraw);
  bool Redraw(const Rect* clip = nullptr);
  bool SetCursorImage(Image* image);
  void SetCursorPos(int x, int y);
  void AddDDImage(DDImage* image);
  void RemoveDDImage(DDImage* image);
  void Remove3DData(MemoryImage* image);
  // Direct3D failed during this run: a frame's call, its start, or its render target.
  bool Had3DProblems() const { return m3DFailed || mD3DInterface->mRenderTargetLost; }
  static std::string ResultToString(int result);

  const ChannelAddTables& AddTables() const { return mAddTables; }
  // The display lock, re-entrant for the thread that holds it.
  CritSect& Lock() { return mImageLock.Section(); }
  // The same lock as the images take it (ImageLock: which thread takes it when).
  ImageLock& ImagesLock() { return mImageLock; }

  ImageHost* mApp;
  std::unique_ptr<D3DInterface> mD3DInterface;
  std::unique_ptr<D3DTester> mD3DTester;  // made by the first self-test
  bool mIs3D = false;
  bool m3DFailed = false;
  ImageLock mImageLock;
  std::atomic<int> mInRedraw{0};
  IDirectDraw* mDirectDraw = nullptr;
  IDirectDraw7* mDirectDraw7 = nullptr;
  IDirectDrawSurface* mPrimarySurface = nullptr;
  IDirectDrawSurface* mSecondarySurface = nullptr;
  IDirectDrawSurface* mDrawSurface = nullptr;
  int mWidth = 0;
  int mHeight = 0;
  int mFullScreenBits = 0;
  int mRefreshRate = 60;
  int mMillisPerRefresh = 16;
  int mVSyncFailures = 0;
  ChannelAddTables mAddTables;
  std::array<std::int32_t, 256> mRedConvertTable{};
  std::array<std::int32_t, 256> mGreenConvertTable{};
  std::array<std::int32_t, 256> mBlueConvertTable{};
  bool mInitialized = false;
  HWND mHWnd = nullptr;
  bool mIsWindowed = false;
  std::unique_ptr<DDImage> mScreenImage;
  std::set<DDImage*> mDDImageSet;
  bool mVideoOnlyDraw = false;
  int mInitCount = 0;
  int mCursorWidth = 64;
  int mCursorHeight = 64;
  // Written by the cursor thread without the lock, so that a move never waits for a present.
  std::atomic<int> mCursorX{0};
  std::atomic<int> mCursorY{0};
  int mCursorOldX = 0;
  int mCursorOldY = 0;
  Image* mCursorImage = nullptr;
  bool mHasOldCursorArea = false;
  IDirectDrawSurface* mOldCursorArea = nullptr;
  IDirectDrawSurface* mNewCursorArea = nullptr;
  std::unique_ptr<DDImage> mOldCursorAreaImage;
  std::unique_ptr<DDImage> mNewCursorAreaImage;
  std::string mErrorString;

 private:
  int InitFullScreen();
  int InitWindowed();
  int CreateDrawSurface(const char* step);
  bool AttachClipper(const char* step);
  void TakeRefreshRate();
  int CreateCursorAreas();
  int TakePixelFormat();
  void BuildTables();
  // The window's client origin in screen coordinates.
  POINT ClientOrigin() const;
  bool PresentWindowed(RECT source, RECT dest);
  bool SplitBlit(IDirectDrawSurface* from, RECT source, RECT dest);
  bool WaitForScanLine(int middle, DWORD& lastLine);
  void WaitForVerticalBlank();
  // The software cursor.
  struct CursorRects {
    RECT area;      // on the target surface
    RECT inside;    // the same pixels within a cursor area
    POINT imageAt;  // the cursor image's top-left corner within the area
    bool empty;
  };
  CursorRects CursorRectsAt(int x, int y, bool adjust) const;
  bool SaveUnderCursor(IDirectDrawSurface* surface, IDirectDrawSurface* area, CursorRects& rects);
  void DrawCursorImageInto(DDImage& areaImage, POINT at);
  void DrawCursorTo(IDirectDrawSurface* surface, bool adjust);
  // Puts the background saved under the cursor back; the blit's result.
  HRESULT RestoreOldCursorArea(IDirectDrawSurface* surface, bool adjust);
  void MoveCursorTo(IDirectDrawSurface* surface, bool adjust, int x, int y);
  void ReleaseSurface(IDirectDrawSurface*& surface);
  // Runs the self-test once when the application asks for it; its verdict may turn 3D on or off.
  void Run3DTest(HWND hwnd);
  // Ends the frame's scene before it is presented; false (and 3D off) when a Direct3D call of the
  // frame failed.
  bool Finish3DFrame();

  HMODULE mDDrawModule = nullptr;
  bool mOwnsDDrawModule = false;
  LPDIRECTDRAWCREATE mDirectDrawCreate = nullptr;
  LPDIRECTDRAWCREATEEX mDirectDrawCreateEx = nullptr;
};

}  // namespace Kit
