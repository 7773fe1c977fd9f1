#include "framework/graphics/SharedImageSet.h"

#include "framework/util/StringUtil.h"

namespace Kit {

SharedImageSet::SharedImageSet(Loader loader, Maker makeEmpty)
    : mLoader(std::move(loader)), mMakeEmpty(std::move(makeEmpty)) {}

SharedImageSet::~SharedImageSet() = default;

SharedImageRef SharedImageSet::GetSharedImage(const std::string& fileName, const std::string& variant, bool* created) {
  const std::string upperName = StringToUpper(fileName);
  std::unique_lock hold(mLock);
  auto [found, inserted] = mEntries.try_emplace({upperName, StringToUpper(variant)}, this);
  Entry& entry = found->second;
  SharedImageRef reference(&entry.mRecord);
  if (created) *created = inserted;
  if (!inserted) {
    // Whoever made the record is loading it: its image is worth waiting for.
    mLoaded.wait(hold, [&entry] { return !entry.mLoading; });
    return reference;
  }

  // The file is read outside the lock; the reference keeps the record from being cleaned meanwhile.
  // Waiters are released however the load ends, even by an exception.
  hold.unlock();
  std::unique_ptr<MemoryImage> image;
  struct Finish {
    SharedImageSet& set;
    Entry& entry;
    std::unique_ptr<MemoryImage>& image;
    ~Finish() {
      {
        std::lock_guard done(set.mLock);
        entry.mRecord.mImage = std::move(image);
        entry.mLoading = false;
      }
      set.mLoaded.notify_all();
    }
  } finish{*this, entry, image};
  if (!upperName.empty() && upperName[0] == '!') {
    if (mMakeEmpty) image = mMakeEmpty();
  } else if (mLoader) {
    image = mLoader(fileName);
  }
  return reference;
}

void SharedImageSet::CleanSharedImages() {
  if (!mCleanUp.exchange(false, std::memory_order_acq_rel)) return;
  std::lock_guard hold(mLock);
  std::erase_if(mEntries, [](const auto& item) {
    return !item.second.mLoading && item.second.mRecord.mRefCount.load(std::memory_order_acquire) == 0;
  });
}

std::size_t SharedImageSet::GetCount() {
  std::lock_guard hold(mLock);
  return mEntries.size();
}

}  // namespace Kit
