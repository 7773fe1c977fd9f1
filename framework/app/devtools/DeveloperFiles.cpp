#include "framework/app/devtools/DeveloperFiles.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "framework/graphics/display/DDImage.h"
#include "framework/resource/Image.h"
#include "framework/resource/JPEGWriter.h"
#include "framework/resource/PNGWriter.h"
#include "framework/util/StringUtil.h"
#include "platform/win/Errors.h"
#include "platform/win/files/FileReplace.h"
#include "platform/win/files/Files.h"
#include "platform/win/files/PathMap.h"
#include "platform/win/files/SymbolicLinks.h"
#include "platform/win/threads/Time.h"

namespace Kit {

namespace {

constexpr int kThumbSize = 64;

// "image" digits ".png", letter case ignored.
bool ParseScreenshotName(const std::string& name, int* number) {
  const std::string lower = StringToLower(name);
  if (lower.size() <= 9 || lower.compare(0, 5, "image") != 0 || lower.compare(lower.size() - 4, 4, ".png") != 0)
    return false;
  const std::string digits = lower.substr(5, lower.size() - 9);
  if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) { return std::isdigit(c); }))
    return false;
  *number = std::stoi(digits);
  return true;
}

// The dump's files are only a developer's snapshot: each is written whole, but none is synced to the disk
// (a sync each froze the window for seconds).
constexpr plat::FileSync kDumpFileSync = plat::FileSync::kUnsynced;

bool WritePixels(const std::string& path, int width, int height, const std::uint32_t* bits, int outWidth, int outHeight,
                 bool jpeg) {
  ImageLib::Image out;
  if (!out.Allocate(outWidth, outHeight)) return false;
  for (int y = 0; y < outHeight; ++y)
    for (int x = 0; x < outWidth; ++x)
      out.GetBits()[static_cast<std::size_t>(y) * outWidth + x] =
          bits[static_cast<std::size_t>(y * height / outHeight) * width + x * width / outWidth];
  return jpeg ? ImageLib::WriteJPEGImage(path, out, kDumpFileSync) : ImageLib::WritePNGImage(path, out, kDumpFileSync);
}

std::string Cell(bool present, const std::string& text) {
  return present ? "<TD>" + text + "</TD>" : "<TD>&nbsp;</TD>";
}

std::string SizedCell(const char* name, int bytes) {
  return Cell(bytes > 0, StrFormat("%s<BR>%s", name, CommaSeparate(bytes).c_str()));
}

}  // namespace

std::string DeveloperFolder(const std::string& name) {
  const std::string player = plat::PlayerFolder();
  return player.empty() ? name : player + "/" + name;
}

int NextScreenshotNumber(const std::string& folder) {
  int highest = 0;
  WIN32_FIND_DATA found{};
  HANDLE find = FindFirstFile((folder + "/*.png").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      int number = 0;
      if (ParseScreenshotName(found.cFileName, &number)) highest = std::max(highest, number);
    } while (FindNextFile(find, &found));
    FindClose(find);
  }
  return highest + 1;
}

bool WriteScreenshot(DDImage& screen, const std::string& path) {
  const std::unique_ptr<std::uint32_t[]> bits = screen.CopySurfacePixels();
  ImageLib::Image out;
  if (!bits || !out.Allocate(screen.GetWidth(), screen.GetHeight())) return false;
  std::copy(bits.get(), bits.get() + out.GetPixelCount(), out.GetBits());
  return ImageLib::WritePNGImage(path, out);
}

