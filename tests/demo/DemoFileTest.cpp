#include "framework/app/demo/DemoFile.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"
#include "tests/support/UnreadableFile.h"

namespace {

using Kit::DemoFile;
using testsupport::Unreadable;

DemoFile SampleFile() {
  DemoFile file;
  file.mSeed = -123456;
  file.mProductVersion = "1.0";
  file.mMarkers = {{"start", 0}, {"boss", 4000}};
  file.mEndUpdate = 4321;
  file.mStream = {0x12, 0x34, 0x56};
  return file;
}

bool Parse(const std::vector<std::uint8_t>& bytes, DemoFile* file, std::string* error,
           const std::string& productVersion = "1.0") {
  return Kit::ParseDemoFile(bytes.data(), bytes.size(), productVersion, file, error);
}

std::vector<std::uint8_t> Version1File(const std::string& productVersion) {
  std::vector<std::uint8_t> bytes = {0x78, 0xEF, 0xBE, 0x42, 1, 0, 0, 0, 5, 0, 0, 0};
  bytes.push_back(static_cast<std::uint8_t>(productVersion.size()));
  bytes.push_back(0);
  bytes.insert(bytes.end(), productVersion.begin(), productVersion.end());
  bytes.insert(bytes.end(), {9, 0, 0, 0, 0xAB});
  return bytes;
}

TEST(DemoFileFormat, WritesTheDocumentedLayoutAndReadsItBack) {
  const std::vector<std::uint8_t> bytes = Kit::EncodeDemoFile(SampleFile());
  const std::vector<std::uint8_t> head = {0x78, 0xEF, 0xBE, 0x42, 2, 0,   0,   0,  0xC0,
                                          0x1D, 0xFE, 0xFF, 3,    0, '1', '.', '0'};
  ASSERT_GT(bytes.size(), head.size());
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + head.size()), head);
  // Marker block: count 2, "start" 0, "boss" 4000.
  const std::size_t blockLength = 4 + (2 + 5 + 4) + (2 + 4 + 4);
  EXPECT_EQ(bytes[head.size()], blockLength);
  EXPECT_EQ(bytes.size(), head.size() + 4 + blockLength + 4 + 3);
  EXPECT_EQ(bytes.back(), 0x56);
  DemoFile read;
  std::string error;
  ASSERT_TRUE(Parse(bytes, &read, &error)) << error;
  EXPECT_EQ(read.mSeed, -123456);
  EXPECT_EQ(read.mMarkers, SampleFile().mMarkers);
  EXPECT_EQ(read.mEndUpdate, 4321);
  EXPECT_EQ(read.mStream, SampleFile().mStream);
}

TEST(DemoFileFormat, AcceptsVersionOneWithoutMarkerBlock) {
  DemoFile read;
  std::string error;
  ASSERT_TRUE(Parse(Version1File("1.0"), &read, &error)) << error;
  EXPECT_EQ(read.mVersion, 1);
  EXPECT_EQ(read.mSeed, 5);
  EXPECT_TRUE(read.mMarkers.empty());
  EXPECT_EQ(read.mEndUpdate, 9);
  EXPECT_EQ(read.mStream, std::vector<std::uint8_t>{0xAB});
}

// Another version is named, a long one cut for showing but compared whole.
TEST(DemoFileRefusal, AnotherProductVersionIsNamed) {
  DemoFile read;
  std::string error;
  EXPECT_FALSE(Parse(Version1File("1.1"), &read, &error));
  EXPECT_EQ(error, "This demo file appears to be for '1.1'");
  EXPECT_EQ(read.mSeed, 5) << "the seed is known before the version is checked";
  DemoFile file = SampleFile();
  file.mProductVersion = std::string(300, 'v');
  EXPECT_FALSE(Parse(Kit::EncodeDemoFile(file), &read, &error, std::string(255, 'v')));
  EXPECT_EQ(error, "This demo file appears to be for '" + std::string(255, 'v') + "'");
  EXPECT_TRUE(Parse(Kit::EncodeDemoFile(file), &read, &error, std::string(300, 'v'))) << error;
  EXPECT_EQ(read.mMarkers.size(), 2u) << "the rest of a long version is not read as the marker block";
}

TEST(DemoFileRefusal, DamagedAndForeignFilesAreInvalid) {
  const std::vector<std::uint8_t> good = Kit::EncodeDemoFile(SampleFile());
  std::vector<std::vector<std::uint8_t>> bad;
  bad.push_back({});
  bad.push_back({'P', 'K', 3, 4, 20, 0, 0, 0, 0, 0});  // another program's file
  bad.push_back({0x78, 0xEF, 0xBE});                   // cut inside the magic
  for (std::size_t cut = 4; cut < good.size(); ++cut)  // cut anywhere up to the stream
    if (cut != good.size() - 1 && cut != good.size() - 2) bad.emplace_back(good.begin(), good.begin() + cut);
  std::vector<std::uint8_t> hugeBlock = good;
  hugeBlock[17] = 0xFF;
  hugeBlock[20] = 0x7F;
  bad.push_back(hugeBlock);
  std::vector<std::uint8_t> hugeCount = good;
  hugeCount[21] = 0xFF;  // marker count 0x...FF: more markers than the block holds
  bad.push_back(hugeCount);
  DemoFile noStream = SampleFile();
  noStream.mStream.clear();
  bad.push_back(Kit::EncodeDemoFile(noStream));  // ends after the end update count
  std::vector<std::uint8_t> longName = good;
  longName[25] = 0x7F;  // first marker's name longer than the block
  bad.push_back(longName);
  for (const auto& bytes : bad) {
    DemoFile read;
    std::string error;
    EXPECT_FALSE(Parse(bytes, &read, &error)) << "size " << bytes.size();
    EXPECT_EQ(error, "Invalid demo file.") << "size " << bytes.size();
  }
}

// A demo that cannot be opened is not found, whatever stands there; one that opens but gives no bytes
// is no demo.
TEST(DemoFileDisk, WhatCannotBeOpenedIsNotFoundAndAFileThatCannotBeReadIsInvalid) {
  testsupport::TempDir dir;
  for (const Unreadable kind : testsupport::kUnreadableKinds) {
    const std::string path = dir / (testsupport::UnreadableName(kind) + ".dmo");
    testsupport::MakeUnreadable(path, kind);
    DemoFile read;
    std::string error;
    EXPECT_FALSE(Kit::LoadDemoFile(path, "1.0", &read, &error));
    EXPECT_EQ(error, kind == Unreadable::kReadError ? "Invalid demo file." : "Demo file not found: " + path)
        << testsupport::UnreadableName(kind);
  }
}

TEST(DemoFileDisk, ASaveThatCannotBeWrittenFails) {
  testsupport::TempDir dir;
  EXPECT_FALSE(Kit::SaveDemoFile(dir / "no-folder/run.dmo", SampleFile()));
}

}  // namespace
