#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SharedImage.h"
#include "framework/graphics/SharedImageRef.h"
#include "framework/graphics/SharedImageSet.h"

namespace {

using Kit::MemoryImage;
using Kit::SharedImage;
using Kit::SharedImageRef;
using Kit::SharedImageSet;

// Counts how many of its kind are alive.
class CountedImage : public MemoryImage {
 public:
  static inline std::atomic<int> alive{0};
  CountedImage() { ++alive; }
  ~CountedImage() override { --alive; }
};

// A set whose loader makes a w x h image for names "<w>x<h>" and fails for "missing".
class SharedImageSetTest : public ::testing::Test {
 protected:
  SharedImageSetTest()
      : set(
            [this](const std::string& name) -> std::unique_ptr<MemoryImage> {
              ++loads;
              if (delay.count()) std::this_thread::sleep_for(delay);
              if (name == "missing") return nullptr;
              auto image = std::make_unique<CountedImage>();
              image->Create(static_cast<int>(name.size()), 1);
              return image;
            },
            [] { return std::make_unique<CountedImage>(); }) {}

  std::atomic<int> loads{0};
  std::chrono::milliseconds delay{0};
  SharedImageSet set;
};

TEST(SharedImageRef, CopiesCountAndOnlyTheLastReleaseAsksForCleaning) {
  SharedImageSet set(nullptr, nullptr);
  SharedImage record(&set);
  {
    SharedImageRef first(&record);
    EXPECT_EQ(record.mRefCount, 1);
    SharedImageRef second(first);
    SharedImageRef third;
    third = second;
    EXPECT_EQ(record.mRefCount, 3);
    third.Release();
    second.Release();
    EXPECT_EQ(record.mRefCount, 1);
    // Not yet marked: a clean-up now would be skipped, as would one with a count above 0.
  }
  EXPECT_EQ(record.mRefCount, 0);
}

TEST(SharedImageRef, EmptyReferencesReleaseQuietly) {
  SharedImageRef empty;
  empty.Release();
  empty.Release();
  SharedImageRef fromNull(static_cast<SharedImage*>(nullptr));
  EXPECT_EQ(fromNull.mSharedImage, nullptr);
}

TEST(SharedImageRef, PrivateImagesComeFirstAndAreDeletedOnlyWhenOwned) {
  SharedImage record;
  record.mImage = std::make_unique<CountedImage>();
  const int before = CountedImage::alive;
  {
    SharedImageRef ref(&record);
    auto* own = new CountedImage();
    ref = own;  // drops the record
    EXPECT_EQ(record.mRefCount, 0);
    ref = &record;
    EXPECT_EQ(ref.GetImage(), record.mImage.get());
    ref.mUnsharedImage = own;
    ref.mOwnsUnshared = true;
    EXPECT_EQ(ref.GetImage(), own);
    EXPECT_EQ(ref.GetSharedImage(), record.mImage.get());
    // A copy points at the private image but does not own it.
    SharedImageRef copy(ref);
    EXPECT_EQ(copy.GetImage(), own);
    EXPECT_FALSE(copy.mOwnsUnshared);
    copy.Release();
    EXPECT_EQ(CountedImage::alive, before + 1);
    // Taking the image already held keeps it.
    ref = own;
    EXPECT_EQ(CountedImage::alive, before + 1);
    EXPECT_EQ(ref.GetImage(), own);
    EXPECT_TRUE(ref.mOwnsUnshared);  // the flag stays as it was
  }
  EXPECT_EQ(CountedImage::alive, before);
}

TEST(SharedImageRef, MovesHandOverOwnership) {
  SharedImage record;
  const int before = CountedImage::alive;
  std::vector<SharedImageRef> refs;
  for (int i = 0; i < 50; ++i) {
    SharedImageRef ref(&record);
    ref = new CountedImage();
    ref.mOwnsUnshared = true;
    refs.push_back(std::move(ref));  // growth moves every element
  }
  EXPECT_EQ(CountedImage::alive, before + 50);
  for (auto& ref : refs) EXPECT_NE(ref.GetImage(), nullptr);
  refs.clear();
  EXPECT_EQ(CountedImage::alive, before);
}

TEST_F(SharedImageSetTest, SelfAssignmentKeepsTheReference) {
  SharedImageRef ref = set.GetSharedImage("abc", "");
  SharedImageRef& alias = ref;
  ref = alias;
  ref = ref.mSharedImage;
  EXPECT_EQ(ref.mSharedImage->mRefCount, 1);
  set.CleanSharedImages();
  ASSERT_NE(ref.GetImage(), nullptr);
  EXPECT_EQ(set.GetCount(), 1u);
}

TEST_F(SharedImageSetTest, NamesAreSharedWhateverTheirCase) {
  bool created = false;
  SharedImageRef a = set.GetSharedImage("images/a.png", "", &created);
  EXPECT_TRUE(created);
  SharedImageRef b = set.GetSharedImage("IMAGES/A.PNG", "", &created);
  EXPECT_FALSE(created);
  EXPECT_EQ(a.mSharedImage, b.mSharedImage);
  EXPECT_EQ(a.mSharedImage->mRefCount, 2);
  SharedImageRef c = set.GetSharedImage("images/a.png", "small", &created);
  EXPECT_TRUE(created);
  EXPECT_NE(c.mSharedImage, a.mSharedImage);
  EXPECT_EQ(loads, 2);
  EXPECT_EQ(a.GetImage()->GetWidth(), 12);  // loaded under the name as given
}

TEST_F(SharedImageSetTest, UnloadableFilesGiveARecordWithoutImageAndBangNamesAnEmptyOne) {
  SharedImageRef missing = set.GetSharedImage("missing", "");
  ASSERT_NE(missing.mSharedImage, nullptr);
  EXPECT_EQ(missing.GetImage(), nullptr);
  SharedImageRef made = set.GetSharedImage("!scratch", "");
  ASSERT_NE(made.GetImage(), nullptr);
  EXPECT_EQ(made.GetImage()->GetWidth(), 0);
  EXPECT_EQ(loads, 1);
}

TEST_F(SharedImageSetTest, ReleasedImagesStayUntilTheNextCleanUp) {
  const int before = CountedImage::alive;
  SharedImageRef kept = set.GetSharedImage("kept", "");
  {
    SharedImageRef dropped = set.GetSharedImage("dropped", "");
    SharedImageRef copy = dropped;
  }
  EXPECT_EQ(set.GetCount(), 2u);
  EXPECT_EQ(CountedImage::alive, before + 2);
  set.CleanSharedImages();
  EXPECT_EQ(set.GetCount(), 1u);
  EXPECT_EQ(CountedImage::alive, before + 1);
  // Nothing was dropped since: a further pass changes nothing, and a new request loads anew.
  set.CleanSharedImages();
  EXPECT_NE(kept.GetImage(), nullptr);
  SharedImageRef again = set.GetSharedImage("dropped", "");
  EXPECT_EQ(loads, 3);
}

TEST_F(SharedImageSetTest, ThreadsAskingForOneImageAtOnceShareOneLoad) {
  delay = std::chrono::milliseconds(30);
  std::vector<std::thread> threads;
  std::vector<MemoryImage*> seen(6);
  for (int t = 0; t < 6; ++t)
    threads.emplace_back([&, t] {
      SharedImageRef ref = set.GetSharedImage("slow.png", "");
      seen[static_cast<std::size_t>(t)] = ref.GetImage();
    });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(loads, 1);
  for (MemoryImage* image : seen) {
    EXPECT_NE(image, nullptr);
    EXPECT_EQ(image, seen[0]);
  }
}

// The loading thread takes and drops references while the main thread cleans every tick.
TEST_F(SharedImageSetTest, ReferencesMoveBetweenThreadsWhileTheMainThreadCleans) {
  const int before = CountedImage::alive;
  std::atomic<bool> done{false};
  std::vector<std::thread> loaders;
  for (int t = 0; t < 4; ++t)
    loaders.emplace_back([&, t] {
      std::vector<SharedImageRef> held;
      for (int i = 0; i < 2000; ++i) {
        SharedImageRef ref = set.GetSharedImage("image" + std::to_string((i + t) % 7), "");
        if (!ref.GetImage()) ADD_FAILURE() << "no image";
        held.push_back(ref);
        SharedImageRef copy;
        copy = held.front();
        if (held.size() > 5) held.erase(held.begin());
      }
    });
  std::thread cleaner([&] {
    while (!done) set.CleanSharedImages();
  });
  for (auto& thread : loaders) thread.join();
  done = true;
  cleaner.join();
  set.CleanSharedImages();
  EXPECT_EQ(set.GetCount(), 0u);
  EXPECT_EQ(CountedImage::alive, before);
}

}  // namespace
