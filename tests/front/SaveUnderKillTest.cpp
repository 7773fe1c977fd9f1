// Saving under fire: a writer killed at random points, and two copies of the game saving at once,
// must leave the old player file or the new one, never a broken or mixed one.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "framework/util/Buffer.h"
#include "tests/front/FrontTestSupport.h"

namespace {

class SaveUnderKillTest : public FrontTest::FrontFixture {
 protected:
  // Profiles enough that a write takes a while, all named after the tag, so that files made by
  // different writers can be told apart byte by byte.
  static std::unique_ptr<ProfileStore> StoreOf(char tag) {
    auto store = std::make_unique<ProfileStore>();
    for (int i = 0; i < 3000; ++i) {
      store->mProfiles.push_back(std::make_unique<PlayerProfile>());
      store->mProfiles.back()->mName = std::string(40, tag) + std::to_string(i);
    }
    return store;
  }
  static std::string Expected(char tag) {
    Kit::Buffer bytes;
    EncodePlayerFile(StoreOf(tag)->mProfiles, &bytes);
    return std::string(bytes.data.begin(), bytes.data.begin() + bytes.GetDataLen());
  }
  // A child process that saves the tags' files in turn until it is killed (a save that fails, as
  // when the other copy holds the folder too long, is simply tried again).
  static pid_t StartWriter(const std::string& tags) {
    const pid_t child = fork();
    if (child != 0) return child;
    std::vector<std::unique_ptr<ProfileStore>> stores;
    for (char tag : tags) stores.push_back(StoreOf(tag));
    for (std::size_t turn = 0;; ++turn) stores[turn % stores.size()]->SaveProfiles(kPlayerFilePath);
  }
  static void Stop(pid_t child) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
};

TEST_F(SaveUnderKillTest, AWriterKilledAtRandomPointsLeavesTheOldOrTheNewFile) {
  const std::string a = Expected('a'), b = Expected('b');
  ASSERT_TRUE(StoreOf('a')->SaveProfiles(kPlayerFilePath));
  std::mt19937 random(25);
  constexpr int kKills = 200;
  for (int kill = 0; kill < kKills; ++kill) {
    const pid_t writer = StartWriter("ba");
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
    Stop(writer);
    const std::string left = Contents(kPlayerFilePath);
    ASSERT_TRUE(left == a || left == b) << "kill " << kill << " left " << left.size() << " bytes";
  }
}

TEST_F(SaveUnderKillTest, TwoCopiesSavingAtOnceNeverMixTheirFiles) {
  const std::string a = Expected('a'), b = Expected('b');
  ASSERT_TRUE(StoreOf('a')->SaveProfiles(kPlayerFilePath));
  const pid_t first = StartWriter("a");
  const pid_t second = StartWriter("b");
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  int checks = 0;
  while (std::chrono::steady_clock::now() < end) {
    const std::string seen = Contents(kPlayerFilePath);
    if (seen != a && seen != b) ADD_FAILURE() << "a file of " << seen.size() << " bytes is neither copy's";
    ++checks;
  }
  Stop(first);
  Stop(second);
  const std::string left = Contents(kPlayerFilePath);
  EXPECT_TRUE(left == a || left == b);
  EXPECT_GT(checks, 10);
}

}  // namespace
