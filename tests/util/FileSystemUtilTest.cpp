#include "framework/util/FileSystemUtil.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/win/files/DeviceWrite.h"
#include "platform/win/threads/Time.h"
#include "tests/support/FileContents.h"
#include "tests/support/FullDisk.h"
#include "tests/support/PollUntil.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using namespace Kit;

TEST(FileSystemUtil, MakeDirectoriesCreatesEveryFolderAlongMixedSeparatorsReusingAnyLetterCase) {
  testsupport::TempDir dir;
  std::string root = dir.Path().string();
  fs::create_directory(dir.Path() / "UserData");
  MakeDirectories(root + "\\userdata/saves\\\\slot1");
  EXPECT_TRUE(fs::is_directory(dir.Path() / "UserData" / "saves" / "slot1"));
  EXPECT_FALSE(fs::exists(dir.Path() / "userdata"));
  MakeDirectories(root + "\\userdata\\saves\\slot1");  // existing folders are fine
  MakeDirectories(root + "/other/");
  EXPECT_TRUE(fs::is_directory(dir.Path() / "other"));
}

// Whatever stands inside goes, and nothing beside the folder does: not the target of a link, nor a file
// or folder that a name read from the disk would reach if it were mapped again (on Linux '\\' is a letter
// of a name like any other), and links that lead nowhere or loop go too, as rm -r removes them.
TEST(FileSystemUtil, DeleteFolderTreeRemovesEverythingInsideAndNothingBesideIt) {
  const struct {
    const char* name;
    std::vector<std::string> files;                          // inside "tree"
    std::vector<std::pair<std::string, std::string>> links;  // inside "tree", and where each points
  } cases[] = {
      {"files, folders and a link to a folder",
       {"a.txt", "noext", "sub/deeper/c.dat", "sub/.hidden", "empty/"},
       {{"link", "keep"}}},
      {"names holding backslashes", {"..\\victim.txt", "..\\keep/precious.txt", "sub/..\\..\\victim.txt"}, {}},
      {"links that lead nowhere or loop",
       {"sub/"},
       {{"dangling", "gone"}, {"loop", "tree/loop"}, {"sub/x", "tree/sub/y"}, {"sub/y", "tree/sub/x"}}},
  };
  for (const auto& [name, files, links] : cases) {
    testsupport::TempDir dir;
    const std::string precious = dir.Write("keep/precious.txt", "data");
    const std::string victim = dir.Write("victim.txt", "data");
    for (const std::string& file : files)
      file.ends_with('/') ? void(fs::create_directories(dir.Path() / "tree" / file))
                          : void(dir.Write("tree/" + file, "x"));
    for (const auto& [link, target] : links) fs::create_symlink(dir.Path() / target, dir.Path() / "tree" / link);
    EXPECT_TRUE(DeleteFolderTree(dir.Path().string() + "\\tree\\")) << name;
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.Path() / "tree"))) << name;
    EXPECT_EQ(testsupport::ReadFileContents(precious), "data") << name;
    EXPECT_EQ(testsupport::ReadFileContents(victim), "data") << name;
  }
}

// A link named as the folder is removed itself and its target stays whole, however the name is written
// (either separator, a trailing one, another letter case); a name that reaches the target through the
// link with "." or ".." at its end is refused, as rm -r refuses it.
TEST(FileSystemUtil, DeleteFolderTreeGivenALinkRemovesTheLinkNeverItsTarget) {
  const struct {
    const char* name;
    bool removed;
  } names[] = {{"/home/_dump", true},   {"/home/_dump/", true},   {"\\home\\_dump\\", true},
               {"/HOME/_Dump\\", true}, {"/home/_dump/.", false}, {"\\home\\_dump\\album\\..\\", false}};
  for (const auto& [name, removed] : names) {
    testsupport::TempDir dir;
    const std::string photo = dir.Write("elsewhere/photo.jpg", "jpg");
    const std::string page = dir.Write("elsewhere/album/page.txt", "page");
    fs::create_directory(dir.Path() / "home");
    fs::create_directory_symlink(dir.Path() / "elsewhere", dir.Path() / "home" / "_dump");
    EXPECT_EQ(DeleteFolderTree(dir.Path().string() + name), removed) << name;
    EXPECT_EQ(fs::is_symlink(dir.Path() / "home" / "_dump"), !removed) << name;
    EXPECT_EQ(testsupport::ReadFileContents(photo), "jpg") << name;
    EXPECT_EQ(testsupport::ReadFileContents(page), "page") << name;
  }
  testsupport::TempDir dir;  // a link that leads nowhere goes too: a folder of its name can be made then
  fs::create_directory_symlink(dir.Path() / "gone", dir.Path() / "_dump");
  EXPECT_TRUE(DeleteFolderTree(dir / "_dump/"));
  EXPECT_FALSE(fs::is_symlink(dir.Path() / "_dump"));
}

