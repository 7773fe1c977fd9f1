// The files the developer tools write: screenshots and the image dump. Both live in the player's own
// folder (the working folder when the program has none), never in the data folder.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace Kit {

class DDImage;
class MemoryImage;

// "<player folder>/<name>", or the name itself when no player folder is set.
std::string DeveloperFolder(const std::string& name);

// The number after the highest "image<N>.png" in the folder (1 when there is none); other names are
// ignored.
int NextScreenshotNumber(const std::string& folder);

// Writes what the screen image shows (with 3D on too) as a PNG file; false when its pixels cannot be
// read or the file cannot be written.
bool WriteScreenshot(DDImage& screen, const std::string& path);

// Whether a folder itself stands at the path: not a link to one, nor anything else.
bool FolderStandsAt(const std::string& path);

// Makes the folder. Where a folder still stands there (another program may be removing it) or memory is
// short, tries again every 100 ms, false once `tries` attempts have failed; anything else in the way (a
// file, a link, a missing parent, a refusal) does not go by waiting and gives false at once.
bool CreateFolderPatiently(const std::string& folder, int tries);

// Memory an image holds, estimated per buffer; the dump orders and totals by it.
struct ImageMemory {
  int mBits = 0;
  int mPalettized = 0;
  int mSurface = 0;
  int mTexture = 0;
  int mNativeAlpha = 0;
  int mRLAlpha = 0;
  int mRLAdditive = 0;
  int Total() const { return mBits + mPalettized + mSurface + mTexture + mNativeAlpha + mRLAlpha + mRLAdditive; }
  ImageMemory& operator+=(const ImageMemory& other) {
    for (auto [mine, theirs] : Fields(other)) *mine += theirs;
    return *this;
  }

 private:
  std::array<std::pair<int*, int>, 7> Fields(const ImageMemory& o) {
    return {{{&mBits, o.mBits},
             {&mPalettized, o.mPalettized},
             {&mSurface, o.mSurface},
             {&mTexture, o.mTexture},
             {&mNativeAlpha, o.mNativeAlpha},
             {&mRLAlpha, o.mRLAlpha},
             {&mRLAdditive, o.mRLAdditive}}};
  }
};
ImageMemory EstimateImageMemory(MemoryImage& image);

// Writes "imagelist.html" into the folder (which must exist), a table of the images largest first,
// with "img%04d.png" and a 64 x 64 "thumb%04d.jpg" for each. False when the page cannot be written.
bool WriteImageDump(const std::string& folder, const std::vector<MemoryImage*>& images, const std::string& dateText);

}  // namespace Kit
