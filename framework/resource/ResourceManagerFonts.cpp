// Loading the manifest's fonts: descriptor files, fonts on a glyph image, and copies of other fonts.
#include "framework/font/FontData.h"
#include "framework/font/ImageFont.h"
#include "framework/graphics/Image.h"
#include "framework/resource/ResourceManager.h"
#include "framework/resource/ResourceManagerException.h"

namespace Kit {
namespace {

constexpr char kRefPrefix[] = "!ref:";

bool FontPending(const ResourceManager::BaseRes& record) {
  return !static_cast<const ResourceManager::FontRes&>(record).mFont;
}

}  // namespace

ResourceManager::FontRes::FontRes() = default;

ResourceManager::FontRes::~FontRes() = default;

void ResourceManager::FontRes::DeleteResource() {
  // The font draws from the image, so it goes first.
  mFont.reset();
  mImage.reset();
}

bool ResourceManager::LoadNextFont() {
  if (mHasFailed) return false;
  mCurFont = NextToLoad(&mFontMap, mCurFont, FontPending);
  if (mCurFont == mFontMap.end()) return false;
  return DoLoadFont(static_cast<FontRes*>(mCurFont->second.get()));
}

bool ResourceManager::DoLoadFont(FontRes* record) {
  std::shared_ptr<Image> image;
  std::unique_ptr<Font> font;
  if (!record->mImagePath.empty()) {
    image = mApp->GetImage(record->mImagePath);
    if (!image) return FailOn(record->mImagePath, "Failed to load image: " + record->mImagePath);
    font = std::make_unique<ImageFont>(image.get(), record->mPath);
  } else if (record->mPath.rfind(kRefPrefix, 0) != 0) {
    font = std::make_unique<ImageFont>(mApp->GetFontHost(), record->mPath);
  } else {
    std::string id = record->mPath.substr(sizeof kRefPrefix - 1);
    auto found = mFontMap.find(id);
    auto* original = found == mFontMap.end() ? nullptr : static_cast<FontRes*>(found->second.get());
    if (!original || !original->mFont) return Fail("Ref font not found: " + id);
    font.reset(original->mFont->Duplicate());
    image = original->mImage;
  }

  auto* imageFont = dynamic_cast<ImageFont*>(font.get());
  if (!imageFont || !imageFont->mFontData || !imageFont->mFontData->mInitialized) {
    return FailOn(record->mPath, "Failed to load font: " + record->mPath);
  }
  size_t start = 0;
  while ((start = record->mTags.find_first_not_of(", \r\n\t", start)) != std::string::npos) {
    size_t end = record->mTags.find_first_of(", \r\n\t", start);
    imageFont->AddTag(record->mTags.substr(start, end - start));
    start = end;
  }
  record->mImage = std::move(image);
  record->mFont = std::move(font);
  return true;
}

Font* ResourceManager::GetFont(const std::string& id) {
  auto found = mFontMap.find(id);
  return found == mFontMap.end() ? nullptr : static_cast<FontRes*>(found->second.get())->mFont.get();
}

Font* ResourceManager::GetFontThrow(const std::string& id) {
  auto found = mFontMap.find(id);
  if (found != mFontMap.end()) {
    auto* record = static_cast<FontRes*>(found->second.get());
    if (record->mFont) return record->mFont.get();
    if (mAllowMissingProgramImages && record->mFromProgram) return nullptr;
  }
  Fail("Font resource not found: " + id);
  throw ResourceManagerException(GetErrorText());
}

}  // namespace Kit
