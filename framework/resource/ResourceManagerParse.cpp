// Reading the resource manifest into records.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/resource/ResourceManager.h"
#include "framework/util/PathUtil.h"

namespace Kit {
namespace {

const std::string* FindAttribute(const XMLElement& element, const std::string& name) {
  auto found = element.mAttributes.find(name);
  return found == element.mAttributes.end() ? nullptr : &found->second;
}

bool HasAttribute(const XMLElement& element, const char* name) { return element.mAttributes.count(name) > 0; }

// A cel count below 1 would divide by zero when the grid is cut into cells.
int CelCount(const std::string& text) { return std::max(1, std::atoi(text.c_str())); }

// "1, 2,3" -> {1, 2, 3}; each item is read from its start, so "" gives {0}.
std::vector<int> NumberList(const std::string& text) {
  std::vector<int> numbers;
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    numbers.push_back(std::atoi(text.substr(start, comma - start).c_str()));
    if (comma == std::string::npos) return numbers;
    start = comma + 1;
  }
}

bool ParseAnimType(const std::string& text, int* type) {
  static const char* const kNames[] = {"none", "once", "pingpong", "loop"};
  for (int i = 0; i < 4; ++i) {
    if (strcasecmp(text.c_str(), kNames[i]) == 0) {
      *type = i;
      return true;
    }
  }
  return false;
}

}  // namespace

bool ResourceManager::Fail(const std::string& message) {
  if (mHasFailed) return false;
  mHasFailed = true;
  mError = message;
  if (mParser) {
    int line = mParser->GetCurrentLineNum();
    if (line > 0) mError += " on Line " + std::to_string(line);
    std::string file = mParser->GetFileName();
    if (!file.empty()) {
      mError += " in File '" + file + "'";
      mErrorFile = file;
    }
  }
  return false;
}

bool ResourceManager::FailOn(const std::string& file, const std::string& message) {
  if (!mHasFailed) mErrorFile = file;
  return Fail(message);
}

bool ResourceManager::ParseResourcesFile(const std::string& fileName) {
  mParser = std::make_unique<XMLParser>();
  if (!mParser->OpenFile(fileName)) {
    const std::string& refusal = mParser->GetOpenRefusal();
    FailOn(fileName, refusal.empty() ? "Resource file not found: " + fileName
                                     : "Resource file could not be read: " + fileName + " (" + refusal + ")");
    mParser.reset();
    return false;
  }
  XMLElement element;
  while (!mParser->HasFailed()) {
    if (!mParser->NextElement(&element)) {
      if (mParser->HasFailed()) Fail(mParser->GetErrorText());
      break;
    }
    if (element.mType == XMLElement::TYPE_START) {
      if (element.mValue == "ResourceManifest") return DoParseResources();
      break;
    }
  }
  Fail("Expecting ResourceManifest tag");
  return DoParseResources();
}

bool ResourceManager::DoParseResources() {
  // After an error nothing more is read: records after it would be half a manifest.
  if (!mHasFailed && !mParser->HasFailed()) {
    XMLElement element;
    while (mParser->NextElement(&element)) {
      if (element.mType == XMLElement::TYPE_START) {
        if (element.mValue != "Resources") {
          Fail("Invalid Section '" + element.mValue + "'");
          break;
        }
        const std::string* id = FindAttribute(element, "id");
        if (!id || id->empty()) {
          Fail("No id specified.");
          break;
        }
        mCurResGroup = *id;
        if (!ParseResources()) break;
      } else if (element.mType == XMLElement::TYPE_TEXT) {
        Fail("Element Not Expected '" + element.mValue + "'");
        break;
      }
    }
  }
  if (mParser->HasFailed()) Fail(mParser->GetErrorText());
  mParser.reset();
  return !mHasFailed;
}

bool ResourceManager::ParseResources() {
  XMLElement element;
  while (mParser->NextElement(&element)) {
    if (element.mType == XMLElement::TYPE_START) {
      bool parsed = false;
      if (element.mValue == "Image") {
        parsed = ParseImageResource(element);
      } else if (element.mValue == "Sound") {
        parsed = ParseSoundResource(element);
      } else if (element.mValue == "Font") {
        parsed = ParseFontResource(element);
      } else if (element.mValue == "SetDefaults") {
        parsed = ParseSetDefaults(element);
      } else {
        return Fail("Invalid Section '" + element.mValue + "'");
      }
      if (!parsed) return false;
      XMLElement end;
      if (!mParser->NextElement(&end)) {
        if (mParser->HasFailed()) return false;
        return Fail("Unexpected element found.");
      }
      if (end.mType != XMLElement::TYPE_END) return Fail("Unexpected element found.");
    } else if (element.mType == XMLElement::TYPE_TEXT) {
      return Fail("Element Not Expected '" + element.mValue + "'");
    } else if (element.mType == XMLElement::TYPE_END) {
      return true;
    }
  }
  // A manifest may end without closing its sections.
  return !mParser->HasFailed();
}