TEST(FileSystemUtil, DeleteFolderTreeRefusesShortOrMissingFolders) {
  testsupport::TempDir dir;
  EXPECT_FALSE(DeleteFolderTree(""));
  EXPECT_FALSE(DeleteFolderTree("x"));
  EXPECT_FALSE(DeleteFolderTree(dir.Path().string() + "/missing"));
  std::string file = dir.Write("plain.txt", "p");
  EXPECT_FALSE(DeleteFolderTree(file));
  EXPECT_TRUE(fs::exists(file));
}

// As soon as the first file of the folder being emptied has gone, another process swaps that folder for
// a link to a folder of files of the same names, or moves a folder far above it (past the levels the walk
// keeps open) into such a folder. What is left goes where it went, or stays; nothing else is reached.
TEST(FileSystemUtil, DeleteFolderTreeNeverReachesOutsideWhatAnotherProcessMovesMidway) {
  std::string deep = "tree";
  for (int level = 0; level < 40; ++level) deep += "/d";
  const struct {
    const char* name;
    std::string emptied, moved;  // the second's folder above holds files too
  } cases[] = {{"swapped for a link", "tree/sub", "tree/sub"}, {"moved from far above", deep, "tree/d/d/d/d/d"}};
  constexpr int kFiles = 200;
  for (const auto& [name, emptied, moved] : cases) {
    for (int round = 0; round < 5; ++round) {
      testsupport::TempDir dir;
      for (const std::string& folder : {emptied, fs::path(moved).parent_path().string(), std::string("victim")})
        for (int i = 0; i < kFiles; ++i) dir.Write(folder + "/f" + std::to_string(i), folder);
      const int deletions = ::inotify_init1(IN_CLOEXEC);
      ASSERT_GE(deletions, 0);
      ASSERT_GE(::inotify_add_watch(deletions, (dir / emptied).c_str(), IN_DELETE), 0);
      const bool linked = emptied == moved;
      std::thread mover([&] {
        pollfd deleted{deletions, POLLIN, 0};
        char events[4096];
        if (::poll(&deleted, 1, std::chrono::milliseconds(testsupport::kHangNet).count()) == 1 &&
            ::read(deletions, events, sizeof(events)) > 0 &&
            ::rename((dir / moved).c_str(), (dir / (linked ? "tree/moved" : "victim/moved")).c_str()) == 0 && linked)
          fs::create_directory_symlink(dir.Path() / "victim", dir / moved);
      });
      (void)DeleteFolderTree(dir / "tree");  // whether all went depends on when the move came
      mover.join();
      ::close(deletions);
      for (int i = 0; i < kFiles; ++i)
        ASSERT_TRUE(fs::exists(dir.Path() / "victim" / ("f" + std::to_string(i)))) << name << ", round " << round;
    }
  }
}

// A tree far deeper than a path can name goes whole, in time linear in its folders, with the few hundred
// descriptors a process may be given.
TEST(FileSystemUtil, DeleteFolderTreeRemovesATreeTenThousandLevelsDeep) {
  testsupport::TempDir dir;
  fs::create_directory(dir.Path() / "tree");
  int level = ::open((dir / "tree").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (int depth = 0; depth < 10'000 && level >= 0; ++depth) {
    const int below = ::mkdirat(level, "d", 0700) == 0 ? ::openat(level, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    ::close(level);
    level = below;
  }
  ASSERT_GE(level, 0);
  ::close(level);
  rlimit given{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &given), 0);
  const rlimit few{256, given.rlim_max};
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &few), 0);
  const bool removed = DeleteFolderTree(dir / "tree");
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &given), 0);
  EXPECT_TRUE(removed);
  EXPECT_FALSE(fs::exists(dir.Path() / "tree"));
}

