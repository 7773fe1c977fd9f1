#include "game/play/ObjectLibrary.h"

#include <cstdint>
#include <optional>
#include <sstream>

#include "game/play/BackgroundAnim.h"
#include "game/play/RecordReader.h"
#include "game/play/ResourceIds.h"
#include "platform/shell/Shell.h"
#include "platform/win/files/FileRead.h"
#include "platform/win/files/PathMap.h"

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
  mInstancesNamed.clear();
  mInstancesIndexed = true;
  mLastCreated = nullptr;
}

void ObjectLibrary::ClearPrototypes() {
  mPrototypes.clear();
  mFirstPrototypeNamed.clear();
  mPrototypesIndexed = true;
  mLastCreated = nullptr;
}

void ObjectLibrary::ClearImageNames() {
  mImageNames.clear();
  mImageIdNamed.clear();
}

void ObjectLibrary::Reset() {
  ClearInstances();
  ClearPrototypes();
  ClearImageNames();
}

ObjectTemplate* ObjectLibrary::Append(RecordList& list, std::unique_ptr<ObjectTemplate> record) {
  mLastCreated = list.emplace_back(std::move(record)).get();
  return mLastCreated;
}

ObjectTemplate* ObjectLibrary::AppendInstanceNamed(std::unique_ptr<ObjectTemplate> record) {
  if (mInstancesIndexed) mInstancesNamed[record->mName].push_back(record.get());
  return Append(mInstances, std::move(record));
}

ObjectTemplate* ObjectLibrary::AppendPrototypeNamed(std::unique_ptr<ObjectTemplate> record) {
  if (mPrototypesIndexed) mFirstPrototypeNamed.try_emplace(record->mName, record.get());
  return Append(mPrototypes, std::move(record));
}

// The caller names the record after it is appended: the index is made again at the next lookup.
ObjectTemplate* ObjectLibrary::AppendInstance() {
  mInstancesIndexed = false;
  return Append(mInstances, std::make_unique<ObjectTemplate>());
}

ObjectTemplate* ObjectLibrary::AppendPrototype() {
  mPrototypesIndexed = false;
  return Append(mPrototypes, std::make_unique<ObjectTemplate>());
}

void ObjectLibrary::IndexInstances() {
  mInstancesNamed.clear();
  for (const auto& instance : mInstances) mInstancesNamed[instance->mName].push_back(instance.get());
  mInstancesIndexed = true;
}

void ObjectLibrary::IndexPrototypes() const {
  mFirstPrototypeNamed.clear();
  for (const auto& prototype : mPrototypes) mFirstPrototypeNamed.try_emplace(prototype->mName, prototype.get());
  mPrototypesIndexed = true;
}

ObjectTemplate* ObjectLibrary::FindPrototype(const std::string& name) const {
  if (!mPrototypesIndexed) IndexPrototypes();
  const auto found = mFirstPrototypeNamed.find(name);
  return found == mFirstPrototypeNamed.end() ? nullptr : found->second;
}

void ObjectLibrary::BuildImageNameTable() {
  for (int id = 0; id < kResourceIdCount; ++id) {
    const std::string name = GetResourceNameById(id);
    if (name.starts_with("IMAGE")) mImageNames[id] = name;
  }
  mImageIdNamed.clear();
  for (const auto& [id, name] : mImageNames) mImageIdNamed.try_emplace(name, id);  // ascending: the lowest stays
}

Kit::Image* ObjectLibrary::FindImageByName(const std::string& imageName) const {
  const auto found = mImageIdNamed.find(imageName);
  return found == mImageIdNamed.end() ? nullptr : reinterpret_cast<Kit::Image*>(GetResourceById(found->second));
}

void ObjectLibrary::ResolveImages() {
  for (const auto& prototype : mPrototypes) {
    if (Kit::Image* image = FindImageByName(prototype->mImageName)) prototype->mImage = image;
  }
}

void ObjectLibrary::ReadRecords(std::istream& in, Appender append) {
  std::int32_t count = 0;
  if (!RecordReader(in).ReadInt32(count)) return;
  // No reservation by the claimed count: a file that claims more records than it holds ends early.
  for (std::int32_t i = 0; i < count; ++i) {
    auto record = std::make_unique<ObjectTemplate>();
    if (!record->Read(in)) return;
    (this->*append)(std::move(record));
  }
}

void ObjectLibrary::LoadTemplates(std::string path) {
  BuildImageNameTable();
  if (std::optional<std::istringstream> in = ReadBinary(path)) ReadRecords(*in, &ObjectLibrary::AppendPrototypeNamed);
  ResolveImages();
}

int ObjectLibrary::LoadLevel(std::string path) {
  std::optional<std::istringstream> in = ReadBinary(path);
  std::int32_t backgroundValue = 0;
  if (!in || !RecordReader(*in).ReadInt32(backgroundValue)) return kUnreadableLevel;
  ReadRecords(*in, &ObjectLibrary::AppendInstanceNamed);
  return BackgroundKindOf(backgroundValue);
}

void ObjectLibrary::UpdateAnimations() {
  for (const auto& instance : mInstances) instance->Update();
}

const ObjectTemplate* ObjectLibrary::PrototypeOrBeep(const std::string& name) const {
  const ObjectTemplate* prototype = FindPrototype(name);
  if (!prototype) Beep(kMissingPrototypeBeepHz, kMissingPrototypeBeepMs);
  return prototype;
}

ObjectTemplate* ObjectLibrary::Clone(const ObjectTemplate& prototype, std::string name) {
  auto clone = std::make_unique<ObjectTemplate>();
  clone->CopyFrom(&prototype);
  clone->mName = std::move(name);
  return AppendInstanceNamed(std::move(clone));
}

ObjectTemplate* ObjectLibrary::CloneByName(std::string name) {
  const ObjectTemplate* prototype = PrototypeOrBeep(name);
  return prototype ? Clone(*prototype, prototype->mName) : nullptr;
}

// Only the instances of the name are walked, in list order, for the first idle one.
ObjectTemplate* ObjectLibrary::ObtainAnimation(std::string name) {
  if (!mInstancesIndexed) IndexInstances();
  if (const auto named = mInstancesNamed.find(name); named != mInstancesNamed.end()) {
    for (ObjectTemplate* instance : named->second) {
      if (instance->mRunning) continue;
      instance->mRunning = true;
      instance->mVisible = true;
      return instance;
    }
  }
  const ObjectTemplate* prototype = PrototypeOrBeep(kPrototypePrefix + name);
  if (!prototype) return nullptr;
  ObjectTemplate* clone = Clone(*prototype, std::move(name));
  clone->mRunning = true;
  clone->mVisible = true;
  return clone;
}
