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
  auto found = element.attributes.find(name);
  return found == element.attributes.end() ? nullptr : &found->second;
}

bool HasAttribute(const XMLElement& element, const char* name) { return element.attributes.count(name) > 0; }

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
    if (!file.empty()) mError += " in File '" + file + "'";
  }
  return false;
}

bool ResourceManager::ParseResourcesFile(const std::string& fileName) {
  mParser = std::make_unique<XMLParser>();
  if (!mParser->OpenFile(fileName)) {
    Fail("Resource file not found: " + fileName);
    mParser.reset();
    return false;
  }
  XMLElement element;
  while (!mParser->HasFailed()) {
    if (!mParser->NextElement(&element)) {
      if (mParser->HasFailed()) Fail(mParser->GetErrorText());
      break;
    }
    if (element.type == XMLElement::TYPE_START) {
      if (element.value == "ResourceManifest") return DoParseResources();
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
      if (element.type == XMLElement::TYPE_START) {
        if (element.value != "Resources") {
          Fail("Invalid Section '" + element.value + "'");
          break;
        }
        const std::string* id = FindAttribute(element, "id");
        if (!id || id->empty()) {
          Fail("No id specified.");
          break;
        }
        mCurResGroup = *id;
        if (!ParseResources()) break;
      } else if (element.type == XMLElement::TYPE_TEXT) {
        Fail("Element Not Expected '" + element.value + "'");
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
    if (element.type == XMLElement::TYPE_START) {
      bool parsed = false;
      if (element.value == "Image") {
        parsed = ParseImageResource(element);
      } else if (element.value == "Sound") {
        parsed = ParseSoundResource(element);
      } else if (element.value == "Font") {
        parsed = ParseFontResource(element);
      } else if (element.value == "SetDefaults") {
        parsed = ParseSetDefaults(element);
      } else {
        return Fail("Invalid Section '" + element.value + "'");
      }
      if (!parsed) return false;
      XMLElement end;
      if (!mParser->NextElement(&end)) {
        if (mParser->HasFailed()) return false;
        return Fail("Unexpected element found.");
      }
      if (end.type != XMLElement::TYPE_END) return Fail("Unexpected element found.");
    } else if (element.type == XMLElement::TYPE_TEXT) {
      return Fail("Element Not Expected '" + element.value + "'");
    } else if (element.type == XMLElement::TYPE_END) {
      return true;
    }
  }
  // A manifest may end without closing its sections.
  return !mParser->HasFailed();
}

ResourceManager::BaseRes* ResourceManager::ParseCommonResource(const XMLElement& element,
                                                               std::unique_ptr<BaseRes> record, ResMap* map) {
  record->resGroup = mCurResGroup;
  record->xmlAttributes = element.attributes;
  const std::string* path = FindAttribute(element, "path");
  if (!path || path->empty()) {
    Fail("No path specified.");
    return nullptr;
  }
  if ((*path)[0] == '!') {
    record->path = *path;
    record->fromProgram = *path == "!program";
  } else {
    record->path = mDefaultPath + *path;
  }
  const std::string* id = FindAttribute(element, "id");
  std::string key = mDefaultIdPrefix + (id ? *id : GetFileName(record->path, true));
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

  record->palletize = !HasAttribute(element, "nopal");
  record->a4r4g4b4 = HasAttribute(element, "a4r4g4b4");
  record->ddSurface = HasAttribute(element, "ddsurface");
  record->a8r8g8b8 = HasAttribute(element, "a8r8g8b8");
  record->minimizeSubdivisions = HasAttribute(element, "minsubdivide");
  record->autoFindAlpha = !HasAttribute(element, "noalpha");
  if (HasAttribute(element, "nobits")) {
    record->purgeBits = true;
  } else {
    record->purgeBits = HasAttribute(element, mHost && mHost->Is3DAccelerated() ? "nobits3d" : "nobits2d");
  }
  if (const std::string* value = FindAttribute(element, "alphaimage")) record->alphaImage = mDefaultPath + *value;
  if (const std::string* value = FindAttribute(element, "alphagrid")) record->alphaGrid = mDefaultPath + *value;
  if (const std::string* value = FindAttribute(element, "variant")) record->variant = *value;
  if (const std::string* value = FindAttribute(element, "alphacolor")) {
    unsigned int color = 0;
    if (std::sscanf(value->c_str(), "%x", &color) == 1) record->alphaColor = color;
  }
  if (const std::string* value = FindAttribute(element, "rows")) record->rows = CelCount(*value);
  if (const std::string* value = FindAttribute(element, "cols")) record->cols = CelCount(*value);

  const std::string* anim = FindAttribute(element, "anim");
  int animType = AnimInfo::ANIM_NONE;
  if (anim && !ParseAnimType(*anim, &animType)) return Fail("Invalid animation type.");
  AnimInfo& info = record->animInfo;
  info.mAnimType = animType;
  if (animType != AnimInfo::ANIM_NONE) {
    int numCels = std::max(record->rows, record->cols);
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
  if (const std::string* value = FindAttribute(element, "volume")) std::sscanf(value->c_str(), "%lf", &record->volume);
  if (const std::string* value = FindAttribute(element, "pan")) std::sscanf(value->c_str(), "%d", &record->pan);
  return true;
}

bool ResourceManager::ParseFontResource(const XMLElement& element) {
  auto* record = static_cast<FontRes*>(ParseCommonResource(element, std::make_unique<FontRes>(), &mFontMap));
  if (!record) return false;
  if (const std::string* value = FindAttribute(element, "image")) record->imagePath = *value;
  if (const std::string* value = FindAttribute(element, "tags")) record->tags = *value;
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