// The file system's root is refused however it is spelled. Tried in a child shut in a scratch root, so
// that a guard that failed would empty that and nothing else.
TEST(FileSystemUtil, DeleteFolderTreeRefusesTheRootHoweverItIsSpelled) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root may shut a child in a scratch root";
  testsupport::TempDir scratch;
  const std::string kept = scratch.Write("home/kept.txt", "kept");
  EXPECT_EXIT(
      {
        if (::chroot(scratch.Path().c_str()) != 0 || ::chdir("/home") != 0) std::_Exit(100);
        int removed = 0;
        for (const char* root :
             {"//", "\\\\", "/\\", "\\/", "///", "/.", "/./", "\\.\\", "..", "../", "../.", "/home/.."})
          removed += DeleteFolderTree(root) ? 1 : 0;
        std::_Exit(removed);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_EQ(testsupport::ReadFileContents(kept), "kept");
}

TEST(FileSystemUtil, GetFileDateGivesSecondsSince1970) {
  testsupport::TempDir dir;
  std::string file = dir.Write("Data/Effect.txt", "e");
  auto when = std::chrono::file_clock::from_sys(std::chrono::sys_seconds{std::chrono::seconds{1'600'000'000}});
  fs::last_write_time(file, when);
  EXPECT_EQ(GetFileDate(file), 1'600'000'000u);
  EXPECT_EQ(GetFileDate(dir.Path().string() + "\\data\\effect.TXT"), 1'600'000'000u);
  EXPECT_EQ(GetFileDate(dir.Path().string() + "/nothing.txt"), 0u);
}

TEST(FileSystemUtil, AtomicWriteReplacesTheWholeFileAndLeavesNoTemporary) {
  testsupport::TempDir dir;
  const std::string path = dir.Write("userdata/playerdata.dat", "old contents that are longer");
  const std::uint8_t bytes[] = {'n', 'e', 'w', 0, 7};
  ASSERT_TRUE(Kit::WriteFileAtomically(dir.Path().string() + "\\USERDATA\\playerdata.dat", bytes, sizeof(bytes)));
  EXPECT_EQ(testsupport::ReadFileContents(path), std::string("new\0\7", 5));
  ASSERT_TRUE(Kit::WriteFileAtomically(path, nullptr, 0));
  EXPECT_EQ(fs::file_size(path), 0u);
}

// Saving does not open a file the player keeps private to others: the file replaced (through a link, the
// one at its end) keeps its permission bits and, written by root, its owner and group.
TEST(FileSystemUtil, AtomicWriteKeepsThePermissionsAndOwnerOfTheFileItReplaces) {
  const bool root = ::geteuid() == 0;
  for (const auto& [mode, linked] : {std::pair{0600u, false}, {0640u, false}, {0600u, true}}) {
    testsupport::TempDir dir;
    const std::string file = dir.Write("kept/settings.ini", "old");
    fs::permissions(file, static_cast<fs::perms>(mode));
    if (root) {
      ASSERT_EQ(::chown(file.c_str(), 12345, 12346), 0);
    }
    if (linked) fs::create_symlink(file, dir.Path() / "settings.ini");
    ASSERT_TRUE(Kit::WriteFileAtomically(linked ? dir / "settings.ini" : file, nullptr, 0));
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, mode) << std::oct << mode << (linked ? " linked" : "");
    if (root) {
      EXPECT_EQ(std::pair(after.st_uid, after.st_gid), std::pair(12345u, 12346u)) << (linked ? "linked" : "");
    }
  }
  if (!root) GTEST_SKIP() << "only root may give a file to another user: the owners were not checked";
}

// A reader that takes a page now and then holds the writer no longer than one that takes nothing: the
// write is given up (EAGAIN) once its time has passed on the program clock, counted from its start.
TEST(FileSystemUtil, AtomicWriteIntoATricklingPipeEndsWithinItsLimit) {
  testsupport::TempDir dir;
  const std::string pipe = dir / "demo.dmo";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  const long page = ::sysconf(_SC_PAGESIZE);
  ASSERT_EQ(::fcntl(reader, F_SETPIPE_SZ, page), page);
  plat::FakeClock clock;
  const plat::ScopedClock installed(clock);
  const std::uint64_t start = clock.NowMicros();
  const std::string bytes(96 * 1024, 'd');
  std::atomic<int> error{-1};
  std::thread writer([&] {
    error = WriteFileAtomically(pipe, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()) ? 0 : errno;
  });
  // A page a second: each time the pipe holds bytes, a second passes and then the reader takes a page.
  std::string taken(page, '\0');
  std::size_t read = 0;
  EXPECT_TRUE(testsupport::PollUntil([&] {
    pollfd ready{reader, POLLIN, 0};
    if (::poll(&ready, 1, 0) == 1 && error < 0) {
      clock.AdvanceMillis(1000);
      read += std::max<ssize_t>(0, ::read(reader, taken.data(), taken.size()));
    }
    return error >= 0;
  }));
  writer.join();
  ::close(reader);
  EXPECT_EQ(error, EAGAIN);
  EXPECT_LT(read, bytes.size());
  EXPECT_LE(clock.NowMicros() - start, std::uint64_t{plat::kDeviceWriteLimitMs + 1000} * 1000)
      << "held longer than its limit and the reader's last second";
}

// A named pipe is written into while its reader reads; a reader that leaves ends the write (EPIPE), not
// the program (SIGPIPE).
TEST(FileSystemUtil, AtomicWriteIntoAPipeGoesOnWhileItsReaderReads) {
  testsupport::TempDir dir;
  const std::string pipe = dir / "demo.dmo";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);  // there before the writer, which never waits
  ASSERT_GE(reader, 0);
  const std::string bytes(1 << 20, 'd');  // many times what the pipe holds
  std::atomic<int> error{-1};
  std::thread writer([&] {
    error = WriteFileAtomically(pipe, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()) ? 0 : errno;
  });
  std::string read(bytes.size() / 2, '\0');
  std::size_t done = 0;
  EXPECT_TRUE(testsupport::PollUntil([&] {
    done += std::max<ssize_t>(0, ::read(reader, &read[done], read.size() - done));
    return done == read.size() || error >= 0;
  }));
  ::close(reader);
  writer.join();
  EXPECT_EQ(error, EPIPE);
  EXPECT_EQ(read, bytes.substr(0, read.size()));
  EXPECT_TRUE(fs::is_fifo(pipe));
}

TEST(FileSystemUtil, AtomicWritesOfOneFileAtOnceAllSucceed) {
  testsupport::TempDir dir;
  const std::string path = (dir.Path() / "shared.dat").string();
  std::atomic<int> failures{0};
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t)
    writers.emplace_back([&, t] {
      const std::string bytes(1000 + t, static_cast<char>('a' + t));
      for (int i = 0; i < 50; ++i)
        if (!Kit::WriteFileAtomically(path, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()))
          ++failures;
    });
  for (auto& writer : writers) writer.join();
  EXPECT_EQ(failures, 0);
  const std::string last = testsupport::ReadFileContents(path);
  ASSERT_GE(last.size(), 1000u);
  EXPECT_EQ(last, std::string(last.size(), static_cast<char>('a' + (last.size() - 1000))));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(FileSystemUtil, FailedAtomicWriteKeepsTheOldFile) {
  testsupport::TempDir dir;
  const std::string path = dir.Write("score.dat", "kept");
  const std::uint8_t bytes[] = {1, 2, 3};
  {
    const testsupport::ScopedFullDisk full(2);  // the temporary file cannot grow past 2 bytes
    EXPECT_FALSE(Kit::WriteFileAtomically(path, bytes, sizeof(bytes)));
  }
  EXPECT_EQ(testsupport::ReadFileContents(path), "kept");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
  EXPECT_FALSE(Kit::WriteFileAtomically(dir.Path().string() + "/missing/folder/file.dat", bytes, sizeof(bytes)));
  EXPECT_FALSE(Kit::WriteFileAtomically(path, nullptr, 3));
  EXPECT_EQ(testsupport::ReadFileContents(path), "kept");
}

}  // namespace
