#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/win/Windows.h"
#include "tests/support/ScopedSearchFolders.h"
#include "tests/support/TempDir.h"

namespace {

std::vector<std::string> List(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATA data;
  HANDLE find = FindFirstFile(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(data.cFileName);
  } while (FindNextFile(find, &data));
  EXPECT_TRUE(FindClose(find));
  return names;
}

TEST(PatternTest, WildcardsIgnoreCase) {
  EXPECT_TRUE(plat::MatchesPattern("kitapp12.dmo", "KITAPP*.DMO"));
  EXPECT_TRUE(plat::MatchesPattern("level1_10.vel", "level?_*.vel"));
  EXPECT_FALSE(plat::MatchesPattern("level1_10.vel", "level??_*.vel"));
  EXPECT_TRUE(plat::MatchesPattern("README", "*.*"));
  EXPECT_TRUE(plat::MatchesPattern("a.b.c", "*.c"));
  EXPECT_FALSE(plat::MatchesPattern("a.bc", "*.b"));
  EXPECT_TRUE(plat::MatchesPattern("", "*"));
  EXPECT_FALSE(plat::MatchesPattern("x", ""));
  // Many stars against a long name stay fast (no exponential back-tracking).
  EXPECT_FALSE(plat::MatchesPattern(std::string(5000, 'a'), "*a*a*a*a*a*a*a*a*b"));
}

class FilesTest : public testing::Test {
 protected:
  testsupport::TempDir mDir;
  std::string Path(const std::string& windowsStyle) { return mDir.Path().string() + "\\" + windowsStyle; }
};

TEST_F(FilesTest, ListingMatchesPatternsThroughThePathMapper) {
  mDir.Write("Custom/First.vel", "1");
  mDir.Write("Custom/second.VEL", "22");
  mDir.Write("Custom/notes.txt", "");
  mDir.Write("Custom/Sub/inner.vel", "");
  // The program writes "custom" in another case and with Windows separators.
  EXPECT_EQ(List(Path("CUSTOM\\*.vel")), (std::vector<std::string>{"First.vel", "second.VEL"}));
  EXPECT_EQ(List(Path("custom\\*.*")),
            (std::vector<std::string>{".", "..", "First.vel", "notes.txt", "second.VEL", "Sub"}));
  WIN32_FIND_DATA data;
  HANDLE find = FindFirstFile(Path("custom\\second.vel").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  EXPECT_EQ(data.nFileSizeLow, 2u);
  EXPECT_FALSE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  FindClose(find);
  find = FindFirstFile(Path("custom\\sub").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  FindClose(find);
}

// A relative folder lists the player's copy and the game's together; where both hold a name (letter case
// aside) the player's entry is the one listed, as it is the one opened.
TEST(FolderListing, ARelativeFolderListsThePlayersFilesAndTheGamesOnceEach) {
  testsupport::TempDir player, data;
  player.Write("custom/mine.lvx", "1");
  player.Write("custom/Shared.lvx", "22");
  data.Write("Custom/game.lvx", "333");
  data.Write("Custom/shared.lvx", "4444");
  data.Write("Custom/Levels/x.lvx", "");
  const testsupport::ScopedSearchFolders folders(player.Path(), data.Path());
  EXPECT_EQ(List("custom\\*.lvx"), (std::vector<std::string>{"game.lvx", "mine.lvx", "Shared.lvx"}));
  EXPECT_EQ(List("custom\\*.*"), (std::vector<std::string>{".", "..", "game.lvx", "Levels", "mine.lvx", "Shared.lvx"}));
  WIN32_FIND_DATA found;
  HANDLE find = FindFirstFile("custom\\SHARED.lvx", &found);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  EXPECT_EQ(found.nFileSizeLow, 2u) << "the player's copy";
  EXPECT_FALSE(FindNextFile(find, &found));
  FindClose(find);
  EXPECT_EQ(List("custom\\Levels\\*.lvx"), std::vector<std::string>{"x.lvx"}) << "a folder only the game has";
  EXPECT_EQ(FindFirstFile("nowhere\\*.*", &found), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(FilesTest, FoldersAreMadeAndRemovedAndFailedListingsFindNothing) {
  WIN32_FIND_DATA data;
  EXPECT_EQ(FindFirstFile(Path("nowhere\\*.*").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstFile(Path("*.nothing").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CreateDirectory(Path("userdata").c_str(), nullptr));
  EXPECT_FALSE(CreateDirectory(Path("USERDATA").c_str(), nullptr));
  EXPECT_FALSE(CreateDirectory(Path("a\\b\\c").c_str(), nullptr));
  mDir.Write("userdata/playerdata.dat", "x");
  EXPECT_FALSE(RemoveDirectory(Path("userdata").c_str()));
  EXPECT_FALSE(DeleteFile(Path("userdata").c_str())) << "a folder is not a file";
  EXPECT_TRUE(DeleteFile(Path("UserData\\PlayerData.dat").c_str()));
  EXPECT_FALSE(DeleteFile(Path("userdata\\playerdata.dat").c_str()));
  EXPECT_TRUE(RemoveDirectory(Path("userdata").c_str()));
  EXPECT_EQ(GetFileAttributes(Path("userdata").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FilesTest, FileTimesAreWindowsFileTimes) {
  std::string file = mDir.Write("dated.dat", "x");
  utimbuf times{1000000000, 1000000000};  // 2001-09-09 01:46:40 UTC
  ASSERT_EQ(utime(file.c_str(), &times), 0);
  WIN32_FIND_DATA data;
  HANDLE find = FindFirstFile(Path("dated.dat").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  FindClose(find);
  std::uint64_t ticks =
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  EXPECT_EQ((ticks - 116444736000000000ull) / 10000000ull, 1000000000ull);
  SYSTEMTIME parts;
  ASSERT_TRUE(FileTimeToSystemTime(&data.ftLastWriteTime, &parts));
  EXPECT_EQ(parts.wYear, 2001);
  EXPECT_EQ(parts.wMonth, 9);
  EXPECT_EQ(parts.wDay, 9);
  EXPECT_EQ(parts.wHour, 1);
  EXPECT_EQ(parts.wMinute, 46);
}

TEST_F(FilesTest, CurrentDirectoryChangesThroughTheMapper) {
  std::filesystem::path before = std::filesystem::current_path();
  mDir.Write("Game/Data/x", "");
  ASSERT_TRUE(SetCurrentDirectory(Path("game").c_str()));
  EXPECT_NE(GetFileAttributes("DATA\\X"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(std::filesystem::current_path().filename(), "Game");
  std::filesystem::current_path(before);
}

}  // namespace
