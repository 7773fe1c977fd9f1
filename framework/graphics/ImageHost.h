// What a MemoryImage needs from the application it belongs to. The application object implements
// it: it keeps the set of live images, knows whether Direct3D draws, describes the display's pixel
// format and owns the Direct3D textures. Every operation has a neutral default, so an image without
// an application (or with a host that does not draw in 3D) simply keeps its pixels itself.
#pragma once

#include <cstdint>
#include <string>

namespace Kit {

class D3DTestHost;
class ImageLock;
class MemoryImage;
class NativeDisplay;

class ImageHost {
 public:
  virtual void AddMemoryImage(MemoryImage* image) {}
  virtual void RemoveMemoryImage(MemoryImage* image) {}
  // The lock under which the application walks its images and makes and unmakes them (null: none);
  // an image holds it while it works on its pixels whenever the thread at work must (ImageLock).
  virtual ImageLock* ImagesLock() { return nullptr; }
  virtual bool Is3DAccelerated() { return false; }
  // The display's pixel format, or null while there is no display.
  virtual NativeDisplay* GetNativeDisplay() { return nullptr; }
  // Drops the image's Direct3D textures and clears its d3dData.
  virtual void Remove3DData(MemoryImage* image) {}
  // Reads the image's pixels back from its Direct3D textures into width x height words; false when
  // they cannot be read.
  virtual bool RecoverBitsFrom3D(MemoryImage* image, std::uint32_t* bits) { return false; }

  // What the display takes from the application: the size of the screen, the colour depth asked for
  // in full screen, and the presentation settings.
  virtual int GetDisplayWidth() { return 800; }
  virtual int GetDisplayHeight() { return 600; }
  virtual int GetFullScreenBits() { return 16; }
  // A pop-up window is shown over the game, so a full-screen frame must be blitted, not flipped.
  virtual bool IsPopupShown() { return false; }
  virtual bool IsPageFlipping() { return true; }
  virtual bool WaitsForVerticalSync() { return false; }
  virtual bool IsSoftwareVerticalSync() { return false; }
  // The display's refresh rate could not be used to time frames.
  virtual void SetVerticalSyncBroken(bool broken) {}

  // Direct3D: whether the display runs the hardware self-test at start-up, whether a good verdict
  // turns 3D on, and the video memory (MB) that 3D needs and that it is advised with.
  struct Settings3D {
    bool test = false;
    bool autoEnable = false;
    int minVidMemory = 6;
    int recVidMemory = 14;
  };
  virtual Settings3D Get3DSettings() { return {}; }
  // What the self-test needs (the registry key, the demo stream); null: no self-test.
  virtual D3DTestHost* GetD3DTestHost() { return nullptr; }
  // The self-test gave another verdict than the one it had cached.
  virtual void After3DTestRun() {}
  // The text of the Direct3D path's last failed call, kept for the next start.
  virtual void Record3DRuntimeError(const std::string& text) {}

 protected:
  ~ImageHost() = default;
};

}  // namespace Kit
