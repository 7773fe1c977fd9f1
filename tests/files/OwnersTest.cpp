// Who owns what the program saves: a file whose owner the process cannot set (in a user namespace that
// does not map it) is saved all the same. Run as root, as the tests are in CI; skipped otherwise, for
// only root can give a file to another user.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

#include "framework/util/FileSystemUtil.h"
#include "tests/support/FileContents.h"
#include "tests/support/TempDir.h"

namespace {

// The player, as far as the machine knows one: the user and group "nobody".
constexpr uid_t kPlayer = 65534;

// Runs body in a forked child; its result (0 to 255), or -1 when the child did not end normally.
int InChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// In a user namespace that maps only the process's own user, the player's file cannot keep its owner,
// who is not mapped there: it is saved all the same.
TEST(OwnersTest, AFileWhoseOwnerIsNotMappedIsSavedAllTheSame) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can make a file of another user to save over";
  testsupport::TempDir dir;
  const std::string file = dir.Write("playerdata.dat", "old");
  ASSERT_EQ(::chown(file.c_str(), kPlayer, kPlayer), 0);
  constexpr int kNoNamespace = 100;
  const int saved = InChild([&] {
    const auto write = [](const char* file, const char* text) {
      const int fd = ::open(file, O_WRONLY | O_CLOEXEC);
      const bool written = fd >= 0 && ::write(fd, text, std::strlen(text)) == static_cast<ssize_t>(std::strlen(text));
      if (fd >= 0) ::close(fd);
      return written;
    };
    if (::unshare(CLONE_NEWUSER) != 0 || !write("/proc/self/uid_map", "0 0 1") ||
        !write("/proc/self/setgroups", "deny") || !write("/proc/self/gid_map", "0 0 1"))
      return kNoNamespace;
    const std::string_view bytes = "new";
    return Kit::WriteFileAtomically(file, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()) ? 0
                                                                                                             : errno;
  });
  if (saved == kNoNamespace) GTEST_SKIP() << "the kernel gives no user namespace here";
  EXPECT_EQ(saved, 0) << std::strerror(saved);
  EXPECT_EQ(testsupport::ReadFileContents(file), saved == 0 ? "new" : "old");
}

}  // namespace
