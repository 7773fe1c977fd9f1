// The resources that the manifest names (images, sounds, fonts) sorted into groups: parsing the
// manifest into records, loading a group whole or one resource per call (the loading thread),
// freeing it again, and handing loaded resources out by identifier.
#pragma once

#include <strings.h>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "framework/graphics/AnimInfo.h"
#include "framework/resource/ResourceHost.h"
#include "framework/resource/XMLElement.h"
#include "framework/resource/XMLParser.h"

namespace Kit {

class Font;
class MemoryImage;

class ResourceManager {
 public:
  class BaseRes {
   public:
    virtual ~BaseRes() = default;
    // Frees the loaded resource; the record stays and can be loaded again.
    virtual void DeleteResource() {}

    std::string mResGroup;
    std::string mPath;
    std::map<std::string, std::string> mXmlAttributes;
    bool mFromProgram = false;
  };

  class ImageRes : public BaseRes {
   public:
    void DeleteResource() override;

    ResourceImageRef mImage;
    std::string mAlphaImage;
    std::string mAlphaGrid;
    std::string mVariant;
    bool mAutoFindAlpha = true;
    bool mPalletize = true;
    bool mA4r4g4b4 = false;
    bool mA8r8g8b8 = false;
    bool mDdSurface = false;
    bool mPurgeBits = false;
    bool mMinimizeSubdivisions = false;
    int mRows = 1;
    int mCols = 1;
    uint32_t mAlphaColor = 0xFFFFFF;
    AnimInfo mAnimInfo;
  };

  class SoundRes : public BaseRes {
   public:
    void DeleteResource() override { mSoundId = -1; }

    int mSoundId = -1;
    double mVolume = -1.0;
    int mPan = 0;
  };

  class FontRes : public BaseRes {
   public:
    FontRes();
    ~FontRes() override;
    void DeleteResource() override;

    std::unique_ptr<Font> mFont;
    // The glyph sheet of a font made from an image. The font draws from it without owning it, and so
    // do copies made for "!ref:" fonts, which therefore hold it too.
    std::shared_ptr<Image> mImage;
    std::string mImagePath;
    std::string mTags;
  };

  using ResMap = std::map<std::string, std::unique_ptr<BaseRes>>;

  explicit ResourceManager(ResourceHost* app);
  virtual ~ResourceManager();
  ResourceManager(const ResourceManager&) = delete;
  ResourceManager& operator=(const ResourceManager&) = delete;

  // Manifest parsing. True when the whole file was read without error; otherwise GetErrorText tells
  // the first error with its line and file. Records accumulate over several files.
  bool ParseResourcesFile(const std::string& fileName);

  // Group loading. LoadResources loads a whole group (an earlier error is forgotten first);
  // StartLoadResources and LoadNextResource load it one resource per call: images, then sounds, then
  // fonts, each in identifier order. An empty group name means every record.
  virtual void StartLoadResources(const std::string& group);
  virtual bool LoadNextResource();
  virtual bool LoadResources(const std::string& group);
  virtual void DeleteResources(const std::string& group);
  bool IsGroupLoaded(const std::string& group) const { return mLoadedGroups.count(group) > 0; }

  // Records of the group that loading will go through (of every kind for an empty group name).
  int GetNumImages(const std::string& group) const;
  int GetNumSounds(const std::string& group) const;
  int GetNumFonts(const std::string& group) const;
  int GetNumResources(const std::string& group) const;

  // The getters for game code: the loaded resource, else a ResourceManagerException whose text is the
  // first error recorded.
  virtual ResourceImageRef GetImageThrow(const std::string& id);
  virtual int GetSoundThrow(const std::string& id);
  virtual Font* GetFontThrow(const std::string& id);
  // The loaded font of the identifier, or null; never an error.
  Font* GetFont(const std::string& id);

  bool HadError() const { return mHasFailed; }
  std::string GetErrorText() const { return mError; }
  // The program path of the file the first error is about (the manifest, or a resource's file), or an
  // empty string.
  std::string GetErrorFile() const { return mErrorFile; }
  // Records the first error only, with the manifest's line and file while one is being parsed.
  bool Fail(const std::string& message);
  // The same for an error about the file at a program path.
  bool FailOn(const std::string& file, const std::string& message);

  // Lets the getters return an empty result for an unloaded "!program" resource.
  void SetAllowMissingProgramImages(bool allow) { mAllowMissingProgramImages = allow; }

  const ResMap& GetImageMap() const { return mImageMap; }
  const ResMap& GetSoundMap() const { return mSoundMap; }
  const ResMap& GetFontMap() const { return mFontMap; }

 protected:
  bool DoParseResources();
  bool ParseResources();
  bool ParseImageResource(const XMLElement& element);
  bool ParseSoundResource(const XMLElement& element);
  bool ParseFontResource(const XMLElement& element);
  bool ParseSetDefaults(const XMLElement& element);
  // Stores the group, the attributes, the path and the identifier, and files the record in the map;
  // null (the record dropped) on a missing path or a taken identifier.
  BaseRes* ParseCommonResource(const XMLElement& element, std::unique_ptr<BaseRes> record, ResMap* map);

  virtual void DeleteMap(ResMap* map, const std::string& group);
  virtual bool DoLoadImage(ImageRes* record);
  virtual bool DoLoadFont(FontRes* record);
  virtual bool LoadNextImage();
  virtual bool LoadNextSound();
  virtual bool LoadNextFont();

 private:
  struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
  };

  // The next record of the map at or after the position that the group's loading has still to do.
  ResMap::iterator NextToLoad(ResMap* map, ResMap::iterator position, bool (*pending)(const BaseRes&)) const;
  int CountRecords(const ResMap& map, const std::string& group) const;
  bool ApplyAlphaImage(ImageRes* record, MemoryImage* image);
  bool ApplyAlphaGrid(ImageRes* record, MemoryImage* image);

  ResourceHost* mApp;
  std::unique_ptr<XMLParser> mParser;
  std::string mCurResGroup;
  std::string mDefaultPath;
  std::string mDefaultIdPrefix;
  ResMap mImageMap;
  ResMap mSoundMap;
  ResMap mFontMap;
  std::set<std::string, CaseInsensitiveLess> mLoadedGroups;
  ResMap::iterator mCurImage;
  ResMap::iterator mCurSound;
  ResMap::iterator mCurFont;
  int mNextSoundId = 0;
  std::string mError;
  std::string mErrorFile;
  bool mHasFailed = false;
  bool mAllowMissingProgramImages = false;
};

}  // namespace Kit
