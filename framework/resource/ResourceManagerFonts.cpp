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
  return !static_cast<const ResourceManager::FontRes&>(record).font;
}

}  // namespace

ResourceManager::FontRes::FontRes() = default;

ResourceManager::FontRes::~FontRes() = default;

void ResourceManager::FontRes::DeleteResource() {
  // The font draws from the image, so it goes first.
  font.reset();
  image.reset();
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
  if (!record->imagePath.empty()) {
    image = mHost->GetImage(record->imagePath);
    if (!image) return Fail("Failed to load image: " + record->imagePath);
    font = std::make_unique<ImageFont>(image.get(), record->path);
  } else if (record->path.rfind(kRefPrefix, 0) != 0) {
    font = std::make_unique<ImageFont>(mHost->GetFontHost(), record->path);
  } else {
    std::string id = record->path.substr(sizeof kRefPrefix - 1);
    auto found = mFontMap.find(id);
    auto* original = found == mFontMap.end() ? nullptr : static_cast<FontRes*>(found->second.get());
    if (!original || !original->font) return Fail("Ref font not found: " + id);
    font.reset(original->font->Duplicate());
    image = original->image;
  }

  auto* imageFont = dynamic_cast<ImageFont*>(font.get());
  if (!imageFont || !imageFont->mFontData || !imageFont->mFontData->mInitialized) {
    return Fail("Failed to load font: " + record->path);
  }
  size_t start = 0;
  while ((start = record->tags.find_first_not_of(", \r\n\t", start)) != std::string::npos) {
    size_t end = record->tags.find_first_of(", \r\n\t", start);
    imageFont->AddTag(record->tags.substr(start, end - start));
    start = end;
  }
  record->image = std::move(image);
  record->font = std::move(font);
  return true;
}

Font* ResourceManager::GetFont(const std::string& id) {
  auto found = mFontMap.find(id);
  return found == mFontMap.end() ? nullptr : static_cast<FontRes*>(found->second.get())->font.get();
}

Font* ResourceManager::GetFontThrow(const std::string& id) {
  auto found = mFontMap.find(id);
  if (found != mFontMap.end()) {
    auto* record = static_cast<FontRes*>(found->second.get());
    if (record->font) return record->font.get();
    if (mAllowMissingProgramImages && record->fromProgram) return nullptr;
  }
  Fail("Font resource not found: " + id);
  throw ResourceManagerException(GetErrorText());
}

}  // namespace Kit
