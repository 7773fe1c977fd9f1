// The images an application shares by (file name, variant): one record each, found or loaded by
// GetSharedImage and handed out as counted references, freed by CleanSharedImages once nobody holds
// them. The application owns one set and cleans it every update tick; any thread may get and drop
// references (the loading thread does).
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SharedImage.h"
#include "framework/graphics/SharedImageRef.h"

namespace Kit {

class SharedImageSet {
 public:
  // The image of a file, owned by the caller, or null when it cannot be loaded.
  using Loader = std::function<std::unique_ptr<MemoryImage>(const std::string& fileName)>;
  // A new empty image, for names beginning with "!" that the caller fills itself.
  using Maker = std::function<std::unique_ptr<MemoryImage>()>;

  SharedImageSet(Loader loader, Maker makeEmpty);
  SharedImageSet(const SharedImageSet&) = delete;
  SharedImageSet& operator=(const SharedImageSet&) = delete;
  // Every reference must have been released before: the records and their images go with the set.
  ~SharedImageSet();

  // The reference to the record of (fileName, variant), letter case ignored; created tells whether
  // this call made (and loaded) it. A record whose file cannot be loaded has no image. A thread that
  // asks for a record another thread is still loading waits for that load.
  SharedImageRef GetSharedImage(const std::string& fileName, const std::string& variant, bool* created = nullptr);
  // Frees the records nobody references, when a reference was dropped to 0 since the last pass.
  void CleanSharedImages();
  // Called by the last reference to a record as it lets go.
  void MarkForCleaning() { mCleanUp.store(true, std::memory_order_release); }
  // How many records the set keeps.
  std::size_t GetCount();

 private:
  struct Entry {
    explicit Entry(SharedImageSet* set) : mRecord(set) {}
    SharedImage mRecord;
    bool mLoading = true;
  };

  Loader mLoader;
  Maker mMakeEmpty;
  std::mutex mLock;
  std::condition_variable mLoaded;
  std::map<std::pair<std::string, std::string>, Entry> mEntries;
  std::atomic<bool> mCleanUp{false};
};

}  // namespace Kit
