#include "game/play/ResourceIds.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <string>
#include <string_view>

#include "framework/graphics/MemoryImage.h"
#include "framework/resource/ResourceManager.h"
#include "framework/resource/ResourceManagerException.h"

#define QUARVEL_DEFINE_RESOURCE_GLOBAL(kind, name) ResourceType::kind name{};
QUARVEL_RESOURCE_IDS(QUARVEL_DEFINE_RESOURCE_GLOBAL)
#undef QUARVEL_DEFINE_RESOURCE_GLOBAL

namespace {

// Where one identifier's global lives; exactly one of the three pointers is set.
struct ResourceSlot {
  const char* name;
  Kit::Image** image;
  int* sound;
  Kit::Font** font;
};

constexpr ResourceSlot MakeSlot(const char* name, Kit::Image** global) { return {name, global, nullptr, nullptr}; }
constexpr ResourceSlot MakeSlot(const char* name, int* global) { return {name, nullptr, global, nullptr}; }
constexpr ResourceSlot MakeSlot(const char* name, Kit::Font** global) { return {name, nullptr, nullptr, global}; }

#define QUARVEL_RESOURCE_SLOT(kind, name) MakeSlot(#name, &name),
constexpr ResourceSlot kSlots[] = {QUARVEL_RESOURCE_IDS(QUARVEL_RESOURCE_SLOT)};
#undef QUARVEL_RESOURCE_SLOT

static_assert(std::size(kSlots) == kResourceIdCount);

constexpr int CountOfKind(bool (*isKind)(const ResourceSlot&)) {
  return static_cast<int>(std::count_if(std::begin(kSlots), std::end(kSlots), isKind));
}
static_assert(CountOfKind([](const ResourceSlot& s) { return s.image != nullptr; }) == 234);
static_assert(CountOfKind([](const ResourceSlot& s) { return s.sound != nullptr; }) == 34);
static_assert(CountOfKind([](const ResourceSlot& s) { return s.font != nullptr; }) == 5);

constexpr int kGameResourceCount = kResourceIdCount - kFirstGameResourceId;

// The Game group's identifier numbers sorted by name, the order in which they are bound.
constexpr std::array<int, kGameResourceCount> kGameBindingOrder = [] {
  std::array<int, kGameResourceCount> order{};
  std::iota(order.begin(), order.end(), kFirstGameResourceId);
  std::sort(order.begin(), order.end(),
            [](int a, int b) { return std::string_view(kSlots[a].name) < std::string_view(kSlots[b].name); });
  return order;
}();

void Bind(Kit::ResourceManager& manager, const ResourceSlot& slot) {
  const std::string name = slot.name;
  if (slot.image) {
    Kit::ResourceImageRef image = manager.GetImageThrow(name);
    *slot.image = image.GetImage();
    image.Release();  // the manager keeps its own reference
  } else if (slot.sound) {
    *slot.sound = manager.GetSoundThrow(name);
  } else {
    *slot.font = manager.GetFontThrow(name);
  }
}

template <typename Ids>
bool BindAll(Kit::ResourceManager* manager, const Ids& ids) {
  try {
    for (int id : ids) Bind(*manager, kSlots[id]);
  } catch (const Kit::ResourceManagerException&) {
    return false;
  }
  return true;
}

}  // namespace

bool ExtractInitResources(Kit::ResourceManager* manager) { return BindAll(manager, std::array{0}); }

bool ExtractFormLoadingResources(Kit::ResourceManager* manager) {
  return BindAll(manager, std::array{kFirstFormLoadingResourceId, kFirstFormLoadingResourceId + 1});
}

bool ExtractGameResources(Kit::ResourceManager* manager) { return BindAll(manager, kGameBindingOrder); }

std::intptr_t GetResourceById(int id) {
  if (id < 0 || id >= kResourceIdCount) return 0;
  const ResourceSlot& slot = kSlots[id];
  if (slot.image) return reinterpret_cast<std::intptr_t>(*slot.image);
  if (slot.sound) return *slot.sound;
  return reinterpret_cast<std::intptr_t>(*slot.font);
}

const char* GetResourceNameById(int id) { return id < 0 || id >= kResourceIdCount ? "" : kSlots[id].name; }

void ResetResourceIds() {
  for (const ResourceSlot& slot : kSlots) {
    if (slot.image) *slot.image = nullptr;
    if (slot.sound) *slot.sound = 0;
    if (slot.font) *slot.font = nullptr;
  }
}