bool FolderStandsAt(const std::string& path) {
  const DWORD attributes = GetFileAttributes(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         !plat::IsSymbolicLink(path);
}

bool CreateFolderPatiently(const std::string& folder, int tries) {
  for (int attempt = 0; attempt < tries; ++attempt) {
    if (attempt > 0) Sleep(100);
    if (CreateDirectory(folder.c_str(), nullptr)) return true;
    // Only a folder on its way out or memory the system is short of may pass by waiting; a file or a
    // link in the way, a missing parent or a refusal stays.
    const DWORD error = GetLastError();
    if (error != ERROR_NOT_ENOUGH_MEMORY && !(error == ERROR_ALREADY_EXISTS && FolderStandsAt(folder))) return false;
  }
  return false;
}

ImageMemory EstimateImageMemory(MemoryImage& image) {
  const int n = image.GetWidth() * image.GetHeight();
  ImageMemory memory;
  if (image.mBits) memory.mBits = 4 * n;
  auto* surfaceImage = dynamic_cast<DDImage*>(&image);
  if (surfaceImage != nullptr && surfaceImage->mSurface != nullptr) memory.mSurface = 4 * n;
  if (image.mColorIndices) memory.mPalettized = n + 1024;
  if (image.mNativeAlphaData) memory.mNativeAlpha = image.mColorTable ? 1024 : 4 * n;
  if (image.mNative16Data) memory.mNativeAlpha += 2 * n;
  for (int layout = 0; layout < Kit::UnrotatedRows::kLayouts; ++layout)
    if (image.mWeightedWords[layout])
      memory.mNativeAlpha += 4 * n * Kit::UnrotatedRows::WordsPerPixel(static_cast<Kit::UnrotatedRows::Layout>(layout));
  if (image.mRLAlphaData) memory.mRLAlpha = n;
  if (image.mRLAdditiveData) memory.mRLAdditive = n;
  // Textures belong to the Direct3D path, which keeps their sizes to itself; none are counted here.
  return memory;
}

bool WriteImageDump(const std::string& folder, const std::vector<MemoryImage*>& images, const std::string& dateText) {
  struct Entry {
    MemoryImage* mImage;
    ImageMemory mMemory;
  };
  std::vector<Entry> entries;
  for (MemoryImage* image : images) entries.push_back({image, EstimateImageMemory(*image)});
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.mMemory.Total() > b.mMemory.Total(); });

  ImageMemory sums;
  int total = 0;
  for (const Entry& entry : entries) total += entry.mMemory.Total();
  std::string html = "<HTML><BODY BGCOLOR=EEEEFF><CENTER><FONT SIZE=+2><B>" + dateText + "</B></FONT><BR>";
  html += "Total Image Allocation: " + CommaSeparate(total) + " bytes<BR>";
  html += "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=4>";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    MemoryImage& image = *entries[i].mImage;
    const ImageMemory& m = entries[i].mMemory;
    html += StrFormat("<TR><TD><A HREF=img%04d.png><IMG SRC=thumb%04d.jpg WIDTH=%d HEIGHT=%d></A></TD>",
                      static_cast<int>(i), static_cast<int>(i), kThumbSize, kThumbSize);
    html += StrFormat("<TD ALIGN=RIGHT>%d x %d<BR>%s bytes</TD>", image.GetWidth(), image.GetHeight(),
                      CommaSeparate(m.Total()).c_str());
    html += SizedCell("mBits", m.mBits) + SizedCell("Palletized", m.mPalettized) + SizedCell("DDSurface", m.mSurface);
    html += Cell(m.mTexture > 0, "Texture<BR><BR>" + CommaSeparate(m.mTexture));
    html += Cell(image.mIsVolatile, "Volatile") + Cell(image.mForcedMode, "Forced") +
            Cell(image.mHasAlpha, "HasAlpha") + Cell(image.mHasTrans, "HasTrans");
    html += SizedCell("NativeAlpha", m.mNativeAlpha) + SizedCell("RLAlpha", m.mRLAlpha) +
            SizedCell("RLAdditive", m.mRLAdditive) + "</TR>";
    sums += m;

    const std::uint32_t* bits = image.GetBits();
    const int width = image.GetWidth();
    const int height = image.GetHeight();
    if (bits == nullptr || width <= 0 || height <= 0) continue;
    WritePixels(StrFormat("%s/img%04d.png", folder.c_str(), static_cast<int>(i)), width, height, bits, width, height,
                false);
    WritePixels(StrFormat("%s/thumb%04d.jpg", folder.c_str(), static_cast<int>(i)), width, height, bits, kThumbSize,
                kThumbSize, true);
  }
  // Every numeric column has its total; the four flag columns have none.
  auto sumCell = [](int value) { return "<TD>" + CommaSeparate(value) + "</TD>"; };
  html += "<TR><TD>Totals</TD>" + sumCell(total) + sumCell(sums.mBits) + sumCell(sums.mPalettized) +
          sumCell(sums.mSurface) + sumCell(sums.mTexture) +
          "<TD>&nbsp;</TD><TD>&nbsp;</TD><TD>&nbsp;</TD><TD>&nbsp;</TD>" + sumCell(sums.mNativeAlpha) +
          sumCell(sums.mRLAlpha) + sumCell(sums.mRLAdditive) + "</TR>";
  html += "</TABLE></CENTER></BODY></HTML>";
  return plat::ReplaceFileContents(plat::MapPath(folder + "/imagelist.html"), html, kDumpFileSync);
}

}  // namespace Kit