ResourceManager::BaseRes* ResourceManager::ParseCommonResource(const XMLElement& element,
                                                               std::unique_ptr<BaseRes> record, ResMap* map) {
  record->mResGroup = mCurResGroup;
  record->mXmlAttributes = element.mAttributes;
  const std::string* path = FindAttribute(element, "path");
  if (!path || path->empty()) {
    Fail("No path specified.");
    return nullptr;
  }
  if ((*path)[0] == '!') {
    record->mPath = *path;
    record->mFromProgram = *path == "!program";
  } else {
    record->mPath = mDefaultPath + *path;
  }
  const std::string* id = FindAttribute(element, "id");
  std::string key = mDefaultIdPrefix + (id ? *id : GetFileName(record->mPath, true));
  auto [entry, inserted] = map->try_emplace(key, nullptr);
  if (!inserted) {
    Fail("Resource already defined.");
    return nullptr;
  }
  entry->second = std::move(record);
  return entry->second.get();
}

bool ResourceManager::ParseImageResource(const XMLElement& element) {
  auto* record = static_cast<ImageRes*>(ParseCommonResource(element, std::make_unique<ImageRes>(), &mImageMap));
  if (!record) return false;

  record->mPalletize = !HasAttribute(element, "nopal");
  record->mA4r4g4b4 = HasAttribute(element, "a4r4g4b4");
  record->mDdSurface = HasAttribute(element, "ddsurface");
  record->mA8r8g8b8 = HasAttribute(element, "a8r8g8b8");
  record->mMinimizeSubdivisions = HasAttribute(element, "minsubdivide");
  record->mAutoFindAlpha = !HasAttribute(element, "noalpha");
  if (HasAttribute(element, "nobits")) {
    record->mPurgeBits = true;
  } else {
    record->mPurgeBits = HasAttribute(element, mApp && mApp->Is3DAccelerated() ? "nobits3d" : "nobits2d");
  }
  if (const std::string* value = FindAttribute(element, "alphaimage")) record->mAlphaImage = mDefaultPath + *value;
  if (const std::string* value = FindAttribute(element, "alphagrid")) record->mAlphaGrid = mDefaultPath + *value;
  if (const std::string* value = FindAttribute(element, "variant")) record->mVariant = *value;
  if (const std::string* value = FindAttribute(element, "alphacolor")) {
    unsigned int color = 0;
    if (std::sscanf(value->c_str(), "%x", &color) == 1) record->mAlphaColor = color;
  }
  if (const std::string* value = FindAttribute(element, "rows")) record->mRows = CelCount(*value);
  if (const std::string* value = FindAttribute(element, "cols")) record->mCols = CelCount(*value);

  const std::string* anim = FindAttribute(element, "anim");
  int animType = AnimInfo::ANIM_NONE;
  if (anim && !ParseAnimType(*anim, &animType)) return Fail("Invalid animation type.");
  AnimInfo& info = record->mAnimInfo;
  info.mAnimType = animType;
  if (animType != AnimInfo::ANIM_NONE) {
    int numCels = std::max(record->mRows, record->mCols);
    if (const std::string* value = FindAttribute(element, "framedelay")) info.mFrameDelay = std::atoi(value->c_str());
    int beginDelay = 0;
    int endDelay = 0;
    if (const std::string* value = FindAttribute(element, "begindelay")) beginDelay = std::atoi(value->c_str());
    if (const std::string* value = FindAttribute(element, "enddelay")) endDelay = std::atoi(value->c_str());
    if (const std::string* value = FindAttribute(element, "perframedelay")) info.mPerFrameDelay = NumberList(*value);
    if (const std::string* value = FindAttribute(element, "framemap")) info.mFrameMap = NumberList(*value);
    info.Compute(numCels, beginDelay, endDelay);
  }
  return true;
}

bool ResourceManager::ParseSoundResource(const XMLElement& element) {
  auto* record = static_cast<SoundRes*>(ParseCommonResource(element, std::make_unique<SoundRes>(), &mSoundMap));
  if (!record) return false;
  if (const std::string* value = FindAttribute(element, "volume")) std::sscanf(value->c_str(), "%lf", &record->mVolume);
  if (const std::string* value = FindAttribute(element, "pan")) std::sscanf(value->c_str(), "%d", &record->mPan);
  return true;
}

bool ResourceManager::ParseFontResource(const XMLElement& element) {
  auto* record = static_cast<FontRes*>(ParseCommonResource(element, std::make_unique<FontRes>(), &mFontMap));
  if (!record) return false;
  if (const std::string* value = FindAttribute(element, "image")) record->mImagePath = *value;
  if (const std::string* value = FindAttribute(element, "tags")) record->mTags = *value;
  return true;
}

bool ResourceManager::ParseSetDefaults(const XMLElement& element) {
  if (const std::string* value = FindAttribute(element, "path")) {
    // An empty default path means no folder, not the root folder.
    std::string folder = RemoveTrailingSlash(*value);
    mDefaultPath = folder.empty() ? folder : folder + "/";
  }
  if (const std::string* value = FindAttribute(element, "idprefix")) mDefaultIdPrefix = RemoveTrailingSlash(*value);
  return true;
}

}  // namespace Kit
