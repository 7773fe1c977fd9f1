#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "framework/app/KitAppBase.h"
#include "framework/util/Buffer.h"
#include "tests/settings/DemoStreams.h"
#include "tests/support/TempDir.h"

namespace {

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string BufferText(const Kit::Buffer& buffer) {
  return {reinterpret_cast<const char*>(buffer.GetDataPtr()), static_cast<std::size_t>(buffer.GetDataLen())};
}

const std::uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const std::uint8_t*>(text.data()); }

class FileAccess : public testing::Test {
 protected:
  testsupport::TempDir mFolder;
  Kit::KitAppBase mApp;
};

TEST_F(FileAccess, WritingCreatesTheFoldersAndReadingGivesTheBytesBack) {
  const std::string data("score\0data", 10);
  const std::string path = mFolder / "userdata\\deep\\datascore.dat";
  ASSERT_TRUE(mApp.WriteBytesToFile(path, Bytes(data), static_cast<int>(data.size())));
  EXPECT_EQ(Contents((mFolder.Path() / "userdata" / "deep" / "datascore.dat").string()), data);

  Kit::Buffer buffer;
  ASSERT_TRUE(mApp.ReadBufferFromFile(path, &buffer));
  EXPECT_EQ(BufferText(buffer), data);
  EXPECT_TRUE(mApp.FileExists(path));
}

TEST_F(FileAccess, AnEmptyFileIsWrittenAndRead) {
  const std::string path = mFolder / "empty.dat";
  ASSERT_TRUE(mApp.WriteBytesToFile(path, nullptr, 0));
  Kit::Buffer buffer;
  buffer.WriteLong(5);
  ASSERT_TRUE(mApp.ReadBufferFromFile(path, &buffer));
  EXPECT_EQ(buffer.GetDataLen(), 0);
}

// Written whole or not at all, as the atomic writer does (tests/util); here what the application adds.
TEST_F(FileAccess, AFailedWriteSaysSo) {
  const std::string data = "new scores";
  mFolder.Write("blocker", "");  // a file stands where a folder of the path would have to be
  EXPECT_FALSE(mApp.WriteBytesToFile(mFolder / "blocker/inside.dat", Bytes(data), 3));
  EXPECT_FALSE(mApp.WriteBytesToFile(mFolder / "negative.dat", Bytes(data), -1));
  EXPECT_FALSE(std::filesystem::exists(mFolder / "negative.dat"));
}

// A file kept elsewhere and linked in is written through its chain of links: the links stay, the file at
// the end gets the bytes, and no temporary is left anywhere. A loop is refused.
TEST_F(FileAccess, AFileThatIsALinkIsWrittenThroughIt) {
  const std::string root = mFolder.Path().string();
  for (const auto& [links, target] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"home/file", root + "/sync/file"}, "sync/file"},  // pairs of a link and what it names
           {{"home/file", "../sync/file"}, "sync/file"},
           {{"home/file", "../dots/file", "dots/file", "../sync/other"}, "sync/other"},
           {{"home/file", "../sync/new"}, "sync/new"},
           {{"home/file", "loop", "home/loop", "file"}, ""}}) {
    for (const char* folder : {"home", "dots", "sync"}) {
      std::filesystem::remove_all(mFolder / folder);
      std::filesystem::create_directory(mFolder / folder);
    }
    for (std::size_t i = 0; i < links.size(); i += 2) std::filesystem::create_symlink(links[i + 1], mFolder / links[i]);
    EXPECT_EQ(mApp.WriteBytesToFile(mFolder / "home/file", Bytes("new"), 3), !target.empty()) << links[1];
    EXPECT_TRUE(std::filesystem::is_symlink(mFolder / "home/file")) << links[1];
    EXPECT_EQ(Contents(mFolder / (target.empty() ? "home/file" : target)), target.empty() ? "" : "new") << links[1];
    for (const char* folder : {"home", "dots", "sync"})
      for (const auto& entry : std::filesystem::directory_iterator(mFolder / folder))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << links[1];
  }
}

TEST_F(FileAccess, AMissingFileIsReportedAndTheBufferKept) {
  Kit::Buffer buffer;
  buffer.WriteByte(9);
  EXPECT_FALSE(mApp.ReadBufferFromFile(mFolder / "missing.dat", &buffer));
  EXPECT_EQ(buffer.GetDataLen(), 1);
  EXPECT_FALSE(mApp.FileExists(mFolder / "missing.dat"));
  EXPECT_FALSE(mApp.ReadBufferFromFile(mFolder.Path().string(), &buffer));  // a folder is no file
  EXPECT_FALSE(mApp.FileExists(mFolder.Path().string()));
}

TEST_F(FileAccess, ARecordingKeepsWhatWasReadAndAReplayGivesItBackWithoutTheDisk) {
  const std::string path = mFolder.Write("template.dat", "recorded bytes");
  const std::string other = mFolder.Write("other.dat", "read outside the recording");
  Kit::DemoStream recording = KitTest::RecordingStream();
  mApp.mDemoStream = &recording;
  Kit::Buffer buffer;
  ASSERT_TRUE(mApp.ReadBufferFromFile(path, &buffer));
  EXPECT_TRUE(mApp.FileExists(path));
  EXPECT_FALSE(mApp.FileExists(mFolder / "nothing"));
  EXPECT_FALSE(mApp.ReadBufferFromFile(mFolder / "nothing", &buffer));
  ASSERT_TRUE(mApp.WriteBytesToFile(mFolder / "out.dat", Bytes("x"), 1));
  ASSERT_TRUE(mApp.ReadBufferFromFile(other, &buffer, true));  // not recorded

  std::filesystem::remove(path);
  std::filesystem::remove(mFolder / "out.dat");
  mFolder.Write("nothing", "there now");
  Kit::DemoStream playback = KitTest::PlaybackOf(recording);
  Kit::KitAppBase player;
  player.mDemoStream = &playback;
  Kit::Buffer replayed;
  replayed.WriteString("stale");
  ASSERT_TRUE(player.ReadBufferFromFile(path, &replayed));
  EXPECT_EQ(BufferText(replayed), "recorded bytes");
  EXPECT_TRUE(player.FileExists(path));
  EXPECT_FALSE(player.FileExists(mFolder / "nothing"));
  EXPECT_FALSE(player.ReadBufferFromFile(mFolder / "nothing", &replayed));
  EXPECT_TRUE(player.WriteBytesToFile(mFolder / "out.dat", Bytes("x"), 1));
  EXPECT_FALSE(std::filesystem::exists(mFolder / "out.dat"));      // a replay writes nothing
  ASSERT_TRUE(player.ReadBufferFromFile(other, &replayed, true));  // read from the disk
  EXPECT_EQ(BufferText(replayed), "read outside the recording");
  EXPECT_FALSE(player.FileExists(path));  // every record was used: nothing more to replay
}

TEST_F(FileAccess, AnEndedReplayReadsNothing) {
  Kit::DemoStream recording = KitTest::RecordingStream();
  Kit::DemoStream playback = KitTest::PlaybackOf(recording);
  mApp.mDemoStream = &playback;
  Kit::Buffer buffer;
  buffer.WriteByte(3);
  EXPECT_FALSE(mApp.ReadBufferFromFile(mFolder.Write("real.dat", "on disk"), &buffer));
  EXPECT_EQ(buffer.GetDataLen(), 1);
  EXPECT_FALSE(mApp.FileExists(mFolder / "real.dat"));
}

}  // namespace
