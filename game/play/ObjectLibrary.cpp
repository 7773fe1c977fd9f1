#include "game/play/ObjectLibrary.h"

#include <cstdint>
#include <optional>
#include <sstream>

#include "game/play/BackgroundAnim.h"
#include "game/play/RecordReader.h"
#include "game/play/ResourceIds.h"
#include "platform/win/FileRead.h"
#include "platform/win/PathMap.h"
#include "platform/win/Shell.h"

ObjectLibrary gObjectLibrary;

namespace {

// The beep of a request for an animation that no prototype provides: Hz, ms.
constexpr DWORD kMissingPrototypeBeepHz = 333;
constexpr DWORD kMissingPrototypeBeepMs = 111;

// Far beyond any template or level file (a record is at most 1,094 bytes): a bigger one is not read.
constexpr std::size_t kMaxObjectFileBytes = 64u << 20;

// The whole file as a stream of its bytes; nothing when it is missing or cannot be read.
std::optional<std::istringstream> ReadBinary(const std::string& path) {
  std::string bytes;
  if (plat::ReadWholeFile(plat::MapPath(path), &bytes, kMaxObjectFileBytes) != plat::FileReadResult::kRead)
    return std::nullopt;
  return std::istringstream(std::move(bytes), std::ios::binary);
}

// The background kind a level file's value selects.
int BackgroundKindOf(std::int32_t levelValue) {
  switch (levelValue) {
    case 1:
      return BackgroundAnim::kScrollKind;
    case 2:
      return BackgroundAnim::kFallKind;
    case 3:
      return BackgroundAnim::kImageKind;
    default:
      return ObjectLibrary::kKeepBackground;
  }
}

}  // namespace

ObjectLibrary::~ObjectLibrary() { Reset(); }

void ObjectLibrary::ClearInstances() {
  mInstances.clear();
  mLastCreated = nullptr;
}

void ObjectLibrary::ClearPrototypes() {
  mPrototypes.clear();
  mLastCreated = nullptr;
}

void ObjectLibrary::ClearImageNames() { mImageNames.clear(); }

void ObjectLibrary::Reset() {
  ClearInstances();
  ClearPrototypes();
  ClearImageNames();
}

ObjectTemplate* ObjectLibrary::Append(RecordList& list, std::unique_ptr<ObjectTemplate> record) {
  mLastCreated = list.emplace_back(std::move(record)).get();
  return mLastCreated;
}

ObjectTemplate* ObjectLibrary::AppendInstance() { return Append(mInstances, std::make_unique<ObjectTemplate>()); }

ObjectTemplate* ObjectLibrary::AppendPrototype() { return Append(mPrototypes, std::make_unique<ObjectTemplate>()); }

ObjectTemplate* ObjectLibrary::FindPrototype(const std::string& name) const {
  for (const auto& prototype : mPrototypes) {
    if (prototype->mName == name) return prototype.get();
  }
  return nullptr;
}

void ObjectLibrary::BuildImageNameTable() {
  for (int id = 0; id < kResourceIdCount; ++id) {
    const std::string name = GetResourceNameById(id);
    if (name.starts_with("IMAGE")) mImageNames[id] = name;
  }
}

Kit::Image* ObjectLibrary::FindImageByName(const std::string& imageName) const {
  for (const auto& [id, name] : mImageNames) {
    if (name == imageName) return reinterpret_cast<Kit::Image*>(GetResourceById(id));
  }
  return nullptr;
}

void ObjectLibrary::ResolveImages() {
  for (const auto& prototype : mPrototypes) {
    if (Kit::Image* image = FindImageByName(prototype->mImageName)) prototype->mImage = image;
  }
}

void ObjectLibrary::ReadRecords(std::istream& in, RecordList& list) {
  std::int32_t count = 0;
  if (!RecordReader(in).ReadInt32(count)) return;
  // No reservation by the claimed count: a file that claims more records than it holds ends early.
  for (std::int32_t i = 0; i < count; ++i) {
    auto record = std::make_unique<ObjectTemplate>();
    if (!record->Read(in)) return;
    Append(list, std::move(record));
  }
}

void ObjectLibrary::LoadTemplates(std::string path) {
  BuildImageNameTable();
  if (std::optional<std::istringstream> in = ReadBinary(path)) ReadRecords(*in, mPrototypes);
  ResolveImages();
}

int ObjectLibrary::LoadLevel(std::string path) {
  std::optional<std::istringstream> in = ReadBinary(path);
  std::int32_t backgroundValue = 0;
  if (!in || !RecordReader(*in).ReadInt32(backgroundValue)) return kUnreadableLevel;
  ReadRecords(*in, mInstances);
  return BackgroundKindOf(backgroundValue);
}

void ObjectLibrary::UpdateAnimations() {
  for (const auto& instance : mInstances) instance->Update();
}

ObjectTemplate* ObjectLibrary::CloneByName(std::string name) {
  const ObjectTemplate* prototype = FindPrototype(name);
  if (!prototype) {
    Beep(kMissingPrototypeBeepHz, kMissingPrototypeBeepMs);
    return nullptr;
  }
  ObjectTemplate* clone = AppendInstance();
  clone->CopyFrom(prototype);
  return clone;
}

ObjectTemplate* ObjectLibrary::ObtainAnimation(std::string name) {
  for (const auto& instance : mInstances) {
    if (instance->mName == name && !instance->mRunning) {
      instance->mRunning = true;
      instance->mVisible = true;
      return instance.get();
    }
  }
  ObjectTemplate* clone = CloneByName(kPrototypePrefix + name);
  if (!clone) return nullptr;
  clone->mName = std::move(name);
  clone->mRunning = true;
  clone->mVisible = true;
  return clone;
}
