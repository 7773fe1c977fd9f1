// The temporaries that killed saves left are removed from the folder that was listed, by the names read
// there: a folder that another process swaps for a link midway is still the one emptied, and the files of
// the same names where the link leads stay.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/win/files/FileReplace.h"
#include "tests/support/PollUntil.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

TEST(LeftTemporaries, AFolderSwappedForALinkMidwayIsStillTheOneEmptied) {
  constexpr int kTemporaries = 200;
  const auto name = [](int i) { return "playerdata.dat.tmp1-" + std::to_string(i); };
  for (int round = 0; round < 5; ++round) {
    testsupport::TempDir dir;
    for (int i = 0; i < kTemporaries; ++i) {
      dir.Write("userdata/" + name(i), "half");
      dir.Write("victim/" + name(i), "theirs");
    }
    const int deletions = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(deletions, 0);
    ASSERT_GE(::inotify_add_watch(deletions, (dir / "userdata").c_str(), IN_DELETE), 0);
    std::thread swapper([&] {
      pollfd deleted{deletions, POLLIN, 0};
      char events[4096];
      if (::poll(&deleted, 1, std::chrono::milliseconds(testsupport::kHangNet).count()) == 1 &&
          ::read(deletions, events, sizeof(events)) > 0 &&
          ::rename((dir / "userdata").c_str(), (dir / "moved").c_str()) == 0)
        fs::create_directory_symlink(dir.Path() / "victim", dir / "userdata");
    });
    plat::RemoveAllTemporaries(dir / "userdata");
    swapper.join();
    ::close(deletions);
    const fs::path emptied = fs::exists(dir.Path() / "moved") ? dir.Path() / "moved" : dir.Path() / "userdata";
    EXPECT_TRUE(fs::is_empty(emptied)) << "round " << round;
    for (int i = 0; i < kTemporaries; ++i)
      ASSERT_TRUE(fs::exists(dir.Path() / "victim" / name(i))) << "round " << round;
  }
}

}  // namespace
