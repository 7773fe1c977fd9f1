// Loading groups of resources, freeing them and handing them out.
#include <algorithm>

#include "framework/graphics/ImageLock.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/display/DDImage.h"
#include "framework/resource/ImageLoader.h"
#include "framework/resource/ResourceManager.h"
#include "framework/resource/ResourceManagerException.h"
#include "framework/sound/SoundManager.h"

namespace Kit {
namespace {

bool ImagePending(const ResourceManager::BaseRes& record) {
  return !static_cast<const ResourceManager::ImageRes&>(record).mImage.GetImage();
}

bool SoundPending(const ResourceManager::BaseRes& record) {
  return static_cast<const ResourceManager::SoundRes&>(record).mSoundId == -1;
}

// Every pixel keeps its colour and takes the blue channel of the alpha picture's pixel as alpha.
void TakeAlpha(uint32_t* pixel, uint32_t alphaPixel) { *pixel = (*pixel & 0x00FFFFFF) | (alphaPixel & 0xFF) << 24; }

}  // namespace

void ResourceManager::ImageRes::DeleteResource() { mImage.Release(); }

ResourceManager::ResourceManager(ResourceHost* app)
    : mApp(app), mCurImage(mImageMap.end()), mCurSound(mSoundMap.end()), mCurFont(mFontMap.end()) {}

ResourceManager::~ResourceManager() {
  for (ResMap* map : {&mImageMap, &mSoundMap, &mFontMap}) {
    for (auto& [id, record] : *map) record->DeleteResource();
  }
}

void ResourceManager::StartLoadResources(const std::string& group) {
  mCurResGroup = group;
  mCurImage = mImageMap.begin();
  mCurSound = mSoundMap.begin();
  mCurFont = mFontMap.begin();
}

bool ResourceManager::LoadNextResource() { return LoadNextImage() || LoadNextSound() || LoadNextFont(); }

bool ResourceManager::LoadResources(const std::string& group) {
  mError.clear();
  mErrorFile.clear();
  mHasFailed = false;
  StartLoadResources(group);
  while (LoadNextResource()) {
  }
  if (mHasFailed) return false;
  mLoadedGroups.insert(group);
  return true;
}

ResourceManager::ResMap::iterator ResourceManager::NextToLoad(ResMap* map, ResMap::iterator position,
                                                              bool (*pending)(const BaseRes&)) const {
  while (position != map->end()) {
    const BaseRes& record = *position->second;
    bool inGroup = mCurResGroup.empty() || mCurResGroup == record.mResGroup;
    if (inGroup && !record.mFromProgram && pending(record)) break;
    ++position;
  }
  return position;
}

bool ResourceManager::LoadNextImage() {
  if (mHasFailed) return false;
  mCurImage = NextToLoad(&mImageMap, mCurImage, ImagePending);
  if (mCurImage == mImageMap.end()) return false;
  return DoLoadImage(static_cast<ImageRes*>(mCurImage->second.get()));
}

bool ResourceManager::LoadNextSound() {
  if (mHasFailed) return false;
  mCurSound = NextToLoad(&mSoundMap, mCurSound, SoundPending);
  if (mCurSound == mSoundMap.end()) return false;
  auto* record = static_cast<SoundRes*>(mCurSound->second.get());
  // Without sound (the application's no-sound setting) the record still gets its id, so the game's
  // identifiers bind and its play requests go nowhere.
  if (SoundManager* sounds = mApp->GetSoundManager()) {
    const unsigned int id = static_cast<unsigned int>(mNextSoundId);
    if (!sounds->LoadSound(id, record->mPath)) {
      const std::string read = sounds->SourceFileOf(record->mPath);
      return FailOn(read.empty() ? record->mPath : read, "Failed to load sound: " + record->mPath);
    }
    if (record->mVolume >= 0.0) sounds->SetBaseVolume(id, record->mVolume);
    if (record->mPan != 0) sounds->SetBasePan(id, record->mPan);
  }
  record->mSoundId = mNextSoundId++;
  return true;
}

bool ResourceManager::DoLoadImage(ImageRes* record) {
  ImageLib::gAlphaComposeColor = record->mAlphaColor;
  bool created = false;
  ResourceImageRef shared = mApp->GetSharedImage(record->mPath, record->mVariant, &created);
  ImageLib::gAlphaComposeColor = 0xFFFFFF;
  MemoryImage* image = shared.GetImage();
  if (!image) return FailOn(record->mPath, "Failed to load image: " + record->mPath);

  // The rest changes the image's pixels and surface, which the display may be rebuilding meanwhile.
  const ImageOperationGuard guard(mApp->ImagesLock(), ImageOperationGuard::kAlways);
  if (created) {
    if (!record->mAlphaImage.empty() && !ApplyAlphaImage(record, image)) return false;
    if (!record->mAlphaGrid.empty() && !ApplyAlphaGrid(record, image)) return false;
  }

  image->CommitBits();
  record->mImage = shared;
  image->mPurgeBits = record->mPurgeBits;
  if (record->mDdSurface) {
    image->CommitBits();
    if (!image->mHasAlpha) {
      // The purge below then moves the pixels into a surface instead of dropping them.
      if (auto* surfaceImage = dynamic_cast<DDImage*>(image)) surfaceImage->mWantDDSurface = true;
      image->mPurgeBits = true;
    }
  }
  if (record->mPalletize) {
    if (!image->mD3DData) {
      image->Palletize();
    } else {
      image->mWantPal = true;
    }
  }
  if (record->mA4r4g4b4) image->mD3DFlags |= 4;
  if (record->mA8r8g8b8) image->mD3DFlags |= 8;
  if (record->mMinimizeSubdivisions) image->mD3DFlags |= 1;
  if (record->mAnimInfo.mAnimType != AnimInfo::ANIM_NONE)
    image->mAnimInfo = std::make_unique<AnimInfo>(record->mAnimInfo);
  image->mNumRows = record->mRows;
  image->mNumCols = record->mCols;
  if (image->mPurgeBits) image->PurgeBits();
  return true;
}

bool ResourceManager::ApplyAlphaImage(ImageRes* record, MemoryImage* image) {
  std::unique_ptr<ImageLib::Image> alpha = ImageLib::GetImage(record->mAlphaImage, true);
  if (!alpha) return FailOn(record->mAlphaImage, "Failed to load image: " + record->mAlphaImage);
  if (alpha->GetWidth() != image->GetWidth() || alpha->GetHeight() != image->GetHeight()) {
    return Fail("AlphaImage size mismatch between " + record->mPath + " and " + record->mAlphaImage);
  }
  uint32_t* bits = image->GetBits();
  const uint32_t* alphaBits = alpha->GetBits();
  for (size_t i = 0; i < alpha->GetPixelCount(); ++i) TakeAlpha(&bits[i], alphaBits[i]);
  image->BitsChanged();
  return true;
}

bool ResourceManager::ApplyAlphaGrid(ImageRes* record, MemoryImage* image) {
  std::unique_ptr<ImageLib::Image> grid = ImageLib::GetImage(record->mAlphaGrid, true);
  if (!grid) return FailOn(record->mAlphaGrid, "Failed to load image: " + record->mAlphaGrid);
  int cellWidth = image->GetWidth() / record->mCols;
  int cellHeight = image->GetHeight() / record->mRows;
  if (grid->GetWidth() != cellWidth || grid->GetHeight() != cellHeight) {
    return Fail("GridAlphaImage size mismatch between " + record->mPath + " and " + record->mAlphaGrid);
  }
  uint32_t* bits = image->GetBits();
  const uint32_t* gridBits = grid->GetBits();
  const int width = image->GetWidth();
  for (int row = 0; row < record->mRows; ++row) {
    for (int col = 0; col < record->mCols; ++col) {
      for (int y = 0; y < cellHeight; ++y) {
        uint32_t* line = bits + static_cast<size_t>(row * cellHeight + y) * width + col * cellWidth;
        const uint32_t* gridLine = gridBits + static_cast<size_t>(y) * cellWidth;
        for (int x = 0; x < cellWidth; ++x) TakeAlpha(&line[x], gridLine[x]);
      }
    }
  }
  image->BitsChanged();
  return true;
}

void ResourceManager::DeleteResources(const std::string& group) {
  DeleteMap(&mImageMap, group);
  DeleteMap(&mSoundMap, group);
  DeleteMap(&mFontMap, group);
  mLoadedGroups.erase(group);
}

void ResourceManager::DeleteMap(ResMap* map, const std::string& group) {
  for (auto& [id, record] : *map) {
    if (group.empty() || record->mResGroup == group) record->DeleteResource();
  }
}

int ResourceManager::CountRecords(const ResMap& map, const std::string& group) const {
  if (group.empty()) return static_cast<int>(map.size());
  return static_cast<int>(std::count_if(map.begin(), map.end(), [&](const auto& entry) {
    return entry.second->mResGroup == group && !entry.second->mFromProgram;
  }));
}

int ResourceManager::GetNumImages(const std::string& group) const { return CountRecords(mImageMap, group); }
int ResourceManager::GetNumSounds(const std::string& group) const { return CountRecords(mSoundMap, group); }
int ResourceManager::GetNumFonts(const std::string& group) const { return CountRecords(mFontMap, group); }

int ResourceManager::GetNumResources(const std::string& group) const {
  return GetNumImages(group) + GetNumSounds(group) + GetNumFonts(group);
}

ResourceImageRef ResourceManager::GetImageThrow(const std::string& id) {
  auto found = mImageMap.find(id);
  if (found != mImageMap.end()) {
    auto* record = static_cast<ImageRes*>(found->second.get());
    if (record->mImage.GetImage()) return record->mImage;
    if (mAllowMissingProgramImages && record->mFromProgram) return {};
  }
  Fail("Image resource not found: " + id);
  throw ResourceManagerException(GetErrorText());
}

int ResourceManager::GetSoundThrow(const std::string& id) {
  auto found = mSoundMap.find(id);
  if (found != mSoundMap.end()) {
    auto* record = static_cast<SoundRes*>(found->second.get());
    if (record->mSoundId != -1) return record->mSoundId;
    if (mAllowMissingProgramImages && record->mFromProgram) return -1;
  }
  Fail("Sound resource not found: " + id);
  throw ResourceManagerException(GetErrorText());
}

}  // namespace Kit
